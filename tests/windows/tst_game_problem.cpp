// Setting up a problem and marking the answer by mouse and keys.

#include "platform/keystate.h"
#include "tst_game.h"

#include <QKeyEvent>

using namespace gametest;

class TestGameProblem : public QObject {
    Q_OBJECT
  private slots:
    void drawsTheHandOneDrawPerTile_data();
    void drawsTheHandOneDrawPerTile();
    void startReadiesTheControlsAndClock();
    void startWipesTheLastProblemsMarks();
    void pressMarksAndUnmarks();
    void takingOneBackRedrawsTheOthers();
    void pressesOutsideTheTilesOnlyClick();
    void keysReachTheRows_data();
    void keysReachTheRows();
    void keysDoNothingWithShortcutsOff();
    void keyRepeatTogglesOncePerRepeat();
    void enterOnThePaletteAnswers();
};

void TestGameProblem::drawsTheHandOneDrawPerTile_data() {
    QTest::addColumn<int>("upsideDown");
    QTest::addColumn<int>("sortHai");
    QTest::newRow("upright, sorted") << 0 << 1;
    QTest::newRow("upright, shuffled") << 0 << 0;
    QTest::newRow("upside down allowed") << 1 << 1;
}

void TestGameProblem::drawsTheHandOneDrawPerTile() {
    QFETCH(int, upsideDown);
    QFETCH(int, sortHai);
    Session s(1);
    Module1::UpsideDownHai = static_cast<std::int16_t>(upsideDown);
    Module1::SortHai = static_cast<std::int16_t>(sortHai);
    Form1& g = s.open();
    QTest::mouseClick(g.Command2, Qt::LeftButton);

    // The same seed through the engine alone, then one draw per tile.
    engine::Mt19937Random random(Seed);
    engine::Mondai reference(random);
    reference.buildProblem(1, Module1::NotenOK, Module1::SortHai);
    QCOMPARE(g.Tehai, reference.Tehai);
    QCOMPARE(g.Machi, reference.Machi);
    const QImage sheet = g.Picture1->Picture();
    int turned = 0;
    for (int i = 0; i < 13; ++i) {
        const int code = reference.Tehai[static_cast<std::size_t>(i)];
        QImage tile = sheet.copy(engine::sheetX(code), engine::sheetY(code), 28, 38);
        const float r = random.Rnd(); // drawn for every tile
        const bool flip = upsideDown == 1 && r < 0.5f;
        if (flip) {
            tile = tile.mirrored(true, true);
            ++turned;
        }
        QCOMPARE(g.picHaipai->image().copy(i * 28, 0, 28, 38), tile);
    }
    QCOMPARE(g.Rnd(), random.Rnd()); // exactly 13 draws were taken for the tiles
    if (upsideDown == 1) QVERIFY(turned > 0 && turned < 13);
    if (sortHai == 1) QVERIFY(std::is_sorted(g.Tehai.begin(), g.Tehai.begin() + 13));
}

void TestGameProblem::startReadiesTheControlsAndClock() {
    Session s;
    Form1& g = s.open();
    g.show();
    QVERIFY(QTest::qWaitForWindowActive(&g));
    s.env.now = 123456;
    QTest::mouseClick(g.Command2, Qt::LeftButton);
    QCOMPARE(g.StartTick, 123456u);
    QCOMPARE(g.Nokori, std::int16_t{10});
    QCOMPARE(g.Label3->text(), QStringLiteral("残り10問"));
    QCOMPARE(g.Command2->text(), QStringLiteral("次の問題へ行く"));
    QVERIFY(g.Picture1->isEnabled());
    QVERIFY(g.Command1->isEnabled());
    QVERIFY(!g.Command2->isEnabled());
    QVERIFY(g.Timer1->isActive());
    QCOMPARE(QApplication::focusWidget(), g.Picture1);
    QVERIFY(waitCount(g) > 0); // not-ready hands are off
    // The bar is lit whole, with its caption printed in the button-face colour.
    const QImage bar = g.picTime->image();
    QCOMPARE(bar.pixel(99, 0), g.picTime->BackColor);
    QCOMPARE(bar.pixel(99, 12), g.picTime->BackColor);
    int caption = 0;
    for (int x = 0; x < 60; ++x) {
        for (int y = 0; y < 13; ++y) caption += bar.pixel(x, y) != g.picTime->BackColor;
    }
    QVERIFY(caption > 20);

    QStringList counts{g.Label3->text()};
    for (int i = 0; i < 9; ++i) {
        QTest::mouseClick(g.Command1, Qt::LeftButton);
        QTest::mouseClick(g.Command2, Qt::LeftButton);
        counts << g.Label3->text();
    }
    QCOMPARE(counts, QStringList({"残り10問", "残り 9問", "残り 8問", "残り 7問", "残り 6問", "残り 5問",
                                  "残り 4問", "残り 3問", "残り 2問", "残り 1問"}));
}

void TestGameProblem::startWipesTheLastProblemsMarks() {
    Session s;
    Form1& g = s.open();
    QTest::mouseClick(g.Command2, Qt::LeftButton);
    pressTile(g, 1);
    pressTile(g, 37);
    QTest::mouseClick(g.Command1, Qt::LeftButton); // leaves marks and dimming
    QVERIFY(g.Picture1->image() != g.Picture1->Picture());
    QVERIFY(!g.Label2->text().isEmpty());
    QTest::mouseClick(g.Command2, Qt::LeftButton);
    QCOMPARE(g.Picture1->image(), g.Picture1->Picture());
    for (int k = 1; k <= 37; ++k) QCOMPARE(g.Kotae[static_cast<std::size_t>(k)], std::int16_t{0});
    QVERIFY(g.Label2->text().isEmpty());
    QVERIFY(g.Label5->text().isEmpty());
}

void TestGameProblem::pressMarksAndUnmarks() {
    Session s;
    Form1& g = s.open();
    QTest::mouseClick(g.Command2, Qt::LeftButton);
    s.env.clearEffects();
    const QImage sheet = g.Picture1->Picture();

    QTest::mousePress(g.Picture1, Qt::RightButton, {}, cellCentre(g, 19)); // any button, on the press
    QCOMPARE(g.Kotae[19], std::int16_t{1});
    QVERIFY(outlined(g.Picture1->image(), 19));
    QTest::mouseRelease(g.Picture1, Qt::RightButton, {}, cellCentre(g, 19));
    const QRect inside(engine::sheetX(19) + 1, engine::sheetY(19) + 1, 26, 36);
    QCOMPARE(g.Picture1->image().copy(inside), sheet.copy(inside));

    pressTile(g, 19);
    QCOMPARE(g.Kotae[19], std::int16_t{0});
    QCOMPARE(g.Picture1->image(), sheet);
    QCOMPARE(s.env.effects(), std::vector<int>({1001, 1001}));

    Module1::SoundOn = 0;
    pressTile(g, 21);
    QCOMPARE(g.Kotae[21], std::int16_t{1});
    QCOMPARE(s.env.effects().size(), std::size_t{2});
}

void TestGameProblem::takingOneBackRedrawsTheOthers() {
    Session s;
    Form1& g = s.open();
    QTest::mouseClick(g.Command2, Qt::LeftButton);
    const QImage sheet = g.Picture1->Picture();
    for (int code : {3, 4, 5, 25, 37}) pressTile(g, code);
    const QImage before = g.Picture1->image();
    pressTile(g, 4); // its neighbours' outlines touch it
    const QImage after = g.Picture1->image();
    QVERIFY(cleanCell(after, sheet, 4));
    for (int code : {3, 5, 25, 37}) {
        QVERIFY(outlined(after, code));
        const QRect cell(engine::sheetX(code), engine::sheetY(code), 28, 38);
        QCOMPARE(after.copy(cell), before.copy(cell));
    }
    for (int code : {1, 2, 6, 11, 24, 26, 36}) QVERIFY(cleanCell(after, sheet, code));
}

void TestGameProblem::pressesOutsideTheTilesOnlyClick() {
    Session s;
    Form1& g = s.open();
    QTest::mouseClick(g.Command2, Qt::LeftButton);
    s.env.clearEffects();
    const QImage sheet = g.Picture1->Picture();
    const int b = g.Picture1->borderWidth();
    // The two cells right of the white dragon, and the palette's border on every side.
    const QPoint presses[] = {cellCentre(g, 38),
                              cellCentre(g, 39),
                              {b + 252, b + 10},
                              {b + 252, b + 50},
                              {b + 252, b + 90},
                              {b + 100, b + 152},
                              {0, 1},
                              {1, b + 60}};
    for (const QPoint& p : presses) QTest::mouseClick(g.Picture1, Qt::LeftButton, {}, p);
    QCOMPARE(g.Picture1->image(), sheet);
    for (std::int16_t k : g.Kotae) QCOMPARE(k, std::int16_t{0});
    QCOMPARE(s.env.effects(), std::vector<int>(std::size(presses), 1001));

    // Those presses must not spoil a right answer.
    markWaits(g);
    QTest::mouseClick(g.Command1, Qt::LeftButton);
    QCOMPARE(g.Label2->text(), QStringLiteral("正解"));
}

void TestGameProblem::keysReachTheRows_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("keypad");
    QTest::addColumn<QList<int>>("held");
    QTest::addColumn<int>("code");
    using L = QList<int>;
    QTest::newRow("5") << int(Qt::Key_5) << false << L{} << 5;
    QTest::newRow("1") << int(Qt::Key_1) << false << L{} << 1;
    QTest::newRow("9 with Right") << int(Qt::Key_9) << false << L{39} << 19;
    QTest::newRow("5 with W") << int(Qt::Key_5) << false << L{87} << 15;
    QTest::newRow("5 with Down") << int(Qt::Key_5) << false << L{40} << 25;
    QTest::newRow("5 with Q") << int(Qt::Key_5) << false << L{81} << 25;
    QTest::newRow("5 with Right and Down") << int(Qt::Key_5) << false << L{39, 40} << 25;
    QTest::newRow("5 with W and Q") << int(Qt::Key_5) << false << L{87, 81} << 25;
    QTest::newRow("keypad 5") << int(Qt::Key_5) << true << L{} << 5;
    QTest::newRow("keypad 1 with Right") << int(Qt::Key_1) << true << L{39} << 11;
    QTest::newRow("keypad 9 with Down") << int(Qt::Key_9) << true << L{40} << 29;
    QTest::newRow("A East") << int(Qt::Key_A) << false << L{} << 31;
    QTest::newRow("S South") << int(Qt::Key_S) << false << L{} << 32;
    QTest::newRow("D West") << int(Qt::Key_D) << false << L{} << 33;
    QTest::newRow("F North") << int(Qt::Key_F) << false << L{} << 34;
    QTest::newRow("Z green") << int(Qt::Key_Z) << false << L{} << 35;
    QTest::newRow("X red, Down held") << int(Qt::Key_X) << false << L{40} << 36;
    QTest::newRow("C white") << int(Qt::Key_C) << false << L{} << 37;
    QTest::newRow("0 nothing") << int(Qt::Key_0) << false << L{} << 0;
    QTest::newRow("keypad 0 nothing") << int(Qt::Key_0) << true << L{} << 0;
    QTest::newRow("G nothing") << int(Qt::Key_G) << false << L{} << 0;
}

void TestGameProblem::keysReachTheRows() {
    QFETCH(int, key);
    QFETCH(bool, keypad);
    QFETCH(QList<int>, held);
    QFETCH(int, code);
    Session s;
    Module1::KeyShortcuts = 1;
    Form1& g = s.open();
    QTest::mouseClick(g.Command2, Qt::LeftButton);
    for (int vk : held) platform::setKeyDown(vk, true);
    s.env.clearEffects();
    QTest::keyClick(g.Picture1, static_cast<Qt::Key>(key), keypad ? Qt::KeypadModifier : Qt::NoModifier);
    for (int k = 1; k <= 37; ++k)
        QCOMPARE(g.Kotae[static_cast<std::size_t>(k)], std::int16_t(k == code ? 1 : 0));
    if (code) {
        QVERIFY(outlined(g.Picture1->image(), code));
        QCOMPARE(s.env.effects(), std::vector<int>{1001});
    } else {
        QCOMPARE(g.Picture1->image(), g.Picture1->Picture());
    }
}

void TestGameProblem::keysDoNothingWithShortcutsOff() {
    Session s;
    Form1& g = s.open();
    QTest::mouseClick(g.Command2, Qt::LeftButton);
    s.env.clearEffects();
    for (Qt::Key key : {Qt::Key_1, Qt::Key_5, Qt::Key_9, Qt::Key_A, Qt::Key_C})
        QTest::keyClick(g.Picture1, key);
    QTest::keyClick(g.Picture1, Qt::Key_5, Qt::KeypadModifier);
    for (std::int16_t k : g.Kotae) QCOMPARE(k, std::int16_t{0});
    QVERIFY(s.env.effects().empty());
}

void TestGameProblem::keyRepeatTogglesOncePerRepeat() {
    Session s;
    Module1::KeyShortcuts = 1;
    Form1& g = s.open();
    QTest::mouseClick(g.Command2, Qt::LeftButton);
    s.env.clearEffects();
    QKeyEvent first(QEvent::KeyPress, Qt::Key_3, Qt::NoModifier, QStringLiteral("3"), false);
    QApplication::sendEvent(g.Picture1, &first);
    for (int i = 0; i < 4; ++i) {
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_3, Qt::NoModifier, QStringLiteral("3"), true);
        QApplication::sendEvent(g.Picture1, &repeat);
        QCOMPARE(g.Kotae[3], std::int16_t(i % 2 == 0 ? 0 : 1));
    }
    QCOMPARE(s.env.effects().size(), std::size_t{5});
}

void TestGameProblem::enterOnThePaletteAnswers() {
    Session s;
    Form1& g = s.open();
    g.show();
    QVERIFY(QTest::qWaitForWindowActive(&g));
    QTest::mouseClick(g.Command2, Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), g.Picture1);
    markWaits(g);
    QTest::keyClick(g.Picture1, Qt::Key_Return);
    QCOMPARE(g.Label2->text(), QStringLiteral("正解"));
    QCOMPARE(QApplication::focusWidget(), g.Command2);
    // Enter on the focused next button goes on to the next problem.
    QTest::keyClick(g.Command2, Qt::Key_Return);
    QCOMPARE(g.Nokori, std::int16_t{9});
}

QTEST_MAIN(TestGameProblem)
#include "tst_game_problem.moc"
