// The practice games of the title window's menu: 復習, 弱点練習 and 今日の一局.

#include "engine/practice.h"
#include "history/dashboard.h"
#include "history/history.h"
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

// The texts of the title window's right-click menu and its 弱点練習 submenu.
QStringList titleMenu(Form2& title) {
    QStringList texts;
    QTimer::singleShot(50, [&texts] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) return;
        for (const QAction* action : menu->actions()) {
            texts << action->text() + (action->isEnabled() ? QString() : QStringLiteral("(無効)"));
            if (action->menu())
                for (const QAction* sub : action->menu()->actions())
                    texts << QStringLiteral("▸") + sub->text();
        }
        menu->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), title.mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&title, &event);
    QTest::qWait(100);
    return texts;
}

std::array<engine::Hai, 13> shown(const Form1& game) {
    std::array<engine::Hai, 13> hand{};
    std::copy_n(game.Tehai.begin(), 13, hand.begin());
    return hand;
}

// Standard settings, shuffled hands, a history of this test's own.
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
    void weakShapePracticeTakesTheWeakestShapeOrRyanmenWithoutHistory_data();
    void weakShapePracticeTakesTheWeakestShapeOrRyanmenWithoutHistory();
    void noPracticeGameSetsARecordAndEachIsKeptWithItsKind();
};

void PracticeTest::aReviewGameDealsTheMissedHandsAsFirstShownTheNextDay() {
    Session s(1);
    practiceSettings(s);
    Form1& first = s.open();
    std::vector<QImage> missedPictures;
    std::vector<std::array<engine::Hai, 13>> missed;
    for (int i = 0; i < 4; ++i) {
        click(first.Command2);
        if (i % 2 == 1) {
            answerRight(first, s.env, 1000);
            continue;
        }
        s.env.advance(1000);
        click(first.Command1); // nothing marked: wrong
        missed.push_back(shown(first));
        missedPictures.push_back(first.picHaipai->image());
    }
    QVERIFY(titleMenu(*s.title).contains(QStringLiteral("復習 (0問)(&R)(無効)")));

    qputenv("BRALUN_TEST_DAYS_AHEAD", "1");
    const int due = history::dueCount(history::programHistory(), history::scheduleToday());
    QCOMPARE(due, 2);
    QVERIFY(titleMenu(*s.title).contains(QStringLiteral("復習 (2問)(&R)")));
    playOpened([&] { s.title->startReview(); },
               [&](Form1& review) {
                   QCOMPARE(review.game().kind, engine::GameKind::Review);
                   for (std::size_t i = 0; i < missed.size(); ++i) {
                       click(review.Command2);
                       QCOMPARE(shown(review), missed[i]);
                       QCOMPARE(review.picHaipai->image(), missedPictures[i]);
                       answerRight(review, s.env, 1000);
                   }
                   click(review.Command2); // then fresh hands of the weakest shape fill the game
                   QVERIFY(engine::hasWaitOfShape(engine::explain(shown(review)),
                                                  *review.game().code->practiceShape()));
               });
    // Both answered right: box 2, due three days on, and the menu counts none today.
    for (const auto& hand : missed) QCOMPARE(history::scheduleOf(history::programHistory(), hand)->box, 2);
    QVERIFY(titleMenu(*s.title).contains(QStringLiteral("復習 (0問)(&R)(無効)")));
    qunsetenv("BRALUN_TEST_DAYS_AHEAD");
}

void PracticeTest::weakShapePracticeTakesTheWeakestShapeOrRyanmenWithoutHistory_data() {
    QTest::addColumn<int>("missedKanchan");
    QTest::addColumn<int>("expected");
    QTest::newRow("no history") << 0 << static_cast<int>(engine::WaitShape::Ryanmen);
    QTest::newRow("嵌張 missed") << 6 << static_cast<int>(engine::WaitShape::Kanchan);
}

void PracticeTest::weakShapePracticeTakesTheWeakestShapeOrRyanmenWithoutHistory() {
    QFETCH(int, missedKanchan);
    QFETCH(int, expected);
    Session s(2);
    practiceSettings(s);
    history::History& store = history::programHistory();
    if (missedKanchan > 0) {
        history::GameStart start;
        start.startedUtc = QDateTime::currentDateTimeUtc();
        start.code = QStringLiteral("000-000-000");
        const std::int64_t game = store.beginGame(start);
        for (int i = 0; i < missedKanchan; ++i) {
            engine::ProblemRecord record; // 123m 456m 789m 東東 1p 3p, waiting on 2p: missed
            record.hand = {1, 2, 3, 4, 5, 6, 7, 8, 9, 31, 31, 11, 13};
            record.machi[12] = 1;
            QVERIFY2(store.recordAnswer(game, i + 1, record, QDateTime::currentDateTimeUtc()),
                     qPrintable(store.takeNotice()));
        }
    }
    const auto shape = static_cast<engine::WaitShape>(expected);
    const QString automatic = QStringLiteral("▸自動（%1）").arg(QString::fromUtf8(engine::shapeName(shape)));
    QVERIFY2(titleMenu(*s.title).contains(automatic), qPrintable(titleMenu(*s.title).join(',')));
    playOpened([&] { s.title->startWeakShape(std::nullopt); },
               [&](Form1& game) {
                   QCOMPARE(game.game().kind, engine::GameKind::WeakShape);
                   QCOMPARE(game.gameCode().level, 2);
                   for (int i = 0; i < 10; ++i) {
                       click(game.Command2);
                       QVERIFY(engine::hasWaitOfShape(engine::explain(shown(game)), shape));
                       answerRight(game, s.env, 1000);
                   }
               });
}

void PracticeTest::noPracticeGameSetsARecordAndEachIsKeptWithItsKind() {
    struct Practice {
        engine::GameKind kind;
        std::function<void(Form2&)> start;
    };
    const Practice practices[] = {
        {engine::GameKind::Review, [](Form2& t) { t.startReview(); }},
        {engine::GameKind::WeakShape, [](Form2& t) { t.startWeakShape(engine::WaitShape::Penchan); }},
        {engine::GameKind::Daily, [](Form2& t) { t.startDaily(); }},
    };
    for (const Practice& p : practices) {
        Session s(1);
        practiceSettings(s);
        QImage plainBadge;
        playOpened([&] { p.start(*s.title); },
                   [&](Form1& game) {
                       plainBadge = game.Picture3->image();
                       for (int i = 0; i < 10; ++i) {
                           click(game.Command2);
                           if (i == 0) QVERIFY(game.Picture3->image() != plainBadge); // 記録不可
                           answerRight(game, s.env, 500);
                       }
                       QVERIFY(game.Score >= 1900);
                   });
        QCOMPARE(Module1::HiScore, (std::array<std::int32_t, 3>{0, 0, 0}));
        const auto kept = history::loadDashboard(history::programHistory(), history::Period::All, p.kind,
                                                 QDateTime::currentDateTimeUtc());
        QCOMPARE(kept.games, 1);
    }
}

QTEST_MAIN(PracticeTest)
#include "tst_practice.moc"
