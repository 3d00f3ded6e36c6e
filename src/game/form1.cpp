#include "game/form1.h"

#include "config/module1.h"
#include "history/history.h"
#include "history/schedule.h"
#include "platform/keystate.h"
#include "platform/picturebox.h"
#include "platform/tickcount.h"
#include "platform/twips.h"
#include "platform/window.h"
#include "review/explainwindow.h"
#include "review/reviewwindow.h"
#include "review/tilepictures.h"
#include "sound/module2.h"

#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <utility>

using namespace Module1;
using platform::control;
using platform::twipRect;
using platform::windowFont;

namespace {

std::function<std::uint32_t()>& seedSource() {
    static std::function<std::uint32_t()> source;
    return source;
}

std::function<double()>& screenWidthSource() {
    static std::function<double()> source;
    return source;
}

// Halves to even; values far outside any score are held at a bound an int32 can carry.
std::int32_t roundHalfEven(double v) {
    return static_cast<std::int32_t>(std::clamp(std::nearbyint(v), -1.0e9, 1.0e9));
}

bool held(int vk) {
    return (platform::GetAsyncKeyState(vk) & 0x8000) != 0;
}

// The palette row the digit keys reach with the keys held now.
int heldRow() {
    int row = 0;
    if (held(platform::VK_RIGHT) || held(platform::VK_A + ('W' - 'A'))) row = 1;
    if (held(platform::VK_DOWN) || held(platform::VK_A + ('Q' - 'A'))) row = 2;
    return row;
}

// A Yes/No question has no cancel: Escape must not answer it.
class YesNoBox : public QMessageBox {
  public:
    using QMessageBox::QMessageBox;

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->matches(QKeySequence::Cancel)) {
            event->accept();
            return;
        }
        QMessageBox::keyPressEvent(event);
    }
};

constexpr QRgb Cyan = 0xFF00FFFF;
constexpr int PaletteColumns = engine::SheetColumns;
constexpr int PaletteRows = engine::SheetRows;
constexpr int TileW = engine::TileWidth;
constexpr int TileH = engine::TileHeight;

// A tile's cell on the palette, outlined along its edge pixels.
void outlineCell(platform::PictureBox& palette, int x, int y) {
    palette.Box(x, y, x + TileW - 1, y + TileH - 1, Cyan);
}

} // namespace

void Form1::setSeedSource(std::function<std::uint32_t()> source) {
    seedSource() = std::move(source);
}
void Form1::setScreenWidthSource(std::function<double()> source) {
    screenWidthSource() = std::move(source);
}

Form1::Form1(QWidget* beside, const QImage& badge)
    : QDialog(beside, platform::fixedDialogFlags), Mondai(generator), beside_(beside), badge_(badge) {
    setObjectName("Form1");
    setWindowTitle(QStringLiteral("Orvandis ゾルベク"));
    setFixedSize(platform::px(5535), platform::px(4095));

    placePaletteAndHand();
    placeButtonsAndTimeBar();
    placeLabelsAndBadge();
    connectEvents();
    Form_Load();
}

// The answer palette with its row marker, and the problem hand.
void Form1::placePaletteAndHand() {
    Picture1 = new platform::PictureBox(this);
    Picture1->setObjectName("Picture1");
    Picture1->setPicture(QImage(QStringLiteral(":/tiles.png")), true);
    Picture1->move(twipRect(1680, 1560, 0, 0).topLeft());
    Picture1->setEnabled(false);

    // The marker lives in the drawing area, clipped by it, as a control inside a picture box is.
    auto* client = new QWidget(Picture1);
    client->setGeometry(Picture1->borderWidth(), Picture1->borderWidth(), Picture1->ScaleWidth(),
                        Picture1->ScaleHeight());
    client->setAttribute(Qt::WA_TransparentForMouseEvents);
    Image1 = new platform::ImageBox(client);
    Image1->setObjectName("Image1");
    Image1->setPicture(QImage(QStringLiteral(":/marker.png")));
    Image1->resize(twipRect(0, 0, 420, 570).size());

    picHaipai = new platform::PictureBox(this);
    picHaipai->setObjectName("picHaipai");
    picHaipai->move(twipRect(0, 840, 0, 0).topLeft());
    picHaipai->setDrawingSize(platform::px(5520) - 4, platform::px(630) - 4);
    picHaipai->setEnabled(false);
}

// The question, the answer and start buttons, the time bar and the dimming picture.
void Form1::placeButtonsAndTimeBar() {
    Label1 = control<QLabel>(this, "Label1", QStringLiteral("この聴牌に対する当たり牌を答えよ。"),
                             twipRect(0, 600, 4095, 255));
    Label1->setFont(windowFont("ＭＳ Ｐゴシック", 11.25, true));

    Command1 =
        control<QPushButton>(this, "Command1", QStringLiteral("解答完了"), twipRect(45, 1560, 1575, 495));
    Command1->setEnabled(false);
    Command1->setDefault(true);
    Command2 = control<QPushButton>(this, "Command2", QStringLiteral("開始"), twipRect(45, 2085, 1575, 540));

    picTime = new platform::PictureBox(this);
    picTime->setObjectName("picTime");
    picTime->move(twipRect(60, 2700, 0, 0).topLeft());
    picTime->BackColor = palette().color(QPalette::Highlight).rgb();
    picTime->ForeColor = palette().color(QPalette::Button).rgb();
    picTime->setDrawingSize(platform::px(1560) - 4, platform::px(255) - 4);
    picTime->setEnabled(false);

    Picture2 = new platform::PictureBox(this, false);
    Picture2->setObjectName("Picture2");
    Picture2->setPicture(QImage(QStringLiteral(":/dim.png")), true);
    Picture2->move(twipRect(4440, 3240, 0, 0).topLeft());
    Picture2->setVisible(false);
}

// The verdict, the problems left, the points, the badge, the quit button and the timer.
void Form1::placeLabelsAndBadge() {
    auto* label2 = control<platform::BoxedLabel>(this, "Label2", QString(), twipRect(90, 3000, 1455, 495));
    Label2 = label2;
    Label2->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label2->setFont(windowFont("ＭＳ Ｐ明朝", 20.25, true));

    auto* label3 = control<platform::BoxedLabel>(this, "Label3", QString(), twipRect(0, 120, 1335, 375));
    Label3 = label3;
    Label3->setFont(windowFont("ＭＳ Ｐ明朝", 14.25, true));
    platform::centreInkInside(label2, QStringLiteral("不正解"));
    platform::centreInkInside(label3, QStringLiteral("全問終了"));

    Label4 = control<QLabel>(this, "Label4", QStringLiteral("得点"), twipRect(2400, 240, 1455, 255));
    Label4->setFont(windowFont("ＭＳ Ｐ明朝", 12, true));

    Label5 = control<QLabel>(this, "Label5", QString(), twipRect(1440, 240, 1335, 255));
    Label5->setFont(windowFont("ＭＳ Ｐ明朝", 12, true));
    QPalette blue = Label5->palette();
    blue.setColor(QPalette::WindowText, QColor(0, 0, 255));
    Label5->setPalette(blue);

    Picture3 = new platform::PictureBox(this);
    Picture3->setObjectName("Picture3");
    Picture3->move(twipRect(3960, 0, 0, 0).topLeft());
    Picture3->setDrawingSize(platform::px(1500) - 4, platform::px(780) - 4);
    Picture3->setFont(windowFont("ＭＳ Ｐ明朝", 15.75, true));
    Picture3->setEnabled(false);

    Command3 =
        control<QPushButton>(this, "Command3", QStringLiteral("終了(&Q)"), twipRect(30, 3570, 1575, 495));

    for (QWidget* button : {Command1, Command2, Command3}) platform::focusOnLeftClick(button);

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(150);
}

void Form1::connectEvents() {
    setTabOrder(Picture1, picHaipai);
    setTabOrder(picHaipai, Command1);
    setTabOrder(Command1, Command2);
    setTabOrder(Command2, picTime);
    setTabOrder(picTime, Picture2);
    setTabOrder(Picture2, Picture3);
    setTabOrder(Picture3, Command3);

    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(Picture1, &platform::PictureBox::mouseDown, this, &Form1::Picture1_Mousedown);
    connect(Picture1, &platform::PictureBox::keyDown, this, &Form1::Picture1_KeyDown);
    connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
    connect(new QShortcut(QKeySequence(Qt::Key_F2), this), &QShortcut::activated, this,
            &Form1::toggleExplanation);
}

Form1::~Form1() {
    Form_Unload();
}

void Form1::Form_Load() {
    Picture3->PaintPicture(badge_, 0, 0);
    placeBeside();
    startCode_.seed = seedSource() ? seedSource()() : engine::clockSeed();
    generator.seed(startCode_.seed);
    Score = 0;
    Nokori = 11;
    setImage1Top(-TileH); // out of sight until a row is chosen
}

// Against the right edge of the window beside, which moves left when the pair would cross the
// screen's edge.
void Form1::placeBeside() {
    if (!beside_) return;
    const QSize frameExtra = beside_->frameGeometry().size() - beside_->size();
    const double W1 = platform::twips(width() + frameExtra.width());
    double L2 = platform::outerLeft(beside_);
    const double W2 = platform::outerWidth(beside_);
    double S = 0;
    if (const auto& source = screenWidthSource()) {
        S = source();
    } else if (const QScreen* screen =
                   beside_->screen() ? beside_->screen() : QGuiApplication::primaryScreen()) {
        S = platform::twips(screen->geometry().x() + screen->geometry().width());
    }
    if (static_cast<float>(L2) + static_cast<float>(W2) + static_cast<float>(W1) > static_cast<float>(S)) {
        L2 = S - W1 - W2;
        platform::moveOuter(beside_, L2, platform::outerTop(beside_));
    }
    platform::moveOuter(this, L2 + W2, platform::outerTop(beside_));
}

void Form1::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    Timer1->stop();
    Module2::StopMusic();
}

void Form1::done(int result) {
    Form_Unload();
    QDialog::done(result);
}

void Form1::keyPressEvent(QKeyEvent* event) {
    // The game has no cancel button: Escape must not end it.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void Form1::setImage1Top(int top) {
    image1Top_ = top;
    Image1->move(0, top);
}

void Form1::printOutlined(int x, int y, const QString& text) {
    for (int dx = -2; dx <= 2; ++dx) {
        for (int dy = -2; dy <= 2; ++dy) Picture3->PrintAt(x + dx, y + dy, text, 0xFF000000);
    }
    Picture3->PrintAt(x, y, text, 0xFFFFFFFF);
}

void Form1::dispHai(platform::PictureBox& target, std::int32_t x, std::int32_t y, engine::Hai code) {
    const int sx = engine::sheetX(code);
    const int sy = engine::sheetY(code);
    // One draw per tile whatever the setting, so a seed gives the same hands either way.
    const float r = Rnd();
    if (UpsideDownHai == 1 && r < 0.5f) {
        target.PaintPicture(Picture1->Picture(), x + TileW - 1, y + TileH - 1, -TileW, -TileH, sx, sy, TileW,
                            TileH, platform::SRCCOPY);
    } else {
        target.PaintPicture(Picture1->Picture(), x, y, TileW, TileH, sx, sy, TileW, TileH, platform::SRCCOPY);
    }
}

void Form1::MondaiStart() {
    Nokori = static_cast<std::int16_t>(Nokori - 1);
    const QString count =
        Nokori >= 0 ? QStringLiteral(" ") + QString::number(Nokori) : QString::number(Nokori);
    Label3->setText(QStringLiteral("残り") + count.right(2) + QStringLiteral("問"));
    Label5->setText(QString());

    engine::dealProblem(*this, game_, gameCode(), 10 - Nokori);
    for (int i = 0; i <= 12; ++i) dispHai(*picHaipai, i * TileW, 0, Tehai[static_cast<std::size_t>(i)]);
    std::copy_n(Tehai.begin(), 13, shown_.begin());
    if (explain_) explain_->showPending();

    for (std::size_t k = 1; k <= std::size_t{engine::LastTile}; ++k) Kotae[k] = 0;
    Picture1->setEnabled(true);
    Command1->setEnabled(true);
    Command2->setEnabled(false);
    Timer1->start();

    picTime->Cls();
    picTime->Print(QStringLiteral(" 残り時間"));
    Label2->setText(QString());
    Picture1->PaintPicture(Picture1->Picture(), 0, 0);

    StartTick = platform::GetTickCount();
    Command1->setFocus();
}

void Form1::Picture1_Mousedown(std::int16_t, std::int16_t, float X, float Y) {
    if (SoundOn == 1) Module2::playWave(Module2::Wave1001);
    // A press on the border lies in no cell; it would otherwise reach codes 10, 20 and 30.
    if (X < 0 || Y < 0) return;
    const int col = static_cast<int>(X / TileW);
    const int row = static_cast<int>(Y / TileH);
    if (col >= PaletteColumns || row >= PaletteRows) return;
    const int code = 10 * row + col + 1;
    if (code > engine::LastTile) return;

    auto& mark = Kotae[static_cast<std::size_t>(code)];
    if (mark == 0) {
        mark = 1;
        outlineCell(*Picture1, TileW * col, TileH * row);
        return;
    }
    mark = 0;
    Picture1->PaintPicture(Picture1->Picture(), 0, 0);
    for (int k = 1; k <= engine::LastTile; ++k) {
        if (Kotae[static_cast<std::size_t>(k)] == 1)
            outlineCell(*Picture1, engine::sheetX(k), engine::sheetY(k));
    }
}

void Form1::Picture1_KeyDown(std::int16_t KeyCode, std::int16_t) {
    if (KeyShortcuts == 0) return;
    static constexpr std::array<int, 7> honours{'A', 'S', 'D', 'F', 'Z', 'X', 'C'};
    for (std::size_t i = 0; i < honours.size(); ++i) {
        if (KeyCode == honours[i]) {
            Picture1_Mousedown(1, 0, static_cast<float>(TileW * i), 3 * TileH);
            return;
        }
    }
    const int row = heldRow();
    int key = KeyCode;
    // The keypad's digits act as the main row's.
    if (key > platform::VK_NUMPAD0 && key <= platform::VK_NUMPAD0 + 9)
        key -= platform::VK_NUMPAD0 - platform::VK_0;
    if (key > platform::VK_0 && key <= platform::VK_0 + 9) {
        const int column = key - platform::VK_0 - 1;
        Picture1_Mousedown(1, 0, static_cast<float>(TileW * column), static_cast<float>(TileH * row));
    }
}

double Form1::sharePercent(std::uint32_t now) const {
    // The settings never hold a limit below 15 s; a zero must still not divide.
    const double limit = std::max<double>(game_.timeLimit > 0 ? game_.timeLimit : TimeLimit, 1);
    return platform::elapsedTicks(StartTick, now) / limit;
}

void Form1::Timer1_Timer() {
    tickCounter_ = static_cast<std::int16_t>((tickCounter_ + 1) % 3);
    if (tickCounter_ == 0 && SoundOn == 1) Module2::playWave(Module2::Wave1005);

    const std::int32_t r = roundHalfEven(100 - sharePercent(platform::GetTickCount()));
    picTime->BoxFilled(99, 0, std::max(r, -1), picTime->ScaleHeight(), picTime->ForeColor);
    if (r < 1) Command1_Click();

    if (KeyShortcuts != 0) setImage1Top(TileH * heldRow());
}

void Form1::Command1_Click() {
    // An answer is judged once: the button and the timer both end with the problem.
    if (!Timer1->isActive()) return;
    const std::int32_t p = roundHalfEven(200 - sharePercent(platform::GetTickCount()));
    revealWaits();
    judge(p);
    if (Nokori == 1) endGame();
    showHistoryNotice();
}

// Dims every tile that is no wait and closes the problem.
void Form1::revealWaits() {
    for (int k = 1; k <= engine::LastTile; ++k) {
        if (!engine::isTile(k) || Machi[static_cast<std::size_t>(k)] != 0) continue;
        Picture1->PaintPicture(Picture2->Picture(), engine::sheetX(k), engine::sheetY(k), TileW, TileH, 0, 0,
                               TileW, TileH, platform::SRCAND);
    }
    Picture1->setEnabled(false);
    Command1->setEnabled(false);
    Command2->setEnabled(true);
    Timer1->stop();
}

void Form1::judge(std::int32_t p) {
    bool correct = true;
    for (std::size_t k = 1; k <= std::size_t{engine::LastTile}; ++k) {
        if ((Kotae[k] == 1) != (Machi[k] == 1)) correct = false;
    }
    if (correct) {
        // A late tick or a sleeping machine must not cost a right answer its least worth.
        p = std::max(p, 100);
        if (SoundOn == 1) Module2::playWave(Module2::Wave1003);
        Label2->setText(QStringLiteral("正解"));
        Label5->setText(QStringLiteral("+") + QString::number(p) + QStringLiteral("点"));
        Score += p;
    } else {
        if (SoundOn == 1) Module2::playWave(Module2::Wave1000);
        Label2->setText(QStringLiteral("不正解"));
    }
    Label4->setText(QStringLiteral("得点 ") + QString::number(Score) + QStringLiteral("点"));
    Command2->setFocus();
    keepRecord(correct, correct ? p : 0);
}

void Form1::endGame() {
    Module2::StopMusic();
    Label3->setText(QStringLiteral("全問終了"));
    Command2->setEnabled(false);
    Nokori = 0;
    history::programHistory().endGame(historyGame_, Score);
    auto& best = HiScore[static_cast<std::size_t>(std::clamp(Level, 0, 2))];
    if (best < Score && mayRecord()) {
        best = Score;
        emit newRecord();
        printOutlined(5, 12, QStringLiteral("記録更新"));
        if (SoundOn == 1) Module2::playWave(Module2::Wave1002);
    }
    emit gameEnded();
}

void Form1::Command2_Click() {
    if (Nokori == 11) {
        if (MusicOn == 1) Module2::PlayMusic(AppPath() + QStringLiteral("bralun.mid"));
        startCode_.level = std::clamp<int>(Level, 0, 2);
        startCode_.notenOK = NotenOK != 0;
        startCode_.sortHai = SortHai != 0;
        if (!mayRecord() && game_.kind == engine::GameKind::Normal) { // other games say so from their opening
            printOutlined(5, 3, QStringLiteral("最高得点"));
            printOutlined(5, 27, QStringLiteral("記録不可"));
        }
        noteHistoryStart();
    }
    if (SoundOn == 1) Module2::playWave(Module2::Wave1001);
    MondaiStart();
    Command2->setText(QStringLiteral("次の問題へ行く"));
    Picture1->setFocus();
}

void Form1::Command3_Click() {
    if (Nokori >= 11) {
        close();
        return;
    }
    // Decided by the phase the question was asked in: the time may run out while it shows.
    const bool over = Nokori <= 0;
    const QString text =
        (over ? QStringLiteral("リプレイしないで") : QStringLiteral("現在のゲームを終了して")) +
        QStringLiteral(" タイトルに戻りますか？");
    YesNoBox box(QMessageBox::NoIcon, QStringLiteral("ゲームの終了"), text,
                 QMessageBox::Yes | QMessageBox::No, this);
    box.setObjectName("QuitQuestion");
    box.button(QMessageBox::Yes)->setText(QStringLiteral("はい(&Y)"));
    box.button(QMessageBox::No)->setText(QStringLiteral("いいえ(&N)"));
    for (auto b : {QMessageBox::Yes, QMessageBox::No}) box.button(b)->setIcon(QIcon());
    box.setDefaultButton(QMessageBox::No);
    const int answer = box.exec();
    if (answer != QMessageBox::No) {
        close();
    } else if (over) {
        replay_ = true;
        close();
    }
}

bool Form1::mayRecord() const {
    return game_.mayRecord() && recordAllowed();
}

void Form1::playCode(const engine::GameCode& code) {
    play(engine::GameDescription::fromCode(code));
}

void Form1::play(const engine::GameDescription& game) {
    game_ = game;
    if (game_.code) generator.seed(game_.code->seed);
    // A practice game says which it is; the designed game keeps its caption.
    if (game_.kind != engine::GameKind::Normal)
        setWindowTitle(QStringLiteral("Orvandis ゾルベク　") + QString::fromUtf8(game_.name()));
    // Which game this is, and that it sets no record, from the moment the window opens.
    if (game_.kind == engine::GameKind::Code)
        setWindowTitle(windowTitle() + QStringLiteral("  対局コード ") +
                       QString::fromStdString(engine::encodeGameCode(*game_.code)));
    printOutlined(5, 3, QStringLiteral("最高得点"));
    printOutlined(5, 27, QStringLiteral("記録不可"));
}

void Form1::keepRecord(bool correct, std::int32_t points) {
    engine::ProblemRecord record;
    record.hand = shown_;
    std::copy(Kotae.begin(), Kotae.end(), record.kotae.begin());
    std::copy(Machi.begin(), Machi.end(), record.machi.begin());
    record.timeMs = static_cast<std::int32_t>(platform::GetTickCount() - StartTick);
    record.points = points;
    record.correct = correct;
    records_.push_back(record);
    writeHistory(record);
    if (explain_) explain_->showAnswer(record, engine::explain(record.hand));
    if (explain_) explain_->setReviewAvailable(records_.size() >= 10);
}

review::ExplainWindow* Form1::explainWindow() {
    if (!explain_) {
        explain_ = new review::ExplainWindow(this);
        connect(explain_, &review::ExplainWindow::reviewRequested, this, &Form1::openReview);
        // Opened after an answer, it explains that answer at once.
        if (!records_.empty() && !Timer1->isActive())
            explain_->showAnswer(records_.back(), engine::explain(records_.back().hand));
        explain_->setReviewAvailable(records_.size() >= 10);
    }
    return explain_;
}

void Form1::toggleExplanation() {
    review::ExplainWindow* window = explainWindow();
    if (window->isVisible()) {
        window->hide();
        return;
    }
    showPlaced(window);
    activateWindow(); // the keys stay with the game
}

// Placed before it shows, taking a frame like this window's; a window manager may give a tool
// window another frame, so once it has its own (in a second at most) it is placed again.
void Form1::showPlaced(QWidget* window) {
    review::moveClear(window, this, surroundings(window));
    window->show();
    const QSize assumed = frameGeometry().size() - size();
    auto* watch = new QTimer(window);
    watch->setInterval(100);
    connect(watch, &QTimer::timeout, window, [this, window, watch, assumed, tries = 10]() mutable {
        const QSize extra = window->frameGeometry().size() - window->size();
        if (extra.isEmpty() && --tries > 0) return;
        watch->deleteLater();
        if (window->isVisible() && extra != assumed) review::moveClear(window, window, surroundings(window));
    });
    watch->start();
}

review::Surroundings Form1::surroundings(const QWidget* placing) const {
    review::Surroundings around;
    around.game = frameGeometry();
    for (const QWidget* part :
         {static_cast<const QWidget*>(picHaipai), static_cast<const QWidget*>(Picture1)})
        around.core |= QRect(part->mapToGlobal(QPoint()), part->size());
    if (beside_) around.title = beside_->frameGeometry();
    std::vector<const QWidget*> helpers{explain_};
    for (const auto* reviewWindow : findChildren<review::ReviewWindow*>()) helpers.push_back(reviewWindow);
    for (const QWidget* helper : helpers)
        if (helper && helper != placing && helper->isVisible())
            around.others.push_back(helper->frameGeometry());
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    around.screen = screen ? screen->availableGeometry() : around.game | around.title;
    return around;
}

void Form1::contextMenuEvent(QContextMenuEvent* event) {
    // On the palette every mouse button marks a tile.
    const QWidget* under = childAt(event->pos());
    if (under && (under == Picture1 || Picture1->isAncestorOf(under))) return;
    QMenu menu(this);
    const bool shown = explain_ && explain_->isVisible();
    menu.addAction(shown ? QStringLiteral("解説を隠す") : QStringLiteral("解説を表示"), this,
                   &Form1::toggleExplanation);
    QAction* review = menu.addAction(QStringLiteral("振り返り"), this, &Form1::openReview);
    review->setEnabled(records_.size() >= 10);
    menu.exec(event->globalPos());
}

void Form1::openReview() {
    if (records_.size() < 10) return;
    // One review of a game: chosen again, the open one comes to the front.
    for (auto* open : findChildren<review::ReviewWindow*>()) {
        if (!open->isVisible()) continue;
        open->raise();
        return;
    }
    auto* window = new review::ReviewWindow(records_, gameCode(), this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    showPlaced(window);
}

void Form1::noteHistoryStart() {
    const engine::GameCode code = gameCode();
    historyStart_.startedUtc = QDateTime::currentDateTimeUtc();
    historyStart_.level = code.level;
    historyStart_.code = QString::fromStdString(engine::encodeGameCode(code));
    historyStart_.notenOK = code.notenOK;
    historyStart_.sortHai = code.sortHai;
    historyStart_.upsideDown = UpsideDownHai != 0;
    historyStart_.timeLimit = game_.timeLimit > 0 ? game_.timeLimit : TimeLimit;
    historyStart_.mayRecord = mayRecord();
    historyStart_.kind = game_.kind;
}

// The history is opened with the first answer, not at 開始, so no problem's time waits for it.
void Form1::writeHistory(const engine::ProblemRecord& record) {
    history::History& store = history::programHistory();
    if (records_.size() == 1) historyGame_ = store.beginGame(historyStart_);
    if (store.recordAnswer(historyGame_, static_cast<int>(records_.size()), record,
                           QDateTime::currentDateTimeUtc()))
        history::scheduleAnswer(store, game_.kind, record, history::scheduleToday());
}

// Shown once, after an answer while the clock stands, and without taking the keys from the game.
void Form1::showHistoryNotice() {
    const QString notice = history::programHistory().takeNotice();
    if (notice.isEmpty()) return;
    auto* box = new QMessageBox(QMessageBox::Information, QStringLiteral("成績の記録"), notice,
                                QMessageBox::Ok, this);
    box->setObjectName("HistoryNotice");
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setAttribute(Qt::WA_ShowWithoutActivating);
    box->setModal(false);
    box->show();
}
