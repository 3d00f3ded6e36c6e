// The practice games of the title window's right-click menu: 復習, 弱点練習 and 今日の一局.
#include "config/module1.h"
#include "engine/game.h"
#include "game/form1.h"
#include "history/history.h"
#include "history/schedule.h"
#include "title/form2.h"

#include <QMenu>

using namespace Module1;

namespace {

QString shapeLabel(engine::WaitShape shape) {
    return QString::fromUtf8(engine::shapeName(shape));
}

} // namespace

void Form2::addPracticeItems(QMenu& menu) {
    history::History& store = history::programHistory();
    const std::int64_t today = history::scheduleToday();
    const int due = history::dueCount(store, today);
    menu.addSeparator();
    QAction* review = menu.addAction(QStringLiteral("復習 (%1問)(&R)").arg(due), this, &Form2::startReview);
    review->setObjectName("ReviewAction");
    review->setEnabled(due > 0);

    QMenu* weak = menu.addMenu(QStringLiteral("弱点練習(&W)"));
    weak->setObjectName("WeakShapeMenu");
    const engine::WaitShape weakest = history::weakestShape(store, QDateTime::currentDateTimeUtc());
    weak->addAction(QStringLiteral("自動（%1）").arg(shapeLabel(weakest)), this,
                    [this] { startWeakShape(std::nullopt); });
    for (const engine::WaitShape shape : engine::AllShapes)
        weak->addAction(shapeLabel(shape), this, [this, shape] { startWeakShape(shape); });

    menu.addAction(QStringLiteral("今日の一局(&D)"), this, &Form2::startDaily);
}

void Form2::startReview() {
    // Asked again for each game: a replay deals what is due by then.
    playDescribed(Level, [this](std::uint32_t seed) {
        history::History& store = history::programHistory();
        return engine::GameDescription::review(
            history::dueHands(store, history::scheduleToday()), Level, SortHai != 0,
            history::weakestShape(store, QDateTime::currentDateTimeUtc()), seed);
    });
}

void Form2::startWeakShape(std::optional<engine::WaitShape> shape) {
    const engine::WaitShape chosen =
        shape ? *shape : history::weakestShape(history::programHistory(), QDateTime::currentDateTimeUtc());
    playDescribed(Level, [&](std::uint32_t seed) {
        return engine::GameDescription::weakShape(Level, SortHai != 0, chosen, seed);
    });
}

void Form2::startDaily() {
    const auto game = engine::GameDescription::daily(history::scheduleToday());
    playDescribed(game.code->level, [&](std::uint32_t) { return game; });
}

// The game window of a described game, with the badge of its level; the level chosen on this
// window stays as it was. `describe` is given the seed the window took when it loaded. A
// practice game finished and played again gets fresh hands of its kind; a code's replay is the
// chosen level's designed game.
void Form2::playDescribed(std::int32_t level,
                          const std::function<engine::GameDescription(std::uint32_t)>& describe) {
    for (;;) {
        const std::int32_t chosen = Level;
        Level = level;
        std::unique_ptr<Form1> game = makeGame();
        Level = chosen;
        game->play(describe(game->gameCode().seed));
        game->exec();
        const bool again = game->replayRequested();
        const bool code = game->game().kind == engine::GameKind::Code;
        game.reset();
        if (!again) break;
        if (code) {
            Picture2_Click(static_cast<std::int16_t>(Level));
            return;
        }
    }
    Form_Activate();
}
