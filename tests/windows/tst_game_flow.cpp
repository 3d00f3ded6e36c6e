// The phases of a game, the quit question, the replay, the music, and whole games played from
// the title window's badge.

#include "sound/module2.h"
#include "title/settingsfile.h"
#include "tst_game.h"

#include <QRegularExpression>

using namespace gametest;

namespace {

enum class Phase { NotStarted, ProblemOpen, Answered, GameOver };

struct QuestionSeen {
    QString text, title, objectName;
    QStringList buttons;
    bool noIsDefault = false;
    bool noIcon = false;
    bool shown = false;
};

// Checks the controls against the phase table.
void expectPhase(const Form1& g, Phase phase) {
    const bool open = phase == Phase::ProblemOpen;
    QCOMPARE(g.Timer1->isActive(), open);
    QCOMPARE(g.Command1->isEnabled(), open);
    QCOMPARE(g.Picture1->isEnabled(), open);
    QCOMPARE(g.Command2->isEnabled(), phase == Phase::NotStarted || phase == Phase::Answered);
    QCOMPARE(g.Command2->text(),
             phase == Phase::NotStarted ? QStringLiteral("開始") : QStringLiteral("次の問題へ行く"));
    QVERIFY(g.Command3->isEnabled());
    if (phase == Phase::NotStarted) QCOMPARE(g.Nokori, std::int16_t{11});
    if (phase == Phase::GameOver) QCOMPARE(g.Nokori, std::int16_t{0});
    if (open) QCOMPARE(QApplication::focusWidget(), g.Picture1);
    if (phase == Phase::Answered) QCOMPARE(QApplication::focusWidget(), g.Command2);
}

} // namespace

class TestGameFlow : public QObject {
    Q_OBJECT
  private slots:
    void phasesAndTransitions();
    void quitBeforeTheFirstProblemAsksNothing();
    void quitQuestion_data();
    void quitQuestion();
    void musicOnlyOnTheFirstStart_data();
    void musicOnlyOnTheFirstStart();
    void replayStartsAfreshAtTheSameLevel();
    void wholeGameFromTheBadge();
};

void TestGameFlow::phasesAndTransitions() {
    Session s;
    Form1& g = s.open();
    g.show();
    QVERIFY(QTest::qWaitForWindowActive(&g));
    expectPhase(g, Phase::NotStarted);
    for (int problem = 1; problem <= 10; ++problem) {
        QTest::mouseClick(g.Command2, Qt::LeftButton);
        QCOMPARE(g.Nokori, std::int16_t(11 - problem));
        expectPhase(g, Phase::ProblemOpen);
        markWaits(g);
        s.env.advance(900);
        if (problem % 2)
            QTest::mouseClick(g.Command1, Qt::LeftButton);
        else
            QTest::keyClick(g.Picture1, Qt::Key_Return);
        expectPhase(g, problem < 10 ? Phase::Answered : Phase::GameOver);
    }
    QCOMPARE(g.Score, 1940);
    // Nothing but quitting acts after the game.
    QTest::mouseClick(g.Command2, Qt::LeftButton);
    QTest::mouseClick(g.Command1, Qt::LeftButton);
    QTest::mouseClick(g.Picture1, Qt::LeftButton, {}, cellCentre(g, 5));
    expectPhase(g, Phase::GameOver);
    QCOMPARE(g.Kotae[5], std::int16_t{0});
}

void TestGameFlow::quitBeforeTheFirstProblemAsksNothing() {
    Session s;
    Form1& g = s.open();
    g.show();
    QVERIFY(QTest::qWaitForWindowExposed(&g));
    QTest::mouseClick(g.Command3, Qt::LeftButton); // a question here would block this test
    QVERIFY(!g.isVisible());
    QVERIFY(!g.replayRequested());
}

void TestGameFlow::quitQuestion_data() {
    QTest::addColumn<int>("phase");
    QTest::addColumn<bool>("yes");
    QTest::newRow("problem 4 open, Yes") << int(Phase::ProblemOpen) << true;
    QTest::newRow("problem 4 open, No") << int(Phase::ProblemOpen) << false;
    QTest::newRow("answered, Yes") << int(Phase::Answered) << true;
    QTest::newRow("answered, No") << int(Phase::Answered) << false;
    QTest::newRow("game over, Yes") << int(Phase::GameOver) << true;
    QTest::newRow("game over, No") << int(Phase::GameOver) << false;
}

void TestGameFlow::quitQuestion() {
    QFETCH(int, phase);
    QFETCH(bool, yes);
    const auto p = static_cast<Phase>(phase);
    Session s;
    Form1& g = s.open();
    g.show();
    QVERIFY(QTest::qWaitForWindowActive(&g));
    if (p == Phase::GameOver) {
        playGame(g, s.env, 900);
    } else {
        for (int i = 0; i < 3; ++i) playProblem(g, s.env, 900);
        QTest::mouseClick(g.Command2, Qt::LeftButton);
        pressTile(g, 9);
        if (p == Phase::Answered) QTest::mouseClick(g.Command1, Qt::LeftButton);
    }
    const QImage palette = g.Picture1->image();
    const std::uint32_t start = g.StartTick;

    QuestionSeen seen;
    testsupport::whenModalShows("QMessageBox", [&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        seen.shown = true;
        seen.text = box->text();
        seen.title = box->windowTitle();
        for (QAbstractButton* b : box->buttons()) seen.buttons << b->text();
        seen.noIsDefault = box->defaultButton() == box->button(QMessageBox::No);
        seen.noIcon = box->icon() == QMessageBox::NoIcon;
        seen.objectName = box->objectName();
        s.env.advance(4000); // the player thinks it over
        box->button(yes ? QMessageBox::Yes : QMessageBox::No)->click();
    });
    QTest::mouseClick(g.Command3, Qt::LeftButton);

    QVERIFY(seen.shown);
    QCOMPARE(seen.objectName, QStringLiteral("QuitQuestion"));
    QCOMPARE(seen.title, QStringLiteral("ゲームの終了"));
    QCOMPARE(seen.text, p == Phase::GameOver
                            ? QStringLiteral("リプレイしないで タイトルに戻りますか？")
                            : QStringLiteral("現在のゲームを終了して タイトルに戻りますか？"));
    seen.buttons.sort();
    QCOMPARE(seen.buttons, QStringList({QStringLiteral("いいえ(&N)"), QStringLiteral("はい(&Y)")}));
    QVERIFY(seen.noIsDefault);
    QVERIFY(seen.noIcon);

    if (yes) {
        QVERIFY(!g.isVisible());
        QVERIFY(!g.replayRequested());
        QCOMPARE(Module1::HiScore[0], p == Phase::GameOver ? 1940 : 0);
        return;
    }
    if (p == Phase::GameOver) {
        QVERIFY(!g.isVisible());
        QVERIFY(g.replayRequested());
        return;
    }
    // No during a game: it goes on as it was.
    QVERIFY(g.isVisible());
    QVERIFY(!g.replayRequested());
    QCOMPARE(g.Nokori, std::int16_t{7});
    QCOMPARE(g.Picture1->image(), palette);
    QCOMPARE(g.StartTick, start);
    if (p == Phase::ProblemOpen) {
        QVERIFY(g.Timer1->isActive());
        QCOMPARE(g.Kotae[9], std::int16_t{1});
        pressTile(g, 9);
        markWaits(g);
        QTest::mouseClick(g.Command1, Qt::LeftButton);
        QCOMPARE(g.Label5->text(), QStringLiteral("+173点")); // 4 s: 200 - 26.67, the question's time counted
    } else {
        QVERIFY(g.Command2->isEnabled());
        QVERIFY(!g.Timer1->isActive());
    }
}

void TestGameFlow::musicOnlyOnTheFirstStart_data() {
    QTest::addColumn<int>("musicOn");
    QTest::newRow("music on") << 1;
    QTest::newRow("music off") << 0;
}

void TestGameFlow::musicOnlyOnTheFirstStart() {
    QFETCH(int, musicOn);
    Session s;
    s.env.writeFile(QStringLiteral("bralun.mid"), QByteArray("MThd"));
    Module1::MusicOn = static_cast<std::int16_t>(musicOn);
    Form1& g = s.open();
    QVERIFY(s.env.mciCommands().isEmpty()); // not on opening
    playGame(g, s.env, 900);
    const QStringList plays = s.env.mciCommands().filter(QRegularExpression(QStringLiteral("^play ")));
    if (musicOn) {
        QCOMPARE(plays,
                 QStringList{QStringLiteral("play ") + Module1::AppPath() + QStringLiteral("bralun.mid")});
        QVERIFY(s.env.mciCommands().first().startsWith(QStringLiteral("play ")));
    } else {
        QVERIFY(plays.isEmpty());
    }
}

void TestGameFlow::replayStartsAfreshAtTheSameLevel() {
    Session s;
    Module1::TimeLimit = 300; // the first game carries the no-record notice
    s.title->show();
    QVERIFY(QTest::qWaitForWindowExposed(s.title.get()));
    const QImage badge = s.title->Picture2[2]->Picture();
    int games = 0;
    bool freshOk = false;

    std::function<void(QWidget*)> second = [&](QWidget* w) {
        auto* g = qobject_cast<Form1*>(w);
        ++games;
        freshOk = g && g->Command2->text() == QStringLiteral("開始") && g->Command2->isEnabled() &&
                  g->Score == 0 && g->Nokori == 11 && g->Label4->text() == QStringLiteral("得点") &&
                  g->Picture3->image() == badge && !g->replayRequested();
        if (g) QTest::mouseClick(g->Command3, Qt::LeftButton); // closes at once: not started
    };
    testsupport::whenModalShows("Form1", [&](QWidget* w) {
        auto* g = qobject_cast<Form1*>(w);
        ++games;
        QTest::mouseClick(g->Command2, Qt::LeftButton);
        if (g->Picture3->image() == badge) return; // the notice is missing: fail below
        markWaits(*g);
        s.env.advance(1800);
        QTest::mouseClick(g->Command1, Qt::LeftButton);
        for (int i = 0; i < 9; ++i) playProblem(*g, s.env, 1800);
        answerQuestion(QMessageBox::No);
        QTest::mouseClick(g->Command3, Qt::LeftButton);
        testsupport::whenModalShows("Form1", second);
    });
    QTest::mouseClick(s.title->Picture2[2], Qt::LeftButton);
    QCOMPARE(games, 2);
    QVERIFY(freshOk);
    QCOMPARE(Module1::Level, 2);
}

void TestGameFlow::wholeGameFromTheBadge() {
    Session s;
    Module1::HiScore = {0, 1500, 0};
    s.title->show();
    QVERIFY(QTest::qWaitForWindowActive(s.title.get()));
    QCOMPARE(s.title->Label5[1]->text(), QStringLiteral("1500"));

    // Each problem answered right through the window's own events, at 0.9, 1.8, ..., 9 s.
    int expected = 0;
    for (int i = 1; i <= 10; ++i) expected += static_cast<int>(std::nearbyint(200 - 900.0 * i / 150));
    int score = -1;
    QString verdicts;
    testsupport::whenModalShows("Form1", [&](QWidget* w) {
        auto* g = qobject_cast<Form1*>(w);
        for (int i = 1; i <= 10; ++i) {
            QTest::mouseClick(g->Command2, Qt::LeftButton);
            for (int k = 1; k <= 37; ++k) {
                if (g->Machi[static_cast<std::size_t>(k)] == 1)
                    QTest::mouseClick(g->Picture1, Qt::LeftButton, {}, cellCentre(*g, k));
            }
            s.env.advance(900u * static_cast<std::uint32_t>(i));
            QTest::mouseClick(g->Command1, Qt::LeftButton);
            verdicts += g->Label2->text().left(1);
        }
        score = g->Score;
        answerQuestion(QMessageBox::Yes);
        QTest::mouseClick(g->Command3, Qt::LeftButton);
    });
    QTest::mouseClick(s.title->Picture2[1], Qt::LeftButton);

    QCOMPARE(verdicts, QString(10, QChar(u'正')));
    QCOMPARE(score, expected);
    QCOMPARE(Module1::HiScore[1], expected);
    QCOMPARE(s.env.effects().front(), 1004);
    QVERIFY(s.env.readFile(QStringLiteral("bralun.ini"))
                .startsWith(QStringLiteral("0,%1,0,").arg(expected).toLatin1()));
    // The title window shows the new best as soon as it is active again.
    s.title->activateWindow();
    QTRY_COMPARE(s.title->Label5[1]->text(), QString::number(expected));
    QCOMPARE(s.title->Label5[0]->text(), QStringLiteral("0"));
}

QTEST_MAIN(TestGameFlow)
#include "tst_game_flow.moc"
