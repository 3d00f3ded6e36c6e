#pragma once

#include "history/dashboard.h"

#include <QDialog>

#include <functional>
#include <optional>

class QChart;
class QChartView;
class QComboBox;
class QLabel;
class QPushButton;
class QStackedWidget;
class QTreeWidget;

namespace review {
class ExplainWindow;
}

namespace progress {

// Where the window's figures come from: the program's history, or what a test gives.
struct Source {
    std::function<history::Dashboard(history::Period, std::optional<engine::GameKind>)> load;
    // Writes every problem to the file; empty on success, else the reason in Japanese.
    std::function<QString(const QString& file)> exportCsv;
    // A notice about the history for the player, once; may be left unset.
    std::function<QString()> notice;
};

// The figures of the program's own history, opened on the first call if not yet open.
Source programSource();

// The window over the program's history, modal over `parent` until closed.
void openWindow(QWidget* parent);

// The 成績 window: the figures, charts and the wrongly answered problems of a period and a
// kind of game, chosen at the top; the problems open in the 解説 window; CSV export.
class ProgressWindow : public QDialog {
    Q_OBJECT
  public:
    explicit ProgressWindow(Source source, QWidget* parent = nullptr);

    QComboBox* periodChoice;
    QComboBox* kindChoice;
    QPushButton* exportButton;

    history::Period period() const;
    std::optional<engine::GameKind> kind() const;
    const history::Dashboard& figures() const { return figures_; }
    // Whether the figures show, or only the friendly line of a period without play.
    bool showsFigures() const;
    // Every text of the figures and the friendly line as shown, one line each.
    QString plainText() const;
    // The 解説 window, once a wrongly answered problem has been chosen.
    review::ExplainWindow* explainWindow() const { return explain_; }

    // Reads the figures of the chosen period and kind again.
    void refresh();
    // Shows the wrongly answered problem at `index` (0 = newest) in the 解説 window.
    void openWrong(int index);
    // Asks for a file and writes the CSV there.
    void exportCsv();

  private:
    QWidget* makeChoices();
    QWidget* makeFigures();
    QWidget* makeDashboard();
    void showFigures();
    void showWrong();
    void replaceChart(QChartView* view, QChart* chart);
    void fitToScreen();
    void writeTestText() const;

    Source source_;
    history::Dashboard figures_;
    QStackedWidget* pages_;
    QLabel* emptyLine_;
    QLabel* status_;
    QLabel* games_;
    QLabel* problems_;
    QLabel* rate_;
    QLabel* averageTime_;
    QLabel* streak_;
    QLabel* weak_;
    QLabel* strong_;
    QLabel* daily_;
    QChartView* scores_;
    QChartView* shapes_;
    QChartView* waitCounts_;
    QTreeWidget* wrong_;
    review::ExplainWindow* explain_ = nullptr;
};

} // namespace progress
