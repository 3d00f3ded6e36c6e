// Opening the 成績 window over a history of 10,000 games (100,000 problems): from asking for
// the window, history file not yet open, to its first paint. The history is written once through
// the program's own writer and kept for later runs.
//   progress_bench [history file] [runs]   (uses $DISPLAY when set, else the offscreen platform)
#include "engine/explain.h"
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

// Hands of every shape, several waits and none, marked mostly right.
void seed(history::History& h) {
    const std::array<std::array<engine::Hai, 13>, 5> hands{{
        {1, 1, 2, 3, 14, 15, 16, 27, 28, 29, 31, 31, 31},
        {1, 1, 1, 2, 3, 4, 5, 6, 7, 8, 9, 9, 9},
        {2, 3, 4, 12, 13, 14, 22, 23, 24, 5, 5, 31, 31},
        {1, 3, 12, 13, 14, 22, 23, 24, 5, 6, 7, 31, 31},
        {1, 3, 5, 7, 9, 12, 14, 16, 18, 22, 24, 31, 32},
    }};
    std::mt19937 draw(10000);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (int g = 0; g < Games; ++g) {
        const QDateTime started = now.addSecs(-qint64(Games - g) * 3 * 3600);
        const std::int64_t id = h.beginGame({started, g % 3, QStringLiteral("ABC-DEF-GHJ"), false, true,
                                             false, 150, true, engine::GameKind(g % 5)});
        int score = 0;
        for (int n = 1; n <= 10; ++n) {
            engine::ProblemRecord r;
            r.hand = hands[draw() % hands.size()];
            for (const engine::Wait& w : engine::explain(r.hand).waits) {
                r.machi[std::size_t(w.tile)] = 1;
                r.kotae[std::size_t(w.tile)] = draw() % 5 != 0;
            }
            r.correct = r.kotae == r.machi;
            r.timeMs = std::int32_t(1000 + draw() % 9000);
            r.points = r.correct ? 100 : 0;
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
        // Every game at once: the heaviest charts.
        clock.restart();
        window.periodChoice->setCurrentIndex(2);
        window.update();
        paint.loop.exec();
        all.push_back(double(clock.nsecsElapsed()) / 1e6);
        if (run == 0)
            std::printf("figures: %d games, %d problems (all kinds, 30 days)\n", window.figures().games,
                        window.figures().problems);
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
