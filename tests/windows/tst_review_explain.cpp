// The 解説 window after an answer: every wait with its splits, the reasons for wrong marks and
// the missed waits; placed where it never covers the game window.

#include "engine/explain.h"
#include "review/explainwindow.h"
#include "review/tilepictures.h"
#include "testsupport.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QtTest>

namespace {

// 11m 23p 456s 789s 東東東: waiting on 1p and 4p, both 両面.
engine::ProblemRecord ryanmenHand() {
    engine::ProblemRecord record;
    record.hand = {1, 1, 12, 13, 24, 25, 26, 27, 28, 29, 31, 31, 31};
    record.machi[11] = record.machi[14] = 1;
    return record;
}

// Columns of the frame that picks out the completing tile.
std::vector<int> framedColumns(const QImage& picture) {
    std::vector<int> columns;
    for (int x = 0; x < picture.width(); ++x)
        for (int y = 0; y < picture.height(); ++y)
            if (picture.pixel(x, y) == review::PickedOut) {
                columns.push_back(x);
                break;
            }
    return columns;
}

} // namespace

class ExplainTest : public QObject {
    Q_OBJECT
    testsupport::Environment env;
  private slots:
    void afterARightAnswerEveryWaitWithItsSplitAndTheCompletingTileFramed();
    void afterAWrongAnswerReasonsForWrongMarksAndTheMissedWaits();
    void placedClearOfTheWindowsBesideThenBelowThenAbove();
    void aWholeSplitShowsWithoutAHorizontalScrollBar();
};

void ExplainTest::afterARightAnswerEveryWaitWithItsSplitAndTheCompletingTileFramed() {
    review::ExplainWindow window;
    auto record = ryanmenHand();
    record.kotae[11] = record.kotae[14] = 1;
    record.correct = true;
    window.showAnswer(record, engine::explain(record.hand));
    QCOMPARE(
        window.plainText(),
        QStringLiteral("正解\n待ち: 1筒・4筒（両面）\n1筒 残り4枚・4筒 残り4枚\n待ちの残り 計8枚\n両面"));
    const auto pictures = window.pictures(); // the hand, the waiting part, one split per wait
    QCOMPARE(pictures.size(), std::size_t{4});
    QVERIFY(framedColumns(pictures[0]).empty());
    // The waiting part 2p 3p, third and fourth of the hand, is framed; the two waits follow.
    const auto columns = framedColumns(pictures[1]);
    QVERIFY(!columns.empty());
    QVERIFY2(std::abs(columns.front() - (1 + 2 * review::SmallTileWidth)) <= 1,
             qPrintable(QString::number(columns.front())));
    QVERIFY(std::abs(columns.back() - (1 + 4 * review::SmallTileWidth)) <= 1);
    QVERIFY(pictures[1].width() > pictures[0].width() + 2 * review::SmallTileWidth);
    QCOMPARE(window.captions().mid(1, 2).join(QLatin1Char('\n')),
             QStringLiteral(
                 "2筒3筒 → 1筒・4筒\n"
                 "1筒で和了: 雀頭 1萬1萬・順子 [1筒2筒3筒]・順子 4索5索6索・順子 7索8索9索・刻子 東東東"));
}

void ExplainTest::afterAWrongAnswerReasonsForWrongMarksAndTheMissedWaits() {
    review::ExplainWindow window;
    auto record = ryanmenHand();
    record.kotae[11] = record.kotae[7] = record.kotae[31] = 1;
    auto explanation = engine::explain(record.hand);
    explanation.fifthCopies = {31}; // as if 東 finished a shape: the hand holds three, say four
    window.showAnswer(record, explanation);
    QCOMPARE(
        window.plainText(),
        QStringLiteral("不正解\n待ち: 1筒・4筒（両面）\n1筒 残り4枚・4筒 残り4枚\n待ちの残り 計8枚\n両面\n"
                       "待ちではない牌\n7萬: どう分けても雀頭1つと面子4つになりません\n"
                       "東: 手牌に4枚あるので5枚目はありません\n見逃した待ち: 4筒"));
    // hand, waiting part, two splits, 7m, 東, the missed 4p
    QCOMPARE(window.pictures().size(), std::size_t{7});
}

void ExplainTest::placedClearOfTheWindowsBesideThenBelowThenAbove() {
    const QRect title(100, 100, 400, 300), game(500, 100, 600, 500);
    // The title and game windows moved by (dx, dy) on a screen of w x h.
    const auto at = [&](int dx, int dy, int w, int h) {
        const QRect g = game.translated(dx, dy);
        return review::Surroundings{g, g.adjusted(0, 80, 0, 0), title.translated(dx, dy), {}, {0, 0, w, h}};
    };
    // At 1024 x 768 the title centred, the game window beside it.
    const QRect centredGame(641, 236, 371, 297);
    const review::Surroundings laptop{
        centredGame, centredGame.adjusted(0, 80, 0, 0), {384, 236, 257, 295}, {}, {0, 0, 1024, 768}};
    auto besideExplanation = at(0, 0, 1920, 1080);
    besideExplanation.others = {{1100, 100, 420, 480}};
    const review::Surroundings small{
        {257, 0, 371, 297}, {258, 80, 369, 216}, {0, 0, 257, 295}, {}, {0, 0, 800, 500}};
    const struct {
        const char* where;
        review::Surroundings around;
        bool review; // the review window, else the explanation
        QRect expected;
    } cases[] = {
        {"right of the pair", at(0, 0, 1920, 1080), false, {1100, 100, 420, 480}},
        {"left of it", at(700, 0, 1920, 1080), false, {380, 100, 420, 480}},
        {"below it", at(0, 0, 1200, 1080), false, {100, 600, 420, 480}},
        {"above it", at(0, 400, 1200, 1000), false, {100, 20, 420, 480}},
        {"below it, shorter", laptop, false, {384, 533, 420, 235}},
        {"clear of the explanation too", besideExplanation, true, {100, 600, 640, 480}},
        {"over the title, not the game", laptop, true, {1, 68, 640, 700}},
        {"only off the hand and palette", small, true, {160, 296, 640, 204}},
    };
    for (const auto& c : cases) {
        const QRect placed = c.review ? review::placeClear(c.around, {640, 700}, {640, 300})
                                      : review::placeClear(c.around, {420, 480}, {420, 160});
        if (placed != c.expected) qWarning() << c.where;
        QCOMPARE(placed, c.expected);
        QVERIFY(c.around.screen.contains(placed));
        QVERIFY(!placed.intersects(c.around.core));
    }
}

void ExplainTest::aWholeSplitShowsWithoutAHorizontalScrollBar() {
    review::ExplainWindow window;
    window.showAnswer(ryanmenHand(), engine::explain(ryanmenHand().hand));
    // Too little room beside the game window for the window's width: shorter, never narrower.
    review::moveClear(&window, &window, {{0, 0, 600, 500}, {0, 80, 600, 420}, {}, {}, {0, 0, 900, 700}});
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.y(), 500);
    QVERIFY(!window.findChild<QScrollArea*>()->horizontalScrollBar()->isVisible());
}

QTEST_MAIN(ExplainTest)
#include "tst_review_explain.moc"
