#pragma once

// Shared by the game screen's window tests.

#include "engine/tehai.h"
#include "game/form1.h"
#include "platform/picturebox.h"
#include "testsupport.h"
#include "title/form2.h"
#include "title/module1.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <memory>

namespace gametest {

inline constexpr std::uint32_t Seed = 20240611;
inline constexpr QRgb Cyan = 0xFF00FFFF;

// A title window and a game screen at a level, the random numbers seeded, the clock the test's.
struct Session {
    explicit Session(int level = 0) {
        Form1::setSeedSource([] { return Seed; });
        title = std::make_unique<Form2>();
        Module1::Level = level;
    }
    ~Session() {
        game.reset();
        title.reset();
        Form1::setSeedSource({});
        Form1::setScreenWidthSource({});
    }
    Form1& open() {
        game = std::make_unique<Form1>(title.get());
        return *game;
    }

    testsupport::Environment env;
    std::unique_ptr<Form2> title;
    std::unique_ptr<Form1> game;
};

// The centre of a tile's cell on the palette, in widget coordinates (the border is 2 px).
inline QPoint cellCentre(const Form1& game, int code) {
    const int b = game.Picture1->borderWidth();
    return {engine::sheetX(code) + 14 + b, engine::sheetY(code) + 19 + b};
}

inline void pressTile(Form1& game, int code) {
    QTest::mouseClick(game.Picture1, Qt::LeftButton, {}, cellCentre(game, code));
}

inline int waitCount(const Form1& game) {
    return static_cast<int>(std::count(game.Machi.begin(), game.Machi.end(), std::int16_t{1}));
}

// Marks exactly the waits, as a player who knows the answer would.
inline void markWaits(Form1& game) {
    for (int k = 1; k <= 37; ++k) {
        if (game.Machi[static_cast<std::size_t>(k)] == 1) pressTile(game, k);
    }
}

// Plays one problem from the start button: right answers after ms milliseconds.
inline void playProblem(Form1& game, testsupport::Environment& env, std::uint32_t ms, bool right = true) {
    QTest::mouseClick(game.Command2, Qt::LeftButton);
    if (right) markWaits(game);
    env.advance(ms);
    QTest::mouseClick(game.Command1, Qt::LeftButton);
}

inline void playGame(Form1& game, testsupport::Environment& env, std::uint32_t ms, bool right = true) {
    for (int i = 0; i < 10; ++i) playProblem(game, env, ms, right);
}

// True when every border pixel of the cell is cyan.
inline bool outlined(const QImage& image, int code) {
    const int x = engine::sheetX(code);
    const int y = engine::sheetY(code);
    for (int i = 0; i < 28; ++i) {
        if (image.pixel(x + i, y) != Cyan || image.pixel(x + i, y + 37) != Cyan) return false;
    }
    for (int j = 0; j < 38; ++j) {
        if (image.pixel(x, y + j) != Cyan || image.pixel(x + 27, y + j) != Cyan) return false;
    }
    return true;
}

// True when the cell shows the tile sheet unchanged.
inline bool cleanCell(const QImage& image, const QImage& sheet, int code) {
    const QRect cell(engine::sheetX(code), engine::sheetY(code), 28, 38);
    return image.copy(cell) == sheet.copy(cell);
}

// Answers the next modal message box with the given button.
inline void answerQuestion(QMessageBox::StandardButton answer) {
    testsupport::whenModalShows("QMessageBox", [answer](QWidget* w) {
        if (auto* box = qobject_cast<QMessageBox*>(w)) box->button(answer)->click();
    });
}

} // namespace gametest
