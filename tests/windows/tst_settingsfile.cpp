// bralun.ini: what a player's records and settings survive, and what a damaged file leaves.
#include "config/module1.h"
#include "config/settingsfile.h"
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
#include <cstring>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Module1;

namespace {
// Restores how folders are judged writable and where the user's files live.
struct LocationGuard {
    QByteArray oldConfigHome = qgetenv("XDG_CONFIG_HOME");
    QByteArray oldHome = qgetenv("HOME");
    ~LocationGuard() {
        setWritableCheck({});
        testsupport::restoreEnv("XDG_CONFIG_HOME", oldConfigHome);
        testsupport::restoreEnv("HOME", oldHome);
    }
};

// The twelve fields as the program holds them after reading, "-:" first when no position was.
QByteArray readBack(const std::optional<SettingsFile::Position>& position) {
    return position ? SettingsFile::line(position->left, position->top) : "-:" + SettingsFile::line(0, 0);
}

// Makes the program's own folder (but not the files in it) unwritable.
void folderReadOnly(const QString& folder) {
    setWritableCheck([folder](const QString& path) { return path != folder && path != folder + '/'; });
}

struct stat statOf(const QString& file) {
    struct stat st {};
    ::stat(QFile::encodeName(file).constData(), &st);
    return st;
}
// A kill at the n-th write, flush or rename of a save, just before it or just after it.
namespace killAt {
int call = 0, calls = 0;
bool after = false;
template <class Call> auto step(Call real) {
    if (++calls == call) {
        if (after) (void)real();
        ::raise(SIGKILL);
    }
    return real();
}
ssize_t write(int fd, const void* data, size_t size, off_t offset) {
    return step([&] { return ::pwrite(fd, data, size, offset); });
}
int sync(int fd) {
    return step([&] { return ::fsync(fd); });
}
int rename(const char* from, const char* to) {
    return step([&] { return ::rename(from, to); });
}
} // namespace killAt
} // namespace

class SettingsFileTest : public QObject {
    Q_OBJECT
  private slots:
    void appPathEndsInOneSeparator() {
        QCOMPARE(withTrailingSeparator("/"), QStringLiteral("/"));
        QCOMPARE(withTrailingSeparator("/usr/games"), QStringLiteral("/usr/games/"));
        QCOMPARE(withTrailingSeparator("/usr/games/"), QStringLiteral("/usr/games/"));
        QCOMPARE(AppPath(), QCoreApplication::applicationDirPath() + QLatin1Char('/'));
    }

    void fileIsReadFieldByFieldUpToTheFirstBadOne_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("read"); // "-:" when no position was taken
        const auto row = [](const char* name, const QByteArray& text, const char* read) {
            QTest::newRow(name) << text << QByteArray(read);
        };
        row("no file", QByteArray(), "-:0,0,0,0,0,1,1,1,0,150,0,0\r\n");
        row("only the scores", "10,20,30\r\n", "-:10,20,30,0,0,1,1,1,0,150,0,0\r\n");
        row("twelve lines", "7\r\n8\r\n9\r\n  600\n450\r\n1\r\n0\r\n0\r\n1\r\n200\r\n0\r\n1\r\n",
            "7,8,9,600,450,1,0,0,1,200,0,1\r\n");
        row("word in field 9", "5,6,7,100,200,0,0,0,junk,300,1,1\r\n", "5,6,7,100,200,0,0,0,0,150,0,0\r\n");
        row("flag beyond 16 bits", "1,2,3,4,5,0,70000,0,1,300\r\n", "-:1,2,3,0,0,0,1,1,0,150,0,0\r\n");
        row("garbage", QByteArray("\x00\xff garbage\r\n", 12), "-:0,0,0,0,0,1,1,1,0,150,0,0\r\n");
        row("score beyond 32 bits", "1,99999999999,3\r\n", "-:1,0,0,0,0,1,1,1,0,150,0,0\r\n");
        row("many digits", "1,100000000000000000000000000,3\r\n", "-:1,0,0,0,0,1,1,1,0,150,0,0\r\n");
        row("leading zeros",
            "0000000000000000100,000000000000000000000000000000,-0000000000000000007,"
            "00000000000000000000600,450,1,1,0,1,000000000000000000300,1,1\r\n",
            "100,0,-7,600,450,1,1,0,1,300,1,1\r\n");
        // Scores are kept as read; flags and time limits the windows cannot use are not.
        row("unusable values", "-40,0,99999,0,0,5,-1,2,7,0,3,-2\r\n", "-40,0,99999,0,0,1,1,1,0,150,0,0\r\n");
        row("time limit 601", "0,0,0,0,0,1,1,1,0,601,0,0", "0,0,0,0,0,1,1,1,0,150,0,0\r\n");
        row("time limit 600", "0,0,0,0,0,1,1,1,0,600,0,0", "0,0,0,0,0,1,1,1,0,600,0,0\r\n");
        // What a rewrite in place may leave: the old line's end, or line ends it grew by.
        row("leftover after the line", "1,2,3,4,5,1,1,1,0,300,0,1\r\n50,0,0\r\n",
            "1,2,3,4,5,1,1,1,0,300,0,1\r\n");
        row("grown by line ends", "1,2,3,4,5,1,1,1,0,300,0,1\r\n\r\n\r", "1,2,3,4,5,1,1,1,0,300,0,1\r\n");
    }

    void fileIsReadFieldByFieldUpToTheFirstBadOne() {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, read);
        testsupport::Environment env;
        if (!text.isNull()) env.writeFile("bralun.ini", text);
        QCOMPARE(readBack(SettingsFile::load(SettingsFile::path())), read);
    }

    void storedPositionKeepsTheWindowWhollyOnTheScreen() {
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        // On no screen, at the extremes, or hanging off (saved on a larger screen or at a smaller
        // scale, the level buttons out of reach): centred, or else pulled into the corner it hung from.
        const std::pair<QPoint, bool> cases[] = {{{-900000, 5000000}, true},
                                                 {{-2147483647 - 1, 2147483647}, true},
                                                 {(screen.bottomRight() - QPoint(100, 100)) * 15, false}};
        for (const auto& [stored, centred] : cases) {
            testsupport::Environment env;
            env.writeFile(
                "bralun.ini",
                QStringLiteral("0,0,0,%1,%2,1,1,0,0,300,0,0\r\n").arg(stored.x()).arg(stored.y()).toLatin1());
            Form2 title;
            QVERIFY(screen.contains(title.frameGeometry()));
            if (centred)
                QVERIFY(qAbs(title.frameGeometry().center().x() - screen.center().x()) <= 1);
            else
                QCOMPARE(title.frameGeometry().bottomRight(), screen.bottomRight());
            // The settings after the position are still read.
            QCOMPARE(SortHai, 0);
            QCOMPARE(TimeLimit, 300);
        }
    }

    void killedSaveReadsBackOldOrNewSettings_data() {
        QTest::addColumn<QByteArray>("old"); // empty: no file yet
        QTest::addColumn<bool>("inPlace");
        const QByteArray shorter("1,2,3,4,5,1,1,1,0,300,0,1\r\n");
        const QByteArray longer("1500,1400,1300,60000,45000,1,1,1,0,300,0,1\r\n");
        QTest::newRow("new file") << QByteArray() << false;
        QTest::newRow("replaced by a longer line") << shorter << false;
        QTest::newRow("replaced by a shorter line") << longer << false;
        QTest::newRow("in place, longer line") << shorter << true;
        QTest::newRow("in place, shorter line") << longer << true;
        QTest::newRow("in place, old line without its end") << shorter.chopped(2) << true;
    }

    // A save cut short or killed at any step leaves the old settings or the new ones.
    void killedSaveReadsBackOldOrNewSettings() {
        QFETCH(QByteArray, old);
        QFETCH(bool, inPlace);
        testsupport::Environment env;
        LocationGuard guard;
        if (!old.isEmpty()) env.writeFile("bralun.ini", old);
        if (inPlace) folderReadOnly(env.dir());
        const auto save = [] {
            setDefaults();
            HiScore = {1999, 1998, 1997};
            return SettingsFile::save(SettingsFile::path(), 600, 450);
        };
        // A file size limit cuts the write off after a few bytes, as a full disk would; its signal
        // must not end the program.
        std::signal(SIGXFSZ, SIG_DFL);
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        const rlimit tiny{8, saved.rlim_max};
        setrlimit(RLIMIT_FSIZE, &tiny);
        const QString failure = save();
        setrlimit(RLIMIT_FSIZE, &saved);
        QVERIFY(failure.contains(QStringLiteral("大きすぎ")));
        QCOMPARE(env.readFile("bralun.ini"), old);
        QCOMPARE(QDir(env.dir()).entryList(QDir::Files),
                 old.isEmpty() ? QStringList() : QStringList{"bralun.ini"});

        const QByteArray oldRead = readBack(SettingsFile::parse(old));
        const QByteArray newRead("1999,1998,1997,600,450,1,1,1,0,150,0,0\r\n");
        bool finished = false;
        for (int call = 1; !finished; ++call) {
            for (const bool after : {false, true}) {
                env.writeFile("bralun.ini", old);
                const pid_t child = ::fork();
                if (child == 0) {
                    killAt::call = call, killAt::after = after;
                    SettingsFile::writeFile = killAt::write;
                    SettingsFile::syncFile = killAt::sync;
                    SettingsFile::renameFile = killAt::rename;
                    ::_exit(save().isEmpty() ? 0 : 1);
                }
                int status = 0;
                QCOMPARE(::waitpid(child, &status, 0), child);
                const QByteArray read = readBack(SettingsFile::load(SettingsFile::path()));
                QVERIFY2(
                    read == oldRead || read == newRead,
                    qPrintable(
                        QStringLiteral("killed at call %1 %2: ").arg(call).arg(after ? "after" : "before") +
                        read));
                // A save that ran to its end reports success and leaves the new settings.
                if ((finished = WIFEXITED(status)))
                    QCOMPARE(WEXITSTATUS(status) ? QByteArray("failed") : read, newRead);
            }
        }
    }

    void failedFlushOrRenameIsReportedAndLosesNothing() {
        testsupport::Environment env;
        const QByteArray old("1,2,3,4,5,1,1,1,0,300,0,0\r\n");
        env.writeFile("bralun.ini", old);
        setDefaults();
        HiScore[0] = 99;
        // A new file not on the disk must not take the old one's place; nor one a rename refused,
        // as across devices or on a bad disk.
        static int refusal;
        static const auto refuse = [] {
            errno = refusal;
            return -1;
        };
        for (const int error : {EIO, EXDEV}) {
            refusal = error;
            SettingsFile::syncFile = [](int) { return refuse(); };
            const QString unflushed = SettingsFile::save(SettingsFile::path(), 0, 0);
            SettingsFile::syncFile = ::fsync;
            SettingsFile::renameFile = [](const char*, const char*) { return refuse(); };
            const QString unrenamed = SettingsFile::save(SettingsFile::path(), 0, 0);
            SettingsFile::renameFile = ::rename;
            QCOMPARE(unflushed, SettingsFile::failureReason(error));
            QCOMPARE(unrenamed, SettingsFile::failureReason(error));
            QCOMPARE(env.readFile("bralun.ini"), old);
            QCOMPARE(QDir(env.dir()).entryList(QDir::Files), QStringList{"bralun.ini"});
        }
    }

    void saveKeepsTheModeAndInPlaceTheFile() {
        testsupport::Environment env;
        LocationGuard guard;
        const QString ini = env.file("bralun.ini");
        setDefaults();
        HiScore = {4, 5, 6};
        for (const bool inPlace : {false, true}) {
            // A file that may be written in a folder that may not is still used, rewritten in place.
            if (inPlace) folderReadOnly(env.dir());
            // 0664 also tells the mode given apart from what the umask would leave of it.
            for (const mode_t mode : {0600, 0664, 0640}) {
                env.writeFile("bralun.ini", "1,2,3\r\n");
                QCOMPARE(::chmod(QFile::encodeName(ini).constData(), mode), 0);
                const ino_t before = statOf(ini).st_ino;
                QCOMPARE(SettingsFile::path(), ini);
                QCOMPARE(SettingsFile::save(ini, 0, 0), QString());
                QCOMPARE(statOf(ini).st_mode & 07777, mode);
                QCOMPARE(statOf(ini).st_ino == before, inPlace);
                QCOMPARE(env.readFile("bralun.ini"), QByteArray("4,5,6,0,0,1,1,1,0,150,0,0\r\n"));
            }
        }
        QVERIFY(!QFile::exists(env.dir() + "/config"));
        // A new file is the player's to read, like any other document.
        QFile::remove(ini);
        setWritableCheck({});
        const mode_t mask = ::umask(022);
        QCOMPARE(SettingsFile::save(ini, 0, 0), QString());
        ::umask(mask);
        QCOMPARE(statOf(ini).st_mode & 07777, mode_t(0644));
    }

    void saveThatCannotWriteReportsAndEnds() {
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
        for (const QString& part :
             {QStringLiteral("保存できませんでした"), env.file("notadir") + "/bralun.ini",
              QStringLiteral("理由: ") + SettingsFile::failureReason(ENOTDIR)})
            QVERIFY2(shown.contains(part), qPrintable(shown));
        QVERIFY(!title.isVisible());
    }

    void linksAndWhatIsNotARegularFile() {
        testsupport::Environment env;
        const QString ini = env.file("bralun.ini");
        // Through a link the file it leads to is written, and the link stays.
        env.writeFile("real.ini", "1,2,3\r\n");
        QVERIFY(QFile::link(env.file("real.ini"), ini));
        setDefaults();
        HiScore = {7, 8, 9};
        QCOMPARE(SettingsFile::save(ini, 0, 0), QString());
        QVERIFY(QFileInfo(ini).isSymLink());
        QCOMPARE(env.readFile("real.ini"), QByteArray("7,8,9,0,0,1,1,1,0,150,0,0\r\n"));

        // A FIFO, or a link to an endless device, neither blocks nor fills the memory, and is
        // never replaced.
        QFile::remove(ini);
        QCOMPARE(mkfifo(QFile::encodeName(ini).constData(), 0644), 0);
        QVERIFY(!SettingsFile::load(ini).has_value());
        QVERIFY(SettingsFile::save(ini, 0, 0).contains(QStringLiteral("通常のファイルではありません")));
        QVERIFY(QFileInfo(ini).isFile() == false && QFileInfo(ini).exists());
        for (const char* device : {"/dev/zero", "/dev/null"}) {
            QFile::remove(ini);
            QVERIFY(QFile::link(device, ini));
            QVERIFY(!SettingsFile::load(ini).has_value());
            QVERIFY(!SettingsFile::save(ini, 0, 0).isEmpty());
            QVERIFY(QFileInfo(ini).isSymLink());
        }
        QCOMPARE(QDir(env.dir()).entryList(QDir::Files | QDir::System),
                 (QStringList{"bralun.ini", "real.ini"}));
        // A huge file is read only at its start.
        QFile::remove(ini);
        env.writeFile("bralun.ini", "5,6,7,0,0,1,1,1,0,300,0,0\r\n" + QByteArray(8 << 20, '9'));
        QCOMPARE(readBack(SettingsFile::load(ini)), QByteArray("5,6,7,0,0,1,1,1,0,300,0,0\r\n"));
    }

    void staleTemporaryFileIsRemovedAtStart() {
        testsupport::Environment env;
        // What a save killed half-way left.
        env.writeFile("bralun.ini.new", "1,2");
        env.writeFile("bralun.ini", "4,5,6\r\n");
        QCOMPARE(readBack(SettingsFile::loadAtStart()), QByteArray("-:4,5,6,0,0,1,1,1,0,150,0,0\r\n"));
        QCOMPARE(QDir(env.dir()).entryList(QDir::Files), QStringList{"bralun.ini"});
    }

    void saveFailureNamesTheRealCause() {
        const std::pair<int, const char*> causes[] = {{ENOSPC, "空き"}, {EDQUOT, "空き"},
                                                      {EACCES, "許可"}, {EPERM, "許可"},
                                                      {EROFS, "許可"},  {EFBIG, "大きすぎ"}};
        for (const auto& [error, word] : causes) {
            QVERIFY(SettingsFile::failureReason(error).contains(QString::fromUtf8(word)));
            QVERIFY(!SettingsFile::failureReason(EIO).contains(QString::fromUtf8(word)));
        }
        QVERIFY(SettingsFile::failureReason(EIO).contains(QString::fromLocal8Bit(std::strerror(EIO))));
    }

    void settingsFolderFollowsHowTheProgramWasInstalled_data() {
        QTest::addColumn<bool>("installed");
        QTest::addColumn<bool>("folderWritable");
        QTest::addColumn<QByteArray>("configHome");
        QTest::addColumn<QString>("folder"); // of bralun.ini, under the test's own folder
        const auto row = [](const char* name, bool installed, bool writable, const char* home,
                            const char* folder) {
            QTest::newRow(name) << installed << writable << QByteArray(home) << QString(folder);
        };
        row("copy in a writable folder", false, true, "/config", "program");
        row("copy in a read-only folder", false, false, "/config", "config/bralun");
        // Root may write anywhere, yet an installed program's folder is the package's.
        row("installed, writable folder", true, true, "/config", "config/bralun");
        row("no XDG_CONFIG_HOME", false, false, nullptr, "home/.config/bralun");
        // Relative to wherever the game was started: ignored, as the XDG rules say.
        row("relative XDG_CONFIG_HOME", false, false, "rel/config", "home/.config/bralun");
    }

    void settingsFolderFollowsHowTheProgramWasInstalled() {
        QFETCH(bool, installed);
        QFETCH(bool, folderWritable);
        QFETCH(QByteArray, configHome);
        QFETCH(QString, folder);
        testsupport::Environment env;
        LocationGuard guard;
        const QString program = env.file("program");
        QVERIFY(QDir().mkpath(program));
        setAppDirOverride(program);
        if (installed) QVERIFY(QFile(program + '/' + InstalledMark).open(QIODevice::WriteOnly));
        setWritableCheck([&](const QString& path) { return folderWritable || !path.startsWith(program); });
        qputenv("HOME", QFile::encodeName(env.file("home")));
        qputenv("XDG_CONFIG_HOME",
                configHome.startsWith('/') ? QFile::encodeName(env.dir()) + configHome : configHome);
        QCOMPARE(SettingsFile::path(), env.file(folder) + "/bralun.ini");
    }

    void scoresBesideTheProgramCarryOverToTheConfigFolder() {
        testsupport::Environment env;
        LocationGuard guard;
        const QString program = env.file("program");
        QVERIFY(QDir().mkpath(program));
        setAppDirOverride(program);
        setWritableCheck([&](const QString& path) { return !path.startsWith(program); });
        // A read-only folder and a file another user wrote there: readable, not writable.
        const QByteArray beside("11,-12,13,600,450,0,1,1,0,300,0,0\r\n");
        env.writeFile("program/bralun.ini", beside);
        {
            Form2 title;
            QCOMPARE(SettingsFile::line(title.Left(), title.Top()), beside);
            title.show();
            QCOMPARE(title.Label5[1]->text(), QStringLiteral("-12"));
            HiScore[0] = 21;
            title.setLeft(3000);
            title.close();
        }
        QCOMPARE(env.readFile("config/bralun/bralun.ini"),
                 QByteArray("21,-12,13,3000,450,0,1,1,0,300,0,0\r\n"));
        QCOMPARE(env.readFile("program/bralun.ini"), beside);
        // From then on the configuration folder's file is the one read.
        resetAll();
        Form2 again;
        QCOMPARE(SettingsFile::line(again.Left(), again.Top()), env.readFile("config/bralun/bralun.ini"));
    }
};

QTEST_MAIN(SettingsFileTest)
#include "tst_settingsfile.moc"
