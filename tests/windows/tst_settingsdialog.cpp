// The settings dialog: what it shows on opening, the cautions, and what OK and cancel keep.
#include "config/module1.h"
#include "config/settingsfile.h"
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
// The dialog's controls: the six boxes, the slider's seconds, and the two labels.
QString shown(const Form4& d) {
    QString boxes;
    for (const QCheckBox* box : {d.Check1, d.Check2, d.Check3, d.Check4, d.Check5, d.Check6})
        boxes += box->isChecked() ? '1' : '0';
    return QStringLiteral("%1 %2 %3 %4")
        .arg(boxes)
        .arg(d.HScroll1->value())
        .arg(d.Label2->text(), d.Label3->text());
}
// MusicOn, SoundOn, SortHai, UpsideDownHai, TimeLimit, NotenOK, KeyShortcuts as bralun.ini has them.
QByteArray settings() {
    return SettingsFile::line(0, 0).mid(10).trimmed();
}
} // namespace

class SettingsDialogTest : public QObject {
    Q_OBJECT
  private slots:
    void opensWithStoredValues() {
        testsupport::Environment env;
        setDefaults();
        QCOMPARE(shown(Form4(nullptr)), QStringLiteral("111000 15 15秒 "));
        SettingsFile::parse("0,0,0,0,0,0,1,1,0,300,1,1"); // no music, 30 s, not-ready hands, access keys
        QCOMPARE(shown(Form4(nullptr)), "011011 30 30秒 " + timeCaution);
        TimeLimit = 155; // tenths below a whole second are dropped
        QCOMPARE(shown(Form4(nullptr)), "011011 15 15秒 " + notenCaution);
    }

    void cautionFollowsTheThumbWhileDragging() {
        testsupport::Environment env;
        setDefaults();
        Form4 dialog(nullptr);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        // Drag the thumb with the mouse button held, no release yet; -1 toggles not-ready hands, whose
        // caution shows at once, though the time limit's wins.
        QScrollBar* bar = dialog.HScroll1;
        bar->setSliderDown(true);
        const std::pair<int, QString> steps[] = {{16, timeCaution}, {15, QString()},    {-1, notenCaution},
                                                 {42, timeCaution}, {15, notenCaution}, {-1, QString()},
                                                 {42, timeCaution}};
        for (const auto& [to, caution] : steps) {
            to < 0 ? QTest::mouseClick(dialog.Check5, Qt::LeftButton) : bar->setSliderPosition(to);
            QCOMPARE(dialog.Label2->text() + dialog.Label3->text(),
                     QStringLiteral("%1秒").arg(bar->sliderPosition()) + caution);
        }
        bar->setSliderDown(false);
        QCOMPARE(dialog.Label2->text(), QStringLiteral("42秒"));
    }

    // Enter on a focused cancel, the close box (Escape is not cancel) and OK (Enter when no
    // button has the focus); Enter on the focused standard button only shows the standard values.
    void onlyOkKeepsTheChanges() {
        testsupport::Environment env;
        for (const int end : {0, 1, 2}) {
            SettingsFile::parse("0,0,0,0,0,0,0,0,1,450,1,1");
            Form4 dialog(nullptr);
            dialog.show();
            dialog.Command3->setFocus();
            QTest::keyClick(dialog.Command3, Qt::Key_Enter, Qt::KeypadModifier);
            QCOMPARE(shown(dialog), QStringLiteral("111000 15 15秒 "));
            dialog.HScroll1->setValue(60); // stored in tenths
            QTest::keyClick(&dialog, Qt::Key_Escape);
            QVERIFY(dialog.isVisible());
            (end == 0 ? static_cast<QWidget*>(dialog.Command2) : dialog.Check4)->setFocus();
            end == 1 ? (void)dialog.close() : QTest::keyClick(dialog.focusWidget(), Qt::Key_Return);
            QVERIFY(!dialog.isVisible());
            QCOMPARE(dialog.result(), int(end == 2 ? QDialog::Accepted : QDialog::Rejected));
            QCOMPARE(settings(), end == 2 ? "1,1,1,0,600,0,0" : "0,0,0,1,450,1,1");
        }
    }

    void keyboardOrderAndAccessKeys() {
        testsupport::Environment env;
        setDefaults();
        Form4 dialog(nullptr);
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
};

QTEST_MAIN(SettingsDialogTest)
#include "tst_settingsdialog.moc"
