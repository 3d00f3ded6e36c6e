// The history database: one answer written (insert + commit), the dashboard's figures over
// 10,000 games, and the file's size per 1,000 games. Run from a Release build:
//   build/release/bench/history_bench [folder for the files, default a temporary one]
#include "engine/mondai.h"
#include "history/dashboard.h"
#include "history/history.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

std::vector<engine::ProblemRecord> hands(int count) {
    engine::Mt19937Random random(12345);
    engine::Mondai m(random);
    std::vector<engine::ProblemRecord> out;
    for (int i = 0; i < count; ++i) {
        m.buildProblem(i % 3, 1, 0);
        engine::ProblemRecord r;
        std::copy_n(m.Tehai.begin(), 13, r.hand.begin());
        r.machi = m.Machi;
        r.kotae = m.Machi;
        if (i % 4 == 0) r.kotae[static_cast<std::size_t>(1 + i % 9)] ^= 1; // some wrong answers
        r.correct = r.kotae == r.machi;
        r.timeMs = 2000 + i % 9000;
        r.points = r.correct ? 150 : 0;
        out.push_back(r);
    }
    return out;
}

// Games of ten answers, one every three hours back from now; each answer's time in ms.
std::vector<double> writeGames(history::History& h, int games,
                               const std::vector<engine::ProblemRecord>& pool) {
    std::vector<double> ms;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QElapsedTimer timer;
    for (int g = 0; g < games; ++g) {
        history::GameStart start;
        start.startedUtc = now.addSecs(-3 * 3600LL * (games - g));
        start.level = g % 3;
        start.code = QStringLiteral("ABC-DEF-GHJ");
        start.kind = g % 7 == 0 ? engine::GameKind::Daily : engine::GameKind::Normal;
        const std::int64_t id = h.beginGame(start);
        for (int n = 1; n <= 10; ++n) {
            timer.start();
            h.recordAnswer(id, n, pool[static_cast<std::size_t>((g * 10 + n) % pool.size())],
                           start.startedUtc.addSecs(20 * n));
            ms.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        }
        h.endGame(id, 1500);
    }
    return ms;
}

double percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return v[static_cast<std::size_t>(p * static_cast<double>(v.size() - 1))];
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir temporary;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temporary.path();
    const auto pool = hands(997);

    const QString small = folder + QStringLiteral("/answers.sqlite3");
    QFile::remove(small);
    std::vector<double> answer;
    {
        history::History h(small);
        answer = writeGames(h, 1000, pool);
    }
    std::printf("answer (insert + commit, synchronous=NORMAL, WAL): median %.3f ms, p99 %.3f ms over %zu\n",
                percentile(answer, 0.5), percentile(answer, 0.99), answer.size());
    std::printf("size per 1,000 games: %.1f MB\n", static_cast<double>(QFileInfo(small).size()) / 1e6);

    const QString big = folder + QStringLiteral("/dashboard.sqlite3");
    QFile::remove(big);
    {
        history::History h(big);
        writeGames(h, 10000, pool);
    }
    std::printf("10,000 games: %.1f MB\n", static_cast<double>(QFileInfo(big).size()) / 1e6);
    for (const auto period : {history::Period::Last30Days, history::Period::All}) {
        std::vector<double> ms;
        for (int run = 0; run < 7; ++run) {
            QElapsedTimer timer;
            timer.start();
            history::History h(big); // a fresh open each time, as the window does
            const history::Dashboard d =
                history::loadDashboard(h, period, std::nullopt, QDateTime::currentDateTimeUtc());
            ms.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
            if (d.games == 0) return 1;
        }
        std::printf("open + loadDashboard (%s): median %.1f ms, max %.1f ms\n",
                    period == history::Period::All ? "all" : "30 days", percentile(ms, 0.5),
                    percentile(ms, 1.0));
    }
    return 0;
}
