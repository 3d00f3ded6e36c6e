#include "history/history.h"

#include "config/module1.h"
#include "engine/explain.h"
#include "history/schema.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <sys/stat.h>

#include <atomic>

namespace history {

namespace {

// Primary result codes of SQLite, as the driver reports them in nativeErrorCode().
enum SqliteCode { ReadOnly = 8, Corrupt = 11, Full = 13, CantOpen = 14, NotADatabase = 26 };

int sqliteCode(const QSqlError& error) {
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return ok ? (code & 0xFF) : -1;
}

bool isBroken(const QSqlError& error) {
    const int code = sqliteCode(error);
    return code == Corrupt || code == NotADatabase;
}

QString writeFailure(const QSqlError& error) {
    switch (sqliteCode(error)) {
    case ReadOnly:
        return QStringLiteral(
            "成績の記録ファイルに書き込めません（読み取り専用）。成績を記録せずに続けます。");
    case Full:
        return QStringLiteral("ディスクの空きが足りず、成績を記録できません。成績を記録せずに続けます。");
    default:
        return QStringLiteral("成績を記録できませんでした（%1）。成績を記録せずに続けます。")
            .arg(error.text());
    }
}

// The name a damaged file is kept under: history.sqlite3.broken-YYYYMMDD-HHMMSS, numbered when
// two break within a second.
QString asideName(const QString& path) {
    const QString base = path + QStringLiteral(".broken-") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = base;
    for (int n = 2; QFileInfo::exists(name); ++n) name = base + QLatin1Char('-') + QString::number(n);
    return name;
}

// Moves the file aside with its journal files, so none of them is applied to the new one.
bool moveAside(const QString& path, QString& aside) {
    aside = asideName(path);
    if (!QFile::rename(path, aside)) return false;
    for (const char* suffix : {"-wal", "-shm", "-journal"}) {
        const QString extra = path + QLatin1String(suffix);
        if (QFileInfo::exists(extra)) QFile::rename(extra, aside + QLatin1String(suffix));
    }
    return true;
}

std::atomic<int> connections{0};

// Pages missing at the end: once the journal is folded in, the file must hold every page its
// header counts. Skipped while another program keeps part of the journal in use.
bool truncated(const QSqlDatabase& d) {
    QSqlQuery q(d);
    if (!q.exec(QStringLiteral("PRAGMA wal_checkpoint(PASSIVE)")) || !q.next() ||
        q.value(1).toInt() != q.value(2).toInt())
        return false;
    qint64 pages = 0, pageSize = 0;
    if (q.exec(QStringLiteral("PRAGMA page_count")) && q.next()) pages = q.value(0).toLongLong();
    if (q.exec(QStringLiteral("PRAGMA page_size")) && q.next()) pageSize = q.value(0).toLongLong();
    return QFileInfo(d.databaseName()).size() < pages * pageSize;
}

} // namespace

QString kindName(engine::GameKind kind) {
    switch (kind) {
    case engine::GameKind::Normal:
        return QStringLiteral("通常");
    case engine::GameKind::Code:
        return QStringLiteral("コード");
    case engine::GameKind::Review:
        return QStringLiteral("復習");
    case engine::GameKind::WeakShape:
        return QStringLiteral("弱点練習");
    case engine::GameKind::Daily:
        return QStringLiteral("今日の一局");
    }
    return QString();
}

struct History::Impl {
    enum class State { Closed, Open, Unavailable };
    State state = State::Closed;
    bool writable = true;
    QString connection = QStringLiteral("history-%1").arg(connections.fetch_add(1));
    QString notice;
    bool noticeTaken = false;

    QSqlDatabase db() const { return QSqlDatabase::database(connection, false); }
    void tell(const QString& text) {
        if (notice.isEmpty() && !noticeTaken) notice = text;
    }
    void close() {
        {
            QSqlDatabase d = db();
            if (d.isValid()) d.close();
        }
        if (QSqlDatabase::contains(connection)) QSqlDatabase::removeDatabase(connection);
    }
    enum class Opened { Ok, Broken, Newer, Failed };
    Opened open(const QString& path, QSqlError& error);
    Opened configure(const QSqlDatabase& d, QSqlError& error);
};

History::Impl::Opened History::Impl::configure(const QSqlDatabase& d, QSqlError& error) {
    // Reads the header first: a file that is no database fails here.
    QSqlQuery check(d);
    if (!check.exec(QStringLiteral("PRAGMA schema_version")) || !check.next()) {
        error = check.lastError();
        return isBroken(error) ? Opened::Broken : Opened::Failed;
    }
    if (truncated(d)) return Opened::Broken;
    // A whole check reads every page: done while it is quick (about 5,000 games); a larger
    // file's damage shows when a page is read, and the answer then fails whole.
    if (QFileInfo(d.databaseName()).size() <= 8 * 1024 * 1024 &&
        (!check.exec(QStringLiteral("PRAGMA quick_check(1)")) || !check.next() ||
         check.value(0).toString() != QStringLiteral("ok")))
        return Opened::Broken;
    check.finish();
    const schema::Outcome found = schema::inspect(d, error);
    if (found == schema::Outcome::Foreign) return Opened::Broken;
    if (found == schema::Outcome::Newer) return Opened::Newer;
    if (found == schema::Outcome::Failed) return isBroken(error) ? Opened::Broken : Opened::Failed;
    // WAL: a reader never waits for the writer. NORMAL: a commit is not synced until the next
    // checkpoint, so a power cut may lose the last answers but never damages the file.
    schema::exec(d, QStringLiteral("PRAGMA journal_mode = WAL"), error);
    schema::exec(d, QStringLiteral("PRAGMA synchronous = NORMAL"), error);
    schema::exec(d, QStringLiteral("PRAGMA foreign_keys = ON"), error);
    if (found == schema::Outcome::Ready || schema::prepare(d, error) == schema::Outcome::Ready)
        return Opened::Ok;
    return isBroken(error) ? Opened::Broken : Opened::Failed;
}

History::Impl::Opened History::Impl::open(const QString& path, QSqlError& error) {
    QSqlDatabase d = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
    d.setDatabaseName(path);
    // Another copy of the program may be writing: wait for it rather than fail.
    d.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
    if (!d.open()) {
        error = d.lastError();
        return isBroken(error) ? Opened::Broken : Opened::Failed;
    }
    return configure(d, error);
}

QString History::defaultPath() {
    const QString settings = Module1::SettingsDir();
    if (settings == Module1::AppPath()) return settings + QStringLiteral("history.sqlite3");
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    // A relative XDG_DATA_HOME is to be ignored.
    if (data.isEmpty() || QDir::isRelativePath(data))
        data = QDir::homePath() + QStringLiteral("/.local/share");
    return data + QStringLiteral("/bralun/history.sqlite3");
}

History::History(QString path) : path_(std::move(path)), impl_(std::make_unique<Impl>()) {}

History::~History() {
    impl_->close();
}

QString History::connectionName() const {
    return impl_->connection;
}

QString History::takeNotice() {
    if (impl_->notice.isEmpty()) return QString();
    impl_->noticeTaken = true;
    return std::exchange(impl_->notice, QString());
}

bool History::available() {
    using State = Impl::State;
    if (impl_->state != State::Closed) return impl_->state == State::Open;
    impl_->state = State::Unavailable;
    struct stat info {};
    const QByteArray native = QFile::encodeName(path_);
    if (::stat(native.constData(), &info) == 0 && !S_ISREG(info.st_mode)) {
        // A folder, pipe or device of that name is the player's: left as it is.
        impl_->tell(QStringLiteral("%1 はファイルではないため、成績を記録せずに続けます。").arg(path_));
        return false;
    }
    if (!QDir().mkpath(QFileInfo(path_).absolutePath())) {
        impl_->tell(QStringLiteral("成績の記録を置くフォルダーを作れないため、成績を記録せずに続けます。"));
        return false;
    }
    QSqlError error;
    Impl::Opened opened = impl_->open(path_, error);
    if (opened == Impl::Opened::Broken) {
        impl_->close();
        QString aside;
        if (!moveAside(path_, aside)) {
            impl_->tell(QStringLiteral(
                "成績の記録ファイルが壊れていて、別名にもできないため、成績を記録せずに続けます。"));
            return false;
        }
        impl_->tell(QStringLiteral("成績の記録ファイルが壊れていたため %1 として残し、新しく記録を始めます。")
                        .arg(QFileInfo(aside).fileName()));
        opened = impl_->open(path_, error);
    }
    if (opened == Impl::Opened::Newer) {
        impl_->tell(QStringLiteral(
            "成績の記録ファイルは新しい版のゾルベクで作られたものです。成績を記録せずに続けます。"));
    } else if (opened != Impl::Opened::Ok) {
        const int code = sqliteCode(error);
        impl_->tell(code == ReadOnly || code == Full
                        ? writeFailure(error)
                        : QStringLiteral("成績の記録ファイルを開けないため、成績を記録せずに続けます（%1）。")
                              .arg(error.text()));
    }
    if (opened != Impl::Opened::Ok) {
        impl_->close();
        return false;
    }
    impl_->state = State::Open;
    return true;
}

namespace {

QString handText(const std::array<engine::Hai, 13>& hand) {
    return schema::codesText(std::vector<int>(hand.begin(), hand.end()));
}

} // namespace

std::int64_t History::beginGame(const GameStart& start) {
    if (!available() || !impl_->writable) return -1;
    QSqlQuery q(impl_->db());
    q.prepare(QStringLiteral("INSERT INTO games(started_ms, level, code, noten_ok, sort_hai, upside_down, "
                             "time_limit, may_record, kind)"
                             " VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    q.bindValue(0, static_cast<qlonglong>(start.startedUtc.toMSecsSinceEpoch()));
    q.bindValue(1, start.level);
    q.bindValue(2, start.code);
    q.bindValue(3, start.notenOK ? 1 : 0);
    q.bindValue(4, start.sortHai ? 1 : 0);
    q.bindValue(5, start.upsideDown ? 1 : 0);
    q.bindValue(6, start.timeLimit);
    q.bindValue(7, start.mayRecord ? 1 : 0);
    q.bindValue(8, static_cast<int>(start.kind));
    if (!q.exec()) {
        failed(q.lastError());
        return -1;
    }
    return q.lastInsertId().toLongLong();
}

bool History::recordAnswer(std::int64_t game, int number, const engine::ProblemRecord& record,
                           const QDateTime& answeredUtc) {
    if (game < 0 || !available() || !impl_->writable) return false;
    const QSqlDatabase d = impl_->db();
    QSqlError error;
    if (!schema::exec(d, QStringLiteral("BEGIN IMMEDIATE"), error)) return failed(error);
    const engine::Explanation explanation = engine::explain(record.hand);
    QSqlQuery q(d);
    q.prepare(
        QStringLiteral("INSERT INTO problems(game, number, answered_ms, hand, marks, waits, time_ms, points,"
                       " correct) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    q.bindValue(0, static_cast<qlonglong>(game));
    q.bindValue(1, number);
    q.bindValue(2, static_cast<qlonglong>(answeredUtc.toMSecsSinceEpoch()));
    q.bindValue(3, handText(record.hand));
    q.bindValue(4, schema::codesText(schema::markedCodes(record.kotae)));
    q.bindValue(5, schema::codesText(schema::markedCodes(record.machi)));
    q.bindValue(6, record.timeMs);
    q.bindValue(7, record.points);
    q.bindValue(8, record.correct ? 1 : 0);
    const bool written =
        q.exec() &&
        schema::insertDetails(d, {q.lastInsertId().toLongLong(), game, record.correct, record.timeMs},
                              explanation, record.kotae, error) &&
        schema::exec(d, QStringLiteral("COMMIT"), error);
    if (written) return true;
    if (!error.isValid()) error = q.lastError();
    QSqlError ignored;
    schema::exec(d, QStringLiteral("ROLLBACK"), ignored);
    return failed(error);
}

bool History::endGame(std::int64_t game, std::int32_t score) {
    if (game < 0 || !available() || !impl_->writable) return false;
    QSqlQuery q(impl_->db());
    q.prepare(QStringLiteral("UPDATE games SET score = ? WHERE id = ?"));
    q.bindValue(0, score);
    q.bindValue(1, static_cast<qlonglong>(game));
    return q.exec() || failed(q.lastError());
}

bool History::failed(const QSqlError& error) {
    // Nothing more is written this run: a game with holes would count wrongly.
    impl_->writable = false;
    impl_->tell(writeFailure(error));
    return false;
}

namespace {

void closeProgramHistory();

std::unique_ptr<History>& programInstance() {
    static std::unique_ptr<History> instance;
    // Closed with the application, while Qt SQL still keeps its connections.
    static const bool registered = (qAddPostRoutine(closeProgramHistory), true);
    (void)registered;
    return instance;
}

void closeProgramHistory() {
    programInstance().reset();
}

QString& programPath() {
    static QString path;
    return path;
}

} // namespace

History& programHistory() {
    auto& instance = programInstance();
    const QString path = programPath().isEmpty() ? History::defaultPath() : programPath();
    // The program's folder is fixed in a run; a test that moves it gets a history of its own.
    if (!instance || instance->path() != path) instance = std::make_unique<History>(path);
    return *instance;
}

void setProgramHistoryPath(const QString& path) {
    programPath() = path;
    programInstance().reset();
}

} // namespace history
