// Faults of the windows once seen by players, one named case each, driven by real key and
// mouse events.
#include "about/form3.h"
#include "platform/keystate.h"
#include "settings/form4.h"
#include "tst_game.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTimer>

using namespace gametest;

namespace {

// A key press as the window system delivers it: the character typed and the physical key.
void pressNative(QWidget* w, Qt::Key key, Qt::KeyboardModifiers mods, quint32 scanCode, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, mods, scanCode, 0, 0, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, scanCode, 0, 0, text);
    QApplication::sendEvent(w, &release);
}

// True when every pixel of the icon is transparent, so no picture shows in the title bar.
bool blankIcon(const QWidget& w) {
    const QImage image = w.windowIcon().pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
    QImage clear(image.size(), QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    return image == clear;
}

// The ink of the text, drawn from the top of the label's text area, lies inside the box's
// one-pixel line; the whole width fits too.
bool textFits(const QLabel* label) {
    const QFontMetrics m(label->font());
    const QRect ink =
        m.tightBoundingRect(label->text()).translated(0, label->contentsRect().top() + m.ascent());
    const int frame = 1;
    const QRect inside = label->rect().adjusted(frame, frame, -frame, -frame);
    return ink.top() >= inside.top() && ink.bottom() <= inside.bottom() && ink.width() <= inside.width();
}

// The label as drawn: a one-pixel box of the text's colour all round its design place.
bool boxedWhole(QLabel* label) {
    const QImage drawn = label->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRgb line = label->palette().color(QPalette::WindowText).rgb();
    const int w = drawn.width(), h = drawn.height();
    for (int x = 0; x < w; ++x)
        if (drawn.pixel(x, 0) != line || drawn.pixel(x, h - 1) != line) return false;
    for (int y = 0; y < h; ++y)
        if (drawn.pixel(0, y) != line || drawn.pixel(w - 1, y) != line) return false;
    return label->size() == drawn.size();
}

} // namespace

class WindowFaultsTest : public QObject {
    Q_OBJECT
  private slots:
    void shiftedKeysStillMark();
    void answerLabelsClipTheirText();
    void shortcutCaptionClipped();
    void rightClickTakesTheKeys();
    void quitQuestionAnsweredByEscape();
    void dialogsShowTheProgramIcon();
    void firstStartCentredByInnerArea();
    void recordNotShownWhileGameOpen();
    void timeBarPacedAt150msAndWholeAfterTimeUp();
    void borderPressMarksATile();
    void lateRightAnswerOrTickWrapSpoilsTheScore();
};

void WindowFaultsTest::shiftedKeysStillMark() {
    // As the keys arrive: US Shift+5 is "%", Japanese Shift+2 is '"', Caps Lock gives capitals.
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::ShiftModifier, 116, 0, 0, {});
    QCOMPARE(platform::virtualKey(down), int(platform::VK_DOWN));

    Session s;
    Module1::KeyShortcuts = 1;
    Form1& g = s.openStarted();
    pressNative(g.Picture1, Qt::Key_Percent, Qt::ShiftModifier, 14, "%");
    pressNative(g.Picture1, Qt::Key_QuoteDbl, Qt::ShiftModifier, 11, "\"");
    pressNative(g.Picture1, Qt::Key_A, Qt::ShiftModifier, 38, "A");
    pressNative(g.Picture1, Qt::Key_9, Qt::KeypadModifier, 81, "9");
    for (int k = 1; k <= 37; ++k) {
        const bool marked = k == 5 || k == 2 || k == 31 || k == 9;
        QCOMPARE(g.Kotae[static_cast<std::size_t>(k)], std::int16_t(marked ? 1 : 0));
    }

    // The held-key tracker reads the same physical keys: shifted W still moves the row marker.
    QKeyEvent w(QEvent::KeyPress, Qt::Key_W, Qt::ShiftModifier, 25, 0, 0, "W");
    QApplication::sendEvent(g.Command1, &w);
    g.Timer1_Timer();
    QCOMPARE(g.Image1->y(), 38);
    platform::releaseAllKeys();
}

void WindowFaultsTest::answerLabelsClipTheirText() {
    Session s;
    Form1& g = s.openStarted();
    QCOMPARE(g.Label3->geometry(), QRect(0, 8, 89, 25));
    QCOMPARE(g.Label2->geometry(), QRect(6, 200, 97, 33));
    QTest::mouseClick(g.Command1, Qt::LeftButton); // nothing marked: wrong
    QCOMPARE(g.Label2->text(), QStringLiteral("不正解"));
    QVERIFY(boxedWhole(g.Label2) && boxedWhole(g.Label3) && textFits(g.Label2) && textFits(g.Label3));
    g.Label2->setText(QStringLiteral("正解"));
    g.Label3->setText(QStringLiteral("全問終了"));
    QVERIFY(textFits(g.Label2) && textFits(g.Label3));
}

void WindowFaultsTest::shortcutCaptionClipped() {
    testsupport::Environment env;
    Module1::setDefaults();
    Form4 dialog(nullptr);
    const QCheckBox* box = dialog.Check6;
    QStyleOptionButton option;
    option.initFrom(box);
    option.text = box->text();
    const QRect label = box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
    const QFontMetrics metrics(box->font());
    for (const QString& line : box->text().split('\n'))
        QVERIFY(metrics.horizontalAdvance(line) <= label.width());
    QVERIFY(2 * metrics.height() <= box->height());
    // Clear of the frame's line on every side.
    const QRect inside = dialog.Frame3->geometry().adjusted(2, 2, -2, -2);
    QVERIFY(inside.contains(box->geometry()));
    // Nothing of the frame (its lines, its title) is drawn where the caption's two lines go:
    // the place shows one even colour.
    dialog.Check6->hide();
    const QImage drawn =
        dialog.grab().toImage().convertToFormat(QImage::Format_RGB32).copy(label.translated(box->pos()));
    QImage even(drawn.size(), drawn.format());
    even.fill(drawn.pixel(drawn.rect().center()));
    QCOMPARE(drawn, even);
}

void WindowFaultsTest::rightClickTakesTheKeys() {
    Session s;
    Form1& g = s.openActive();
    click(g.Command2);
    click(g.Command1); // answered: Enter now goes on to the next problem
    QCOMPARE(QApplication::focusWidget(), g.Command2);
    for (QWidget* button : {g.Command3, g.Command1, g.Command2}) {
        QTimer::singleShot(50, [] {
            if (QWidget* menu = QApplication::activePopupWidget()) menu->close();
        });
        QTest::mouseClick(button, Qt::RightButton);
        QTest::qWait(100);
        QCOMPARE(QApplication::focusWidget(), g.Command2);
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(g.Nokori, std::int16_t{9}); // the second problem, no quit question
    QVERIFY(QApplication::activeModalWidget() == &g || QApplication::activeModalWidget() == nullptr);
}

void WindowFaultsTest::quitQuestionAnsweredByEscape() {
    Session s;
    Form1& g = s.openStarted();
    g.show();
    bool stillAsking = false, plainButtons = false;
    testsupport::whenModalShows("QMessageBox", [&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        QTest::keyClick(box, Qt::Key_Escape);
        stillAsking = box->isVisible();
        plainButtons =
            box->button(QMessageBox::Yes)->icon().isNull() && box->button(QMessageBox::No)->icon().isNull();
        if (stillAsking) box->button(QMessageBox::Yes)->click();
    });
    QTest::mouseClick(g.Command3, Qt::LeftButton);
    QVERIFY(stillAsking);
    QVERIFY(plainButtons);
    QVERIFY(!g.isVisible());
}

void WindowFaultsTest::dialogsShowTheProgramIcon() {
    testsupport::Environment env;
    Module1::setDefaults();
    Form2 title;
    QVERIFY(!blankIcon(title));
    Form4 settings(&title);
    Form3 about(&title);
    QVERIFY(blankIcon(settings));
    QVERIFY(blankIcon(about));
}

void WindowFaultsTest::firstStartCentredByInnerArea() {
    testsupport::Environment env;
    Module1::setDefaults();
    Form2 title;
    title.show();
    QVERIFY(QTest::qWaitForWindowExposed(&title));
    QVERIFY(title.frameGeometry().size() != title.size()); // a frame to centre by
    const QPoint centre = title.screen()->availableGeometry().center();
    QTRY_VERIFY((title.frameGeometry().center() - centre).manhattanLength() <= 1);
}

void WindowFaultsTest::recordNotShownWhileGameOpen() {
    Session s;
    Module1::HiScore = {100, 0, 0};
    s.title->show();
    QVERIFY(QTest::qWaitForWindowExposed(s.title.get()));
    QCOMPARE(s.title->Label5[0]->text(), QStringLiteral("100"));
    Form1& g = s.open();
    g.show();
    playProblems(g, s.env, 1000);
    QVERIFY(g.isVisible());
    QVERIFY(g.Score > 100);
    QCOMPARE(s.title->Label5[0]->text(), QString::number(g.Score));
}

void WindowFaultsTest::timeBarPacedAt150msAndWholeAfterTimeUp() {
    Session s;
    Form1& g = s.openStarted();
    // The time bar and the tick sound (every third tick) are paced by this interval.
    QCOMPARE(g.Timer1->interval(), 150);
    s.env.advance(20000);
    g.Timer1_Timer();
    QCOMPARE(g.Label2->text(), QStringLiteral("不正解"));
    const QImage bar = g.picTime->image().copy(0, 0, 100, 13);
    QImage lit(bar.size(), bar.format());
    lit.fill(g.picTime->ForeColor);
    QCOMPARE(bar, lit);
}

void WindowFaultsTest::borderPressMarksATile() {
    Session s;
    Form1& g = s.openStarted();
    const int b = g.Picture1->borderWidth();
    for (const QPoint p : {QPoint(1, 1), QPoint(b + 14, 1), QPoint(1, b + 40), QPoint(1, b + 80)})
        QTest::mouseClick(g.Picture1, Qt::LeftButton, {}, p);
    for (std::int16_t k : g.Kotae) QCOMPARE(k, std::int16_t{0});
}

void WindowFaultsTest::lateRightAnswerOrTickWrapSpoilsTheScore() {
    // Judged after the limit, before the timer saw it: the full 100. The millisecond counter
    // wrapping during the answer: 200 - 3000 / 150.
    for (const auto& [start, ms, shown] :
         {std::tuple(0u, 30000u, "+100点"), std::tuple(0xFFFFFE00u, 3000u, "+180点")}) {
        Session s;
        if (start) s.env.now = start;
        Form1& g = s.openStarted();
        answerRight(g, s.env, ms);
        QCOMPARE(g.Label5->text(), QString::fromUtf8(shown));
    }
}

QTEST_MAIN(WindowFaultsTest)
#include "tst_window_faults.moc"
