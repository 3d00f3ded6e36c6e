// The settings dialog: what it shows on opening, the cautions, and what OK and cancel keep.
#include "config/module1.h"
#include "settings/form4.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

using namespace Module1;

namespace {
const QString timeCaution =
    QStringLiteral("【注意】\n制限時間を１５秒以外に設定すると最高得点が記録されません。");
const QString notenCaution =
    QStringLiteral("【注意】\nノーテンありの設定を有効にすると最高得点が記録されません。");
} // namespace

class SettingsDialogTest : public QObject {
    Q_OBJECT
  private slots:
    void opensWithTheStandardSettings();
    void opensWithStoredValues();
    void cautionFollowsTheThumbWhileDragging();
    void cautionForNotReadyHands();
    void standardSettingsThenCancelOrOk();
    void okStoresTheSliderInTenths();
    void closeBoxAndCancelKeepEverything();
    void captionsAndKeyboardOrder();
};

void SettingsDialogTest::opensWithTheStandardSettings() {
    testsupport::Environment env;
    setDefaults();
    Form4 dialog(nullptr);
    QVERIFY(dialog.Check1->isChecked());
    QVERIFY(dialog.Check2->isChecked());
    QVERIFY(dialog.Check3->isChecked());
    QVERIFY(!dialog.Check4->isChecked());
    QVERIFY(!dialog.Check5->isChecked());
    QVERIFY(!dialog.Check6->isChecked());
    QCOMPARE(dialog.HScroll1->value(), 15);
    QCOMPARE(dialog.Label2->text(), QStringLiteral("15秒"));
    QCOMPARE(dialog.Label3->text(), QString());
}

void SettingsDialogTest::opensWithStoredValues() {
    testsupport::Environment env;
    setDefaults();
    TimeLimit = 300;
    NotenOK = 1;
    KeyShortcuts = 1;
    MusicOn = 0;
    Form4 dialog(nullptr);
    QCOMPARE(dialog.HScroll1->value(), 30);
    QCOMPARE(dialog.Label2->text(), QStringLiteral("30秒"));
    QCOMPARE(dialog.Label3->text(), timeCaution);
    QVERIFY(!dialog.Check1->isChecked());
    QVERIFY(dialog.Check5->isChecked());
    QVERIFY(dialog.Check6->isChecked());

    TimeLimit = 155; // tenths below a whole second are dropped
    Form4 second(nullptr);
    QCOMPARE(second.HScroll1->value(), 15);
    QCOMPARE(second.Label2->text(), QStringLiteral("15秒"));
    QCOMPARE(second.Label3->text(), notenCaution);
}

void SettingsDialogTest::cautionFollowsTheThumbWhileDragging() {
    testsupport::Environment env;
    setDefaults();
    Form4 dialog(nullptr);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    // Drag the thumb to the right with the mouse button held: no release yet.
    QScrollBar* bar = dialog.HScroll1;
    bar->setSliderDown(true);
    bar->setSliderPosition(16);
    QCOMPARE(dialog.Label2->text(), QStringLiteral("16秒"));
    QCOMPARE(dialog.Label3->text(), timeCaution);
    bar->setSliderPosition(15);
    QCOMPARE(dialog.Label3->text(), QString());
    dialog.Check5->setChecked(true);
    bar->setSliderPosition(15);
    QCOMPARE(dialog.Label3->text(), notenCaution);
    bar->setSliderPosition(42);
    QCOMPARE(dialog.Label3->text(), timeCaution); // the time limit wins
    bar->setSliderDown(false);
    QCOMPARE(dialog.Label2->text(), QStringLiteral("42秒"));
}

void SettingsDialogTest::cautionForNotReadyHands() {
    testsupport::Environment env;
    setDefaults();
    Form4 dialog(nullptr);
    dialog.show();
    QTest::mouseClick(dialog.Check5, Qt::LeftButton);
    QCOMPARE(dialog.Label3->text(), notenCaution);
    QTest::mouseClick(dialog.Check5, Qt::LeftButton);
    QCOMPARE(dialog.Label3->text(), QString());
}

void SettingsDialogTest::standardSettingsThenCancelOrOk() {
    testsupport::Environment env;
    setDefaults();
    MusicOn = 0;
    SoundOn = 0;
    SortHai = 0;
    UpsideDownHai = 1;
    NotenOK = 1;
    KeyShortcuts = 1;
    TimeLimit = 450;
    {
        Form4 dialog(nullptr);
        dialog.Command3->click();
        QCOMPARE(dialog.HScroll1->value(), 15);
        QCOMPARE(dialog.Label2->text(), QStringLiteral("15秒"));
        QCOMPARE(dialog.Label3->text(), QString());
        dialog.Command2->click();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }
    QCOMPARE(TimeLimit, 450);
    QCOMPARE(MusicOn, 0);
    QCOMPARE(UpsideDownHai, 1);
    {
        Form4 dialog(nullptr);
        dialog.Command3->click();
        dialog.Command1->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
    QCOMPARE(MusicOn, 1);
    QCOMPARE(SoundOn, 1);
    QCOMPARE(SortHai, 1);
    QCOMPARE(UpsideDownHai, 0);
    QCOMPARE(NotenOK, 0);
    QCOMPARE(KeyShortcuts, 0);
    QCOMPARE(TimeLimit, 150);
}

void SettingsDialogTest::okStoresTheSliderInTenths() {
    testsupport::Environment env;
    setDefaults();
    for (const int seconds : {60, 15}) {
        Form4 dialog(nullptr);
        dialog.show();
        dialog.HScroll1->setValue(seconds);
        // Enter presses OK when no other button has the focus.
        dialog.Check4->setFocus();
        QTest::keyClick(&dialog, Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(TimeLimit, seconds * 10);
    }
}

void SettingsDialogTest::closeBoxAndCancelKeepEverything() {
    testsupport::Environment env;
    setDefaults();
    {
        Form4 dialog(nullptr);
        dialog.show();
        dialog.Check1->setChecked(false);
        dialog.Check6->setChecked(true);
        dialog.HScroll1->setValue(20);
        QTest::keyClick(&dialog, Qt::Key_Escape); // Escape is not cancel
        QVERIFY(dialog.isVisible());
        dialog.close();
        QVERIFY(!dialog.isVisible());
    }
    QCOMPARE(MusicOn, 1);
    QCOMPARE(KeyShortcuts, 0);
    QCOMPARE(TimeLimit, 150);
    Form4 next(nullptr);
    QVERIFY(next.Check1->isChecked());
    QCOMPARE(next.HScroll1->value(), 15);
}

void SettingsDialogTest::captionsAndKeyboardOrder() {
    testsupport::Environment env;
    setDefaults();
    Form4 dialog(nullptr);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("ゾルベク の 設定"));
    QCOMPARE(dialog.Command2->text(), QStringLiteral("ｷｬﾝｾﾙ(&C)"));
    QCOMPARE(dialog.Check6->text().remove(QLatin1Char('\n')), QStringLiteral("ｷｰﾎﾞｰﾄﾞｼｮｰﾄｶｯﾄを有効にする"));
    QCOMPARE(dialog.Check3->toolTip(), QStringLiteral("出題される牌が昇順並びになっているかどうか"));
    QCOMPARE(dialog.size(), QSize(253, 254));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QCOMPARE(QApplication::focusWidget(), dialog.Check1);
    const QList<QWidget*> expected{dialog.Check2,   dialog.Check3,   dialog.Check4,   dialog.HScroll1,
                                   dialog.Command1, dialog.Command2, dialog.Command3, dialog.Check5,
                                   dialog.Check6,   dialog.Check1};
    for (QWidget* next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
    }
    // An access key reaches its control: Alt+M toggles music.
    QTest::keyClick(&dialog, Qt::Key_M, Qt::AltModifier);
    QTRY_VERIFY(!dialog.Check1->isChecked());
}

QTEST_MAIN(SettingsDialogTest)
#include "tst_settingsdialog.moc"
