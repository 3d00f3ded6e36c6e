#pragma once

#include "platform/twips.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOptionButton>
#include <QWidget>

#include <algorithm>
#include <type_traits>

namespace platform {

// Outer window edges and sizes in twips, frame included, as the windows exchange them.
inline double outerLeft(const QWidget* w) {
    return twips(w->frameGeometry().x());
}
inline double outerTop(const QWidget* w) {
    return twips(w->frameGeometry().y());
}
inline double outerWidth(const QWidget* w) {
    return twips(w->frameGeometry().width());
}
inline double outerHeight(const QWidget* w) {
    return twips(w->frameGeometry().height());
}
// The outer size of a window not shown yet, taking the frame a shown window of ours has.
inline QSize outerSizeBeforeShow(const QWidget* w, const QWidget* shown) {
    return w->size() + (shown->frameGeometry().size() - shown->size());
}
inline void moveOuter(QWidget* w, double left, double top) {
    w->move(px(left), px(top));
}

// Fixed-size dialog frame: a title and a close box, nothing to minimise or maximise.
inline constexpr Qt::WindowFlags fixedDialogFlags = Qt::Dialog | Qt::CustomizeWindowHint |
                                                    Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                                                    Qt::MSWindowsFixedSizeDialogHint;

// A dialog whose title bar shows no picture: a transparent icon, as an empty one would fall
// back to the program's.
inline void clearWindowIcon(QWidget* w) {
    QPixmap blank(16, 16);
    blank.fill(Qt::transparent);
    w->setWindowIcon(QIcon(blank));
}

// A button that only a left click gives the keyboard: a right click opens the window's menu
// and must leave the keys where the player had them.
inline void focusOnLeftClick(QWidget* button) {
    class LeftOnly : public QObject {
      public:
        using QObject::QObject;
        bool eventFilter(QObject* watched, QEvent* event) override {
            if (event->type() == QEvent::MouseButtonPress &&
                static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
                static_cast<QWidget*>(watched)->setFocus(Qt::MouseFocusReason);
            return false;
        }
    };
    button->setFocusPolicy(Qt::TabFocus);
    button->installEventFilter(new LeftOnly(button));
}

// A control of a window's design: name, caption and place. Labels read from the top left.
template <typename Control>
Control* control(QWidget* parent, const char* name, const QString& caption, QRect place) {
    auto* c = new Control(caption, parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setGeometry(place);
    if constexpr (std::is_base_of_v<QLabel, Control>) c->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return c;
}

// A font of the windows' designs: family as the design names it, size in points.
inline QFont windowFont(const char* family, double points, bool bold) {
    QFont font(QString::fromUtf8(family));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// The substitute fonts run wider than the ones the layout was drawn for: a one-line label
// whose text would be cut off gets a smaller size of the same font instead.
inline void shrinkToFit(QLabel* label) {
    QFont font = label->font();
    while (font.pointSizeF() > 6 && QFontMetrics(font).horizontalAdvance(label->text()) > label->width()) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
    }
    label->setFont(font);
}

// The same for a check box's caption, line by line, beside its indicator.
inline void shrinkToFit(QCheckBox* box) {
    QStyleOptionButton option;
    option.initFrom(box);
    const int room = box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box).width();
    const QStringList lines = box->text().split(QLatin1Char('\n'));
    QFont font = box->font();
    const auto fits = [&] {
        const QFontMetrics m(font);
        for (const QString& line : lines) {
            if (m.horizontalAdvance(line) > room) return false;
        }
        return m.height() * lines.size() <= box->height();
    };
    while (font.pointSizeF() > 6 && !fits()) font.setPointSizeF(font.pointSizeF() - 0.5);
    box->setFont(font);
}

// A label boxed by a one-pixel line along its whole edge. A frame of QFrame's is drawn round
// the contents, so moving the text down with a margin would take the box's top with it.
class BoxedLabel : public QLabel {
  public:
    using QLabel::QLabel;

  protected:
    void paintEvent(QPaintEvent* event) override {
        QLabel::paintEvent(event);
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
};

// The substitute fonts' glyphs rise above their ascent, onto a boxed label's line: the text is
// moved down so the ink of the sample sits in the middle of the box's inside.
inline void centreInkInside(BoxedLabel* label, const QString& sample) {
    const QFontMetrics m(label->font());
    const QRect ink = m.tightBoundingRect(sample);
    const int inside = label->height() - 2;
    const int top = (inside - ink.height()) / 2 - (m.ascent() + ink.top());
    label->setContentsMargins(1, 1 + std::max(0, top), 1, 1);
}

} // namespace platform
