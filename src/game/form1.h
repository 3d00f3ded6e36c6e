#pragma once

#include "engine/game.h"
#include "engine/gamecode.h"
#include "engine/gamerecord.h"
#include "engine/mondai.h"
#include "engine/random.h"
#include "history/history.h"

#include <QDialog>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class QLabel;
class QPushButton;
class QTimer;
class QContextMenuEvent;

namespace review {
class ExplainWindow;
class ReviewWindow;
struct Surroundings;
} // namespace review

namespace platform {
class ImageBox;
class PictureBox;
} // namespace platform

namespace detail {
// Owns the game's generator; a base listed before Mondai, so it exists before Mondai keeps it.
struct GameRandom {
    engine::Mt19937Random generator;
};
} // namespace detail

// The game screen: one game of ten problems at the level chosen on the title window. It knows
// no other window of the program: it is given the window to stand beside and the badge to show,
// and reports a new best score and the end of a game by signals.
class Form1 : public QDialog, private detail::GameRandom, public engine::Mondai {
    Q_OBJECT
  public:
    Form1(QWidget* beside, const QImage& badge);
    ~Form1() override;

    bool replayRequested() const { return replay_; }

    // The code that plays this game again: its seed, and the level and settings of its start.
    engine::GameCode gameCode() const { return game_.code ? *game_.code : startCode_; }
    // Plays the game of a code, before 開始: its hands, with its level and settings, no record.
    void playCode(const engine::GameCode& code);
    // Plays a described game, before 開始: its hands, its settings, its right to a record.
    void play(const engine::GameDescription& game);
    const engine::GameDescription& game() const { return game_; }
    const std::vector<engine::ProblemRecord>& records() const { return records_; }
    // The 解説 window, made on first use; shown and hidden from the menu and F2.
    review::ExplainWindow* explainWindow();
    void toggleExplanation();
    void openReview();

    platform::PictureBox* Picture1;
    platform::ImageBox* Image1;
    platform::PictureBox* picHaipai;
    QLabel* Label1;
    QPushButton* Command1;
    QPushButton* Command2;
    platform::PictureBox* picTime;
    platform::PictureBox* Picture2;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    platform::PictureBox* Picture3;
    QPushButton* Command3;
    QTimer* Timer1;

    std::array<std::int16_t, engine::LastTile + 1> Kotae{}; // marks by tile code
    std::uint32_t StartTick = 0;                            // unsigned: elapsed time is taken modulo 2^32
    std::int32_t Score = 0;
    std::int16_t Nokori = 0;

    void Form_Load();
    void Form_Unload();
    void MondaiStart();
    void dispHai(platform::PictureBox& target, std::int32_t x, std::int32_t y, engine::Hai code);
    void Picture1_Mousedown(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void Picture1_KeyDown(std::int16_t KeyCode, std::int16_t Shift);
    void Timer1_Timer();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

    // The row marker's top in pixels of the palette's drawing area.
    int Image1Top() const { return image1Top_; }
    void setImage1Top(int top);

    // Writes a notice over the badge: black rim two pixels wide, white text.
    void printOutlined(int x, int y, const QString& text);

    // Seams for tests: the seed taken at load (the clock's when empty) and the screen width in
    // twips used to place the window (the title window's screen when empty).
    static void setSeedSource(std::function<std::uint32_t()> source);
    static void setScreenWidthSource(std::function<double()> source);

  signals:
    void newRecord(); // HiScore(Level) has just been raised
    void gameEnded(); // the tenth answer is judged

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void done(int result) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    void placePaletteAndHand();
    void placeButtonsAndTimeBar();
    void placeLabelsAndBadge();
    void connectEvents();
    void revealWaits();
    void judge(std::int32_t p);
    void endGame();
    double sharePercent(std::uint32_t now) const;
    void placeBeside();
    bool mayRecord() const; // only the designed game under the standard settings sets one
    void keepRecord(bool correct, std::int32_t points);
    void noteHistoryStart();
    void writeHistory(const engine::ProblemRecord& record);
    void showHistoryNotice();
    void showPlaced(QWidget* window);
    review::Surroundings surroundings(const QWidget* placing) const;

    QWidget* beside_;
    QImage badge_;
    std::int16_t tickCounter_ = 0;
    int image1Top_ = 0;
    bool replay_ = false;
    bool unloaded_ = false;
    engine::GameDescription game_;
    engine::GameCode startCode_;
    std::array<engine::Hai, 13> shown_{};
    std::vector<engine::ProblemRecord> records_;
    review::ExplainWindow* explain_ = nullptr;
    history::GameStart historyStart_;
    std::int64_t historyGame_ = -1; // the game's row, written with its first answer
};
