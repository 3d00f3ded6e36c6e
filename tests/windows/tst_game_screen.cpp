// The game screen as it opens: controls, fonts, badge, placement, closing.

#include "platform/twips.h"
#include "platform/window.h"
#include "sound/module2.h"
#include "tst_game.h"

#include <QFontInfo>
#include <QGuiApplication>
#include <QScreen>

using namespace gametest;
using platform::twipRect;

class TestGameScreen : public QObject {
    Q_OBJECT
  private slots:
    void controlsStandWhereDesigned();
    void fontsAndCaptions();
    void opensInPhaseNotStarted();
    void showsTheBadgeOfTheLevel_data();
    void showsTheBadgeOfTheLevel();
    void placement_data();
    void placement();
    void escapeKeepsTheGameButTheCloseBoxEndsIt();
    void closingStopsTheMusic();
    void outlinedTextHasABlackRim();
};

void TestGameScreen::controlsStandWhereDesigned() {
    Session s;
    Form1& g = s.open();
    QCOMPARE(g.size(), QSize(369, 273));
    QCOMPARE(g.windowTitle(), QStringLiteral("Orvandis ゾルベク"));
    QVERIFY(!g.windowIcon().isNull());
    QVERIFY(g.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!g.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!g.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    QCOMPARE(g.minimumSize(), g.maximumSize());

    const struct {
        QWidget* w;
        QRect place;
    } table[] = {
        {g.Picture1, twipRect(1680, 1560, 3840, 2340)}, {g.picHaipai, twipRect(0, 840, 5520, 630)},
        {g.Label1, twipRect(0, 600, 4095, 255)},        {g.Command1, twipRect(45, 1560, 1575, 495)},
        {g.Command2, twipRect(45, 2085, 1575, 540)},    {g.picTime, twipRect(60, 2700, 1560, 255)},
        {g.Picture2, twipRect(4440, 3240, 420, 570)},   {g.Label2, twipRect(90, 3000, 1455, 495)},
        {g.Label3, twipRect(0, 120, 1335, 375)},        {g.Label4, twipRect(2400, 240, 1455, 255)},
        {g.Label5, twipRect(1440, 240, 1335, 255)},     {g.Picture3, twipRect(3960, 0, 1500, 780)},
        {g.Command3, twipRect(30, 3570, 1575, 495)},
    };
    for (const auto& row : table) QCOMPARE(row.w->geometry(), row.place);

    // Drawing areas inside the 2-px borders.
    QCOMPARE(g.Picture1->image().size(), QSize(252, 152));
    QCOMPARE(g.picHaipai->image().size(), QSize(364, 38));
    QCOMPARE(g.picTime->image().size(), QSize(100, 13));
    QCOMPARE(g.Picture3->image().size(), QSize(96, 48));
    QCOMPARE(g.Picture2->image().size(), QSize(28, 38));
    QVERIFY(g.Picture2->isHidden());

    QVERIFY(g.Picture1->isAncestorOf(g.Image1));
    QCOMPARE(g.Image1->parentWidget()->geometry(), QRect(2, 2, 252, 152)); // clipped to the drawing area
    QCOMPARE(g.Image1->size(), QSize(28, 38));
    QCOMPARE(g.Picture1->image(), g.Picture1->Picture());
    QCOMPARE(g.Picture1->Picture().size(), QSize(252, 152));

    QCOMPARE(g.Timer1->interval(), 150);
    QVERIFY(g.Command1->isDefault());

    // Tab order of the controls that can take the focus.
    QList<QWidget*> chain;
    for (QWidget* w = g.Picture1->nextInFocusChain(); w != g.Picture1; w = w->nextInFocusChain()) {
        if (w == g.picHaipai || w == g.Command1 || w == g.Command2 || w == g.picTime || w == g.Picture3 ||
            w == g.Command3)
            chain << w;
    }
    const QList<QWidget*> expected{g.picHaipai, g.Command1, g.Command2, g.picTime, g.Picture3, g.Command3};
    QCOMPARE(chain, expected);
}

void TestGameScreen::fontsAndCaptions() {
    Session s;
    Form1& g = s.open();
    const QString mincho = QFontInfo(QFont(QStringLiteral("IPAPMincho"))).family();
    const QString gothic = QFontInfo(QFont(QStringLiteral("IPAPGothic"))).family();
    const struct {
        QWidget* w;
        QString family;
        double points;
    } fonts[] = {
        {g.Label1, gothic, 11.25}, {g.Label2, mincho, 20.25}, {g.Label3, mincho, 14.25},
        {g.Label4, mincho, 12},    {g.Label5, mincho, 12},    {g.Picture3, mincho, 15.75},
    };
    for (const auto& f : fonts) {
        QCOMPARE(QFontInfo(f.w->font()).family(), f.family);
        QCOMPARE(f.w->font().pointSizeF(), f.points);
        QVERIFY(f.w->font().bold());
    }
    QCOMPARE(g.Label1->text(), QStringLiteral("この聴牌に対する当たり牌を答えよ。"));
    QCOMPARE(g.Command1->text(), QStringLiteral("解答完了"));
    QCOMPARE(g.Command3->text(), QStringLiteral("終了(&Q)"));
    QCOMPARE(g.Label5->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    QCOMPARE(g.picTime->BackColor, g.palette().color(QPalette::Highlight).rgb());
    QCOMPARE(g.picTime->ForeColor, g.palette().color(QPalette::Button).rgb());
}

void TestGameScreen::opensInPhaseNotStarted() {
    Session s;
    Form1& g = s.open();
    QCOMPARE(g.Nokori, std::int16_t{11});
    QCOMPARE(g.Score, 0);
    QCOMPARE(g.Image1Top(), -38);
    QCOMPARE(g.Image1->y(), -38);
    // Above the palette the marker is out of sight, its border included.
    const QImage shown = g.Picture1->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shown.copy(2, 2, 252, 152), g.Picture1->image());
    for (int x = 0; x < 40; ++x) QVERIFY(qBlue(shown.pixel(x, 1)) > 0 || qRed(shown.pixel(x, 1)) < 200);
    QCOMPARE(g.Command2->text(), QStringLiteral("開始"));
    QVERIFY(g.Command2->isEnabled());
    QVERIFY(!g.Command1->isEnabled());
    QVERIFY(!g.Picture1->isEnabled());
    QVERIFY(!g.Timer1->isActive());
    QCOMPARE(g.Label4->text(), QStringLiteral("得点"));
    QVERIFY(g.Label2->text().isEmpty());
    QVERIFY(g.Label3->text().isEmpty());
    QVERIFY(g.Label5->text().isEmpty());
}

void TestGameScreen::showsTheBadgeOfTheLevel_data() {
    QTest::addColumn<int>("level");
    QTest::newRow("初級") << 0;
    QTest::newRow("中級") << 1;
    QTest::newRow("上級") << 2;
}

void TestGameScreen::showsTheBadgeOfTheLevel() {
    QFETCH(int, level);
    Session s(level);
    Form1& g = s.open();
    QCOMPARE(g.Picture3->image(), s.title->Picture2[static_cast<std::size_t>(level)]->Picture());
    for (int other = 0; other < 3; ++other) {
        if (other != level)
            QVERIFY(g.Picture3->image() != s.title->Picture2[static_cast<std::size_t>(other)]->Picture());
    }
}

void TestGameScreen::placement_data() {
    QTest::addColumn<int>("titleLeft");   // pixels
    QTest::addColumn<int>("screenWidth"); // pixels, 0 for the real screen
    QTest::newRow("title at the left") << 0 << 0;
    QTest::newRow("title at the right edge") << 700 << 0;
    QTest::newRow("pair wider than the screen") << 50 << 500;
}

void TestGameScreen::placement() {
    QFETCH(int, titleLeft);
    QFETCH(int, screenWidth);
    Session s;
    s.title->show();
    QVERIFY(QTest::qWaitForWindowExposed(s.title.get()));
    s.title->move(titleLeft, 40);
    const double S = screenWidth ? platform::twips(screenWidth)
                                 : platform::twips(s.title->screen()->geometry().right() + 1);
    if (screenWidth) Form1::setScreenWidthSource([S] { return S; });
    const double W2 = s.title->Width();
    const double L2 = s.title->Left();

    Form1& g = s.open();
    g.show();
    QVERIFY(QTest::qWaitForWindowExposed(&g));
    const double W1 = platform::outerWidth(&g);
    const bool crosses = L2 + W2 + W1 > S;
    const double expectedTitleLeft = crosses ? S - W1 - W2 : L2;

    QCOMPARE(platform::outerLeft(&g), expectedTitleLeft + W2);
    // The offscreen platform keeps windows from starting left of the screen, so a negative
    // position is checked only for its sign there.
    if (expectedTitleLeft >= 0) QCOMPARE(s.title->Left(), expectedTitleLeft);
    QCOMPARE(platform::outerTop(&g), s.title->Top());
    if (crosses) QCOMPARE(platform::outerLeft(&g) + W1, S); // ends at the screen's edge
    if (titleLeft == 0) QVERIFY(!crosses);
    if (titleLeft == 700) QVERIFY(crosses);
    if (screenWidth) QVERIFY(s.title->Left() < 0);
}

void TestGameScreen::escapeKeepsTheGameButTheCloseBoxEndsIt() {
    Session s;
    Form1& g = s.open();
    g.show();
    QVERIFY(QTest::qWaitForWindowActive(&g));
    QTest::mouseClick(g.Command2, Qt::LeftButton); // a problem is open
    QTest::keyClick(&g, Qt::Key_Escape);
    QTest::keyClick(g.Picture1, Qt::Key_Escape);
    QVERIFY(g.isVisible());
    QVERIFY(g.Timer1->isActive());

    // The close box asks nothing, whatever the phase.
    QVERIFY(g.close());
    QVERIFY(!g.isVisible());
    QVERIFY(!g.Timer1->isActive());
    QVERIFY(!g.replayRequested());
}

void TestGameScreen::closingStopsTheMusic() {
    Session s;
    s.env.writeFile(QStringLiteral("bralun.mid"), QByteArray("MThd"));
    Module1::MusicOn = 1;
    Form1& g = s.open();
    g.show();
    QTest::mouseClick(g.Command2, Qt::LeftButton);
    QVERIFY(!Module2::CurrentMusic.isEmpty());
    g.close();
    QVERIFY(Module2::CurrentMusic.isEmpty());
    QVERIFY(s.env.mciCommands().last().startsWith(QStringLiteral("stop ")));
}

void TestGameScreen::outlinedTextHasABlackRim() {
    Session s;
    Form1& g = s.open();
    const QRgb ground = qRgb(0, 160, 0);
    g.Picture3->BackColor = ground;
    g.Picture3->Cls();
    g.printOutlined(5, 12, QStringLiteral("記録更新"));
    const QImage img = g.Picture3->image();
    int white = 0;
    int black = 0;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            const QRgb p = img.pixel(x, y);
            if (p == 0xFF000000) ++black;
            if (p != 0xFFFFFFFF) continue;
            ++white;
            // Wherever the text is fully white, the rim hides the ground two pixels around it.
            for (int dy = -2; dy <= 2; ++dy) {
                for (int dx = -2; dx <= 2; ++dx) {
                    if (img.rect().contains(x + dx, y + dy)) QVERIFY(img.pixel(x + dx, y + dy) != ground);
                }
            }
        }
    }
    QVERIFY(white > 20);
    QVERIFY(black > white);
}

QTEST_MAIN(TestGameScreen)
#include "tst_game_screen.moc"
