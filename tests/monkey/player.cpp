#include "player.h"

#include "game/form1.h"
#include "platform/picturebox.h"
#include "testsupport.h"
#include "title/form2.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace monkey {

Driver::Driver(testsupport::Environment& env) : env_(env) {}

Driver::~Driver() {
    delete title_.data();
}

void Driver::run() {
    openTitle();
    QTimer::singleShot(0, this, &Driver::tick);
    QApplication::exec();
    stopped_ = true;
}

// The next tick is booked before this one acts: a timer does not fire again while its own
// handler runs, and the handler may sit in a modal window's event loop for a long time.
void Driver::tick() {
    if (stopped_) return;
    QTimer::singleShot(finishing_ ? 5 : 0, this, &Driver::tick);
    if (finishing_) return tearDown();
    if (!step()) finishing_ = true;
}

void Driver::openTitle() {
    title_ = new Form2;
    connect(title_, &Form2::programEnds, this, &Driver::titleClosed);
    title_->show();
}

// The program would end here; a fresh title window stands in for the next start.
void Driver::titleClosed() {
    ++titlesClosed;
    if (title_) title_->deleteLater();
    title_.clear();
    if (finishing_) {
        QCoreApplication::exit(0);
        return;
    }
    QTimer::singleShot(0, this, [this] {
        if (!title_) openTitle();
    });
}

// Closes windows top first, one a tick, so each nested event loop unwinds on its own.
void Driver::tearDown() {
    if (QWidget* popup = QApplication::activePopupWidget()) {
        popup->close();
        return;
    }
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        if (QAbstractButton* no = box->button(QMessageBox::No)) return no->click();
        return box->button(QMessageBox::Ok) ? box->button(QMessageBox::Ok)->click() : box->reject();
    }
    if (modal) {
        modal->close();
        return;
    }
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w != title_ && w->isVisible()) w->close();
    }
    if (title_) {
        title_->close();
    } else {
        QCoreApplication::exit(0);
    }
}

QWidget* Driver::topWindow() const {
    if (QWidget* popup = QApplication::activePopupWidget()) return popup;
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    return title_;
}

bool Driver::playRight(QWidget* top) {
    if (auto* box = qobject_cast<QMessageBox*>(top)) {
        if (QAbstractButton* yes = box->button(QMessageBox::Yes))
            yes->click();
        else
            box->accept();
        return false;
    }
    auto* game = qobject_cast<Form1*>(top);
    if (!game) {
        if (top == title_) QTest::mouseClick(title_->Picture2[1], Qt::LeftButton);
        return false;
    }
    if (game->Command2->isEnabled()) {
        QTest::mouseClick(game->Command2, Qt::LeftButton);
        return false;
    }
    if (game->Command1->isEnabled()) {
        const int b = game->Picture1->borderWidth();
        for (int k = 1; k <= 37; ++k) {
            if (game->Machi[static_cast<std::size_t>(k)] != 1) continue;
            const QPoint cell(engine::sheetX(k) + 14 + b, engine::sheetY(k) + 19 + b);
            QTest::mouseClick(game->Picture1, Qt::LeftButton, {}, cell);
        }
        env_.advance(900);
        QTest::mouseClick(game->Command1, Qt::LeftButton);
        return !game->Command2->isEnabled();
    }
    QTest::mouseClick(game->Command3, Qt::LeftButton); // the game is over: back to the title
    return false;
}

long residentKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

} // namespace monkey
