// bralun.ini: what a player's records and settings survive, and what a damaged file leaves.
#include "config/module1.h"
#include "config/settingsfile.h"
#include "platform/twips.h"
#include "testsupport.h"
#include "title/form2.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QtTest>

#include <QFileInfo>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Module1;

class SettingsFileTest : public QObject {
    Q_OBJECT
  private slots:
    void appPathEndsInOneSeparator();
    void firstStartWithoutFile();
    void roundTripThroughTheTitleWindow();
    void onlyThreeScores();
    void twelveNumbersOnTwelveLines();
    void damagedFilesKeepDefaultsFromTheBadField();
    void unusableValuesFallBackToDefaults();
    void positionOnNoScreenOpensCentred();
    void positionHangingOffTheScreenIsPulledWhollyOntoIt();
    void interruptedSaveLeavesOldFileWhole();
    void saveThatCannotWriteReportsAndEnds();
    void leadingZerosAreNoFailure();
    void extremePositionConvertsWithoutOverflow();
    void saveWritesThroughALinkToARegularFile();
    void saveLeavesWhatIsNotARegularFileUntouched();
    void loadNeitherBlocksOnAFifoNorReadsEndlessly();
    void savesLeaveNoTemporaryFilesBehind();
    void saveFailureNamesTheRealCause();
    void fileSizeLimitDoesNotKillTheSave();
    void failedRenameIsReportedAndLosesNothing();
    void settingsLiveInTheConfigFolderWhenTheProgramFolderIsReadOnly();
    void fileBesideAReadOnlyFolderIsRewrittenInPlace();
    void writableFolderIsDecidedByTheSystemForOrdinaryUsers();
};

namespace {
// Saves with the file size limited to 8 bytes, as a full disk would cut the write off.
QString saveUnderTinyFileLimit(double left, double top) {
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit tiny = saved;
    tiny.rlim_cur = 8;
    setrlimit(RLIMIT_FSIZE, &tiny);
    const QString failure = SettingsFile::save(SettingsFile::path(), left, top);
    setrlimit(RLIMIT_FSIZE, &saved);
    return failure;
}

// Restores how folders are judged writable and where the user's configuration lives.
struct LocationGuard {
    QByteArray oldConfigHome = qgetenv("XDG_CONFIG_HOME");
    ~LocationGuard() {
        setWritableCheck({});
        if (oldConfigHome.isNull())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", oldConfigHome);
    }
};
} // namespace

void SettingsFileTest::appPathEndsInOneSeparator() {
    QCOMPARE(withTrailingSeparator("/"), QStringLiteral("/"));
    QCOMPARE(withTrailingSeparator("/usr/games"), QStringLiteral("/usr/games/"));
    QCOMPARE(withTrailingSeparator("/usr/games/"), QStringLiteral("/usr/games/"));
    testsupport::Environment env;
    QCOMPARE(SettingsFile::path(), env.dir() + QStringLiteral("/bralun.ini"));
    setAppDirOverride(QString());
    QCOMPARE(AppPath(), QCoreApplication::applicationDirPath() + QLatin1Char('/'));
}

void SettingsFileTest::firstStartWithoutFile() {
    testsupport::Environment env;
    Form2 title;
    QCOMPARE(HiScore, (std::array<std::int32_t, 3>{0, 0, 0}));
    QCOMPARE(MusicOn, 1);
    QCOMPARE(SoundOn, 1);
    QCOMPARE(SortHai, 1);
    QCOMPARE(UpsideDownHai, 0);
    QCOMPARE(TimeLimit, 150);
    QCOMPARE(NotenOK, 0);
    QCOMPARE(KeyShortcuts, 0);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY(qAbs(title.frameGeometry().center().x() - screen.center().x()) <= 1);
    QVERIFY(qAbs(title.frameGeometry().center().y() - screen.center().y()) <= 1);
    title.show();
    title.dispHi();
    QCOMPARE(title.Label5[0]->text(), QStringLiteral("0"));
    QCOMPARE(title.Label5[2]->text(), QStringLiteral("0"));
}

void SettingsFileTest::roundTripThroughTheTitleWindow() {
    testsupport::Environment env;
    env.writeFile("bralun.ini", "1234,-5,2000,1500,900,0,1,0,1,300,1,1\r\n");
    {
        Form2 title;
        QCOMPARE(HiScore, (std::array<std::int32_t, 3>{1234, -5, 2000}));
        QCOMPARE(title.Left(), 1500.0);
        QCOMPARE(title.Top(), 900.0);
        QCOMPARE(MusicOn, 0);
        QCOMPARE(UpsideDownHai, 1);
        QCOMPARE(TimeLimit, 300);
        QCOMPARE(NotenOK, 1);
        QCOMPARE(KeyShortcuts, 1);
        title.show();
        title.dispHi();
        QCOMPARE(title.Label5[1]->text(), QStringLiteral("-5"));
        HiScore[0] = 1900;
        title.setLeft(3000);
        title.close();
    }
    QCOMPARE(env.readFile("bralun.ini"), QByteArray("1900,-5,2000,3000,900,0,1,0,1,300,1,1\r\n"));
    // The next start reads back what this one wrote.
    resetAll();
    Form2 again;
    QCOMPARE(HiScore[0], 1900);
    QCOMPARE(again.Left(), 3000.0);
    QCOMPARE(TimeLimit, 300);
}

void SettingsFileTest::onlyThreeScores() {
    testsupport::Environment env;
    env.writeFile("bralun.ini", "10,20,30\r\n");
    Form2 title;
    QCOMPARE(HiScore, (std::array<std::int32_t, 3>{10, 20, 30}));
    QCOMPARE(MusicOn, 1);
    QCOMPARE(TimeLimit, 150);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY(qAbs(title.frameGeometry().center().x() - screen.center().x()) <= 1);
}

void SettingsFileTest::twelveNumbersOnTwelveLines() {
    testsupport::Environment env;
    env.writeFile("bralun.ini", "7\r\n8\r\n9\r\n  600\n450\r\n1\r\n0\r\n0\r\n1\r\n200\r\n0\r\n1\r\n");
    SettingsFile::load(SettingsFile::path());
    const auto fromLines =
        std::make_tuple(HiScore, MusicOn, SoundOn, SortHai, UpsideDownHai, TimeLimit, NotenOK, KeyShortcuts);
    env.writeFile("bralun.ini", "7,8,9,600,450,1,0,0,1,200,0,1\r\n");
    const auto position = SettingsFile::load(SettingsFile::path());
    QVERIFY(position.has_value());
    QCOMPARE(position->left, 600);
    QCOMPARE(position->top, 450);
    QVERIFY(fromLines == std::make_tuple(HiScore, MusicOn, SoundOn, SortHai, UpsideDownHai, TimeLimit,
                                         NotenOK, KeyShortcuts));
    QCOMPARE(TimeLimit, 200);
}

void SettingsFileTest::damagedFilesKeepDefaultsFromTheBadField() {
    testsupport::Environment env;
    // A word in field 9: fields 1 to 8 are taken, the rest keep their defaults.
    env.writeFile("bralun.ini", "5,6,7,100,200,0,0,0,junk,300,1,1\r\n");
    auto position = SettingsFile::load(SettingsFile::path());
    QVERIFY(position.has_value());
    QCOMPARE(HiScore, (std::array<std::int32_t, 3>{5, 6, 7}));
    QCOMPARE(MusicOn, 0);
    QCOMPARE(SoundOn, 0);
    QCOMPARE(SortHai, 0);
    QCOMPARE(UpsideDownHai, 0);
    QCOMPARE(TimeLimit, 150);
    QCOMPARE(NotenOK, 0);
    QCOMPARE(KeyShortcuts, 0);

    // A flag beyond 16 bits stops the reading there, and without field 7 no position is taken.
    env.writeFile("bralun.ini", "1,2,3,4,5,6,70000,1,1,300\r\n");
    position = SettingsFile::load(SettingsFile::path());
    QVERIFY(!position.has_value());
    QCOMPARE(HiScore[2], 3);
    QCOMPARE(SoundOn, 1);
    QCOMPARE(TimeLimit, 150);

    // Garbage from the first byte: nothing is taken.
    env.writeFile("bralun.ini", QByteArray("\x00\xff garbage\r\n", 12));
    QVERIFY(!SettingsFile::load(SettingsFile::path()).has_value());
    QCOMPARE(HiScore, (std::array<std::int32_t, 3>{0, 0, 0}));
    QCOMPARE(MusicOn, 1);

    // A best score beyond 32 bits is no number for it.
    env.writeFile("bralun.ini", "1,99999999999,3\r\n");
    SettingsFile::load(SettingsFile::path());
    QCOMPARE(HiScore, (std::array<std::int32_t, 3>{1, 0, 0}));
}

void SettingsFileTest::unusableValuesFallBackToDefaults() {
    testsupport::Environment env;
    env.writeFile("bralun.ini", "-40,0,99999,0,0,5,-1,2,7,0,3,-2\r\n");
    SettingsFile::load(SettingsFile::path());
    // Best scores are kept as read; what the windows cannot use is not.
    QCOMPARE(HiScore, (std::array<std::int32_t, 3>{-40, 0, 99999}));
    QCOMPARE(MusicOn, 1);
    QCOMPARE(SoundOn, 1);
    QCOMPARE(SortHai, 1);
    QCOMPARE(UpsideDownHai, 0);
    QCOMPARE(TimeLimit, 150);
    QCOMPARE(NotenOK, 0);
    QCOMPARE(KeyShortcuts, 0);

    env.writeFile("bralun.ini", "0,0,0,0,0,1,1,1,0,601,0,0\r\n");
    SettingsFile::load(SettingsFile::path());
    QCOMPARE(TimeLimit, 150);
    env.writeFile("bralun.ini", "0,0,0,0,0,1,1,1,0,600,0,0\r\n");
    SettingsFile::load(SettingsFile::path());
    QCOMPARE(TimeLimit, 600);
}

void SettingsFileTest::positionOnNoScreenOpensCentred() {
    testsupport::Environment env;
    env.writeFile("bralun.ini", "0,0,0,-900000,5000000,1,1,1,0,150,0,0\r\n");
    Form2 title;
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY(screen.contains(title.frameGeometry()));
    QVERIFY(qAbs(title.frameGeometry().center().x() - screen.center().x()) <= 1);
    // The settings after the position are still read.
    QCOMPARE(SortHai, 1);
    QCOMPARE(TimeLimit, 150);
}

void SettingsFileTest::positionHangingOffTheScreenIsPulledWhollyOntoIt() {
    // Saved on a larger screen or at a smaller scale: the level buttons would be out of reach.
    testsupport::Environment env;
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint at = screen.bottomRight() - QPoint(100, 100);
    env.writeFile(
        "bralun.ini",
        QStringLiteral("0,0,0,%1,%2,1,1,1,0,150,0,0\r\n").arg(at.x() * 15).arg(at.y() * 15).toLatin1());
    Form2 title;
    QVERIFY(screen.contains(title.frameGeometry()));
    QCOMPARE(title.frameGeometry().bottomRight(), screen.bottomRight());
    QCOMPARE(TimeLimit, 150);
}

void SettingsFileTest::interruptedSaveLeavesOldFileWhole() {
    testsupport::Environment env;
    const QByteArray old("1500,1400,1300,600,450,1,1,1,0,150,0,0\r\n");
    env.writeFile("bralun.ini", old);
    SettingsFile::load(SettingsFile::path());
    HiScore = {1999, 1998, 1997};

    // A file size limit cuts the write off after a few bytes, as a full disk would.
    std::signal(SIGXFSZ, SIG_IGN);
    const QString failure = saveUnderTinyFileLimit(600, 450);

    QVERIFY(!failure.isEmpty());
    QCOMPARE(env.readFile("bralun.ini"), old);
    QCOMPARE(QDir(env.dir()).entryList(QDir::Files), QStringList{"bralun.ini"});
}

void SettingsFileTest::saveThatCannotWriteReportsAndEnds() {
    testsupport::Environment env;
    LocationGuard guard;
    setWritableCheck([](const QString&) { return true; });
    // The program's directory is a plain file, so nothing can be created in it, even by root.
    env.writeFile("notadir", "x");
    setAppDirOverride(env.file("notadir"));
    Form2 title;
    title.show();
    QString shown;
    testsupport::whenModalShows("QMessageBox", [&shown](QWidget* w) {
        auto* box = static_cast<QMessageBox*>(w);
        shown = box->text();
        box->button(QMessageBox::Ok)->click();
    });
    QSignalSpy ends(&title, &Form2::programEnds);
    title.close();
    QCOMPARE(ends.count(), 1);
    QVERIFY(shown.contains(QStringLiteral("保存できませんでした")));
    QVERIFY(shown.contains(env.file("notadir") + "/bralun.ini"));
    QVERIFY(shown.contains(QStringLiteral("理由: ") + SettingsFile::failureReason(ENOTDIR)));
    QVERIFY(!title.isVisible());
}

void SettingsFileTest::leadingZerosAreNoFailure() {
    testsupport::Environment env;
    env.writeFile("bralun.ini", "0000000000000000100,000000000000000000000000000000,-0000000000000000007,"
                                "00000000000000000000600,450,1,1,0,1,000000000000000000300,1,1\r\n");
    const auto position = SettingsFile::load(SettingsFile::path());
    QVERIFY(position.has_value());
    QCOMPARE(HiScore, (std::array<std::int32_t, 3>{100, 0, -7}));
    QCOMPARE(position->left, 600);
    QCOMPARE(TimeLimit, 300);
    QCOMPARE(KeyShortcuts, 1);
    // Many digits that do not fit are still no number for a field.
    env.writeFile("bralun.ini", "1,100000000000000000000000000,3\r\n");
    SettingsFile::load(SettingsFile::path());
    QCOMPARE(HiScore, (std::array<std::int32_t, 3>{1, 0, 0}));
}

void SettingsFileTest::extremePositionConvertsWithoutOverflow() {
    for (const double stored : {-2147483648.0, 2147483647.0}) {
        const int pixels = platform::px(stored);
        QVERIFY(stored < 0 ? pixels < 0 : pixels > 0);
        QVERIFY(stored < 0 ? platform::twips(pixels) < 0 : platform::twips(pixels) > 0);
    }
    testsupport::Environment env;
    env.writeFile("bralun.ini", "0,0,0,-2147483648,2147483647,1,1,1,0,150,0,0\r\n");
    Form2 title;
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY(screen.contains(title.frameGeometry()));
}

void SettingsFileTest::saveWritesThroughALinkToARegularFile() {
    testsupport::Environment env;
    env.writeFile("real.ini", "1,2,3\r\n");
    QVERIFY(QFile::link(env.file("real.ini"), env.file("bralun.ini")));
    setDefaults();
    HiScore = {7, 8, 9};
    QCOMPARE(SettingsFile::save(SettingsFile::path(), 0, 0), QString());
    QVERIFY(QFileInfo(env.file("bralun.ini")).isSymLink());
    QCOMPARE(env.readFile("real.ini"), QByteArray("7,8,9,0,0,1,1,1,0,150,0,0\r\n"));
}

void SettingsFileTest::saveLeavesWhatIsNotARegularFileUntouched() {
    testsupport::Environment env;
    QCOMPARE(mkfifo(env.file("bralun.ini").toLocal8Bit().constData(), 0644), 0);
    setDefaults();
    const QString failure = SettingsFile::save(SettingsFile::path(), 0, 0);
    QVERIFY(failure.contains(QStringLiteral("通常のファイルではありません")));
    struct stat st {};
    QCOMPARE(lstat(env.file("bralun.ini").toLocal8Bit().constData(), &st), 0);
    QVERIFY(S_ISFIFO(st.st_mode));
    // A link to a device is no way around it.
    QFile::remove(env.file("bralun.ini"));
    QVERIFY(QFile::link("/dev/null", env.file("bralun.ini")));
    QVERIFY(!SettingsFile::save(SettingsFile::path(), 0, 0).isEmpty());
    QVERIFY(QFileInfo(env.file("bralun.ini")).isSymLink());
    QCOMPARE(QDir(env.dir()).entryList(QDir::Files | QDir::System), QStringList{"bralun.ini"});
}

void SettingsFileTest::loadNeitherBlocksOnAFifoNorReadsEndlessly() {
    testsupport::Environment env;
    QCOMPARE(mkfifo(env.file("bralun.ini").toLocal8Bit().constData(), 0644), 0);
    QVERIFY(!SettingsFile::load(SettingsFile::path()).has_value());
    QFile::remove(env.file("bralun.ini"));
    QVERIFY(QFile::link("/dev/zero", env.file("bralun.ini")));
    QVERIFY(!SettingsFile::load(SettingsFile::path()).has_value());
    QCOMPARE(TimeLimit, 150);
    // A huge file is read only at its start.
    QFile::remove(env.file("bralun.ini"));
    env.writeFile("bralun.ini", "5,6,7,0,0,1,1,1,0,300,0,0\r\n" + QByteArray(8 << 20, '9'));
    QVERIFY(SettingsFile::load(SettingsFile::path()).has_value());
    QCOMPARE(HiScore[2], 7);
    QCOMPARE(TimeLimit, 300);
}

void SettingsFileTest::savesLeaveNoTemporaryFilesBehind() {
    testsupport::Environment env;
    // What a save killed half-way left.
    env.writeFile("bralun.ini.new", "1,2");
    setDefaults();
    for (int i = 0; i < 3; ++i) QCOMPARE(SettingsFile::save(SettingsFile::path(), 0, 0), QString());
    QCOMPARE(QDir(env.dir()).entryList(QDir::Files), QStringList{"bralun.ini"});
}

void SettingsFileTest::saveFailureNamesTheRealCause() {
    using SettingsFile::failureReason;
    for (const int full : {ENOSPC, EDQUOT}) QVERIFY(failureReason(full).contains(QStringLiteral("空き")));
    for (const int denied : {EACCES, EPERM, EROFS})
        QVERIFY(failureReason(denied).contains(QStringLiteral("許可")));
    QVERIFY(failureReason(EFBIG).contains(QStringLiteral("大きすぎ")));
    QVERIFY(!failureReason(EIO).contains(QStringLiteral("空き")));
    QVERIFY(failureReason(EIO).contains(QString::fromLocal8Bit(std::strerror(EIO))));
    QVERIFY(!failureReason(EACCES).contains(QStringLiteral("空き")));
}

void SettingsFileTest::fileSizeLimitDoesNotKillTheSave() {
    testsupport::Environment env;
    std::signal(SIGXFSZ, SIG_DFL);
    setDefaults();
    const QString failure = saveUnderTinyFileLimit(0, 0);
    QVERIFY(failure.contains(QStringLiteral("大きすぎ")));
    QVERIFY(!QFile::exists(env.file("bralun.ini")));
}

void SettingsFileTest::failedRenameIsReportedAndLosesNothing() {
    testsupport::Environment env;
    env.writeFile("bralun.ini", "1,2,3,4,5,1,1,1,0,300,0,0\r\n");
    setDefaults();
    HiScore[0] = 99;
    // A rename refused after the new file was written whole, as across devices or on a bad disk.
    for (const int error : {EXDEV, EIO}) {
        static int refusal;
        refusal = error;
        SettingsFile::renameFile = [](const char*, const char*) {
            errno = refusal;
            return -1;
        };
        const QString failure = SettingsFile::save(SettingsFile::path(), 0, 0);
        SettingsFile::renameFile = ::rename;
        QCOMPARE(failure, SettingsFile::failureReason(error));
        QCOMPARE(env.readFile("bralun.ini"), QByteArray("1,2,3,4,5,1,1,1,0,300,0,0\r\n"));
        QCOMPARE(QDir(env.dir()).entryList(QDir::Files), QStringList{"bralun.ini"});
    }
}

void SettingsFileTest::settingsLiveInTheConfigFolderWhenTheProgramFolderIsReadOnly() {
    testsupport::Environment env;
    LocationGuard guard;
    const QString program = env.dir() + "/program";
    QVERIFY(QDir().mkpath(program));
    setAppDirOverride(program);
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(env.dir() + "/config"));
    // A copy in a writable folder keeps its file beside it.
    QCOMPARE(SettingsFile::path(), program + "/bralun.ini");

    setWritableCheck([&](const QString& path) { return !path.startsWith(program); });
    QCOMPARE(SettingsFile::path(), env.dir() + "/config/bralun/bralun.ini");
    QCOMPARE(AppPath(), program + "/");
    setDefaults();
    HiScore = {11, 12, 13};
    QCOMPARE(SettingsFile::save(SettingsFile::path(), 0, 0), QString());
    QCOMPARE(env.readFile("config/bralun/bralun.ini"), QByteArray("11,12,13,0,0,1,1,1,0,150,0,0\r\n"));
    resetAll();
    Form2 title;
    QCOMPARE(HiScore[2], 13);
    QVERIFY(!QFile::exists(program + "/bralun.ini"));
}

void SettingsFileTest::fileBesideAReadOnlyFolderIsRewrittenInPlace() {
    testsupport::Environment env;
    LocationGuard guard;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(env.dir() + "/config"));
    env.writeFile("bralun.ini", "1,2,3\r\n");
    const QString folder = env.dir();
    setWritableCheck([&](const QString& path) { return path != folder && path != folder + '/'; });
    QCOMPARE(SettingsFile::path(), env.file("bralun.ini"));
    struct stat before {};
    stat(env.file("bralun.ini").toLocal8Bit().constData(), &before);
    setDefaults();
    HiScore = {4, 5, 6};
    QCOMPARE(SettingsFile::save(SettingsFile::path(), 0, 0), QString());
    struct stat after {};
    stat(env.file("bralun.ini").toLocal8Bit().constData(), &after);
    QCOMPARE(after.st_ino, before.st_ino);
    QCOMPARE(env.readFile("bralun.ini"), QByteArray("4,5,6,0,0,1,1,1,0,150,0,0\r\n"));
    QVERIFY(!QFile::exists(env.dir() + "/config"));
}

void SettingsFileTest::writableFolderIsDecidedByTheSystemForOrdinaryUsers() {
    if (geteuid() == 0) QSKIP("root may write anywhere");
    testsupport::Environment env;
    LocationGuard guard;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(env.dir() + "/config"));
    const QString program = env.dir() + "/program";
    QVERIFY(QDir().mkpath(program));
    setAppDirOverride(program);
    QVERIFY(QFile::setPermissions(program, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    QCOMPARE(SettingsFile::path(), env.dir() + "/config/bralun/bralun.ini");
    QFile::setPermissions(program, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

QTEST_MAIN(SettingsFileTest)
#include "tst_settingsfile.moc"
