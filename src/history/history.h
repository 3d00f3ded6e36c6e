#pragma once

#include "engine/gamekind.h"
#include "engine/gamerecord.h"

#include <QDateTime>
#include <QString>

class QSqlError;

#include <cstdint>
#include <memory>

namespace history {

// The Japanese name of a kind of game: 通常, コード, 復習, 弱点練習, 今日の一局.
QString kindName(engine::GameKind kind);

// What is known of a game when its first problem is shown.
struct GameStart {
    QDateTime startedUtc;
    int level = 0;
    QString code; // the game's code, XXX-XXX-XXX
    bool notenOK = false;
    bool sortHai = true;
    bool upsideDown = false;
    int timeLimit = 150; // tenths of a second
    bool mayRecord = true;
    engine::GameKind kind = engine::GameKind::Normal;
};

// The player's history of play in history.sqlite3: every answer written as it is given, one
// transaction each. Opened on first use. When the file cannot be used, play goes on without
// history and notice() says why, once.
class History {
  public:
    // history.sqlite3 beside bralun.ini when the program's folder is writable, else in
    // $XDG_DATA_HOME/bralun/ (else ~/.local/share/bralun/).
    static QString defaultPath();

    explicit History(QString path);
    ~History();
    History(const History&) = delete;
    History& operator=(const History&) = delete;

    const QString& path() const { return path_; }
    // Opens the database if not yet open; false when there is no history to be had.
    bool available();

    // A new game; its id, or -1 when nothing could be written.
    std::int64_t beginGame(const GameStart& start);
    // Problem `number` (1..10) of the game, answered; false when it could not be written.
    bool recordAnswer(std::int64_t game, int number, const engine::ProblemRecord& record,
                      const QDateTime& answeredUtc);
    // The game's final score, once its tenth problem is answered.
    bool endGame(std::int64_t game, std::int32_t score);

    // A Japanese notice for the player the first time something went wrong; empty after that.
    QString takeNotice();

    // The connection's name, for the queries of the dashboard and the schedule.
    QString connectionName() const;

  private:
    bool failed(const QSqlError& error); // notes the fault once; always false
    struct Impl;
    QString path_;
    std::unique_ptr<Impl> impl_;
};

// The history every window of this process writes to, at History::defaultPath() unless a
// test points it elsewhere first.
History& programHistory();
void setProgramHistoryPath(const QString& path);

} // namespace history
