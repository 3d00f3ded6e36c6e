#pragma once

#include "twips.h"

#include <QWidget>

namespace platform {

// Outer window edges and sizes in twips, frame included, as the windows exchange them.
inline double outerLeft(const QWidget* w) { return twips(w->frameGeometry().x()); }
inline double outerTop(const QWidget* w) { return twips(w->frameGeometry().y()); }
inline double outerWidth(const QWidget* w) { return twips(w->frameGeometry().width()); }
inline double outerHeight(const QWidget* w) { return twips(w->frameGeometry().height()); }
inline void moveOuter(QWidget* w, double left, double top) { w->move(px(left), px(top)); }

// Fixed-size dialog frame: a title and a close box, nothing to minimise or maximise.
inline constexpr Qt::WindowFlags fixedDialogFlags =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
    Qt::MSWindowsFixedSizeDialogHint;

} // namespace platform
