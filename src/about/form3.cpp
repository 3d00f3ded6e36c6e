#include "about/form3.h"

#include "platform/picturebox.h"
#include "platform/twips.h"
#include "platform/window.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

using platform::control;
using platform::twipRect;

Form3::Form3(QWidget* title) : QDialog(title, platform::fixedDialogFlags) {
    setObjectName("Form3");
    setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    platform::clearWindowIcon(this);
    setFixedSize(platform::px(3210), platform::px(1245));

    const QFont name = platform::windowFont("ＭＳ Ｐ明朝", 27.75, true);
    const QFont small = platform::windowFont("ＭＳ Ｐゴシック", 11.25, false);

    Label1 = control<QLabel>(this, "Label1", QStringLiteral("ゾルベク"), twipRect(1080, 120, 1815, 615));
    Label1->setFont(name);
    Label1->setStyleSheet(QStringLiteral("color: #0000ff;"));
    Label2 = control<QLabel>(this, "Label2", QStringLiteral("Version " BRALUN_VERSION),
                             twipRect(1920, 600, 1215, 255));
    Label2->setFont(small);
    Label3 =
        control<QLabel>(this, "Label3", QStringLiteral("© 2026 Orvandis"), twipRect(120, 840, 2055, 255));
    Label3->setFont(small);
    Command1 = control<QPushButton>(this, "Command1", QStringLiteral("OK"), twipRect(2280, 900, 855, 315));
    Command1->setDefault(true);
    Image1 = new platform::ImageBox(this);
    Image1->setObjectName("Image1");
    Image1->setGeometry(twipRect(120, 120, 615, 615));

    for (QLabel* l : {Label1, Label2, Label3}) platform::shrinkToFit(l);

    connect(Command1, &QPushButton::clicked, this, &Form3::Command1_Click);
    Form_Load();
}

void Form3::Form_Load() {
    // The program's icon, stretched over 41 x 41 pixels.
    QImage icon = parentWidget() ? parentWidget()->windowIcon().pixmap(32, 32).toImage() : QImage();
    Image1->setPicture(icon);
}

void Form3::Command1_Click() {
    accept();
}

void Form3::keyPressEvent(QKeyEvent* event) {
    // Escape is no shortcut for closing here; only OK and the close box close the box.
    if (event->key() == Qt::Key_Escape) return;
    QDialog::keyPressEvent(event);
}
