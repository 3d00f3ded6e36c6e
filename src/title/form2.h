#pragma once

#include "engine/game.h"
#include "platform/picturebox.h"

#include <QStringList>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class Form1;
class QLabel;
class QMenu;
class QPushButton;

// The title window: title picture, the three level badges with their best scores, help and
// settings. Closing it saves the settings and ends the program.
class Form2 : public QWidget {
    Q_OBJECT
  public:
    explicit Form2(QWidget* parent = nullptr);

    platform::PictureBox* Picture1;
    std::array<platform::PictureBox*, 3> Picture2{};
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    std::array<QLabel*, 3> Label5{};
    QPushButton* Command1;
    QPushButton* Command2;

    // Outer edges and size in twips, as other windows read and set them.
    double Left() const;
    double Top() const;
    double Width() const;
    double Height() const;
    void setLeft(double twips);
    void setTop(double twips);

    void Form_Load();
    void Form_Activate();
    void Form_Unload();
    void Command1_Click();
    void Command2_Click();
    void Picture1_Click();
    void Picture2_Click(std::int16_t Index);
    void Picture2_MouseMove(std::int16_t Index, std::int16_t Button, std::int16_t Shift, float X, float Y);
    void dispHi();
    void recordSet(); // a game has just raised a best score
    std::unique_ptr<Form1> makeGame();
    // Opens the game window of a typed code, or says the code is not valid.
    void playCode(const QString& text);
    // Asks for a code and plays it.
    void askCode();
    // The 成績 window over the program's history, opened from the menu or F3: from the module
    // beside the program, unless an opener is set (a program that links the window in).
    void openProgress();
    static void setProgressOpener(std::function<void(QWidget*)> open);
    // The practice games (practice.cpp): 復習 of the hands due today, 弱点練習 of one shape (the
    // weakest when none is given), 今日の一局.
    void addPracticeItems(QMenu& menu);
    void startReview();
    void startWeakShape(std::optional<engine::WaitShape> shape);
    void startDaily();
    void playDescribed(std::int32_t level,
                       const std::function<engine::GameDescription(std::uint32_t)>& describe);
    // bralun --code CODE: the game window of that code; a missing code is said.
    void startFromArguments(const QStringList& arguments);

    const QString& helpFile() const { return helpFile_; }

  signals:
    // The settings are saved (or the failure reported): the program is to end now.
    void programEnds();

  protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    void placeControls();
    void connectEvents();
    void centreOnScreen();
    void whenFramed(int tries, const std::function<void()>& act);

    QString helpFile_;
    bool centring_ = true; // no stored position: centred once the frame is known
    std::int16_t LastBadge = 0;
    bool unloaded_ = false;
};
