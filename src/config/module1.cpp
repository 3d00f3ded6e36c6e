#include "config/module1.h"

#include <QCoreApplication>
#include <QDir>

namespace Module1 {

namespace {
QString& appDirOverride() {
    static QString dir;
    return dir;
}
} // namespace

void setDefaults() {
    HiScore = {0, 0, 0};
    MusicOn = 1;
    SoundOn = 1;
    SortHai = 1;
    UpsideDownHai = 0;
    TimeLimit = StandardTimeLimit;
    NotenOK = 0;
    KeyShortcuts = 0;
}

void resetAll() {
    Level = 0;
    HiScore = {0, 0, 0};
    MusicOn = SoundOn = TimeLimit = SortHai = UpsideDownHai = NotenOK = KeyShortcuts = 0;
}

bool recordAllowed() {
    return TimeLimit == StandardTimeLimit && NotenOK == 0;
}

QString withTrailingSeparator(QString dir) {
    if (!dir.endsWith(QLatin1Char('/'))) dir += QLatin1Char('/');
    return dir;
}

QString AppPath() {
    const QString& dir = appDirOverride();
    return withTrailingSeparator(dir.isEmpty() ? QCoreApplication::applicationDirPath() : dir);
}

void setAppDirOverride(const QString& dir) {
    appDirOverride() = dir;
}

} // namespace Module1
