// The time limit, the judgement of an answer, its score and the best-score record.

#include "config/settingsfile.h"
#include "tst_game.h"

#include <QDir>

using namespace gametest;

class TestGameScoring : public QObject {
    Q_OBJECT
  private slots:
    void scoreFollowsTheClock_data() {
        QTest::addColumn<std::uint32_t>("elapsed");
        QTest::addColumn<int>(
            "marks"); // 0 the waits, 1 nothing, 2 the waits and one more, 3 nothing on a not-ready hand
        QTest::addColumn<int>("points"); // 0 for a wrong answer
        QTest::newRow("0.9 s") << 900u << 0 << 194;
        QTest::newRow("7.5 s") << 7500u << 0 << 150;
        QTest::newRow("14.925 s, half to even") << 14925u << 0 << 100;
        QTest::newRow("nothing marked on a ready hand") << 900u << 1 << 0;
        QTest::newRow("one tile more than the waits") << 900u << 2 << 0;
        QTest::newRow("nothing marked on a not-ready hand") << 7500u << 3 << 150;
    }

    void scoreFollowsTheClock() {
        QFETCH(std::uint32_t, elapsed);
        QFETCH(int, marks);
        QFETCH(int, points);
        Session s;
        Module1::NotenOK = marks == 3 ? 1 : 0;
        Form1& g = s.openStarted();
        if (marks == 3) g.Machi.fill(0); // the hand on screen is not ready
        if (marks == 2)
            pressTile(g,
                      static_cast<int>(std::find(g.Machi.begin() + 1, g.Machi.end(), 0) - g.Machi.begin()));
        if (marks != 1) markWaits(g);
        s.env.advance(elapsed);
        click(g.Command1);
        QCOMPARE(g.Label2->text(), points ? QStringLiteral("正解") : QStringLiteral("不正解"));
        QCOMPARE(g.Label5->text(), points ? QStringLiteral("+%1点").arg(points) : QString());
        QCOMPARE(g.Label4->text(), QStringLiteral("得点 %1点").arg(points));
        QCOMPARE(g.Score, points);
        QCOMPARE(s.env.effects().back(), points ? 1003 : 1000);
    }

    void timeUpJudgesTheMarksAsTheyStand() {
        Session s;
        s.env.now = 0xFFFFF000u; // the limit falls after the counter wraps
        Form1& g = s.openStarted();
        markWaits(g);
        s.env.advance(14924); // r rounds to 1: time is not yet up
        g.Timer1_Timer();
        QVERIFY(g.Timer1->isActive());
        QVERIFY(g.Label2->text().isEmpty());

        s.env.advance(1); // 14.925 s: the real timer ends the problem
        QTRY_COMPARE(g.Label2->text(), QStringLiteral("正解"));
        QCOMPARE(g.Label5->text(), QStringLiteral("+100点"));
        QVERIFY(!g.Timer1->isActive() && !g.Command1->isEnabled() && g.Command2->isEnabled());
    }

    void timeBarShrinksWithTheClock() {
        // Time limit, time gone by, and the columns 0..lit-1 that keep the highlight.
        const std::array<int, 3> cases[] = {{150, 7500, 50}, {600, 6000, 90}, {150, 13500, 10}};
        for (const auto& [limit, elapsed, lit] : cases) {
            Session s;
            Module1::TimeLimit = static_cast<std::int16_t>(limit);
            Form1& g = s.openStarted();
            s.env.advance(std::uint32_t(elapsed));
            g.Timer1_Timer();
            const QImage bar = g.picTime->image();
            bool litLeft = false;
            for (int y = 0; y < 13; ++y) {
                for (int x = lit; x < 100; ++x) QCOMPARE(bar.pixel(x, y), g.picTime->ForeColor);
                litLeft = litLeft || bar.pixel(lit - 1, y) == g.picTime->BackColor;
            }
            QVERIFY(litLeft);
        }
    }

    void tickSoundEveryThirdTick() {
        Session s;
        Form1& g = s.openStarted();
        const auto ticks = [&](int n) {
            s.env.clearEffects();
            for (int i = 0; i < n; ++i) g.Timer1_Timer();
            return s.env.effects();
        };
        QCOMPARE(ticks(7), std::vector<int>({1005, 1005}));
        click(g.Command1);
        click(g.Command2);
        QCOMPARE(ticks(2), std::vector<int>{1005}); // the count runs on into the next problem
        Module1::SoundOn = 0;
        QVERIFY(ticks(6).empty());
    }

    void revealDimsAllButTheWaits() {
        Session s;
        Form1& g = s.openStarted();
        int wait = 0;
        int other = 0;
        for (int k = 37; k >= 1; --k) {
            if (!engine::isTile(k)) continue;
            (g.Machi[static_cast<std::size_t>(k)] == 1 ? wait : other) = k;
        }
        QVERIFY(wait && other);
        pressTile(g, wait);
        pressTile(g, other);
        const QImage before = g.Picture1->image();
        click(g.Command1);
        const QImage after = g.Picture1->image();
        // Every tile but the waits, marked or not, is dimmed: every other pixel blackened.
        for (int k = 1; k <= 39; ++k) {
            if (k % 10 == 0) continue;
            const bool dimmed = engine::isTile(k) && g.Machi[static_cast<std::size_t>(k)] == 0;
            const QImage cell = after.copy(cellRect(k));
            QCOMPARE(cell == before.copy(cellRect(k)), !dimmed);
            for (int y = 0; dimmed && y < 38; ++y) QCOMPARE(cell.pixel(1 - y % 2, y), 0xFF000000u);
        }
        QVERIFY(outlined(after, wait));
        QCOMPARE(after.pixel(engine::sheetX(other), engine::sheetY(other)), Cyan); // even: kept
    }

    void recordRule_data() {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("limit");
        QTest::addColumn<int>("notenOK");
        QTest::addColumn<bool>("record");
        QTest::newRow("higher total") << 1939 << 150 << 0 << true;
        QTest::newRow("equal total") << 1940 << 150 << 0 << false;
        QTest::newRow("time limit 30 s") << 0 << 300 << 0 << false;
        QTest::newRow("not-ready hands") << 0 << 150 << 1 << false;
    }

    void recordRule() {
        QFETCH(int, stored);
        QFETCH(int, limit);
        QFETCH(int, notenOK);
        QFETCH(bool, record);
        Session s(2);
        Module1::HiScore = {5, 6, stored};
        Module1::TimeLimit = static_cast<std::int16_t>(limit);
        Module1::NotenOK = static_cast<std::int16_t>(notenOK);
        Form1& g = s.open();
        const QImage badge = s.title->Picture2[2]->Picture();
        QImage afterStart;
        for (int i = 0; i < 10; ++i) {
            click(g.Command2);
            if (i == 0) afterStart = g.Picture3->image();
            QCOMPARE(g.Picture3->image(), afterStart); // the notice, if any, stays all game
            if (notenOK == 1) g.Machi.fill(0);         // answered right by marking nothing
            s.env.clearEffects();
            // 0.9 s per problem (1.8 s under a 30 s limit) gives 194 points each.
            answerRight(g, s.env, limit == 300 ? 1800 : 900);
        }
        QCOMPARE(g.Score, 1940);
        QCOMPARE(afterStart != badge, limit != 150 || notenOK == 1); // no record possible: said at once
        QCOMPARE(Module1::HiScore, (std::array<std::int32_t, 3>{5, 6, record ? 1940 : stored}));
        const std::vector<int> fx = s.env.effects(); // the last problem's
        QCOMPARE(int(std::count(fx.begin(), fx.end(), 1002)), record ? 1 : 0);
        QCOMPARE(fx.back(), record ? 1002 : 1003);
        QCOMPARE(g.Picture3->image() != afterStart, record);
        // Written before the title window closes, in the file's own format.
        QCOMPARE(s.env.readFile(QStringLiteral("bralun.ini")),
                 record ? SettingsFile::line(s.title->Left(), s.title->Top()) : QByteArray());
    }

    void failedEarlySaveKeepsPlaying() {
        Session s;
        QDir().mkpath(s.env.file(QStringLiteral("bralun.ini"))); // a directory in the file's place
        Form1& g = s.open();
        playProblems(g, s.env, 900);
        QCOMPARE(Module1::HiScore[0], 1940);
        QCOMPARE(g.Label3->text(), QStringLiteral("全問終了"));
    }
};

QTEST_MAIN(TestGameScoring)
#include "tst_game_scoring.moc"
