#include "config/module1.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <pwd.h>
#include <unistd.h>

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

namespace {
std::function<bool(const QString&)>& writableCheck() {
    static std::function<bool(const QString&)> check;
    return check;
}
} // namespace

bool isWritable(const QString& path) {
    if (const auto& check = writableCheck()) return check(path);
    return ::access(QFile::encodeName(path).constData(), W_OK) == 0;
}

void setWritableCheck(std::function<bool(const QString&)> check) {
    writableCheck() = std::move(check);
}

bool isInstalled() {
    return QFileInfo::exists(AppPath() + QLatin1String(InstalledMark));
}

QString configHome() {
    // The XDG rules: a relative path is to be ignored.
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg)) return xdg;
    QString home = qEnvironmentVariable("HOME");
    if (home.isEmpty() || !QDir::isAbsolutePath(home)) {
        const passwd* user = ::getpwuid(::getuid());
        home = user && user->pw_dir ? QFile::decodeName(user->pw_dir) : QString();
    }
    return home.isEmpty() ? QString() : home + QStringLiteral("/.config");
}

QString SettingsDir() {
    const QString beside = AppPath();
    // An installed program's folder is not the player's, even for root; a copy keeps its file.
    if (!isInstalled() && (isWritable(beside) || isWritable(beside + QStringLiteral("bralun.ini"))))
        return beside;
    const QString config = configHome();
    // Without a home folder there is nowhere better; the save then says why it failed.
    if (config.isEmpty()) return beside;
    return withTrailingSeparator(config + QStringLiteral("/bralun"));
}

} // namespace Module1
