// The title window as a player meets it: badges, scores, help, and the windows it opens.
#include "about/form3.h"
#include "config/module1.h"
#include "platform/helpviewer.h"
#include "testsupport.h"
#include "title/form2.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QtTest>

#include <functional>
#include <sys/stat.h>

using namespace Module1;

class TitleTest : public QObject {
    Q_OBJECT
  private slots:
    void hoveringTheBadgesClicksOnceAndOutlinesEach() {
        testsupport::Environment env;
        Form2 title;
        title.show();
        QVERIFY(QTest::qWaitForWindowExposed(&title));
        title.resize(400, 500); // snaps back to the designed size
        QCOMPARE(title.size(), QSize(251, 271));
        env.clearEffects();
        // Top to bottom across the three badges, several moves inside each.
        for (auto* badge : title.Picture2) {
            for (int y = 5; y < 48; y += 10) QTest::mouseMove(badge, QPoint(40, y));
        }
        QCOMPARE(env.effects(), (std::vector<int>{1001, 1001, 1001}));
        // Back and forth inside the last one, then out over a label and back into it: silence.
        const std::pair<QWidget*, QPoint> moves[] = {{title.Picture2[2], {10, 10}},
                                                     {title.Picture2[2], {80, 30}},
                                                     {title.Label4, {5, 5}},
                                                     {title.Picture2[2], {50, 20}}};
        for (const auto& [over, at] : moves) QTest::mouseMove(over, at);
        QCOMPARE(env.effects().size(), std::size_t{3});
        // The blue outline stays on the last badge entered, the others show their own picture.
        for (const QPoint at : {QPoint(0, 0), QPoint(95, 47), QPoint(50, 0), QPoint(95, 20)})
            QCOMPARE(title.Picture2[2]->image().pixel(at), qRgb(0, 0, 255));
        for (int i : {0, 1})
            QCOMPARE(title.Picture2[std::size_t(i)]->image(), title.Picture2[std::size_t(i)]->Picture());
        // With sound off, neither badges nor the title picture make a sound.
        SoundOn = 0;
        env.clearEffects();
        title.Picture2_MouseMove(0, 0, 0, 1, 1);
        title.Picture2_MouseMove(1, 0, 0, 1, 1);
        QCOMPARE(title.Picture2[2]->image(), title.Picture2[2]->Picture());
        testsupport::whenModalShows("Form3", [](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
        title.Picture1_Click();
        QVERIFY(env.effects().empty());
    }

    void scoresShownAndSettingsAndAboutPlacedOnTheTitleWindow() {
        testsupport::Environment env;
        env.writeFile("bralun.ini", "120,340,1560,4500,3000,1,1,1,0,150,0,0\r\n");
        Form2 title;
        title.show();
        title.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&title));
        QCOMPARE(title.Label5[2]->text(), QStringLiteral("1560"));
        QRect placed[2];
        QImage icon;
        QString version;
        testsupport::whenModalShows("Form4", [&](QWidget* w) {
            placed[0] = w->frameGeometry();
            QCOMPARE(w->size(), QSize(253, 254));
            static_cast<QDialog*>(w)->reject();
        });
        title.Command2_Click();
        // The settings dialog shares the left edge and is centred vertically.
        QCOMPARE(placed[0].x(), title.frameGeometry().x());
        QCOMPARE(placed[0].center().y(), title.frameGeometry().center().y());
        env.clearEffects();
        testsupport::whenModalShows("Form3", [&](QWidget* w) {
            auto* about = static_cast<Form3*>(w);
            placed[1] = about->frameGeometry();
            QCOMPARE(about->size(), QSize(214, 83));
            icon = about->Image1->Picture();
            version = about->Label2->text();
            HiScore[1] = 1777;
            about->Command1->click();
        });
        title.Picture1_Click();
        // The about box is centred and shows the program's icon.
        QCOMPARE(placed[1].center(), title.frameGeometry().center());
        QCOMPARE(icon, title.windowIcon().pixmap(32, 32).toImage());
        QVERIFY(!icon.isNull());
        QCOMPARE(version, QStringLiteral("Version 0.95"));
        QCOMPARE(env.effects(), std::vector<int>{1001});
        // A record set while another window had the focus shows once the title is active again.
        title.activateWindow();
        QTRY_COMPARE(title.Label5[1]->text(), QStringLiteral("1777"));
    }

    void helpOpensTheFileOrSaysItIsMissing() {
        testsupport::Environment env;
        Form2 title;
        title.show();
        QCOMPARE(title.helpFile(), env.file("bralun.hlp"));
        const QByteArray help = QFile::encodeName(title.helpFile());
        // Each is no help text: missing, a FIFO (no waiting on it), endless, or far too large.
        const std::function<void()> notHelp[] = {
            [] {},
            [&] { QCOMPARE(::mkfifo(help.constData(), 0644), 0); },
            [&] { QVERIFY(QFile::link("/dev/zero", title.helpFile())); },
            [&] { env.writeFile("bralun.hlp", QByteArray(2 << 20, ' ')); },
        };
        for (const auto& make : notHelp) {
            QFile::remove(title.helpFile());
            make();
            title.Command1_Click();
            auto* viewer = title.findChild<QDialog*>("HelpWindow");
            QVERIFY(viewer && viewer->isVisible());
            const QString text = viewer->findChild<QTextBrowser*>("HelpText")->toPlainText();
            QVERIFY(text.contains(QStringLiteral("ヘルプファイル")) &&
                    text.contains(QStringLiteral("見つからない")));
            QVERIFY(title.isVisible());
            viewer->close();
        }
        QFile::remove(title.helpFile());
        env.writeFile("bralun.hlp", "<html><body><h1>遊び方</h1></body></html>");
        QVERIFY(platform::WinHelpA(&title, title.helpFile(), platform::HELP_CONTENTS, 0));
        auto* viewer = title.findChild<QDialog*>("HelpWindow");
        QVERIFY(
            viewer->findChild<QTextBrowser*>("HelpText")->toPlainText().contains(QStringLiteral("遊び方")));
    }
};

QTEST_MAIN(TitleTest)
#include "tst_title.moc"
