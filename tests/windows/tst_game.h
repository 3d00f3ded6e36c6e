#pragma once

// Shared by the game screen's window tests.

#include "config/module1.h"
#include "engine/mondai.h"
#include "game/form1.h"
#include "platform/picturebox.h"
#include "testsupport.h"
#include "title/form2.h"

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
        game = title->makeGame();
        return *game;
    }
    // Opened, shown and active, as a player meets it; a failed activation shows in the focus.
    Form1& openActive() {
        open().show();
        (void)QTest::qWaitForWindowActive(game.get());
        return *game;
    }
    // Opened with the first problem on the palette.
    Form1& openStarted() {
        open();
        QTest::mouseClick(game->Command2, Qt::LeftButton);
        return *game;
    }
    // A music file in the program directory and the music switched on.
    void withMusic() {
        env.writeFile(QStringLiteral("bralun.mid"), QByteArray("MThd"));
        Module1::MusicOn = 1;
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

inline void click(QWidget* w) {
    QTest::mouseClick(w, Qt::LeftButton);
}

inline void pressTile(Form1& game, int code) {
    QTest::mouseClick(game.Picture1, Qt::LeftButton, {}, cellCentre(game, code));
}

// Marks exactly the waits, as a player who knows the answer would.
inline void markWaits(Form1& game) {
    for (int k = 1; k <= 37; ++k) {
        if (game.Machi[static_cast<std::size_t>(k)] == 1) pressTile(game, k);
    }
}

// Answers the open problem right after ms milliseconds.
inline void answerRight(Form1& game, testsupport::Environment& env, std::uint32_t ms) {
    markWaits(game);
    env.advance(ms);
    QTest::mouseClick(game.Command1, Qt::LeftButton);
}

// Plays problems from the start button, each answered right after ms milliseconds.
inline void playProblems(Form1& game, testsupport::Environment& env, std::uint32_t ms, int count = 10) {
    for (int i = 0; i < count; ++i) {
        QTest::mouseClick(game.Command2, Qt::LeftButton);
        answerRight(game, env, ms);
    }
}

inline QRect cellRect(int code) {
    return {engine::sheetX(code), engine::sheetY(code), 28, 38};
}

// True when every border pixel of the cell is cyan.
inline bool outlined(const QImage& image, int code) {
    for (int i = 0; i < 28 * 38; ++i) {
        const QPoint p(i % 28, i / 28);
        if ((p.x() % 27 == 0 || p.y() % 37 == 0) && image.pixel(cellRect(code).topLeft() + p) != Cyan)
            return false;
    }
    return true;
}

// True when the cell shows the tile sheet unchanged.
inline bool cleanCell(const QImage& image, const QImage& sheet, int code) {
    return image.copy(cellRect(code)) == sheet.copy(cellRect(code));
}

} // namespace gametest
