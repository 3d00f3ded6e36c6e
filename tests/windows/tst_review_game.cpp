// Codes, the 解説 window and the 振り返り review as the game and title windows use them.

#include "engine/gamecode.h"
#include "review/explainwindow.h"
#include "review/reviewwindow.h"
#include "review/tilepictures.h"
#include "tst_game.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QScrollBar>
#include <QTableWidget>

using namespace gametest;

namespace {

std::vector<std::array<engine::Hai, 13>> handsOf(const Form1& game) {
    std::vector<std::array<engine::Hai, 13>> hands;
    for (const auto& record : game.records()) hands.push_back(record.hand);
    return hands;
}

// The texts of the menu a right-click at `at` opens on the game window; empty if none opens.
QString menuAt(Form1& game, QPoint at) {
    QStringList texts;
    QTimer::singleShot(50, [&texts] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            for (const QAction* action : menu->actions())
                texts << action->text() + (action->isEnabled() ? QString() : QStringLiteral("(無効)"));
            menu->close();
        }
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, game.mapToGlobal(at));
    QApplication::sendEvent(&game, &event);
    QTest::qWait(100);
    return texts.join(' ');
}

// A row as the review shows it: the marks and the waits (their tooltips), time, points, verdict.
QString rowText(const QTableWidget* table, int row) {
    QStringList cells{table->item(row, 1)->toolTip(), table->item(row, 2)->toolTip()};
    for (int column = 3; column <= 5; ++column) cells << table->item(row, column)->text();
    return cells.join('|');
}

} // namespace

class ReviewGameTest : public QObject {
    Q_OBJECT
  private slots:
    void aCodeGivesTheSameTenHandsAndNeverSetsARecord();
    void aCodeGameShowsItsBadgeAndCodeFromTheStart();
    void theExplanationRevealsNothingUntilTheAnswer();
    void theReviewIsOfferedAtTheTenthAnswerAndListsTheTen();
    void aMistypedCodeIsRefusedWithAMessage();
    void theReviewAndExplanationStayOnTheScreenBesideATitleAtItsRightEdge();
};

void ReviewGameTest::aCodeGivesTheSameTenHandsAndNeverSetsARecord() {
    Session s(2);
    Module1::NotenOK = 1;
    Module1::SortHai = 0;
    Form1& first = s.open();
    playProblems(first, s.env, 3000);
    const engine::GameCode code = first.gameCode();
    QCOMPARE(code, (engine::GameCode{2, true, false, Seed}));
    const auto hands = handsOf(first);
    QCOMPARE(hands.size(), std::size_t{10});

    // Other settings now, another seed: the code still brings back the same game.
    Module1::Level = 0;
    Module1::NotenOK = 0;
    Module1::SortHai = 1;
    Form1::setSeedSource([] { return 99u; });
    Form1& second = s.open();
    second.playCode(*engine::decodeGameCode(engine::encodeGameCode(code)));
    playProblems(second, s.env, 1000);
    QCOMPARE(handsOf(second), hands);
    QCOMPARE(second.gameCode(), code);
    QCOMPARE(Module1::NotenOK, std::int16_t{0}); // the settings themselves stay
    QVERIFY(second.Score >= 1000);               // ten right answers, yet a code game sets no record
    QCOMPARE(Module1::HiScore, (std::array<std::int32_t, 3>{}));
}

void ReviewGameTest::aCodeGameShowsItsBadgeAndCodeFromTheStart() {
    Session s(0);
    const engine::GameCode code{2, false, false, Seed};
    const QString text = QString::fromStdString(engine::encodeGameCode(code));
    // Opened from the title at another level: its own level's badge, its code and 記録不可 at once.
    QImage badge;
    QString caption;
    testsupport::whenModalShows("Form1", [&](QWidget* w) {
        badge = static_cast<Form1*>(w)->Picture3->image();
        caption = w->windowTitle();
        w->close();
    });
    s.title->playCode(text);
    QVERIFY2(caption.contains(text), qPrintable(caption));
    Form1 plain(nullptr, s.title->Picture2[2]->Picture());
    QVERIFY(badge != plain.Picture3->image()); // 最高得点 記録不可 written over it
    Form1 same(nullptr, s.title->Picture2[2]->Picture());
    same.playCode(code);
    QCOMPARE(badge, same.Picture3->image());
}

void ReviewGameTest::theExplanationRevealsNothingUntilTheAnswer() {
    Session s(1);
    s.title->show();
    Form1& game = s.openActive();
    QTest::keyClick(&game, Qt::Key_F2);
    review::ExplainWindow* window = game.explainWindow();
    QVERIFY(window->isVisible());
    QCOMPARE(window->windowFlags() & Qt::WindowType_Mask, Qt::Tool);
    QCOMPARE(window->windowTitle(), QStringLiteral("解説"));
    click(game.Command2);
    QCOMPARE(window->plainText(), QStringLiteral("解答後に解説が表示されます。"));
    markWaits(game);
    click(game.Command1);
    QVERIFY2(window->plainText().startsWith(QStringLiteral("正解\n待ち: ")), qPrintable(window->plainText()));
    click(game.Command2);
    QCOMPARE(window->plainText(), QStringLiteral("解答後に解説が表示されます。"));
    QVERIFY(window->pictures().empty()); // nor the last hand's pictures
    click(game.Command1);                // nothing marked: every wait is missed
    const QString wrong = window->plainText();
    QVERIFY2(wrong.startsWith(QStringLiteral("不正解\n")), qPrintable(wrong));
    QVERIFY(wrong.contains(QStringLiteral("見逃した待ち: ")) || wrong.contains(QStringLiteral("待ちなし")));
    QTest::keyClick(&game, Qt::Key_F2);
    QVERIFY(!window->isVisible());
}

// The menu (opened off the palette only) and the explanation's button offer the review from the
// tenth answer on; it lists the ten problems, opens on the first and copies the code.
void ReviewGameTest::theReviewIsOfferedAtTheTenthAnswerAndListsTheTen() {
    Session s(0);
    Form1& game = s.openActive();
    QTest::keyClick(&game, Qt::Key_F2); // the explanation open from the start
    auto* button = game.explainWindow()->findChild<QPushButton*>();
    const QString offered = QStringLiteral("解説を隠す 振り返り"); // the explanation is open
    QCOMPARE(menuAt(game, game.Command3->geometry().center() + QPoint(0, 40)), offered + "(無効)");
    QVERIFY(menuAt(game, game.Picture1->geometry().center()).isEmpty());
    click(game.Command2);
    s.env.advance(2000);
    click(game.Command1); // nothing marked: wrong
    playProblems(game, s.env, 2500, 8);
    QCOMPARE(menuAt(game, QPoint(5, 5)), offered + "(無効)");
    QVERIFY(!button->isVisible());
    playProblems(game, s.env, 2500, 1);
    QCOMPARE(menuAt(game, QPoint(5, 5)), offered);
    QVERIFY(button->isVisible());
    QCOMPARE(button->text(), QStringLiteral("振り返り"));
    button->click();
    QCOMPARE(game.findChildren<review::ReviewWindow*>().size(), 1);
    game.openReview(); // chosen again: the same window, to the front
    QCOMPARE(game.findChildren<review::ReviewWindow*>().size(), 1);
    auto* review = game.findChild<review::ReviewWindow*>();
    QCOMPARE(review->table()->rowCount(), 10);
    // Opened on the first problem, the wrong one: no marks, no points, the waits shown.
    QVERIFY(review->explanation()->plainText().startsWith(QStringLiteral("不正解\n")));
    QStringList waits;
    for (int k = 1; k <= 37; ++k)
        if (game.records()[0].machi[static_cast<std::size_t>(k)] != 0)
            waits << review::tileName(static_cast<engine::Hai>(k));
    QCOMPARE(rowText(review->table(), 0), "|" + waits.join(QStringLiteral("・")) + "|2.0秒|0点|不正解");
    QCOMPARE(rowText(review->table(), 3).section('|', 2),
             QStringLiteral("2.5秒|%1点|正解").arg(game.records()[3].points));
    QCOMPARE(review->codeText(), QString::fromStdString(engine::encodeGameCode(game.gameCode())));
    review->table()->selectRow(7);
    QVERIFY(review->explanation()->plainText().startsWith(QStringLiteral("正解\n")));
    auto* copy = review->findChild<QPushButton*>();
    QCOMPARE(copy->text(), QStringLiteral("コードをコピー"));
    click(copy);
    QCOMPARE(QGuiApplication::clipboard()->text(), review->codeText());
    QCOMPARE(review->findChild<QLabel*>("Copied")->text(), QStringLiteral("コピーしました"));

    Form1& later = s.openActive();
    playProblems(later, s.env, 2000);
    later.toggleExplanation(); // first opened after the tenth answer
    QVERIFY(later.explainWindow()->findChild<QPushButton*>()->isVisible());
}

void ReviewGameTest::aMistypedCodeIsRefusedWithAMessage() {
    Session s(0);
    // As a Japanese input method types it: full width, ー for the hyphens, spaces, a line end.
    QString wide;
    for (const QChar c : QString::fromStdString(engine::encodeGameCode({2, true, false, 77u})))
        wide += c == QLatin1Char('-') ? QStringLiteral("ー\u3000") : QString(QChar(c.unicode() + 0xFEE0));
    engine::GameCode opened;
    testsupport::whenModalShows("Form1", [&opened](QWidget* w) {
        opened = static_cast<Form1*>(w)->gameCode();
        w->close();
    });
    s.title->playCode(wide + QStringLiteral("\t\n"));
    QCOMPARE(opened, (engine::GameCode{2, true, false, 77u}));
    QCOMPARE(Module1::Level, 0);

    // Refused: two characters swapped; a pasted page, of which the message shows the start and
    // still fits the screen; --code as the last argument.
    std::string swapped = engine::encodeGameCode({1, false, true, 4242u});
    std::swap(swapped[0], swapped[1]);
    const QString bad = QStringLiteral("対局コードが正しくありません。\n");
    const std::pair<std::function<void()>, QString> refusals[] = {
        {[&] { s.title->playCode(QString::fromStdString(swapped)); }, bad + QString::fromStdString(swapped)},
        {[&] { s.title->playCode(QStringLiteral("ABC-DEF-GHJ\n").repeated(6000)); }, bad + "ABC-DEF-GHJ ABC"},
        {[&] {
             s.title->startFromArguments({QStringLiteral("bralun"), QStringLiteral("--code")});
         },
         QStringLiteral("対局コードがありません。")}};
    for (const auto& [refuse, start] : refusals) {
        QString shown;
        QRect box;
        testsupport::whenModalShows("QMessageBox", [&](QWidget* w) {
            shown = static_cast<QMessageBox*>(w)->text();
            box = w->frameGeometry();
            static_cast<QMessageBox*>(w)->accept();
        });
        refuse();
        QVERIFY2(shown.startsWith(start) && shown.size() < 100, qPrintable(shown.left(200)));
        QVERIFY(QGuiApplication::primaryScreen()->availableGeometry().contains(box));
    }
}

void ReviewGameTest::theReviewAndExplanationStayOnTheScreenBesideATitleAtItsRightEdge() {
    Session s(0);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    s.title->show();
    s.title->move(area.right() + 1 - s.title->frameGeometry().width(), area.top());
    Form1& game = s.openActive();
    playProblems(game, s.env, 2500);
    game.toggleExplanation();
    auto* explanation = game.explainWindow();
    QVERIFY(explanation->isVisible() && area.contains(explanation->frameGeometry()));
    game.openReview();
    auto* review = game.findChild<review::ReviewWindow*>();
    QVERIFY(review != nullptr && area.contains(review->frameGeometry()));
    auto* copy = review->findChild<QPushButton*>();
    QVERIFY(area.contains(QRect(copy->mapToGlobal(QPoint()), copy->size())));
    // Every column whole, neither window over the game window.
    QTRY_VERIFY(review->isVisible());
    QVERIFY(!review->table()->horizontalScrollBar()->isVisible());
    for (const QWidget* w : {static_cast<QWidget*>(review), static_cast<QWidget*>(explanation)})
        QVERIFY(!w->frameGeometry().intersects(game.frameGeometry()));
}

QTEST_MAIN(ReviewGameTest)
#include "tst_review_game.moc"
