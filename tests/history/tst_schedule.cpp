// The 復習 schedule kept in the history database, with days the test sets.

#include "history/history.h"
#include "history/schedule.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

using engine::GameKind;
using history::Hand;

// A different ready hand for each n, its tiles out of order as a shuffled hand is shown.
Hand hand(int n) {
    Hand h{1, 2, 3, 4, 5, 6, 7, 8, 9, 31, 31, 11, 13};
    h[11] = static_cast<engine::Hai>(11 + n % 7);
    h[12] = static_cast<engine::Hai>(13 + n % 7);
    if (n >= 7) h[9] = h[10] = static_cast<engine::Hai>(32 + n % 5);
    std::swap(h[0], h[static_cast<std::size_t>(n % 11)]);
    return h;
}

bool answer(history::History& store, GameKind kind, int n, bool correct, std::int64_t day) {
    engine::ProblemRecord record;
    record.hand = hand(n);
    record.correct = correct;
    return history::scheduleAnswer(store, kind, record, day);
}

} // namespace

class ScheduleTest : public QObject {
    Q_OBJECT
  private slots:
    void boxesAndDueDaysFollowTheAnswersOfEachDay();
    void theDueHandsComeLongestDueFirstAtMostTenAsShown();

  private:
    QTemporaryDir dir;
};

void ScheduleTest::boxesAndDueDaysFollowTheAnswersOfEachDay() {
    history::History store(dir.filePath("a.sqlite3"));
    using E = engine::ScheduleEntry;
    struct Step {
        GameKind kind;
        int hand;
        bool correct;
        std::int64_t day;
        std::optional<E> after;
        int dueThatDay; // the count the menu shows
    };
    const Step steps[] = {
        {GameKind::Normal, 1, false, 0, E{1, 1}, 0},      // missed on day 0: due day 1
        {GameKind::Review, 1, true, 1, E{2, 4}, 0},       // then 3 days
        {GameKind::Review, 1, true, 4, E{3, 11}, 0},      // 7 days
        {GameKind::Review, 1, true, 11, E{4, 32}, 0},     // 21 days
        {GameKind::Review, 1, true, 32, {}, 0},           // retired
        {GameKind::Normal, 2, true, 32, {}, 0},           // right at once: never enters
        {GameKind::Daily, 3, false, 40, E{1, 41}, 0},     // any kind of game
        {GameKind::Normal, 3, true, 41, E{1, 41}, 1},     // met again elsewhere: no move up
        {GameKind::Review, 3, true, 41, E{2, 44}, 0},     //
        {GameKind::Review, 3, true, 44, E{3, 51}, 0},     //
        {GameKind::WeakShape, 3, false, 51, E{1, 52}, 0}, // wrong from box 3: box 1
        {GameKind::Code, 4, false, 51, E{1, 52}, 0},      //
    };
    for (const Step& s : steps) {
        QVERIFY(answer(store, s.kind, s.hand, s.correct, s.day));
        QCOMPARE(history::scheduleOf(store, hand(s.hand)), s.after);
        QCOMPARE(history::dueCount(store, s.day), s.dueThatDay);
    }
    QCOMPARE(history::dueCount(store, 52), 2);
}

void ScheduleTest::theDueHandsComeLongestDueFirstAtMostTenAsShown() {
    history::History store(dir.filePath("b.sqlite3"));
    for (int n = 0; n < 12; ++n)
        QVERIFY(answer(store, GameKind::Normal, n, false, 50 - n)); // later n, earlier day
    QCOMPARE(history::dueCount(store, 51), 12);
    QCOMPARE(history::dueCount(store, 45), 6); // missed on day 44 or before
    const auto due = history::dueHands(store, 51);
    QCOMPARE(due.size(), std::size_t{10});
    for (std::size_t i = 0; i < due.size(); ++i) QCOMPARE(due[i], hand(11 - static_cast<int>(i)));
    QVERIFY(history::dueHands(store, 39).empty());
}

QTEST_GUILESS_MAIN(ScheduleTest)
#include "tst_schedule.moc"
