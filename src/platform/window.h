#pragma once

#include "twips.h"

#include <QWidget>

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

} // namespace platform
