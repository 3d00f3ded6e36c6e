// The 復習 schedule kept in the history database, with days the test sets.

#include "history/history.h"
#include "history/schedule.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

using history::Hand;

engine::ProblemRecord answered(const Hand& hand, bool correct) {
    engine::ProblemRecord record;
    record.hand = hand;
    record.correct = correct;
    return record;
}

// A ready hand per number, its tiles in the order shown: 123m 456m 789m 11z and a two-tile shape.
Hand hand(int n) {
    Hand h{1, 2, 3, 4, 5, 6, 7, 8, 9, 31, 31, 0, 0};
    h[11] = static_cast<engine::Hai>(11 + n % 7);
    h[12] = static_cast<engine::Hai>(13 + n % 7);
    std::swap(h[0], h[static_cast<std::size_t>(n % 11)]); // shown out of order
    if (n >= 7) h[9] = h[10] = static_cast<engine::Hai>(32 + (n - 7) % 5);
    return h;
}

} // namespace

class ScheduleTest : public QObject {
    Q_OBJECT
  private slots:
    void init() { QVERIFY(dir.isValid()); }
    void aMissComesBackAfterOneThreeSevenAndTwentyOneDays();
    void aWrongAnswerInAnyBoxGoesBackToBoxOne();
    void handsAnsweredRightNeverEnterAndOtherGamesMoveNothingUp();
    void theDueHandsComeLongestDueFirstAtMostTenAsShown();

  private:
    QTemporaryDir dir;
};

void ScheduleTest::aMissComesBackAfterOneThreeSevenAndTwentyOneDays() {
    history::History store(dir.filePath("a.sqlite3"));
    const Hand h = hand(1);
    QVERIFY(history::scheduleAnswer(store, engine::GameKind::Normal, answered(h, false), 0));
    struct Step {
        std::int64_t day; // the day it is answered right in 復習
        int box;          // where it goes
        std::int64_t due;
    };
    const Step steps[] = {{1, 2, 4}, {4, 3, 11}, {11, 4, 32}};
    QCOMPARE(history::dueCount(store, 0), 0);
    QCOMPARE(history::dueCount(store, 1), 1);
    for (const Step& s : steps) {
        QVERIFY(history::scheduleAnswer(store, engine::GameKind::Review, answered(h, true), s.day));
        QCOMPARE(history::scheduleOf(store, h), (engine::ScheduleEntry{s.box, s.due}));
        QCOMPARE(history::dueCount(store, s.due - 1), 0);
        QCOMPARE(history::dueCount(store, s.due), 1);
    }
    QVERIFY(history::scheduleAnswer(store, engine::GameKind::Review, answered(h, true), 32));
    QVERIFY(!history::scheduleOf(store, h)); // retired
    QCOMPARE(history::dueCount(store, 10000), 0);
}

void ScheduleTest::aWrongAnswerInAnyBoxGoesBackToBoxOne() {
    history::History store(dir.filePath("b.sqlite3"));
    for (int box = 1; box <= engine::LastBox; ++box) {
        const Hand h = hand(box);
        std::int64_t day = 100;
        QVERIFY(history::scheduleAnswer(store, engine::GameKind::Normal, answered(h, false), day));
        for (int up = 1; up < box; ++up) {
            day = history::scheduleOf(store, h)->dueDay;
            QVERIFY(history::scheduleAnswer(store, engine::GameKind::Review, answered(h, true), day));
        }
        QCOMPARE(history::scheduleOf(store, h)->box, box);
        QVERIFY(history::scheduleAnswer(store, engine::GameKind::Review, answered(h, false), day + 2));
        QCOMPARE(history::scheduleOf(store, h), (engine::ScheduleEntry{1, day + 3}));
    }
}

void ScheduleTest::handsAnsweredRightNeverEnterAndOtherGamesMoveNothingUp() {
    history::History store(dir.filePath("c.sqlite3"));
    for (const auto kind : {engine::GameKind::Normal, engine::GameKind::Code, engine::GameKind::Review,
                            engine::GameKind::WeakShape, engine::GameKind::Daily}) {
        QVERIFY(history::scheduleAnswer(store, kind, answered(hand(2), true), 5));
        QVERIFY(!history::scheduleOf(store, hand(2)));
    }
    QCOMPARE(history::dueCount(store, 1000), 0);
    // A missed hand met again by chance in another game and answered right keeps its place.
    QVERIFY(history::scheduleAnswer(store, engine::GameKind::Daily, answered(hand(3), false), 5));
    QVERIFY(history::scheduleAnswer(store, engine::GameKind::Normal, answered(hand(3), true), 6));
    QCOMPARE(history::scheduleOf(store, hand(3)), (engine::ScheduleEntry{1, 6}));
}

void ScheduleTest::theDueHandsComeLongestDueFirstAtMostTenAsShown() {
    history::History store(dir.filePath("d.sqlite3"));
    // Twelve misses, the later numbers on earlier days.
    for (int n = 0; n < 12; ++n)
        QVERIFY(history::scheduleAnswer(store, engine::GameKind::Normal, answered(hand(n), false), 50 - n));
    QCOMPARE(history::dueCount(store, 51), 12);
    QCOMPARE(history::dueCount(store, 45), 6); // missed on day 44 or before
    const auto due = history::dueHands(store, 51);
    QCOMPARE(due.size(), std::size_t{10});
    for (std::size_t i = 0; i < due.size(); ++i) QCOMPARE(due[i], hand(11 - static_cast<int>(i)));
    QCOMPARE(history::dueHands(store, 45, 3).size(), std::size_t{3});
    QVERIFY(history::dueHands(store, 39).empty());
}

QTEST_GUILESS_MAIN(ScheduleTest)
#include "tst_schedule.moc"
