#include "settings/form4.h"

#include "config/module1.h"
#include "platform/twips.h"
#include "platform/window.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

using namespace Module1;
using platform::control;
using platform::twipRect;

namespace {

std::int16_t state(const QCheckBox* box) {
    return box->isChecked() ? 1 : 0;
}

} // namespace

Form4::Form4(QWidget* title) : QDialog(title, platform::fixedDialogFlags) {
    setObjectName("Form4");
    setWindowTitle(QStringLiteral("ゾルベク の 設定"));
    platform::clearWindowIcon(this);
    setFixedSize(platform::px(3795), platform::px(3810));

    placeSettings();
    placeButtonsAndCaution();
    connectEvents();
    Form_Load();
    Check1->setFocus();
}

// The two frames on the left and what they hold.
void Form4::placeSettings() {
    Frame1 = control<QGroupBox>(this, "Frame1", QStringLiteral("サウンド"), twipRect(30, 120, 1935, 1215));
    Frame2 =
        control<QGroupBox>(this, "Frame2", QStringLiteral("ゲームの設定"), twipRect(30, 1440, 1935, 2295));
    Frame3 = control<QGroupBox>(this, "Frame3", QStringLiteral("操作"), twipRect(2040, 3000, 1695, 735));
    // Frames are drawn behind the controls placed over them.
    for (auto* f : {Frame1, Frame2, Frame3}) f->lower();

    Check1 = control<QCheckBox>(this, "Check1", QStringLiteral("音楽(&M)"), twipRect(150, 480, 975, 300));
    Check2 = control<QCheckBox>(this, "Check2", QStringLiteral("効果音(&S)"), twipRect(150, 840, 1095, 300));
    Check3 =
        control<QCheckBox>(this, "Check3", QStringLiteral("理牌(ﾘｰﾊﾟｲ)する"), twipRect(150, 1800, 1695, 300));
    Check3->setToolTip(QStringLiteral("出題される牌が昇順並びになっているかどうか"));
    Check4 = control<QCheckBox>(this, "Check4", QStringLiteral("逆さ牌あり"), twipRect(150, 2160, 1095, 300));
    Check4->setToolTip(QStringLiteral("出題される牌に上下逆になっている牌が含まれるかどうか"));
    Check5 =
        control<QCheckBox>(Frame2, "Check5", QStringLiteral("ノーテンあり"), twipRect(120, 1080, 1215, 255));

    Label1 = control<QLabel>(Frame2, "Label1", QStringLiteral("制限時間"), twipRect(120, 1560, 855, 255));
    Label2 = control<QLabel>(Frame2, "Label2", QStringLiteral("15秒"), twipRect(960, 1515, 735, 255));
    Label2->setFont(platform::windowFont("ＭＳ Ｐゴシック", 11.25, true));

    HScroll1 = new QScrollBar(Qt::Horizontal, this);
    HScroll1->setObjectName("HScroll1");
    HScroll1->setGeometry(twipRect(150, 3240, 1695, 255));
    HScroll1->setRange(15, 60);
    HScroll1->setSingleStep(1);
    HScroll1->setPageStep(10);
    HScroll1->setValue(15);
    HScroll1->setFocusPolicy(Qt::StrongFocus);
    // Tracking makes a drag of the thumb change the value as it goes, so the label and the
    // caution follow the thumb while it is dragged.
    HScroll1->setTracking(true);
}

// The buttons, the caution area, the shortcut frame, and the keyboard order.
void Form4::placeButtonsAndCaution() {
    Command1 = control<QPushButton>(this, "Command1", QStringLiteral("&OK"), twipRect(2160, 240, 1455, 375));
    Command1->setDefault(true);
    Command3 = control<QPushButton>(this, "Command3", QStringLiteral("標準の設定(&D)"),
                                    twipRect(2160, 840, 1455, 375));
    Command2 =
        control<QPushButton>(this, "Command2", QStringLiteral("ｷｬﾝｾﾙ(&C)"), twipRect(2160, 1320, 1455, 375));
    for (auto* b : {Command1, Command2, Command3}) b->setAutoDefault(false);

    Label3 = control<QLabel>(this, "Label3", QString(), twipRect(2040, 1800, 1575, 1095));
    Label3->setFont(platform::windowFont("ＭＳ Ｐゴシック", 9, true));
    Label3->setWordWrap(true);

    // Two lines, as the caption wraps within the box's width.
    Check6 = control<QCheckBox>(this, "Check6", QStringLiteral("ｷｰﾎﾞｰﾄﾞｼｮｰﾄｶｯﾄを\n有効にする"),
                                twipRect(2115, 3240, 1575, 375));
    // The substitute font's 操作 stands taller than the design's and pushes the frame's top
    // line down onto the caption: the box goes between the lines, its caption shrunk to fit.
    const QRect inside = Frame3->contentsRect().translated(Frame3->pos()).adjusted(0, 1, 0, 0);
    const QRect design = Check6->geometry();
    Check6->setGeometry(QRect(QPoint(design.left(), inside.top()), QPoint(design.right(), inside.bottom())));
    platform::shrinkToFit(Check6);

    // Keyboard order by tab index: frames and labels take no focus.
    QWidget* order[] = {Check1,   Check2,   Check3,   Check4, HScroll1,
                        Command1, Command2, Command3, Check5, Check6};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);
}

void Form4::connectEvents() {
    connect(Command1, &QPushButton::clicked, this, &Form4::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form4::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form4::Command3_Click);
    connect(Check5, &QCheckBox::stateChanged, this, &Form4::Check5_Click);
    connect(HScroll1, &QScrollBar::valueChanged, this, &Form4::HScroll1_Change);
}

void Form4::Form_Load() {
    Check1->setChecked(MusicOn == 1);
    Check2->setChecked(SoundOn == 1);
    Check3->setChecked(SortHai == 1);
    Check4->setChecked(UpsideDownHai == 1);
    Check5->setChecked(NotenOK == 1);
    Check6->setChecked(KeyShortcuts == 1);
    HScroll1->setValue(TimeLimit / 10);
    dispChui();
}

void Form4::Command1_Click() {
    MusicOn = state(Check1);
    SoundOn = state(Check2);
    SortHai = state(Check3);
    UpsideDownHai = state(Check4);
    NotenOK = state(Check5);
    KeyShortcuts = state(Check6);
    TimeLimit = static_cast<std::int16_t>(HScroll1->value() * 10);
    accept();
}

void Form4::Command2_Click() {
    reject();
}

void Form4::Command3_Click() {
    Check1->setChecked(true);
    Check2->setChecked(true);
    Check3->setChecked(true);
    Check4->setChecked(false);
    Check5->setChecked(false);
    Check6->setChecked(false);
    Label2->setText(QStringLiteral("15秒"));
    HScroll1->setValue(15);
}

void Form4::Check5_Click() {
    dispChui();
}

void Form4::HScroll1_Change() {
    Label2->setText(QStringLiteral("%1秒").arg(HScroll1->value()));
    dispChui();
}

void Form4::dispChui() {
    if (HScroll1->value() > 15) {
        Label3->setText(
            QStringLiteral("【注意】\n制限時間を１５秒以外に設定すると最高得点が記録されません。"));
    } else if (state(Check5) == 1) {
        Label3->setText(
            QStringLiteral("【注意】\nノーテンありの設定を有効にすると最高得点が記録されません。"));
    } else {
        Label3->setText(QString());
    }
}

void Form4::keyPressEvent(QKeyEvent* event) {
    // Escape is not bound to cancel.
    if (event->key() == Qt::Key_Escape) return;
    // A focused button takes Enter; OK takes it only when no other button has the focus.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (auto* button = qobject_cast<QPushButton*>(focusWidget()); enter && button && button != Command1) {
        button->click();
        return;
    }
    QDialog::keyPressEvent(event);
}
