#include "config/settingsfile.h"

#include "config/module1.h"

#include <QFile>
#include <QSaveFile>

#include <cmath>
#include <limits>

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
        bool point = false;
        for (; i < field.size(); ++i) {
            if (field[i] >= '0' && field[i] <= '9') {
                ++digits;
            } else if (field[i] == '.' && !point) {
                point = true;
            } else {
                return std::nullopt;
            }
        }
        if (digits == 0 || digits > 15) return std::nullopt;
        // Positions may carry a fraction; whole numbers are taken to the nearest, halves to even.
        const double number = std::nearbyint(field.toDouble());
        if (number < static_cast<double>(low) || number > static_cast<double>(high)) return std::nullopt;
        return static_cast<std::int64_t>(number);
    }

    QByteArray text_;
    qsizetype pos_ = 0;
    bool failed_ = false;
};

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

QString path() {
    return AppPath() + QStringLiteral("bralun.ini");
}

std::optional<Position> load(const QString& file) {
    setDefaults();
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) return std::nullopt;
    FieldReader reader(in.readAll());

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

QString save(const QString& file, double left, double top) {
    QSaveFile out(file);
    // Unbuffered, so a short write shows here and the old file is never replaced by a torn one.
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return QStringLiteral("ファイルを作成できません。フォルダーへの書き込みが許可されていない可能性があり"
                              "ます。（%1）")
            .arg(out.errorString());
    }
    const QByteArray text = line(left, top);
    if (out.write(text) != text.size() || out.error() != QFileDevice::NoError) {
        out.cancelWriting();
        return QStringLiteral("書き込みに失敗しました。ディスクの空きが足りない可能性があります。（%1）")
            .arg(out.errorString());
    }
    if (!out.commit()) {
        return QStringLiteral(
                   "書き込みを完了できませんでした。ディスクの空きが足りない可能性があります。（%1）")
            .arg(out.errorString());
    }
    return {};
}

} // namespace SettingsFile
