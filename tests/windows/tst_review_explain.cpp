// The 解説 window: silent during a problem; after an answer, every wait with its splits, the
// reasons for wrong marks and the missed waits; placed where it never covers the game window.

#include "review/explainwindow.h"
#include "review/tilepictures.h"
#include "testsupport.h"

#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

namespace {

using engine::Group;
using Kind = engine::Group::Kind;

// 11m 23m 456p 789s 東東東: waiting on 1m and 4m, both 両面 with the pair 11m.
engine::ProblemRecord ryanmenHand() {
    engine::ProblemRecord record;
    record.hand = {1, 1, 2, 3, 14, 15, 16, 27, 28, 29, 31, 31, 31};
    record.machi[1] = record.machi[4] = 1;
    return record;
}

engine::Explanation ryanmenExplanation() {
    const auto split = [](engine::Hai run) {
        return engine::Split{{Group{Kind::Pair, 1}, Group{Kind::Run, run}, Group{Kind::Run, 14},
                              Group{Kind::Run, 27}, Group{Kind::Triplet, 31}},
                             1,
                             engine::WaitShape::Ryanmen};
    };
    return engine::Explanation{{engine::Wait{1, {split(1)}}, engine::Wait{4, {split(2)}}}, {}};
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
  private slots:
    void duringAProblemNothingGivesTheAnswerAway();
    void afterARightAnswerEveryWaitWithItsSplitAndTheCompletingTileFramed();
    void afterAWrongAnswerReasonsForWrongMarksAndTheMissedWaits();
    void aHandThatIsNotReadySaysNoWaitAndWhy();
    void theReviewButtonShowsOnlyWhenOffered();
    void theShapesOfOneWaitAreNamedOnce();
    void placedClearOfTheWindowsBesideThenBelowThenAbove();
    void aWholeSplitShowsWithoutAHorizontalScrollBar();
};

void ExplainTest::duringAProblemNothingGivesTheAnswerAway() {
    testsupport::Environment env;
    review::ExplainWindow window;
    window.showAnswer(ryanmenHand(), ryanmenExplanation());
    window.showPending();
    QCOMPARE(window.plainText(), QStringLiteral("解答後に解説が表示されます。"));
    QVERIFY(window.pictures().empty());
    QCOMPARE(window.windowFlags() & Qt::WindowType_Mask, Qt::Tool);
    QCOMPARE(window.windowTitle(), QStringLiteral("解説"));
}

void ExplainTest::afterARightAnswerEveryWaitWithItsSplitAndTheCompletingTileFramed() {
    testsupport::Environment env;
    review::ExplainWindow window;
    auto record = ryanmenHand();
    record.kotae[1] = record.kotae[4] = 1;
    record.correct = true;
    window.showAnswer(record, ryanmenExplanation());
    const QString text = window.plainText();
    QVERIFY2(text.startsWith(QStringLiteral(
                 "正解\n待ち: 1萬・4萬（両面）\n1萬 残り2枚・4萬 残り4枚\n待ちの残り 計6枚\n両面")),
             qPrintable(text));
    QVERIFY(!text.contains(QStringLiteral("待ちではない")));
    QVERIFY(!text.contains(QStringLiteral("見逃した")));
    const auto pictures = window.pictures(); // the hand, the waiting part, one split per wait
    QCOMPARE(pictures.size(), std::size_t{4});
    QVERIFY(framedColumns(pictures[0]).empty());
    QCOMPARE(pictures[0].height(), review::SmallTileHeight + 4);
    // Real tiles from the sheet: the 1m and the 東 differ, and neither is blank.
    const QImage first = pictures[0].copy(1, 2, review::SmallTileWidth, review::SmallTileHeight);
    const QImage last =
        pictures[0].copy(1 + 12 * review::SmallTileWidth, 2, review::SmallTileWidth, review::SmallTileHeight);
    QVERIFY(first != last);
    QVERIFY(qAlpha(first.pixel(review::SmallTileWidth / 2, review::SmallTileHeight / 2)) == 255);
    // The waiting part 2m 3m, third and fourth of the hand, is framed; the two waits follow.
    const auto columns = framedColumns(pictures[1]);
    QVERIFY(!columns.empty());
    QVERIFY2(std::abs(columns.front() - (1 + 2 * review::SmallTileWidth)) <= 1,
             qPrintable(QString::number(columns.front())));
    QVERIFY(std::abs(columns.back() - (1 + 4 * review::SmallTileWidth)) <= 1);
    QVERIFY(pictures[1].width() > pictures[0].width() + 2 * review::SmallTileWidth);
    QCOMPARE(
        window.captions().mid(1, 2),
        QStringList(
            {QStringLiteral("2萬3萬 → 1萬・4萬"),
             QStringLiteral(
                 "1萬で和了: 雀頭 1萬1萬・順子 [1萬2萬3萬]・順子 4筒5筒6筒・順子 7索8索9索・刻子 東東東")}));
}

void ExplainTest::afterAWrongAnswerReasonsForWrongMarksAndTheMissedWaits() {
    testsupport::Environment env;
    review::ExplainWindow window;
    auto record = ryanmenHand();
    record.kotae[1] = record.kotae[7] = record.kotae[31] = 1;
    auto explanation = ryanmenExplanation();
    explanation.fifthCopies = {31}; // as if 東 finished a shape: the hand holds three, say four
    window.showAnswer(record, explanation);
    const QString text = window.plainText();
    QVERIFY2(text.startsWith(QStringLiteral("不正解\n")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("待ちではない牌\n7萬: どう分けても雀頭1つと面子4つになりません\n東: "
                                         "手牌に4枚あるので5枚目はありません\n見逃した待ち: 4萬")));
    QVERIFY(!text.contains(QStringLiteral("1萬: ")));
    // hand, waiting part, two splits, 7m, 東, the missed 4m
    QCOMPARE(window.pictures().size(), std::size_t{7});
}

void ExplainTest::aHandThatIsNotReadySaysNoWaitAndWhy() {
    testsupport::Environment env;
    review::ExplainWindow window;
    engine::ProblemRecord record; // 5555m 123p 456p 789p: only a fifth 5m would finish it
    record.hand = {5, 5, 5, 5, 11, 12, 13, 14, 15, 16, 17, 18, 19};
    window.showAnswer(record, engine::explain(record.hand));
    const QString text = window.plainText();
    // One account: a step from ready, because the one tile that would finish it is used up.
    QVERIFY2(text.contains(QStringLiteral("聴牌していません（1向聴）。有効牌: 1萬・2萬")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral(
        "5萬が来れば和了の形ですが、5萬は4枚とも手牌にあって使い切っているので、待ちにはなりません。")));
    QVERIFY(!text.contains(QStringLiteral("どの牌を加えても")));
    QVERIFY(!text.contains(QStringLiteral("待ち: ")));
    QVERIFY(!text.contains(QStringLiteral("5萬（残り")));
    QVERIFY(text.contains(QStringLiteral("1萬（残り4枚）を引いたら: 5萬を切れば1萬待ち")));
    QVERIFY(!text.contains(QStringLiteral("見逃した")));
}

void ExplainTest::theShapesOfOneWaitAreNamedOnce() {
    testsupport::Environment env;
    review::ExplainWindow window;
    // 1m waited on three ways: two of them 両面, one 単騎.
    auto explanation = ryanmenExplanation();
    auto& splits = explanation.waits[0].splits;
    splits.push_back(splits[0]);
    splits.push_back(splits[0]);
    splits.back().shape = engine::WaitShape::Tanki;
    window.showAnswer(ryanmenHand(), explanation);
    const QString list =
        window.plainText().split(QLatin1Char('\n')).filter(QStringLiteral("待ち: ")).value(0);
    const QString line = list.split(QStringLiteral("、")).filter(QStringLiteral("1萬（")).value(0);
    QCOMPARE(line.count(QStringLiteral("両面")), 1);
    QCOMPARE(line.count(QStringLiteral("単騎")), 1);
}

void ExplainTest::theReviewButtonShowsOnlyWhenOffered() {
    testsupport::Environment env;
    review::ExplainWindow window;
    window.show();
    auto* button = window.findChild<QPushButton*>();
    QVERIFY(button != nullptr);
    QCOMPARE(button->text(), QStringLiteral("振り返り"));
    QVERIFY(!button->isVisible());
    window.setReviewAvailable(true);
    QVERIFY(button->isVisible());
    QSignalSpy asked(&window, &review::ExplainWindow::reviewRequested);
    button->click();
    QCOMPARE(asked.count(), 1);
}

void ExplainTest::placedClearOfTheWindowsBesideThenBelowThenAbove() {
    const QRect big(0, 0, 1920, 1080), laptop(0, 0, 1024, 768);
    const QRect title(100, 100, 400, 300), game(500, 100, 600, 500);
    const QRect core = game.adjusted(0, 80, 0, 0);
    // At 1024 x 768 the title centred, the game window beside it.
    const QRect centredTitle(384, 236, 257, 295), centredGame(641, 236, 371, 297);
    const QSize explanation(420, 480), explanationLeast(420, 160), review(640, 700), reviewLeast(640, 300);
    const auto shifted = [](const QRect& r, int dx, int dy) { return r.translated(dx, dy); };
    struct Case {
        const char* where;
        review::Surroundings around;
        QSize size, least;
        QRect expected;
    };
    const std::vector<Case> cases{
        {"right of the pair",
         {game, core, title, {}, big},
         explanation,
         explanationLeast,
         {1100, 100, 420, 480}},
        {"left of it",
         {shifted(game, 700, 0), shifted(core, 700, 0), shifted(title, 700, 0), {}, big},
         explanation,
         explanationLeast,
         {380, 100, 420, 480}},
        {"below it",
         {game, core, title, {}, QRect(0, 0, 1200, 1080)},
         explanation,
         explanationLeast,
         {100, 600, 420, 480}},
        {"above it",
         {shifted(game, 0, 400), shifted(core, 0, 400), shifted(title, 0, 400), {}, QRect(0, 0, 1200, 1000)},
         explanation,
         explanationLeast,
         {100, 20, 420, 480}},
        {"below it, shorter",
         {centredGame, centredGame.adjusted(0, 80, 0, 0), centredTitle, {}, laptop},
         explanation,
         explanationLeast,
         {384, 533, 420, 235}},
        {"clear of the explanation too",
         {game, core, title, {{1100, 100, 420, 480}}, big},
         review,
         reviewLeast,
         {100, 600, 640, 480}},
        {"over the title, not the game",
         {centredGame, centredGame.adjusted(0, 80, 0, 0), centredTitle, {}, laptop},
         review,
         reviewLeast,
         {1, 68, 640, 700}},
        {"only off the hand and palette",
         {QRect(257, 0, 371, 297),
          QRect(258, 80, 369, 216),
          QRect(0, 0, 257, 295),
          {},
          QRect(0, 0, 800, 500)},
         review,
         reviewLeast,
         {160, 296, 640, 204}},
    };
    for (const Case& c : cases) {
        const QRect placed = review::placeClear(c.around, c.size, c.least);
        QVERIFY2(placed == c.expected, qPrintable(QStringLiteral("%1: %2,%3 %4x%5")
                                                      .arg(QString::fromLatin1(c.where))
                                                      .arg(placed.x())
                                                      .arg(placed.y())
                                                      .arg(placed.width())
                                                      .arg(placed.height())));
        QVERIFY(c.around.screen.contains(placed));
        QVERIFY(!placed.intersects(c.around.core));
    }
}

void ExplainTest::aWholeSplitShowsWithoutAHorizontalScrollBar() {
    testsupport::Environment env;
    review::ExplainWindow window;
    window.showAnswer(ryanmenHand(), ryanmenExplanation());
    // Too little room beside the game window for the window's width: shorter, never narrower.
    review::moveClear(&window, &window, {{0, 0, 600, 500}, {0, 80, 600, 420}, {}, {}, {0, 0, 900, 700}});
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.y(), 500);
    QVERIFY(!window.findChild<QScrollArea*>()->horizontalScrollBar()->isVisible());
}

QTEST_MAIN(ExplainTest)
#include "tst_review_explain.moc"
