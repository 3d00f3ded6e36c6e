// The practice games of the title window's menu: 復習, 弱点練習 and 今日の一局.

#include "engine/practice.h"
#include "history/dashboard.h"
#include "history/schedule.h"
#include "tst_game.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>

using namespace gametest;

namespace {

// Runs `start`, which opens a game window modally, and plays that window with `play`.
void playOpened(const std::function<void()>& start, const std::function<void(Form1&)>& play) {
    bool opened = false;
    testsupport::whenModalShows("Form1", [&](QWidget* w) {
        opened = true;
        play(*static_cast<Form1*>(w));
        w->close();
    });
    start();
    QVERIFY(opened);
}

// The texts of the title window's right-click menu, submenu items marked ▸.
QStringList titleMenu(Form2& title) {
    QStringList texts;
    QTimer::singleShot(50, [&texts] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        for (const QAction* action : menu ? menu->actions() : QList<QAction*>()) {
            texts << action->text() + (action->isEnabled() ? QString() : QStringLiteral("(無効)"));
            for (const QAction* sub : action->menu() ? action->menu()->actions() : QList<QAction*>())
                texts << QStringLiteral("▸") + sub->text();
        }
        if (menu) menu->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), title.mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&title, &event);
    QTest::qWait(100);
    return texts;
}

// Standard settings, shuffled hands, a history of the session's own, today's date.
void practiceSettings(Session& s) {
    Module1::TimeLimit = Module1::StandardTimeLimit;
    Module1::SortHai = 0;
    history::setProgramHistoryPath(s.env.file(QStringLiteral("history.sqlite3")));
    qunsetenv("BRALUN_TEST_DAYS_AHEAD");
}

} // namespace

class PracticeTest : public QObject {
    Q_OBJECT
  private slots:
    void aReviewGameDealsTheMissedHandsAsFirstShownTheNextDay();
    void weakShapePracticeTakesTheWeakestShapeOrRyanmenWithoutHistory();
    void noPracticeGameSetsARecordAndAReplayKeepsItsKind();
};

// Hands 0 and 2 missed, 1 and 3 right: the next day the menu counts two due and 復習 deals them
// as first shown. Answered right in 復習 (not elsewhere) they move up to box 2.
void PracticeTest::aReviewGameDealsTheMissedHandsAsFirstShownTheNextDay() {
    Session s(1);
    practiceSettings(s);
    Form1& first = s.open();
    std::vector<QImage> missedPictures;
    for (int i = 0; i < 4; ++i) {
        click(first.Command2);
        if (i % 2 == 0) missedPictures.push_back(first.picHaipai->image());
        s.env.advance(1000);
        i % 2 == 0 ? click(first.Command1) : answerRight(first, s.env, 0); // nothing marked: wrong
    }
    qputenv("BRALUN_TEST_DAYS_AHEAD", "1");
    QVERIFY(titleMenu(*s.title).contains(QStringLiteral("復習 (2問)(&R)")));
    playOpened([&] { s.title->startReview(); },
               [&](Form1& review) {
                   QVERIFY(review.windowTitle().startsWith(QStringLiteral("Orvandis ゾルベク　復習")));
                   for (std::size_t i = 0; i < 2; ++i) {
                       click(review.Command2);
                       QCOMPARE(review.picHaipai->image(), missedPictures[i]);
                       answerRight(review, s.env, 1000);
                   }
               });
    for (const std::size_t i : {0u, 2u})
        QCOMPARE(history::scheduleOf(history::programHistory(), first.records()[i].hand)->box, 2);
    QVERIFY(titleMenu(*s.title).contains(QStringLiteral("復習 (0問)(&R)(無効)")));
}

void PracticeTest::weakShapePracticeTakesTheWeakestShapeOrRyanmenWithoutHistory() {
    for (const auto& [missedKanchan, shape] :
         {std::pair{0, engine::WaitShape::Ryanmen}, std::pair{6, engine::WaitShape::Kanchan}}) {
        Session s(2);
        practiceSettings(s);
        history::History& store = history::programHistory();
        const QDateTime now = QDateTime::currentDateTimeUtc();
        const std::int64_t game = missedKanchan > 0 ? store.beginGame({now, 0, "000-000-000"}) : -1;
        engine::ProblemRecord record; // 123m 456m 789m 東東 1p 3p, waiting on 2p: missed
        record.hand = {1, 2, 3, 4, 5, 6, 7, 8, 9, 31, 31, 11, 13};
        record.machi[12] = 1;
        for (int i = 0; i < missedKanchan; ++i) QVERIFY(store.recordAnswer(game, i + 1, record, now));
        const QString automatic =
            QStringLiteral("▸自動（%1）").arg(QString::fromUtf8(engine::shapeName(shape)));
        QVERIFY(titleMenu(*s.title).contains(automatic));
        playOpened([&] { s.title->startWeakShape(std::nullopt); },
                   [&](Form1& weak) {
                       QCOMPARE(weak.gameCode().level, 2);
                       playProblems(weak, s.env, 1000);
                       for (const auto& r : weak.records())
                           QVERIFY(engine::hasWaitOfShape(engine::explain(r.hand), shape));
                   });
    }
}

// Each is kept with its kind, and played again it deals a fresh game of its kind.
void PracticeTest::noPracticeGameSetsARecordAndAReplayKeepsItsKind() {
    const std::pair<engine::GameKind, std::function<void(Form2&)>> practices[] = {
        {engine::GameKind::Review, [](Form2& t) { t.startReview(); }},
        {engine::GameKind::WeakShape, [](Form2& t) { t.startWeakShape(engine::WaitShape::Tanki); }},
        {engine::GameKind::Daily, [](Form2& t) { t.startDaily(); }},
    };
    for (const auto& [kind, start] : practices) {
        Session s(1);
        practiceSettings(s);
        Form1::setSeedSource([n = 0u]() mutable { return ++n; });
        std::vector<engine::GameDescription> played;
        playOpened([&] { start(*s.title); },
                   [&](Form1& game) {
                       // 最高得点 記録不可 over the badge from the opening on.
                       QVERIFY(game.Picture3->image() != s.title->Picture2[1]->image());
                       played.push_back(game.game());
                       playProblems(game, s.env, 500);
                       QVERIFY(game.Score >= 1900);
                       testsupport::whenModalShows("QMessageBox", [&](QWidget* box) {
                           testsupport::whenModalShows("Form1", [&](QWidget* again) {
                               played.push_back(static_cast<Form1*>(again)->game());
                               again->close();
                           });
                           static_cast<QMessageBox*>(box)->button(QMessageBox::No)->click(); // いいえ: again
                       });
                       click(game.Command3);
                   });
        QCOMPARE(Module1::HiScore, (std::array<std::int32_t, 3>{0, 0, 0}));
        QCOMPARE(history::loadDashboard(history::programHistory(), history::Period::All, kind,
                                        QDateTime::currentDateTimeUtc())
                     .problems,
                 10);
        QCOMPARE(played.size(), std::size_t{2});
        QCOMPARE(played[1].kind, kind);
        QCOMPARE(played[1].code->shape, played[0].code->shape);
        QCOMPARE(played[1].code->seed != played[0].code->seed, kind != engine::GameKind::Daily);
    }
}

QTEST_MAIN(PracticeTest)
#include "tst_practice.moc"
