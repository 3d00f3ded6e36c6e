#pragma once

#include "platform/twips.h"

#include <QFontMetrics>
#include <QLabel>
#include <QWidget>

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

} // namespace platform
