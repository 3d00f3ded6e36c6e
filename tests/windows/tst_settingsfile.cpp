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

#include <csignal>
#include <sys/resource.h>

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
    void interruptedSaveLeavesOldFileWhole();
    void saveThatCannotWriteReportsAndEnds();
};

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

void SettingsFileTest::interruptedSaveLeavesOldFileWhole() {
    testsupport::Environment env;
    const QByteArray old("1500,1400,1300,600,450,1,1,1,0,150,0,0\r\n");
    env.writeFile("bralun.ini", old);
    SettingsFile::load(SettingsFile::path());
    HiScore = {1999, 1998, 1997};

    // A file size limit cuts the write off after a few bytes, as a full disk would.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit tiny = saved;
    tiny.rlim_cur = 8;
    setrlimit(RLIMIT_FSIZE, &tiny);
    const QString failure = SettingsFile::save(SettingsFile::path(), 600, 450);
    setrlimit(RLIMIT_FSIZE, &saved);

    QVERIFY(!failure.isEmpty());
    QCOMPARE(env.readFile("bralun.ini"), old);
    QCOMPARE(QDir(env.dir()).entryList(QDir::Files), QStringList{"bralun.ini"});
}

void SettingsFileTest::saveThatCannotWriteReportsAndEnds() {
    testsupport::Environment env;
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
    QVERIFY(shown.contains(QStringLiteral("理由")));
    QVERIFY(!title.isVisible());
}

QTEST_MAIN(SettingsFileTest)
#include "tst_settingsfile.moc"
