// The time limit, the judgement of an answer, its score and the best-score record.

#include "platform/keystate.h"
#include "sound/module2.h"
#include "title/settingsfile.h"
#include "tst_game.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace gametest;

class TestGameScoring : public QObject {
    Q_OBJECT
  private slots:
    void scoreFollowsTheClock_data();
    void scoreFollowsTheClock();
    void timeUpJudgesTheMarksAsTheyStand();
    void timeBarShrinksWithTheClock_data();
    void timeBarShrinksWithTheClock();
    void tickSoundEveryThirdTick();
    void rowMarkerFollowsTheHeldKeys();
    void revealDimsAllButTheWaits();
    void wrongAnswers();
    void notReadyHandIsAnsweredByMarkingNothing();
    void endOfGame();
    void recordRule_data();
    void recordRule();
    void recordIsWrittenAtOnce();
    void failedEarlySaveKeepsPlaying();
};

void TestGameScoring::scoreFollowsTheClock_data() {
    QTest::addColumn<std::uint32_t>("start");
    QTest::addColumn<std::uint32_t>("elapsed");
    QTest::addColumn<int>("points");
    QTest::newRow("0.9 s") << 1000u << 900u << 194;
    QTest::newRow("at once") << 1000u << 0u << 200;
    QTest::newRow("7.5 s") << 1000u << 7500u << 150;
    QTest::newRow("14.925 s, half to even") << 1000u << 14925u << 100;
    QTest::newRow("late, 20 s") << 1000u << 20000u << 100;
    QTest::newRow("very late, 10 min") << 1000u << 600000u << 100;
    QTest::newRow("across the tick wrap") << 0xFFFFFF00u << 900u << 194;
    QTest::newRow("just before the wrap") << 0xFFFFFFFFu << 7500u << 150;
}

void TestGameScoring::scoreFollowsTheClock() {
    QFETCH(std::uint32_t, start);
    QFETCH(std::uint32_t, elapsed);
    QFETCH(int, points);
    Session s;
    Form1& g = s.open();
    s.env.now = start;
    QTest::mouseClick(g.Command2, Qt::LeftButton);
    QCOMPARE(g.StartTick, start);
    markWaits(g);
    s.env.advance(elapsed);
    QTest::mouseClick(g.Command1, Qt::LeftButton);
    QCOMPARE(g.Label2->text(), QStringLiteral("正解"));
    QCOMPARE(g.Label5->text(), QStringLiteral("+%1点").arg(points));
    QCOMPARE(g.Score, points);
    QCOMPARE(g.Label4->text(), QStringLiteral("得点 %1点").arg(points));

    // The next problem adds to the total.
    playProblem(g, s.env, 900);
    QCOMPARE(g.Score, points + 194);
    QCOMPARE(g.Label4->text(), QStringLiteral("得点 %1点").arg(points + 194));
}

void TestGameScoring::timeUpJudgesTheMarksAsTheyStand() {
    Session s;
    Form1& g = s.open();
    s.env.now = 0xFFFFF000u; // the limit falls after the counter wraps
    QTest::mouseClick(g.Command2, Qt::LeftButton);
    markWaits(g);
    s.env.advance(14924); // r rounds to 1: time is not yet up
    g.Timer1_Timer();
    QVERIFY(g.Timer1->isActive());
    QVERIFY(g.Label2->text().isEmpty());

    s.env.advance(1); // 14.925 s: the real timer ends the problem
    QTRY_COMPARE(g.Label2->text(), QStringLiteral("正解"));
    QCOMPARE(g.Label5->text(), QStringLiteral("+100点"));
    QVERIFY(!g.Timer1->isActive());
    QVERIFY(!g.Command1->isEnabled());
    QVERIFY(g.Command2->isEnabled());
    QVERIFY(!g.Picture1->isEnabled());

    // Forced with the marks wrong.
    QTest::mouseClick(g.Command2, Qt::LeftButton);
    s.env.advance(16000);
    g.Timer1_Timer();
    QCOMPARE(g.Label2->text(), QStringLiteral("不正解"));
    QCOMPARE(g.Score, 100);
}

void TestGameScoring::timeBarShrinksWithTheClock_data() {
    QTest::addColumn<int>("limit");
    QTest::addColumn<std::uint32_t>("elapsed");
    QTest::addColumn<int>("lit"); // columns 0..lit-1 keep the highlight
    QTest::newRow("15 s, 7.5 s") << 150 << 7500u << 50;
    QTest::newRow("60 s, 6 s") << 600 << 6000u << 90;
    QTest::newRow("15 s, 1.5 s") << 150 << 1500u << 90;
    QTest::newRow("15 s, 13.5 s") << 150 << 13500u << 10;
}

void TestGameScoring::timeBarShrinksWithTheClock() {
    QFETCH(int, limit);
    QFETCH(std::uint32_t, elapsed);
    QFETCH(int, lit);
    Session s;
    Module1::TimeLimit = static_cast<std::int16_t>(limit);
    Form1& g = s.open();
    QTest::mouseClick(g.Command2, Qt::LeftButton);
    s.env.advance(elapsed);
    g.Timer1_Timer();
    const QImage bar = g.picTime->image();
    for (int x = lit; x < 100; ++x) {
        for (int y = 0; y < 13; ++y) QCOMPARE(bar.pixel(x, y), g.picTime->ForeColor);
    }
    bool litLeft = false;
    for (int y = 0; y < 13; ++y) litLeft = litLeft || bar.pixel(lit - 1, y) == g.picTime->BackColor;
    QVERIFY(litLeft);
    QVERIFY(g.Timer1->isActive());
}

void TestGameScoring::tickSoundEveryThirdTick() {
    Session s;
    Form1& g = s.open();
    QTest::mouseClick(g.Command2, Qt::LeftButton);
    s.env.clearEffects();
    for (int i = 0; i < 7; ++i) g.Timer1_Timer();
    QCOMPARE(s.env.effects(), std::vector<int>({1005, 1005}));
    // The count runs on into the next problem.
    QTest::mouseClick(g.Command1, Qt::LeftButton);
    QTest::mouseClick(g.Command2, Qt::LeftButton);
    s.env.clearEffects();
    g.Timer1_Timer();
    g.Timer1_Timer();
    QCOMPARE(s.env.effects(), std::vector<int>{1005});

    Module1::SoundOn = 0;
    s.env.clearEffects();
    for (int i = 0; i < 6; ++i) g.Timer1_Timer();
    QVERIFY(s.env.effects().empty());
}

void TestGameScoring::rowMarkerFollowsTheHeldKeys() {
    Session s;
    Form1& g = s.open();
    QTest::mouseClick(g.Command2, Qt::LeftButton);
    platform::setKeyDown(platform::VK_RIGHT, true);
    g.Timer1_Timer();
    QCOMPARE(g.Image1Top(), -38); // shortcuts off: never seen

    Module1::KeyShortcuts = 1;
    const struct {
        QList<int> keys;
        int top;
    } cases[] = {{{}, 0}, {{39}, 38}, {{87}, 38}, {{40}, 76}, {{81}, 76}, {{39, 40}, 76}, {{87, 81}, 76}};
    for (const auto& c : cases) {
        platform::releaseAllKeys();
        for (int vk : c.keys) platform::setKeyDown(vk, true);
        g.Timer1_Timer();
        QCOMPARE(g.Image1Top(), c.top);
        QCOMPARE(g.Image1->y(), c.top);
    }

    // The tick that ends the problem moves it too; then it stays.
    platform::releaseAllKeys();
    platform::setKeyDown(platform::VK_RIGHT, true);
    s.env.advance(15000);
    g.Timer1_Timer();
    QVERIFY(!g.Timer1->isActive());
    QCOMPARE(g.Image1Top(), 38);
}

void TestGameScoring::revealDimsAllButTheWaits() {
    Session s;
    Form1& g = s.open();
    QTest::mouseClick(g.Command2, Qt::LeftButton);
    int wait = 0;
    int other = 0;
    for (int k = 1; k <= 37; ++k) {
        if (!engine::isTile(k)) continue;
        if (g.Machi[static_cast<std::size_t>(k)] == 1 && !wait) wait = k;
        if (g.Machi[static_cast<std::size_t>(k)] == 0 && !other) other = k;
    }
    QVERIFY(wait && other);
    pressTile(g, wait);
    pressTile(g, other);
    const QImage before = g.Picture1->image();
    const QImage dim = g.Picture2->Picture();
    QTest::mouseClick(g.Command1, Qt::LeftButton);
    const QImage after = g.Picture1->image();

    for (int k = 1; k <= 39; ++k) {
        if (k % 10 == 0) continue;
        const int x0 = engine::sheetX(k);
        const int y0 = engine::sheetY(k);
        const bool dimmed = engine::isTile(k) && g.Machi[static_cast<std::size_t>(k)] == 0;
        for (int y = 0; y < 38; ++y) {
            for (int x = 0; x < 28; ++x) {
                const QRgb was = before.pixel(x0 + x, y0 + y);
                const QRgb is = after.pixel(x0 + x, y0 + y);
                if (!dimmed) {
                    QCOMPARE(is, was);
                } else if ((x + y) % 2 == 1) {
                    QCOMPARE(is, 0xFF000000u);
                } else {
                    QCOMPARE(is, (was & dim.pixel(x, y)) | 0xFF000000u);
                }
            }
        }
    }
    // The dimming pattern itself: white at the origin, black where x + y is odd.
    QCOMPARE(dim.pixel(0, 0), 0xFFFFFFFFu);
    QVERIFY(outlined(after, wait));
    QCOMPARE(after.pixel(engine::sheetX(other), engine::sheetY(other)), Cyan); // even: kept
    QCOMPARE(after.pixel(engine::sheetX(other) + 1, engine::sheetY(other)), 0xFF000000u);
    QCOMPARE(g.Label2->text(), QStringLiteral("不正解"));
}

void TestGameScoring::wrongAnswers() {
    Session s;
    Form1& g = s.open();
    // Nothing marked on a ready hand.
    QTest::mouseClick(g.Command2, Qt::LeftButton);
    s.env.clearEffects();
    s.env.advance(900);
    QTest::mouseClick(g.Command1, Qt::LeftButton);
    QCOMPARE(g.Label2->text(), QStringLiteral("不正解"));
    QVERIFY(g.Label5->text().isEmpty());
    QCOMPARE(g.Score, 0);
    QCOMPARE(g.Label4->text(), QStringLiteral("得点 0点"));
    QCOMPARE(s.env.effects(), std::vector<int>{1000});

    // Every wait and one tile more.
    playProblem(g, s.env, 900);
    QCOMPARE(g.Score, 194);
    QTest::mouseClick(g.Command2, Qt::LeftButton);
    markWaits(g);
    int extra = 1;
    while (g.Machi[static_cast<std::size_t>(extra)] == 1) ++extra;
    pressTile(g, extra);
    QTest::mouseClick(g.Command1, Qt::LeftButton);
    QCOMPARE(g.Label2->text(), QStringLiteral("不正解"));
    QVERIFY(g.Label5->text().isEmpty());
    QCOMPARE(g.Score, 194);
}

void TestGameScoring::notReadyHandIsAnsweredByMarkingNothing() {
    Session s;
    Module1::NotenOK = 1;
    Form1& g = s.open();
    QTest::mouseClick(g.Command2, Qt::LeftButton);
    g.Machi.fill(0); // the hand on screen is not ready
    s.env.clearEffects();
    s.env.advance(7500);
    QTest::mouseClick(g.Command1, Qt::LeftButton);
    QCOMPARE(g.Label2->text(), QStringLiteral("正解"));
    QCOMPARE(g.Score, 150);
    QCOMPARE(s.env.effects(), std::vector<int>{1003});
    // Every tile of the palette is dimmed.
    for (int k = 1; k <= 37; ++k) {
        if (engine::isTile(k))
            QCOMPARE(g.Picture1->image().pixel(engine::sheetX(k) + 1, engine::sheetY(k)), 0xFF000000u);
    }
}

void TestGameScoring::endOfGame() {
    Session s;
    s.env.writeFile(QStringLiteral("bralun.mid"), QByteArray("MThd"));
    Module1::MusicOn = 1;
    Form1& g = s.open();
    for (int i = 0; i < 9; ++i) playProblem(g, s.env, 900);
    QCOMPARE(g.Nokori, std::int16_t{2});
    QVERIFY(g.Command2->isEnabled());
    QVERIFY(!Module2::CurrentMusic.isEmpty());
    QTest::mouseClick(g.Command2, Qt::LeftButton);
    QCOMPARE(g.Nokori, std::int16_t{1});
    markWaits(g);
    s.env.advance(900);
    QTest::mouseClick(g.Command1, Qt::LeftButton);
    QCOMPARE(g.Nokori, std::int16_t{0});
    QCOMPARE(g.Label3->text(), QStringLiteral("全問終了"));
    QCOMPARE(g.Score, 1940);
    QCOMPARE(g.Label4->text(), QStringLiteral("得点 1940点"));
    QVERIFY(Module2::CurrentMusic.isEmpty());
    QVERIFY(s.env.mciCommands().last().startsWith(QStringLiteral("stop ")));
    QVERIFY(!g.Command1->isEnabled());
    QVERIFY(!g.Command2->isEnabled());
    QVERIFY(!g.Picture1->isEnabled());
    QVERIFY(!g.Timer1->isActive());
    QVERIFY(g.Command3->isEnabled());
}

void TestGameScoring::recordRule_data() {
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("limit");
    QTest::addColumn<int>("notenOK");
    QTest::addColumn<bool>("record");
    QTest::addColumn<bool>("notice");
    QTest::newRow("higher total") << 1939 << 150 << 0 << true << false;
    QTest::newRow("first game") << 0 << 150 << 0 << true << false;
    QTest::newRow("equal total") << 1940 << 150 << 0 << false << false;
    QTest::newRow("lower total") << 1990 << 150 << 0 << false << false;
    QTest::newRow("time limit 30 s") << 0 << 300 << 0 << false << true;
    QTest::newRow("not-ready hands") << 0 << 150 << 1 << false << true;
}

void TestGameScoring::recordRule() {
    QFETCH(int, stored);
    QFETCH(int, limit);
    QFETCH(int, notenOK);
    QFETCH(bool, record);
    QFETCH(bool, notice);
    Session s(2);
    Module1::HiScore = {5, 6, stored};
    Module1::TimeLimit = static_cast<std::int16_t>(limit);
    Module1::NotenOK = static_cast<std::int16_t>(notenOK);
    Form1& g = s.open();
    const QImage badge = s.title->Picture2[2]->Picture();
    QCOMPARE(g.Picture3->image(), badge);

    QTest::mouseClick(g.Command2, Qt::LeftButton);
    const QImage afterStart = g.Picture3->image();
    QCOMPARE(afterStart != badge, notice);
    if (notenOK == 1) g.Machi.fill(0); // answered right by marking nothing below
    // 0.9 s per problem (1.8 s under a 30 s limit) gives 194 points each.
    const std::uint32_t ms = limit == 300 ? 1800 : 900;
    s.env.advance(ms);
    if (notenOK == 0) markWaits(g);
    QTest::mouseClick(g.Command1, Qt::LeftButton);
    for (int i = 0; i < 8; ++i) {
        QTest::mouseClick(g.Command2, Qt::LeftButton);
        if (notenOK == 1)
            g.Machi.fill(0);
        else
            markWaits(g);
        s.env.advance(ms);
        QTest::mouseClick(g.Command1, Qt::LeftButton);
    }
    QCOMPARE(g.Picture3->image(), afterStart); // the notice stays all game
    s.env.clearEffects();
    QTest::mouseClick(g.Command2, Qt::LeftButton);
    if (notenOK == 1)
        g.Machi.fill(0);
    else
        markWaits(g);
    s.env.advance(ms);
    s.env.clearEffects();
    QTest::mouseClick(g.Command1, Qt::LeftButton);
    QCOMPARE(g.Score, 1940);

    QCOMPARE(Module1::HiScore[2], record ? 1940 : stored);
    QCOMPARE(Module1::HiScore[0], 5);
    QCOMPARE(Module1::HiScore[1], 6);
    QCOMPARE(s.env.effects(), record ? std::vector<int>({1003, 1002}) : std::vector<int>{1003});
    QCOMPARE(g.Picture3->image() != afterStart, record);
}

void TestGameScoring::recordIsWrittenAtOnce() {
    Session s(1);
    Module1::HiScore = {100, 200, 300};
    Form1& g = s.open();
    QVERIFY(!QFile::exists(SettingsFile::path()));
    playGame(g, s.env, 7500);
    QCOMPARE(g.Score, 1500);
    // Written before the title window closes, in the file's own format.
    QCOMPARE(s.env.readFile(QStringLiteral("bralun.ini")),
             SettingsFile::line(s.title->Left(), s.title->Top()));
    QVERIFY(s.env.readFile(QStringLiteral("bralun.ini")).startsWith("100,1500,300,"));
}

void TestGameScoring::failedEarlySaveKeepsPlaying() {
    Session t(0);
    QDir().mkpath(t.env.file(QStringLiteral("bralun.ini"))); // a directory in the file's place
    Form1& h = t.open();
    playGame(h, t.env, 900);
    QCOMPARE(Module1::HiScore[0], 1940);
    QCOMPARE(h.Label3->text(), QStringLiteral("全問終了"));
    QVERIFY(QFileInfo(t.env.file(QStringLiteral("bralun.ini"))).isDir());
}

QTEST_MAIN(TestGameScoring)
#include "tst_game_scoring.moc"
