// The phases of a game, the quit question, the replay from the title window's badge, the music.

#include "sound/module2.h"
#include "tst_game.h"

using namespace gametest;

namespace {

enum class Phase { NotStarted, ProblemOpen, Answered, GameOver };

// Checks the controls against the phase table.
void expectPhase(const Form1& g, Phase phase) {
    const bool open = phase == Phase::ProblemOpen;
    QCOMPARE(g.Timer1->isActive(), open);
    QCOMPARE(g.Command1->isEnabled(), open);
    QCOMPARE(g.Picture1->isEnabled(), open);
    QCOMPARE(g.Command2->isEnabled(), phase == Phase::NotStarted || phase == Phase::Answered);
    QCOMPARE(g.Command2->text(),
             phase == Phase::NotStarted ? QStringLiteral("開始") : QStringLiteral("次の問題へ行く"));
    if (phase == Phase::NotStarted) QCOMPARE(g.Nokori, std::int16_t{11});
    if (phase == Phase::GameOver) QCOMPARE(g.Label3->text(), QStringLiteral("全問終了"));
    if (open || phase == Phase::Answered)
        QCOMPARE(QApplication::focusWidget(), open ? static_cast<QWidget*>(g.Picture1) : g.Command2);
}

} // namespace

class TestGameFlow : public QObject {
    Q_OBJECT
  private slots:
    // With the music played only on the first start, and stopped at the game's end.
    void phasesAndTransitions() {
        Session s;
        s.withMusic();
        Form1& g = s.openActive();
        expectPhase(g, Phase::NotStarted);
        QVERIFY(s.env.mciCommands().isEmpty());
        const QString music = Module1::AppPath() + QStringLiteral("bralun.mid");
        for (int problem = 1; problem <= 10; ++problem) {
            // Mouse and Enter alike, on the next button and on the palette.
            problem % 2 ? click(g.Command2) : QTest::keyClick(g.Command2, Qt::Key_Return);
            QCOMPARE(g.Nokori, std::int16_t(11 - problem));
            if (problem == 1) QCOMPARE(s.env.mciCommands(), QStringList{"play " + music});
            expectPhase(g, Phase::ProblemOpen);
            markWaits(g);
            s.env.advance(900);
            problem % 2 ? click(g.Command1) : QTest::keyClick(g.Picture1, Qt::Key_Return);
            expectPhase(g, problem < 10 ? Phase::Answered : Phase::GameOver);
        }
        QCOMPARE(g.Label4->text(), QStringLiteral("得点 1940点"));
        QCOMPARE(s.env.mciCommands(), QStringList({"play " + music, "stop " + music}));
        QVERIFY(Module2::CurrentMusic.isEmpty());
    }

    void quitQuestion_data() {
        QTest::addColumn<int>("phase");
        QTest::addColumn<bool>("yes");
        const char* names[] = {"not started", "problem 4 open", "answered", "game over"};
        for (const int phase : {0, 1, 2, 3})
            for (const bool yes : {true, false})
                if (phase || yes) QTest::addRow("%s, %s", names[phase], yes ? "Yes" : "No") << phase << yes;
    }

    void quitQuestion() {
        QFETCH(int, phase);
        QFETCH(bool, yes);
        const auto p = static_cast<Phase>(phase);
        Session s;
        Form1& g = s.openActive();
        const int played[] = {0, 3, 3, 10}; // problems answered before the question
        playProblems(g, s.env, 900, played[phase]);
        if (p != Phase::NotStarted && p != Phase::GameOver) {
            click(g.Command2);
            pressTile(g, 9);
        }
        if (p == Phase::Answered) click(g.Command1);
        const QImage palette = g.Picture1->image();
        const std::uint32_t start = g.StartTick;

        QString seen; // a question here would block the test where none is asked
        if (p != Phase::NotStarted) {
            testsupport::whenModalShows("QMessageBox", [&](QWidget* w) {
                auto* box = qobject_cast<QMessageBox*>(w);
                seen = box->windowTitle() + '|' + box->text() + '|' + box->button(QMessageBox::Yes)->text() +
                       '|' + box->button(QMessageBox::No)->text() +
                       (box->defaultButton() == box->button(QMessageBox::No) ? "|No" : "");
                s.env.advance(4000); // the player thinks it over
                box->button(yes ? QMessageBox::Yes : QMessageBox::No)->click();
            });
        }
        click(g.Command3);
        if (p != Phase::NotStarted) {
            QCOMPARE(seen, QStringLiteral("ゲームの終了|%1 タイトルに戻りますか？|はい(&Y)|いいえ(&N)|No")
                               .arg(p == Phase::GameOver ? "リプレイしないで" : "現在のゲームを終了して"));
        }
        // No after the game asks for a replay; otherwise No keeps the game and Yes ends it.
        QCOMPARE(g.replayRequested(), p == Phase::GameOver && !yes);
        QCOMPARE(g.isVisible(), !yes && p != Phase::GameOver);
        if (yes) QCOMPARE(Module1::HiScore[0], p == Phase::GameOver ? 1940 : 0);
        if (yes || p == Phase::GameOver) return;
        QCOMPARE(g.Timer1->isActive(), p == Phase::ProblemOpen);
        QCOMPARE(g.Command2->isEnabled(), p == Phase::Answered);
        QCOMPARE(g.Nokori, std::int16_t{7});
        QCOMPARE(g.Picture1->image(), palette);
        QCOMPARE(g.StartTick, start);
        if (p == Phase::ProblemOpen) {
            QCOMPARE(g.Kotae[9], std::int16_t{1});
            pressTile(g, 9);
            answerRight(g, s.env, 0);
            QCOMPARE(g.Label5->text(),
                     QStringLiteral("+173点")); // 4 s: 200 - 26.67, the question's time counted
        }
    }

    // The question asked during the last problem keeps its meaning when the time runs out behind
    // it: No keeps the finished game on screen instead of starting a new one.
    void quitDeclinedAfterTheLastProblemTimedOutWhileAskingIsNoReplay() {
        Session s;
        Form1& g = s.openActive();
        playProblems(g, s.env, 900, 9);
        click(g.Command2);
        pressTile(g, 9);
        QString asked;
        int left = -1;
        testsupport::whenModalShows("QMessageBox", [&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            asked = box->text();
            s.env.advance(15000); // the player thinks it over
            QTest::qWait(500);    // and the clock runs out
            left = g.Nokori;
            box->button(QMessageBox::No)->click();
        });
        click(g.Command3);
        QCOMPARE(asked, QStringLiteral("現在のゲームを終了して タイトルに戻りますか？"));
        QCOMPARE(left, 0); // the game did end behind the question
        QVERIFY(!g.replayRequested());
        QVERIFY(g.isVisible());
        expectPhase(g, Phase::GameOver);
    }

    void replayStartsAfreshAtTheSameLevel() {
        Session s;
        s.withMusic();
        Module1::MusicOn = 0;     // and no music, file or not
        Module1::TimeLimit = 300; // the first game carries the no-record notice
        s.title->show();
        QVERIFY(QTest::qWaitForWindowExposed(s.title.get()));
        const QImage badge = s.title->Picture2[2]->Picture();
        QStringList games;
        std::function<void(QWidget*)> play = [&](QWidget* w) {
            auto* g = qobject_cast<Form1*>(w);
            games << QStringLiteral("%1 %2 %3 %4")
                         .arg(g->Command2->text(), g->Label4->text())
                         .arg(g->Score)
                         .arg(g->Picture3->image() == badge ? "badge" : "notice");
            if (games.size() == 3) return click(g->Command3); // closes at once: not started
            playProblems(*g, s.env, 1800);
            games << (g->Picture3->image() == badge ? "badge" : "notice");
            testsupport::whenModalShows("QMessageBox", [](QWidget* box) {
                static_cast<QMessageBox*>(box)->button(QMessageBox::No)->click(); // replay
            });
            click(g->Command3);
            testsupport::whenModalShows("Form1", play);
        };
        testsupport::whenModalShows("Form1", play);
        s.env.clearEffects();
        click(s.title->Picture2[2]);
        QCOMPARE(s.env.effects().front(), 1004); // the badge's own sound
        QCOMPARE(Module1::Level, 2);
        for (const QString& sent : s.env.mciCommands()) QVERIFY(!sent.startsWith("play "));
        QCOMPARE(games, QStringList({"開始 得点 0 badge", "notice", "開始 得点 0 badge"}));
    }
};

QTEST_MAIN(TestGameFlow)
#include "tst_game_flow.moc"
