// What the 解説 window teaches about a hand: the waiting part among the 13 tiles, the named
// groups, the copies left, the readings gathered, and how far a hand that is not ready is.

#include "engine/explain.h"
#include "review/explainwindow.h"
#include "review/tilepictures.h"
#include "testsupport.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

namespace {

engine::ProblemRecord recordOf(std::array<engine::Hai, 13> hand) {
    engine::ProblemRecord record;
    record.hand = hand;
    return record;
}

} // namespace

class TeachingTest : public QObject {
    Q_OBJECT
    testsupport::Environment env;
  private slots:
    void aShanponHandShowsEachPairAsTheWaitingPartOfTheSortedHand();
    void readingsOfOneWaitingPartAreShownOnceAndTheRestOpenOnRequest();
    void aHandNotReadySaysHowFarWhatToDrawAndThrowAndOnceWhyAFifthIsNoWait();
};

void TeachingTest::aShanponHandShowsEachPairAsTheWaitingPartOfTheSortedHand() {
    review::ExplainWindow window;
    // 123m 456p 789s 東東 6m6m, shown shuffled as with 理牌 off.
    const std::array<engine::Hai, 13> sorted{1, 2, 3, 6, 6, 14, 15, 16, 27, 28, 29, 31, 31};
    const auto record = recordOf({31, 14, 6, 2, 29, 15, 31, 1, 27, 16, 3, 28, 6});
    window.showAnswer(record, engine::explain(record.hand));
    QCOMPARE(window.plainText().section(QLatin1Char('\n'), 0, 5),
             QStringLiteral(
                 "不正解\n待ち: 6萬・東（双碰）\n6萬 残り2枚・東 残り2枚\n待ちの残り 計4枚\n双碰\n双碰"));
    // The hand is drawn sorted, whatever order the game showed it in.
    QCOMPARE(window.pictures().front(), review::tileRow({sorted.begin(), sorted.end()}));
    QCOMPARE(window.captions().mid(1, 4).join(QLatin1Char('\n')),
             QStringLiteral(
                 "6萬6萬 → 6萬\n"
                 "6萬で和了: 雀頭 東東・順子 1萬2萬3萬・刻子 [6萬6萬6萬]・順子 4筒5筒6筒・順子 7索8索9索\n"
                 "東東 → 東\n"
                 "東で和了: 雀頭 6萬6萬・順子 1萬2萬3萬・順子 4筒5筒6筒・順子 7索8索9索・刻子 [東東東]"));
    // Every shape name explains itself.
    for (const QLabel* label : window.findChildren<QLabel*>())
        if (label->text() == QStringLiteral("双碰"))
            QVERIFY(label->toolTip().contains(QStringLiteral("対子が2組")));
}

void TeachingTest::readingsOfOneWaitingPartAreShownOnceAndTheRestOpenOnRequest() {
    review::ExplainWindow window;
    // 1112223334445m on 5m: the lone 5m in three splits (111 222 333 444, 111 234 234 234,
    // 123 123 123 444), shown once with the other two behind a button.
    const auto record = recordOf({1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5});
    window.showAnswer(record, engine::explain(record.hand));
    QVERIFY(window.plainText().startsWith(QStringLiteral(
        "不正解\n待ち: "
        "2萬・5萬（両面・単騎）、3萬（両面・嵌張・辺張・双碰）、4萬（嵌張・双碰）、6萬（両面）\n")));
    QPushButton* more = nullptr;
    for (auto* button : window.findChildren<QPushButton*>())
        if (button->text() == QStringLiteral("ほか2通りの分け方")) more = button;
    QVERIFY(more != nullptr);
    const auto shown = window.pictures().size();
    const auto lone5 = [&] {
        return window.captions().filter(QStringLiteral("5萬で和了: 雀頭 [5萬5萬]")).size();
    };
    QCOMPARE(lone5(), 1);
    more->click();
    QCOMPARE(window.pictures().size(), shown + 2);
    QCOMPARE(lone5(), 3);
    more->click();
    QCOMPARE(window.pictures().size(), shown);
}

void TeachingTest::aHandNotReadySaysHowFarWhatToDrawAndThrowAndOnceWhyAFifthIsNoWait() {
    const struct {
        std::array<engine::Hai, 13> hand;
        const char* start; // the first lines
        int lines;
    } cases[] = {
        // 23m 5m 東 beside 123456789p: the pair from 5m or 東, 23m finished, or 22m beside 35m.
        {{2, 3, 5, 11, 12, 13, 14, 15, 16, 17, 18, 19, 31},
         "不正解\n聴牌していません（1向聴）。有効牌: 1萬・2萬・4萬・5萬・東（計17枚）\n"
         "1萬（残り4枚）を引いたら: 5萬を切れば東待ち、東を切れば5萬待ち\n"
         "2萬（残り3枚）を引いたら: 東を切れば4萬待ち\n"
         "4萬（残り4枚）を引いたら: 2萬を切れば東待ち、5萬を切れば東待ち、東を切れば2萬・5萬待ち\n"
         "5萬（残り3枚）を引いたら: 東を切れば1萬・4萬待ち\n"
         "東（残り3枚）を引いたら: 2萬を切れば4萬待ち、5萬を切れば1萬・4萬待ち",
         7},
        // 5555m 123456789p: a step from ready, as the one tile that would finish it is used up.
        {{5, 5, 5, 5, 11, 12, 13, 14, 15, 16, 17, 18, 19},
         "不正解\n聴牌していません（1向聴）。有効牌: "
         "1萬・2萬・3萬・4萬・6萬・7萬・8萬・9萬・1筒・2筒・3筒・4筒・5筒・"
         "6筒・7筒・8筒・9筒・1索・2索・3索・4索・5索・6索・7索・8索・9索・東・南・西・北・發・中・白（計123"
         "枚）\n"
         "5萬が来れば和了の形ですが、5萬は4枚とも手牌にあって使い切っているので、待ちにはなりません。\n"
         "1萬（残り4枚）を引いたら: 5萬を切れば1萬待ち\n",
         36},
        // Two steps away: every discard that brings it a step closer.
        {{2, 5, 11, 12, 13, 14, 15, 16, 17, 18, 19, 31, 33},
         "不正解\n聴牌していません（2向聴）。有効牌: 1萬・2萬・3萬・4萬・5萬・6萬・7萬・東・西（計32枚）\n"
         "1萬（残り4枚）を引いたら: 5萬・東・西のどれかを切れば1向聴\n",
         11},
    };
    for (const auto& c : cases) {
        review::ExplainWindow window;
        window.showAnswer(recordOf(c.hand), engine::explain(c.hand));
        const QString text = window.plainText(), start = QString::fromUtf8(c.start);
        QCOMPARE(text.left(start.size()), start);
        QCOMPARE(text.count(QLatin1Char('\n')) + 1, c.lines);
        QVERIFY(window.captions().value(1).startsWith(QStringLiteral("有効牌: 1萬・2萬・")));
    }
}

QTEST_MAIN(TeachingTest)
#include "tst_explain_teaching.moc"
