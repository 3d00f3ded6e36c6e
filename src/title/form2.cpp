#include "title/form2.h"

#include "about/form3.h"
#include "config/module1.h"
#include "config/settingsfile.h"
#include "engine/gamecode.h"
#include "game/form1.h"
#include "platform/helpviewer.h"
#include "platform/twips.h"
#include "platform/window.h"
#include "settings/form4.h"
#include "sound/module2.h"

#include <QApplication>

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDir>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLibrary>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <algorithm>
#include <memory>

using namespace Module1;
using platform::control;
using platform::twipRect;
using platform::windowFont;

namespace {

// The screen area holding most of the title bar, or an empty one when it is on no screen.
QRect screenUnderTitleBar(const QRect& frame) {
    const QRect titleBar(frame.topLeft(), QSize(frame.width(), 24));
    QRect best, shared;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect overlap = screen->availableGeometry().intersected(titleBar);
        if (overlap.isEmpty() || overlap.width() * overlap.height() <= shared.width() * shared.height())
            continue;
        shared = overlap;
        best = screen->availableGeometry();
    }
    return best;
}

// A code as a Japanese input method types it: full-width letters, digits and spaces, and the
// long vowel mark or another dash for the hyphens, read as the plain characters.
QString plainCode(const QString& text) {
    static const QString dashes = QStringLiteral("\u30FC\u2010\u2011\u2012\u2013\u2014\u2015\u2212");
    QString plain = text.normalized(QString::NormalizationForm_KC);
    for (QChar& c : plain) {
        if (dashes.contains(c))
            c = QLatin1Char('-');
        else if (c.isSpace())
            c = QLatin1Char(' ');
    }
    return plain;
}

// The start of what was given, enough to see the mistake; a pasted page must not make the
// message taller than the screen.
QString givenStart(const QString& text) {
    constexpr qsizetype Shown = 40;
    const QString line = text.simplified();
    return line.size() > Shown ? line.left(Shown) + QStringLiteral("…") : line;
}

} // namespace

Form2::Form2(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("Form2");
    setWindowTitle(QStringLiteral("Orvandis ゾルベク"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);

    placeControls();
    connectEvents();

    // Inner area 3765 x 4065 twips, held fixed; centred on the screen until the settings say otherwise.
    setFixedSize(platform::px(3765), platform::px(4065));
    centreOnScreen();
    Form_Load();
}

// The title picture, the badges, the scores and the two buttons, in keyboard order.
void Form2::placeControls() {
    const QFont mincho14 = windowFont("ＭＳ Ｐ明朝", 14.25, false);
    const QFont mincho14Bold = windowFont("ＭＳ Ｐ明朝", 14.25, true);
    const QFont gothic14Bold = windowFont("ＭＳ Ｐゴシック", 14.25, true);

    Picture1 = new platform::PictureBox(this);
    Picture1->setObjectName("Picture1");
    Picture1->setPicture(QImage(QStringLiteral(":/title.png")), true);
    Picture1->move(0, 0);
    Picture1->setToolTip(QStringLiteral("Click ME !"));
    Picture1->setCursor(Qt::PointingHandCursor);
    for (int i = 0; i < 3; ++i) {
        auto* badge = new platform::PictureBox(this);
        badge->setObjectName(QStringLiteral("Picture2_%1").arg(i));
        badge->setPicture(QImage(QStringLiteral(":/badge%1.png").arg(i)), true);
        badge->move(0, platform::px(1605 + 840 * i));
        badge->setCursor(Qt::PointingHandCursor);
        Picture2[static_cast<std::size_t>(i)] = badge;
    }
    Label1 = control<QLabel>(this, "Label1", QStringLiteral("最高得点"), twipRect(2385, 1635, 1335, 375));
    Label1->setFont(mincho14Bold);
    Label2 = control<QLabel>(this, "Label2", QStringLiteral("初級"), twipRect(1620, 2055, 735, 375));
    Label3 = control<QLabel>(this, "Label3", QStringLiteral("中級"), twipRect(1620, 2535, 735, 375));
    Label4 = control<QLabel>(this, "Label4", QStringLiteral("上級"), twipRect(1620, 3015, 735, 375));
    for (QLabel* level : {Label2, Label3, Label4}) level->setFont(mincho14);
    const int scoreLeft[3] = {2400, 2385, 2385};
    const int scoreTop[3] = {2055, 2535, 3015};
    for (std::size_t i = 0; i < 3; ++i) {
        const QByteArray name = "Label5_" + QByteArray::number(static_cast<int>(i));
        Label5[i] = control<QLabel>(this, name.constData(), QString(),
                                    twipRect(scoreLeft[i], scoreTop[i], 1335, 375));
        Label5[i]->setFont(gothic14Bold);
    }
    Command1 =
        control<QPushButton>(this, "Command1", QStringLiteral("&HELP"), twipRect(3000, 3480, 735, 495));
    Command1->setFont(windowFont("ＭＳ Ｐゴシック", 9, true));
    Command2 =
        control<QPushButton>(this, "Command2", QStringLiteral("設定(&O)"), twipRect(1650, 3495, 1215, 495));

    setTabOrder(Picture1, Picture2[0]);
    setTabOrder(Picture2[0], Picture2[1]);
    setTabOrder(Picture2[1], Picture2[2]);
    setTabOrder(Picture2[2], Command1);
    setTabOrder(Command1, Command2);
}

void Form2::connectEvents() {
    connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form2::Command2_Click);
    connect(new QShortcut(Qt::Key_F3, this), &QShortcut::activated, this, &Form2::openProgress);
    connect(Picture1, &platform::PictureBox::clicked, this, &Form2::Picture1_Click);
    for (std::size_t i = 0; i < 3; ++i) {
        const auto index = static_cast<std::int16_t>(i);
        connect(Picture2[i], &platform::PictureBox::clicked, this, [this, index] { Picture2_Click(index); });
        connect(Picture2[i], &platform::PictureBox::mouseMove, this,
                [this, index](std::int16_t button, std::int16_t shift, float x, float y) {
                    Picture2_MouseMove(index, button, shift, x, y);
                });
    }
}

double Form2::Left() const {
    return platform::outerLeft(this);
}
double Form2::Top() const {
    return platform::outerTop(this);
}
double Form2::Width() const {
    return platform::outerWidth(this);
}
double Form2::Height() const {
    return platform::outerHeight(this);
}
void Form2::setLeft(double twips) {
    platform::moveOuter(this, twips, Top());
}
void Form2::setTop(double twips) {
    platform::moveOuter(this, Left(), twips);
}

void Form2::Form_Load() {
    helpFile_ = AppPath() + QStringLiteral("bralun.hlp");
    Module2::loadWaves();

    const QRect centred = frameGeometry();
    if (const auto position = SettingsFile::loadAtStart()) {
        setLeft(position->left);
        setTop(position->top);
        // A position from another screen layout or scale must not lose the window, nor put
        // its buttons out of reach.
        const QRect frame(pos(), frameGeometry().size());
        const QRect area = screenUnderTitleBar(frame);
        if (area.isEmpty()) {
            move(centred.topLeft());
        } else if (!area.contains(frame)) {
            move(std::clamp(frame.left(), area.left(),
                            std::max(area.left(), area.right() - frame.width() + 1)),
                 std::clamp(frame.top(), area.top(),
                            std::max(area.top(), area.bottom() - frame.height() + 1)));
        }
        centring_ = false;
    }
}

// Centred by the outer frame; before the window manager has framed the window its size is
// not known, so the first showing centres again.
void Form2::centreOnScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QSize outer = frameGeometry().size();
    move(screen->availableGeometry().center() - QPoint((outer.width() - 1) / 2, (outer.height() - 1) / 2));
}

bool Form2::event(QEvent* e) {
    // Shown, or active again: without a window manager a shown window is never "activated",
    // and a closing modal window does not always hand the activation back.
    if (e->type() == QEvent::WindowActivate || e->type() == QEvent::Show) {
        if (centring_) centreOnScreen();
        // Framed by now, or never to be: the player's own moves are left alone from here.
        if (e->type() == QEvent::WindowActivate || frameGeometry().size() != size()) centring_ = false;
        Form_Activate();
    }
    return QWidget::event(e);
}

void Form2::Form_Activate() {
    dispHi();
}

void Form2::closeEvent(QCloseEvent* e) {
    e->accept();
    Form_Unload();
}

void Form2::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    const QString file = SettingsFile::path();
    const QString failure = SettingsFile::save(file, Left(), Top());
    if (!failure.isEmpty()) {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("ゾルベク"),
                        QStringLiteral("設定と最高得点を保存できませんでした。\n\nファイル: %1\n理由: %2")
                            .arg(QDir::toNativeSeparators(file), failure),
                        QMessageBox::Ok, this);
        box.setObjectName("SaveFailed");
        box.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
        box.exec();
    }
    emit programEnds();
}

void Form2::Command1_Click() {
    platform::WinHelpA(this, helpFile_, platform::HELP_CONTENTS, 0);
}

void Form2::Command2_Click() {
    Form4 dialog(this);
    const QSize outer = platform::outerSizeBeforeShow(&dialog, this);
    platform::moveOuter(&dialog, Left(), (Height() - platform::twips(outer.height())) / 2 + Top());
    dialog.exec();
    Form_Activate();
}

void Form2::Picture1_Click() {
    if (SoundOn == 1) Module2::playWave(Module2::Wave1001);
    Form3 about(this);
    const QSize outer = platform::outerSizeBeforeShow(&about, this);
    platform::moveOuter(&about, (Width() - platform::twips(outer.width())) / 2 + Left(),
                        (Height() - platform::twips(outer.height())) / 2 + Top());
    about.exec();
    Form_Activate();
}

void Form2::Picture2_Click(std::int16_t Index) {
    if (SoundOn == 1) Module2::playWave(Module2::Wave1004);
    Level = Index;
    // A replay closes the game screen and opens a fresh one, modal again.
    bool again = true;
    while (again) {
        const std::unique_ptr<Form1> game = makeGame();
        game->exec();
        again = game->replayRequested();
    }
    Form_Activate();
}

void Form2::Picture2_MouseMove(std::int16_t Index, std::int16_t, std::int16_t, float, float) {
    if (LastBadge - 1 != Index && SoundOn == 1) Module2::playWave(Module2::Wave1001);
    LastBadge = static_cast<std::int16_t>(Index + 1);
    for (std::size_t i = 0; i < 3; ++i) {
        auto* badge = Picture2[i];
        if (static_cast<std::int16_t>(i) == Index) {
            // The whole border stays inside the drawing area, so all four sides show.
            badge->Box(0, 0, badge->ScaleWidth() - 1, badge->ScaleHeight() - 1, qRgb(0, 0, 255));
        } else {
            badge->PaintPicture(badge->Picture(), 0, 0);
        }
    }
}

// The game window of the current level, standing beside this one and reporting to it.
std::unique_ptr<Form1> Form2::makeGame() {
    auto game =
        std::make_unique<Form1>(this, Picture2[static_cast<std::size_t>(std::clamp(Level, 0, 2))]->Picture());
    connect(game.get(), &Form1::newRecord, this, &Form2::recordSet);
    return game;
}

// Kept at once, so a crash before this window closes cannot lose it; a failure here is
// reported by the save at exit. Shown at once, as the game window may stay open for a replay.
void Form2::recordSet() {
    (void)SettingsFile::save(SettingsFile::path(), Left(), Top());
    dispHi();
}

void Form2::dispHi() {
    for (std::size_t i = 0; i < 3; ++i) Label5[i]->setText(QString::number(HiScore[i]));
}

void Form2::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    menu.addAction(QStringLiteral("対局コードで開始…"), this, &Form2::askCode);
    menu.addAction(QStringLiteral("成績…"), this, &Form2::openProgress);
    addPracticeItems(menu);
    menu.exec(event->globalPos());
}

void Form2::askCode() {
    QInputDialog dialog(this);
    dialog.setObjectName("CodeQuestion");
    dialog.setWindowTitle(QStringLiteral("対局コードで開始"));
    dialog.setLabelText(QStringLiteral("対局コードを入力してください:"));
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("キャンセル"));
    if (dialog.exec() == QDialog::Accepted) playCode(dialog.textValue());
}

void Form2::playCode(const QString& text) {
    const auto code = engine::decodeGameCode(plainCode(text).toStdString());
    if (!code) {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("対局コード"),
                        QStringLiteral("対局コードが正しくありません。\n") + givenStart(text),
                        QMessageBox::Ok, this);
        box.setObjectName("BadCode");
        box.exec();
        Form_Activate();
        return;
    }
    playDescribed(code->level, [&](std::uint32_t) { return engine::GameDescription::fromCode(*code); });
}

namespace {

std::function<void(QWidget*)>& progressOpener() {
    static std::function<void(QWidget*)> open;
    return open;
}

// The 成績 window lives in a module beside the program: Qt Charts and the OpenGL libraries it
// needs then load when the window is first asked for, not with every start.
std::function<void(QWidget*)> loadProgressModule(QString& file) {
    static QLibrary module;
    file = QCoreApplication::applicationDirPath() + QStringLiteral("/bralun-progress.so");
    if (!module.isLoaded()) {
        module.setFileName(file);
        // Every symbol resolved now: a module that does not fit the program is refused here,
        // not in the middle of drawing the window.
        module.setLoadHints(QLibrary::ResolveAllSymbolsHint);
    }
    const auto open = reinterpret_cast<void (*)(QWidget*)>(module.resolve("bralun_progress_open"));
    if (!open) qWarning("%s", qPrintable(module.errorString()));
    return open ? std::function<void(QWidget*)>(open) : nullptr;
}

} // namespace

void Form2::setProgressOpener(std::function<void(QWidget*)> open) {
    progressOpener() = std::move(open);
}

void Form2::openProgress() {
    QString file;
    if (const auto open = progressOpener() ? progressOpener() : loadProgressModule(file)) {
        open(this);
    } else {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("成績"),
                        QStringLiteral("成績の画面を開けません。\n%1 を読み込めませんでした。")
                            .arg(QDir::toNativeSeparators(file)),
                        QMessageBox::Ok, this);
        box.setObjectName("NoProgress");
        box.exec();
    }
    Form_Activate();
}

void Form2::startFromArguments(const QStringList& arguments) {
    const qsizetype at = arguments.indexOf(QStringLiteral("--code"));
    if (at < 1) return;
    if (at + 1 >= arguments.size()) {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("対局コード"),
                        QStringLiteral("対局コードがありません。\n--code の後に対局コードを書いてください。"),
                        QMessageBox::Ok, this);
        box.setObjectName("NoCode");
        box.setWindowModality(Qt::ApplicationModal);
        box.show(); // sized now, so it can stand beside this window
        const QRect frame = frameGeometry();
        const QSize outer = platform::outerSizeBeforeShow(&box, this);
        const QRect area = screen() ? screen()->availableGeometry() : frame;
        const int right = frame.right() + 1;
        const int x = right + outer.width() <= area.right() + 1 ? right : frame.left() - outer.width();
        box.move(
            std::clamp(x, area.left(), std::max(area.left(), area.right() + 1 - outer.width())),
            std::clamp(frame.top(), area.top(), std::max(area.top(), area.bottom() + 1 - outer.height())));
        box.exec();
        return;
    }
    const QString code = arguments.at(at + 1);
    // The game window stands against this window's frame, as after a badge click; a window
    // manager frames a new window a moment after it shows, and without one there is no frame.
    whenFramed(20, [this, code] { playCode(code); });
}

void Form2::whenFramed(int tries, const std::function<void()>& act) {
    if (tries <= 0 || frameGeometry().size() != size()) {
        act();
        return;
    }
    QTimer::singleShot(50, this, [this, tries, act] { whenFramed(tries - 1, act); });
}
