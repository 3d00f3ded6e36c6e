#pragma once

#include "engine/gamecode.h"
#include "engine/gamerecord.h"

#include <QWidget>

#include <vector>

class QLabel;
class QTableWidget;

namespace review {

class ExplainWindow;

// 振り返り: the problems of a game in rows with the game's code; choosing a row explains it.
class ReviewWindow : public QWidget {
    Q_OBJECT
  public:
    ReviewWindow(const std::vector<engine::ProblemRecord>& records, const engine::GameCode& code,
                 QWidget* parent = nullptr);

    QTableWidget* table() const { return table_; }
    ExplainWindow* explanation() const { return explain_; }
    QString codeText() const { return code_; }
    void copyCode();
    // Every column of the table whole, with room for its ten rows and the explanation.
    QSize sizeHint() const override;

  private:
    void fillRow(int row, const engine::ProblemRecord& record);
    void showRow(int row);

    std::vector<engine::ProblemRecord> records_;
    QString code_;
    QTableWidget* table_;
    QLabel* copied_;
    ExplainWindow* explain_;
};

} // namespace review
