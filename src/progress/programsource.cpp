#include "history/history.h"
#include "progress/progresswindow.h"

namespace progress {

// The history is opened here at the latest: the first answer or this window, whichever comes first.
Source programSource() {
    return {[](history::Period period, std::optional<engine::GameKind> kind) {
                return history::loadDashboard(history::programHistory(), period, kind,
                                              QDateTime::currentDateTimeUtc());
            },
            [](const QString& file) { return history::exportCsv(history::programHistory(), file); },
            [] { return history::programHistory().takeNotice(); }};
}

} // namespace progress
