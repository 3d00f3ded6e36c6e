#pragma once

#include "history/dashboard.h"

#include <QString>
#include <QStringList>

class QChart;

namespace progress {

// Shown as 82.5% / 4.2秒, or a dash when there is nothing to count.
QString percentText(int right, int of);
QString secondsText(double ms);

// The names of the bars of the shape chart: 単騎 双碰 両面 嵌張 辺張 待ちなし.
QStringList shapeCategories();
// The bars of the wait-count chart: 1, 2, 3, 4, 5以上.
QStringList waitCountCategories();
// The level's name: 初級, 中級, 上級.
QString levelName(int level);

// The score of each finished game over time, one line a level.
QChart* scoreChart(const history::Dashboard& figures);
// How many waits of each shape were missed, and the 待ちなし hands answered wrongly.
QChart* shapeChart(const history::Dashboard& figures);
// % right as bars and the average time as a line, by the number of waits.
QChart* waitCountChart(const history::Dashboard& figures);

} // namespace progress
