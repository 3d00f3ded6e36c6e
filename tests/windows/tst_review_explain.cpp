// The 解説 window: silent during a problem; after an answer, every wait with its splits, the
// reasons for wrong marks and the missed waits; placed where it never covers the game window.

#include "review/explainwindow.h"
#include "review/tilepictures.h"
#include "testsupport.h"

#include <QPushButton>
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
    void placedBesideThePairAndNeverOverTheGameWindow();
    void aWideWindowIsMadeNarrowerToStayOnTheScreenOffTheGame();
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

void ExplainTest::placedBesideThePairAndNeverOverTheGameWindow() {
    const QRect screen(0, 0, 1920, 1080);
    const QSize size(420, 480);
    const QRect title(100, 100, 400, 300), game(500, 100, 600, 500);
    const QRect pair = title.united(game);
    QCOMPARE(review::placeBeside(pair, game, size, screen), QRect(QPoint(1100, 100), size)); // right
    const QRect wide = pair.translated(700, 0);
    QCOMPARE(review::placeBeside(wide, game.translated(700, 0), size, screen).topLeft(),
             QPoint(380, 100)); // left
    const QRect narrow(0, 0, 1200, 1080);
    QCOMPARE(review::placeBeside(pair, game, size, narrow).topLeft(), QPoint(100, 600)); // below
    // Nowhere to put it whole beside the pair: whole on the screen, off the game window.
    const QRect cramped(0, 0, 1100, 650);
    const QRect placed = review::placeBeside(pair, game, size, cramped);
    QVERIFY(cramped.contains(placed));
    QVERIFY(!placed.intersects(game));
    QCOMPARE(placed.size(), size);
}

void ExplainTest::aWideWindowIsMadeNarrowerToStayOnTheScreenOffTheGame() {
    // The title window at the screen's right edge, the game window left of it.
    const QRect screen(0, 0, 1280, 800);
    const QRect game(600, 0, 480, 500), title(1080, 0, 200, 300);
    const QSize size(760, 720), least(380, 360);
    const QRect placed = review::placeBeside(title.united(game), game, size, screen, least);
    QVERIFY(screen.contains(placed));
    QVERIFY(!placed.intersects(game));
    QCOMPARE(placed, QRect(0, 0, 600, 720));
    // Taller than the screen too: shorter as well.
    const QRect low(0, 0, 1280, 600);
    QCOMPARE(review::placeBeside(title.united(game), game, size, low, least), QRect(0, 0, 600, 600));
    // No room off the game window that holds even the least size: on the screen, over it.
    const QRect tight(0, 0, 900, 600);
    const QRect over =
        review::placeBeside(QRect(100, 0, 800, 550), QRect(100, 0, 600, 550), size, tight, least);
    QVERIFY(tight.contains(over));
    QCOMPARE(over.size(), QSize(760, 600));
}

QTEST_MAIN(ExplainTest)
#include "tst_review_explain.moc"
