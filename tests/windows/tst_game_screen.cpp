// The game screen as it opens (palette, badge, placement, closing), then a problem set up
// and its answer marked by mouse and keys.

#include "platform/keystate.h"
#include "platform/twips.h"
#include "platform/window.h"
#include "sound/module2.h"
#include "tst_game.h"

#include <QKeyEvent>
#include <QScreen>

using namespace gametest;

class TestGameScreen : public QObject {
    Q_OBJECT
  private slots:
    void opensWithTheCleanPaletteAndTheLevelsBadge() {
        Session s;
        Form1& g = s.open();
        QVERIFY(g.Picture2->isHidden());
        QCOMPARE(g.Picture1->image(), g.Picture1->Picture());
        // The badge of the level, and of no other.
        for (int level = 0; level < 3; ++level) {
            Module1::Level = level;
            const auto game = s.title->makeGame();
            for (int other = 0; other < 3; ++other)
                QCOMPARE(game->Picture3->image() == s.title->Picture2[std::size_t(other)]->Picture(),
                         other == level);
        }
    }

    void placement_data() {
        QTest::addColumn<int>("titleLeft");   // pixels
        QTest::addColumn<int>("screenWidth"); // pixels, 0 for the real screen
        QTest::addColumn<bool>("crosses");    // the pair would cross the screen's edge
        QTest::newRow("title at the left") << 0 << 0 << false;
        QTest::newRow("title at the right edge") << 700 << 0 << true;
        QTest::newRow("pair wider than the screen") << 50 << 500 << true;
    }

    void placement() {
        QFETCH(int, titleLeft);
        QFETCH(int, screenWidth);
        QFETCH(bool, crosses);
        Session s;
        s.title->show();
        QVERIFY(QTest::qWaitForWindowExposed(s.title.get()));
        s.title->move(titleLeft, 40);
        const double S =
            platform::twips(screenWidth ? screenWidth : s.title->screen()->geometry().right() + 1);
        if (screenWidth) Form1::setScreenWidthSource([S] { return S; });
        const double W2 = s.title->Width();
        const double L2 = s.title->Left();

        Form1& g = s.open();
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        const double W1 = platform::outerWidth(&g);
        QCOMPARE(L2 + W2 + W1 > S, crosses);
        const double expectedTitleLeft = crosses ? S - W1 - W2 : L2;
        QCOMPARE(platform::outerLeft(&g), expectedTitleLeft + W2);
        QCOMPARE(platform::outerTop(&g), s.title->Top());
        // The offscreen platform keeps windows from starting left of the screen: a negative
        // position is checked only for its sign there.
        QVERIFY(expectedTitleLeft >= 0 ? s.title->Left() == expectedTitleLeft : s.title->Left() < 0);
    }

    void escapeKeepsTheGameButTheCloseBoxEndsIt() {
        Session s;
        s.withMusic();
        Form1& g = s.openActive();
        click(g.Command2); // a problem is open
        QTest::keyClick(&g, Qt::Key_Escape);
        QTest::keyClick(g.Picture1, Qt::Key_Escape);
        QVERIFY(g.isVisible() && g.Timer1->isActive());

        // The close box asks nothing, stops the clock and the music.
        QVERIFY(g.close());
        QVERIFY(!g.Timer1->isActive() && !g.replayRequested() && Module2::CurrentMusic.isEmpty());
        QVERIFY(s.env.mciCommands().last().startsWith(QStringLiteral("stop ")));
    }

    void outlinedTextHasABlackRim() {
        Session s;
        Form1& g = s.open();
        const QRgb ground = qRgb(0, 160, 0);
        g.Picture3->BackColor = ground;
        g.Picture3->Cls();
        g.printOutlined(5, 12, QStringLiteral("記録更新"));
        const QImage img = g.Picture3->image();
        int white = 0;
        int black = 0;
        for (int i = 0; i < img.width() * img.height(); ++i) {
            const QPoint at(i % img.width(), i / img.width());
            black += img.pixel(at) == 0xFF000000;
            if (img.pixel(at) != 0xFFFFFFFF) continue;
            ++white;
            // Wherever the text is fully white, the rim hides the ground two pixels around it.
            for (int d = 0; d < 25; ++d) {
                const QPoint p = at + QPoint(d % 5 - 2, d / 5 - 2);
                if (img.rect().contains(p)) QVERIFY(img.pixel(p) != ground);
            }
        }
        QVERIFY(white > 20 && black > white);
    }

    void drawsTheHandOneDrawPerTile() {
        for (const auto& [upsideDown, sortHai] : {std::pair{0, 1}, {0, 0}, {1, 1}}) {
            Session s(1);
            Module1::UpsideDownHai = static_cast<std::int16_t>(upsideDown);
            Module1::SortHai = static_cast<std::int16_t>(sortHai);
            Form1& g = s.openStarted();

            // The same seed through the engine alone, then one draw per tile.
            engine::Mt19937Random random(Seed);
            engine::Mondai reference(random);
            reference.buildProblem(1, Module1::NotenOK, Module1::SortHai);
            QCOMPARE(g.Tehai, reference.Tehai);
            QCOMPARE(g.Machi, reference.Machi);
            int turned = 0;
            for (int i = 0; i < 13; ++i) {
                QImage tile =
                    g.Picture1->Picture().copy(cellRect(reference.Tehai[static_cast<std::size_t>(i)]));
                if (random.Rnd() < 0.5f && upsideDown == 1) { // drawn for every tile
                    tile = tile.mirrored(true, true);
                    ++turned;
                }
                QCOMPARE(g.picHaipai->image().copy(i * 28, 0, 28, 38), tile);
            }
            QCOMPARE(g.Rnd(), random.Rnd()); // exactly 13 draws were taken for the tiles
            if (upsideDown == 1) QVERIFY(turned > 0 && turned < 13);
            if (sortHai == 1) QVERIFY(std::is_sorted(g.Tehai.begin(), g.Tehai.begin() + 13));
        }
    }

    void startReadiesTheClockAndWipesTheLastProblem() {
        Session s;
        Form1& g = s.openStarted();
        QCOMPARE(g.picTime->image().pixel(99, 12), g.picTime->BackColor); // the bar is lit whole

        for (int left = 10; left > 1; --left) {
            QCOMPARE(g.Label3->text(), QStringLiteral("残り%1問").arg(left, 2)); // "残り 9問"
            pressTile(g, 1);
            pressTile(g, 37);
            click(g.Command1); // leaves marks, dimming and a verdict
            click(g.Command2);
            QCOMPARE(g.Picture1->image(), g.Picture1->Picture());
            for (std::int16_t k : g.Kotae) QCOMPARE(k, std::int16_t{0});
            QVERIFY(g.Label2->text().isEmpty());
        }
        QCOMPARE(g.Label3->text(), QStringLiteral("残り 1問"));
    }

    void pressesMarkTheTilesAndTakingOneBackRedrawsTheOthers() {
        Session s;
        Form1& g = s.openStarted();
        s.env.clearEffects();
        const QImage sheet = g.Picture1->Picture();
        const int b = g.Picture1->borderWidth();
        // The two cells right of the white dragon, and the palette's border right and below: only a click.
        const QPoint outside[] = {cellCentre(g, 38), cellCentre(g, 39), {b + 252, b + 10},
                                  {b + 252, b + 50}, {b + 252, b + 90}, {b + 100, b + 152}};
        for (const QPoint& p : outside) QTest::mouseClick(g.Picture1, Qt::LeftButton, {}, p);
        QCOMPARE(g.Picture1->image(), sheet);
        for (std::int16_t k : g.Kotae) QCOMPARE(k, std::int16_t{0});

        QTest::mousePress(g.Picture1, Qt::RightButton, {}, cellCentre(g, 4)); // any button, on the press
        QCOMPARE(g.Kotae[4], std::int16_t{1});
        QVERIFY(outlined(g.Picture1->image(), 4));
        QTest::mouseRelease(g.Picture1, Qt::RightButton, {}, cellCentre(g, 4));
        const QRect inside = cellRect(4).adjusted(1, 1, -1, -1);
        QCOMPARE(g.Picture1->image().copy(inside), sheet.copy(inside));

        for (int code : {3, 5, 25, 37}) pressTile(g, code);
        const QImage before = g.Picture1->image();
        pressTile(g, 4); // taken back: its neighbours' outlines touch it
        const QImage after = g.Picture1->image();
        QCOMPARE(g.Kotae[4], std::int16_t{0});
        QVERIFY(cleanCell(after, sheet, 4));
        for (int code : {3, 5, 25, 37}) {
            QVERIFY(outlined(after, code));
            QCOMPARE(after.copy(cellRect(code)), before.copy(cellRect(code)));
        }
        for (int code : {1, 2, 6, 11, 24, 26, 36}) QVERIFY(cleanCell(after, sheet, code));
        QCOMPARE(s.env.effects(), std::vector<int>(std::size(outside) + 6, 1001));
    }

    void keysReachTheRows_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("keypad");
        QTest::addColumn<QList<int>>("held");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("markerTop"); // where the row marker goes on the next tick
        using L = QList<int>;
        QTest::newRow("5") << int(Qt::Key_5) << false << L{} << 5 << 0;
        QTest::newRow("9 with Right") << int(Qt::Key_9) << false << L{39} << 19 << 38;
        QTest::newRow("5 with W") << int(Qt::Key_5) << false << L{87} << 15 << 38;
        QTest::newRow("5 with Down") << int(Qt::Key_5) << false << L{40} << 25 << 76;
        QTest::newRow("5 with W and Q") << int(Qt::Key_5) << false << L{87, 81} << 25 << 76;
        QTest::newRow("5 with Right and Down") << int(Qt::Key_5) << false << L{39, 40} << 25 << 76;
        QTest::newRow("keypad 1 with Right") << int(Qt::Key_1) << true << L{39} << 11 << 38;
        QTest::newRow("keypad 9") << int(Qt::Key_9) << true << L{} << 9 << 0;
        const char honours[] = "ASDFZXC"; // East, South, West, North, green, red, white
        for (int i = 0; i < 7; ++i)
            QTest::addRow("%c", honours[i]) << int(honours[i]) << false << L{} << 31 + i << 0;
        QTest::newRow("X with Down") << int(Qt::Key_X) << false << L{40} << 36 << 76;
        QTest::newRow("0") << int(Qt::Key_0) << false << L{} << 0 << 0;
        QTest::newRow("G") << int(Qt::Key_G) << false << L{} << 0 << 0;
        // Shortcuts off (code -1): nothing marked, and the marker is never seen.
        QTest::newRow("off: 9 with Right") << int(Qt::Key_9) << false << L{39} << -1 << -38;
        QTest::newRow("off: keypad 5 with Right") << int(Qt::Key_5) << true << L{39} << -1 << -38;
        QTest::newRow("off: C") << int(Qt::Key_C) << false << L{} << -1 << -38;
    }

    void keysReachTheRows() {
        QFETCH(int, key);
        QFETCH(bool, keypad);
        QFETCH(QList<int>, held);
        QFETCH(int, code);
        QFETCH(int, markerTop);
        Session s;
        Module1::KeyShortcuts = code >= 0 ? 1 : 0;
        Form1& g = s.openStarted();
        for (int vk : held) platform::setKeyDown(vk, true);
        s.env.clearEffects();
        QTest::keyClick(g.Picture1, static_cast<Qt::Key>(key), keypad ? Qt::KeypadModifier : Qt::NoModifier);
        for (int k = 1; k <= 37; ++k)
            QCOMPARE(g.Kotae[static_cast<std::size_t>(k)], std::int16_t(k == code ? 1 : 0));
        QCOMPARE(s.env.effects(), code > 0 ? std::vector<int>{1001} : std::vector<int>{});
        if (code > 0) QVERIFY(outlined(g.Picture1->image(), code));

        g.Timer1_Timer();
        QCOMPARE(g.Image1->y(), markerTop);
    }

    // A held key toggles its tile once per repeat.
    void heldKeyTogglesOncePerRepeat() {
        Session s;
        Module1::KeyShortcuts = 1;
        Form1& g = s.openStarted();
        platform::setKeyDown(platform::VK_RIGHT, true); // the second row
        s.env.clearEffects();
        for (int i = 0; i < 5; ++i) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_3, Qt::NoModifier, QStringLiteral("3"), i > 0);
            QApplication::sendEvent(g.Picture1, &press);
            QCOMPARE(g.Kotae[13], std::int16_t(i % 2 == 0 ? 1 : 0));
        }
        QCOMPARE(s.env.effects().size(), std::size_t{5});
    }
};

QTEST_MAIN(TestGameScreen)
#include "tst_game_screen.moc"
