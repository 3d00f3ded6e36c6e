// Opening the 成績 window over a history of 10,000 games (100,000 problems): from asking for
// the window, history file not yet open, to its first paint. The history is written once through
// the program's own writer and kept for later runs.
//   progress_bench [history file] [runs] [screenshot.png]   ($DISPLAY when set, else offscreen)
#include "engine/explain.h"
#include "engine/mondai.h"
#include "engine/random.h"
#include "history/history.h"
#include "platform/appsetup.h"
#include "progress/progresswindow.h"

#include <QComboBox>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

namespace {

constexpr int Games = 10000;

// A player who misses 嵌張 and 辺張 more than the rest and slows down with more waits.
engine::ProblemRecord answer(engine::Mondai& mondai, int level, std::mt19937& draw) {
    mondai.buildProblem(level, draw() % 3 == 0 ? 1 : 0, 1);
    engine::ProblemRecord r;
    std::copy_n(mondai.Tehai.begin(), 13, r.hand.begin());
    r.machi = mondai.Machi;
    const engine::Explanation explanation = engine::explain(r.hand);
    for (const engine::Wait& w : explanation.waits) {
        const engine::WaitShape shape = w.splits.front().shape;
        const bool hard = shape == engine::WaitShape::Kanchan || shape == engine::WaitShape::Penchan;
        r.kotae[std::size_t(w.tile)] = draw() % 100 >= (hard ? 18u : 6u);
    }
    if (explanation.waits.empty() && draw() % 4 == 0) r.kotae[std::size_t(r.hand[0])] = 1;
    r.correct = r.kotae == r.machi;
    r.timeMs = std::int32_t(2000 + 1500 * explanation.waits.size() + draw() % 4000);
    r.points = r.correct ? std::max(10, 150 - r.timeMs / 100) * (level + 1) : 0;
    return r;
}

// Games three hours apart up to now, of every level and kind.
void seed(history::History& h) {
    std::mt19937 draw(10000);
    engine::Mt19937Random random(10000);
    engine::Mondai mondai(random);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (int g = 0; g < Games; ++g) {
        const QDateTime started = now.addSecs(-qint64(Games - g) * 3 * 3600);
        const int level = g % 3;
        const std::int64_t id = h.beginGame({started, level, QStringLiteral("ABC-DEF-GHJ"), false, true,
                                             false, 150, true, engine::GameKind(g % 5)});
        int score = 0;
        for (int n = 1; n <= 10; ++n) {
            const engine::ProblemRecord r = answer(mondai, level, draw);
            score += r.points;
            h.recordAnswer(id, n, r, started.addSecs(10 * n));
        }
        h.endGame(id, score);
    }
}

// Ends the wait on the window's first paint.
class FirstPaint : public QObject {
  public:
    QEventLoop loop;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        return false;
    }
};

} // namespace

int main(int argc, char* argv[]) {
    if (!qEnvironmentVariableIsSet("DISPLAY")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    platform::setupApplication(app);
    const QString path =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("progress_bench.sqlite3");
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 10;
    if (!QFile::exists(path)) {
        QElapsedTimer writing;
        writing.start();
        history::History h(path);
        seed(h);
        std::printf("wrote %d games in %.1f s\n", Games, double(writing.elapsed()) / 1000);
    }
    std::vector<double> ms, all;
    for (int run = 0; run < runs; ++run) {
        history::setProgramHistoryPath(path); // a fresh connection, file not yet open
        QElapsedTimer clock;
        clock.start();
        progress::ProgressWindow window(progress::programSource());
        FirstPaint paint;
        window.installEventFilter(&paint);
        window.show();
        paint.loop.exec();
        ms.push_back(double(clock.nsecsElapsed()) / 1e6);
        if (run == 0)
            std::printf("figures: %d games, %d problems (all kinds, 30 days)\n", window.figures().games,
                        window.figures().problems);
        // Every game at once: the heaviest charts.
        clock.restart();
        window.periodChoice->setCurrentIndex(2);
        window.update();
        paint.loop.exec();
        all.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    if (argc > 3) {
        progress::ProgressWindow window(progress::programSource());
        FirstPaint paint;
        window.installEventFilter(&paint);
        window.show();
        paint.loop.exec();
        window.grab().save(QString::fromLocal8Bit(argv[3]));
    }
    std::sort(ms.begin(), ms.end());
    std::sort(all.begin(), all.end());
    std::printf("%d runs, platform %s\n", runs, qEnvironmentVariableIsSet("DISPLAY") ? "X11" : "offscreen");
    std::printf("open (30日) to first paint: median %.1f ms, slowest %.1f ms\n", ms[ms.size() / 2],
                ms.back());
    std::printf("全期間 chosen to next paint: median %.1f ms, slowest %.1f ms\n", all[all.size() / 2],
                all.back());
    return 0;
}
