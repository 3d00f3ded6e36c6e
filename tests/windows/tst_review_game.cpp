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
#include <QScrollArea>
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
QStringList menuAt(Form1& game, QPoint at) {
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
    return texts;
}

} // namespace

class ReviewGameTest : public QObject {
    Q_OBJECT
  private slots:
    void aCodeGivesTheSameTenHandsWithItsOwnLevelAndSettings();
    void aCodeGameNeverSetsARecord();
    void theExplanationRevealsNothingUntilTheAnswer();
    void theMenuOpensOffThePaletteOnly();
    void theReviewListsTheTenProblemsAndCopiesTheCode();
    void theReviewIsOfferedAtTheTenthAnswerAndOpensOnce();
    void aMistypedCodeIsRefusedWithAMessage();
    void theReviewAndExplanationStayOnTheScreenBesideATitleAtItsRightEdge();
};

void ReviewGameTest::aCodeGivesTheSameTenHandsWithItsOwnLevelAndSettings() {
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
    playProblems(second, s.env, 3000);
    QCOMPARE(handsOf(second), hands);
    QCOMPARE(second.gameCode(), code);
    QCOMPARE(Module1::Level, 0); // the settings themselves stay
    QCOMPARE(Module1::NotenOK, std::int16_t{0});
}

void ReviewGameTest::aCodeGameNeverSetsARecord() {
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

    Module1::Level = 0;
    Form1& coded = s.open();
    coded.playCode({0, false, false, Seed});
    for (int i = 0; i < 10; ++i) {
        click(coded.Command2);
        answerRight(coded, s.env, 1000);
    }
    QVERIFY(coded.Score >= 1000); // ten right answers
    QCOMPARE(Module1::HiScore[0], 0);
}

void ReviewGameTest::theExplanationRevealsNothingUntilTheAnswer() {
    Session s(1);
    s.title->show();
    Form1& game = s.openActive();
    QTest::keyClick(&game, Qt::Key_F2);
    review::ExplainWindow* window = game.explainWindow();
    QVERIFY(window->isVisible());
    QVERIFY(!window->frameGeometry().intersects(game.frameGeometry()));
    click(game.Command2);
    QCOMPARE(window->plainText(), QStringLiteral("解答後に解説が表示されます。"));
    markWaits(game);
    click(game.Command1);
    QVERIFY2(window->plainText().startsWith(QStringLiteral("正解\n待ち: ")), qPrintable(window->plainText()));
    click(game.Command2);
    QCOMPARE(window->plainText(), QStringLiteral("解答後に解説が表示されます。"));
    click(game.Command1); // nothing marked: every wait is missed
    const QString wrong = window->plainText();
    QVERIFY2(wrong.startsWith(QStringLiteral("不正解\n")), qPrintable(wrong));
    QVERIFY(wrong.contains(QStringLiteral("見逃した待ち: ")) || wrong.contains(QStringLiteral("待ちなし")));
    QTest::keyClick(&game, Qt::Key_F2);
    QVERIFY(!window->isVisible());
}

void ReviewGameTest::theMenuOpensOffThePaletteOnly() {
    Session s(0);
    Form1& game = s.openActive();
    QCOMPARE(menuAt(game, game.Command3->geometry().center() + QPoint(0, 40)),
             (QStringList{QStringLiteral("解説を表示"), QStringLiteral("振り返り(無効)")}));
    QVERIFY(menuAt(game, game.Picture1->geometry().center()).isEmpty());
    playProblems(game, s.env, 2000, 9);
    QCOMPARE(menuAt(game, QPoint(5, 5)),
             (QStringList{QStringLiteral("解説を表示"), QStringLiteral("振り返り(無効)")}));
    playProblems(game, s.env, 2000, 1);
    QCOMPARE(menuAt(game, QPoint(5, 5)),
             (QStringList{QStringLiteral("解説を表示"), QStringLiteral("振り返り")}));
}

void ReviewGameTest::theReviewListsTheTenProblemsAndCopiesTheCode() {
    Session s(0);
    Form1& game = s.open();
    click(game.Command2);
    s.env.advance(2000);
    click(game.Command1); // nothing marked: wrong
    playProblems(game, s.env, 2500, 9);
    game.openReview();
    auto* review = game.findChild<review::ReviewWindow*>();
    QVERIFY(review != nullptr);
    QCOMPARE(review->table()->rowCount(), 10);
    // Opened on the first problem, the wrong one: no points, the waits (not the marks) shown.
    QVERIFY(review->explanation()->plainText().startsWith(QStringLiteral("不正解\n")));
    QCOMPARE(review->table()->item(0, 4)->text(), QStringLiteral("0点"));
    QCOMPARE(review->table()->item(0, 5)->text(), QStringLiteral("不正解"));
    QCOMPARE(review->table()->item(0, 1)->text(), QStringLiteral("なし"));
    QStringList waits;
    for (int k = 1; k <= 37; ++k)
        if (game.records()[0].machi[static_cast<std::size_t>(k)] != 0)
            waits << review::tileName(static_cast<engine::Hai>(k));
    QCOMPARE(review->table()->item(0, 2)->toolTip(), waits.join(QStringLiteral("・")));
    QCOMPARE(review->table()->item(3, 3)->text(), QStringLiteral("2.5秒"));
    QCOMPARE(review->table()->item(3, 5)->text(), QStringLiteral("正解"));
    QCOMPARE(review->codeText(), QString::fromStdString(engine::encodeGameCode(game.gameCode())));
    review->table()->selectRow(7);
    QVERIFY(review->explanation()->plainText().startsWith(QStringLiteral("正解\n")));
    auto* copy = review->findChild<QPushButton*>();
    QCOMPARE(copy->text(), QStringLiteral("コードをコピー"));
    click(copy);
    QCOMPARE(QGuiApplication::clipboard()->text(), review->codeText());
    QCOMPARE(review->findChild<QLabel*>("Copied")->text(), QStringLiteral("コピーしました"));
}

void ReviewGameTest::theReviewIsOfferedAtTheTenthAnswerAndOpensOnce() {
    Session s(0);
    Form1& game = s.openActive();
    QTest::keyClick(&game, Qt::Key_F2); // open from the start
    auto* button = game.explainWindow()->findChild<QPushButton*>();
    playProblems(game, s.env, 2000, 9);
    QVERIFY(!button->isVisible());
    playProblems(game, s.env, 2000, 1);
    QVERIFY(button->isVisible());
    button->click();
    game.openReview(); // chosen again: the same window, to the front
    QCOMPARE(game.findChildren<review::ReviewWindow*>().size(), 1);

    Form1& later = s.openActive();
    playProblems(later, s.env, 2000);
    later.toggleExplanation(); // first opened after the tenth answer
    QVERIFY(later.explainWindow()->findChild<QPushButton*>()->isVisible());
}

void ReviewGameTest::aMistypedCodeIsRefusedWithAMessage() {
    Session s(0);
    std::string code = engine::encodeGameCode({1, false, true, 4242u});
    std::swap(code[0], code[1]);
    QString shown;
    testsupport::whenModalShows("QMessageBox", [&shown](QWidget* box) {
        shown = static_cast<QMessageBox*>(box)->text();
        static_cast<QMessageBox*>(box)->accept();
    });
    s.title->playCode(QString::fromStdString(code));
    QVERIFY2(shown.startsWith(QStringLiteral("対局コードが正しくありません。")), qPrintable(shown));
    QVERIFY(shown.contains(QString::fromStdString(code)));

    // A good code opens the game window of that code, ready for 開始.
    engine::GameCode opened;
    testsupport::whenModalShows("Form1", [&opened](QWidget* w) {
        opened = static_cast<Form1*>(w)->gameCode();
        static_cast<Form1*>(w)->close();
    });
    s.title->playCode(QString::fromStdString(engine::encodeGameCode({1, false, true, 4242u})).toLower());
    QCOMPARE(opened, (engine::GameCode{1, false, true, 4242u}));
    QCOMPARE(Module1::Level, 0);

    // As a Japanese input method types it: full width, ー for the hyphens, spaces, a line end.
    QString wide;
    for (const QChar c : QString::fromStdString(engine::encodeGameCode({2, true, false, 77u})))
        wide += c == QLatin1Char('-') ? QStringLiteral("ー\u3000") : QString(QChar(c.unicode() + 0xFEE0));
    opened = {};
    testsupport::whenModalShows("Form1", [&opened](QWidget* w) {
        opened = static_cast<Form1*>(w)->gameCode();
        w->close();
    });
    s.title->playCode(wide + QStringLiteral("\t\n"));
    QCOMPARE(opened, (engine::GameCode{2, true, false, 77u}));

    // A pasted page: the message shows its start and fits the screen; no code at all is said.
    const std::vector<std::function<void()>> refusals{
        [&s] { s.title->playCode(QStringLiteral("ABC-DEF-GHJ\n").repeated(6000)); },
        [&s] {
            s.title->startFromArguments({QStringLiteral("bralun"), QStringLiteral("--code")});
        }};
    for (const auto& refuse : refusals) {
        QRect box;
        shown.clear();
        testsupport::whenModalShows("QMessageBox", [&](QWidget* w) {
            shown = static_cast<QMessageBox*>(w)->text();
            box = w->frameGeometry();
            static_cast<QMessageBox*>(w)->accept();
        });
        refuse();
        QVERIFY2(!shown.isEmpty() && shown.size() < 100, qPrintable(shown.left(200)));
        QVERIFY(QGuiApplication::primaryScreen()->availableGeometry().contains(box));
    }
    QVERIFY2(shown.startsWith(QStringLiteral("対局コードがありません。")), qPrintable(shown));
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
    QVERIFY(explanation->isVisible());
    QVERIFY(area.contains(explanation->frameGeometry()));
    game.openReview();
    auto* review = game.findChild<review::ReviewWindow*>();
    QVERIFY(review != nullptr);
    QVERIFY(area.contains(review->frameGeometry()));
    auto* copy = review->findChild<QPushButton*>();
    QVERIFY(area.contains(QRect(copy->mapToGlobal(QPoint()), copy->size())));
    // Every column whole, the split rows whole, neither over the game window.
    QTRY_VERIFY(review->isVisible());
    QVERIFY(!review->table()->horizontalScrollBar()->isVisible());
    QTest::qWait(50);
    QVERIFY(!explanation->findChild<QScrollArea*>()->horizontalScrollBar()->isVisible());
    QVERIFY(!review->frameGeometry().intersects(game.frameGeometry()));
    QVERIFY(!explanation->frameGeometry().intersects(game.frameGeometry()));
}

QTEST_MAIN(ReviewGameTest)
#include "tst_review_game.moc"
