#pragma once

#include "engine/explain.h"
#include "engine/gamerecord.h"

#include <QImage>
#include <QString>
#include <QWidget>

class QLabel;
class QVBoxLayout;
class QPushButton;
class QScrollArea;

namespace review {

// The 解説 tool window: says nothing during a problem, and after an answer shows every wait
// with its splits, why each wrong mark is no wait, and the waits the player missed.
class ExplainWindow : public QWidget {
    Q_OBJECT
  public:
    explicit ExplainWindow(QWidget* parent = nullptr);

    void showPending();
    void showAnswer(const engine::ProblemRecord& record, const engine::Explanation& explanation);
    // Offers the 振り返り button once a game has ended.
    void setReviewAvailable(bool available);

    // Every text the window shows now, one line each, for a reader without the pictures.
    QString plainText() const;
    // The pictures shown now, top to bottom, and what each shows in words.
    std::vector<QImage> pictures() const;
    QStringList captions() const;

    // As wide as its widest picture with no horizontal scroll bar; the height of a usual answer.
    QSize sizeHint() const override;

  signals:
    void reviewRequested();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void keepRoomForContent();
    void clear();
    QLabel* addText(const QString& text, bool heading = false, QVBoxLayout* into = nullptr);
    void addPicture(const QImage& picture, const QString& caption, QVBoxLayout* into = nullptr);
    void addWaits(const engine::Explanation& explanation);
    void addReading(const engine::Explanation& explanation, const engine::Reading& reading);
    void addSplit(const engine::Explanation& explanation, const engine::Reading::At& at, QVBoxLayout* into);
    void addNotReady(const engine::Explanation& explanation);
    void addWrongMarks(const engine::ProblemRecord& record, const engine::Explanation& explanation);
    void addMissed(const engine::ProblemRecord& record, const engine::Explanation& explanation);

    QScrollArea* scroll_;
    QWidget* content_;
    QVBoxLayout* lines_;
    QPushButton* reviewButton_;
    std::array<engine::Hai, 13> sorted_{}; // the hand explained now, in order
};

// Whether the explanation counts `tile` among its waits, and whether the hand holds four.
bool isWait(const engine::Explanation& explanation, engine::Hai tile);
bool isFifthCopy(const engine::Explanation& explanation, engine::Hai tile);

} // namespace review
