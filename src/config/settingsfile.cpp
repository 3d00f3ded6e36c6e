#include "config/settingsfile.h"

#include "config/module1.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace SettingsFile {

using namespace Module1;

namespace {

// Reads the comma- and line-separated numbers one field at a time.
class FieldReader {
  public:
    explicit FieldReader(QByteArray text) : text_(std::move(text)) {}

    // The next field as a whole number within [low, high], or nothing when the field is
    // missing, not a number or out of range; reading stops there for good.
    std::optional<std::int64_t> next(std::int64_t low, std::int64_t high) {
        if (failed_) return std::nullopt;
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
        const qsizetype start = pos_;
        while (pos_ < text_.size() && text_[pos_] != ',' && text_[pos_] != '\r' && text_[pos_] != '\n')
            ++pos_;
        const QByteArray field = text_.mid(start, pos_ - start).trimmed();
        // A field ends at a comma or at the end of its line.
        if (pos_ < text_.size() && text_[pos_] == ',') {
            ++pos_;
        } else {
            while (pos_ < text_.size() && (text_[pos_] == '\r' || text_[pos_] == '\n')) ++pos_;
        }
        const auto value = parse(field, low, high);
        if (!value) failed_ = true;
        return value;
    }

  private:
    static std::optional<std::int64_t> parse(const QByteArray& field, std::int64_t low, std::int64_t high) {
        if (field.isEmpty()) return std::nullopt;
        qsizetype i = 0;
        if (field[0] == '-' || field[0] == '+') ++i;
        qsizetype digits = 0;
        qsizetype significant = 0; // whole-number digits after leading zeros
        bool point = false;
        for (; i < field.size(); ++i) {
            if (field[i] >= '0' && field[i] <= '9') {
                ++digits;
                if (!point && (significant > 0 || field[i] != '0')) ++significant;
            } else if (field[i] == '.' && !point) {
                point = true;
            } else {
                return std::nullopt;
            }
        }
        // Leading zeros cost nothing; more whole digits than a double holds exactly fit no field.
        if (digits == 0 || significant > 15) return std::nullopt;
        // Positions may carry a fraction; whole numbers are taken to the nearest, halves to even.
        const double number = std::nearbyint(field.toDouble());
        if (number < static_cast<double>(low) || number > static_cast<double>(high)) return std::nullopt;
        return static_cast<std::int64_t>(number);
    }

    QByteArray text_;
    qsizetype pos_ = 0;
    bool failed_ = false;
};

constexpr qsizetype MaxRead = 4096; // a whole file is some fifty bytes
// Our own error number for a path that is a FIFO, a device or a folder; no system one says it.
constexpr int NotRegular = -1;

constexpr std::int64_t min32 = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t max32 = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t min16 = std::numeric_limits<std::int16_t>::min();
constexpr std::int64_t max16 = std::numeric_limits<std::int16_t>::max();

// A value the windows cannot use falls back to its default instead of breaking them later.
std::int16_t flagOrDefault(std::int64_t value, std::int16_t fallback) {
    return value == 0 || value == 1 ? static_cast<std::int16_t>(value) : fallback;
}

QString number(double value) {
    if (value == std::floor(value) && std::fabs(value) < 1e15)
        return QString::number(static_cast<long long>(value));
    return QString::number(static_cast<float>(value), 'g', 7);
}

} // namespace

RenameFunction renameFile = ::rename;
WriteFunction writeFile = ::pwrite;
SyncFunction syncFile = ::fsync;

QString path() {
    return SettingsDir() + QStringLiteral("bralun.ini");
}

namespace {

// The start of a regular file; a FIFO, a device or a folder gives nothing and never blocks.
std::optional<QByteArray> readStart(const QString& file) {
    const int fd = ::open(QFile::encodeName(file).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    QByteArray text;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        text.resize(MaxRead);
        qsizetype got = 0;
        while (got < MaxRead) {
            const ssize_t n = ::read(fd, text.data() + got, static_cast<size_t>(MaxRead - got));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            got += n;
        }
        text.truncate(got);
    }
    ::close(fd);
    return text;
}

} // namespace

std::optional<Position> load(const QString& file) {
    setDefaults();
    const auto text = readStart(file);
    return text ? parse(*text) : std::nullopt;
}

std::optional<Position> loadAtStart() {
    const QString file = path();
    const QByteArray stale = QFile::encodeName(file) + ".new";
    struct stat st {};
    if (::lstat(stale.constData(), &st) == 0 && !S_ISDIR(st.st_mode)) ::unlink(stale.constData());
    const QString beside = AppPath() + QStringLiteral("bralun.ini");
    // Scores kept beside the program before it saved elsewhere are not left behind.
    if (file != beside && ::lstat(QFile::encodeName(file).constData(), &st) != 0 && errno == ENOENT)
        return load(beside);
    return load(file);
}

std::optional<Position> parse(const QByteArray& text) {
    setDefaults();
    FieldReader reader(text);

    for (auto& score : HiScore) {
        const auto value = reader.next(min32, max32);
        if (!value) return std::nullopt;
        score = static_cast<std::int32_t>(*value);
    }
    const auto left = reader.next(min32, max32);
    const auto top = reader.next(min32, max32);
    const auto music = reader.next(min16, max16);
    if (music) MusicOn = flagOrDefault(*music, 1);
    const auto sound = reader.next(min16, max16);
    if (!sound) return std::nullopt;
    SoundOn = flagOrDefault(*sound, 1);
    const Position position{static_cast<std::int32_t>(*left), static_cast<std::int32_t>(*top)};

    std::int16_t* const flags[] = {&SortHai, &UpsideDownHai};
    const std::int16_t flagDefaults[] = {1, 0};
    for (int i = 0; i < 2; ++i) {
        const auto value = reader.next(min16, max16);
        if (!value) return position;
        *flags[i] = flagOrDefault(*value, flagDefaults[i]);
    }
    if (const auto limit = reader.next(min16, max16)) {
        TimeLimit = *limit >= 150 && *limit <= 600 ? static_cast<std::int16_t>(*limit) : StandardTimeLimit;
    } else {
        return position;
    }
    if (const auto noten = reader.next(min16, max16)) {
        NotenOK = flagOrDefault(*noten, 0);
    } else {
        return position;
    }
    if (const auto keys = reader.next(min16, max16)) KeyShortcuts = flagOrDefault(*keys, 0);
    return position;
}

QByteArray line(double left, double top) {
    const QStringList fields{QString::number(HiScore[0]),
                             QString::number(HiScore[1]),
                             QString::number(HiScore[2]),
                             number(left),
                             number(top),
                             QString::number(MusicOn),
                             QString::number(SoundOn),
                             QString::number(SortHai),
                             QString::number(UpsideDownHai),
                             QString::number(TimeLimit),
                             QString::number(NotenOK),
                             QString::number(KeyShortcuts)};
    return fields.join(QLatin1Char(',')).toLatin1() + "\r\n";
}

namespace {

// Ignores SIGXFSZ while it lives, so a file size limit fails the write with EFBIG instead of
// ending the program.
class NoFileSizeSignal {
  public:
    NoFileSizeSignal() {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        sigaction(SIGXFSZ, &ignore, &old_);
    }
    ~NoFileSizeSignal() { sigaction(SIGXFSZ, &old_, nullptr); }
    NoFileSizeSignal(const NoFileSizeSignal&) = delete;
    NoFileSizeSignal& operator=(const NoFileSizeSignal&) = delete;

  private:
    struct sigaction old_ {};
};

// Writes all of text to fd at offset; 0 or the error number.
int writeAt(int fd, const QByteArray& text, off_t offset) {
    qsizetype done = 0;
    while (done < text.size()) {
        const ssize_t n = writeFile(fd, text.constData() + done, static_cast<size_t>(text.size() - done),
                                    offset + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) return EIO;
        done += n;
    }
    return 0;
}

// Writes text to a fresh file beside target, then puts it in target's place; 0 or the error.
int replace(const QByteArray& target, const QByteArray& text, mode_t mode) {
    const QByteArray temporary = target + ".new";
    ::unlink(temporary.constData()); // a save killed half-way may have left it
    const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd < 0) return errno;
    // The umask must not widen nor narrow what the player gave the old file.
    int error = ::fchmod(fd, mode) != 0 ? errno : writeAt(fd, text, 0);
    if (error == 0 && syncFile(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && renameFile(temporary.constData(), target.constData()) != 0) error = errno;
    if (error != 0) ::unlink(temporary.constData());
    return error;
}

// Rewrites a regular file in its place. The file first grows by line ends, which the reader
// skips after the old twelve fields, so the new line then fits without any write that could
// fall short; a kill between any two steps leaves the old settings or the new ones.
int rewriteOpen(int fd, const QByteArray& text) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return errno;
    if (!S_ISREG(st.st_mode)) return NotRegular;
    const off_t old = st.st_size;
    const auto size = static_cast<off_t>(text.size());
    if (size > old) {
        QByteArray ends;
        for (off_t i = old; i < size; ++i) ends += (i - old) % 2 == 0 ? '\r' : '\n';
        if (const int error = writeAt(fd, ends, old)) {
            (void)::ftruncate(fd, old);
            return error;
        }
    }
    // The bytes the new line covers, put back should its write fall short part-way.
    QByteArray before(static_cast<qsizetype>(std::min(old, size)), '\0');
    const bool kept = ::pread(fd, before.data(), static_cast<size_t>(before.size()), 0) == before.size();
    if (const int error = writeAt(fd, text, 0)) {
        if (kept) (void)writeAt(fd, before, 0);
        (void)::ftruncate(fd, old);
        return error;
    }
    if (::ftruncate(fd, size) != 0 || syncFile(fd) != 0) return errno;
    return 0;
}

// Rewrites an existing regular file in its place, for a folder where nothing can be created.
int rewrite(const QByteArray& target, const QByteArray& text) {
    // Read as well, to put the old line back if the new one is cut short.
    int fd = ::open(target.constData(), O_RDWR | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) fd = ::open(target.constData(), O_WRONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return errno;
    int error = rewriteOpen(fd, text);
    if (::close(fd) != 0 && error == 0) error = errno;
    return error;
}

// The file a save writes: file itself, or the file a link leads to.
QString resolved(const QString& file) {
    const QFileInfo info(file);
    if (!info.isSymLink()) return file;
    const QString target = info.canonicalFilePath();
    return target.isEmpty() ? info.symLinkTarget() : target;
}

int saveTo(const QString& file, const QByteArray& text) {
    const QString target = resolved(file);
    const QByteArray name = QFile::encodeName(target);
    struct stat st {};
    const bool exists = ::stat(name.constData(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode)) return NotRegular;
    const QString folder = QFileInfo(target).absolutePath();
    if (!exists || isWritable(folder)) {
        // A missing folder (the user's configuration folder) is made; a file in its way fails below.
        if (!QFileInfo::exists(folder) && !QDir().mkpath(folder)) return errno != 0 ? errno : EACCES;
        return replace(name, text, exists ? (st.st_mode & 07777) : 0644);
    }
    return rewrite(name, text);
}

} // namespace

QString save(const QString& file, double left, double top) {
    const NoFileSizeSignal noSignal;
    errno = 0;
    const int error = saveTo(file, line(left, top));
    return error == 0 ? QString() : failureReason(error);
}

QString failureReason(int error) {
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("ディスクの空きが足りません。");
    case EACCES:
    case EPERM:
    case EROFS:
        return QStringLiteral("このフォルダーまたはファイルへの書き込みが許可されていません。");
    case NotRegular:
        return QStringLiteral("通常のファイルではありません。");
    case EFBIG:
        return QStringLiteral("ファイルが大きすぎます（ファイルサイズの上限を超えました）。");
    default:
        return QStringLiteral("書き込みに失敗しました。（%1）")
            .arg(QString::fromLocal8Bit(std::strerror(error)));
    }
}

} // namespace SettingsFile
