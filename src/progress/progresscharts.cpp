#include "progress/progresscharts.h"

#include "engine/explain.h"

#include <QApplication>
#include <QGraphicsLayout>
#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QChart>
#include <QtCharts/QDateTimeAxis>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

#include <algorithm>
#include <array>

namespace progress {

QString percentText(int right, int of) {
    if (of <= 0) return QStringLiteral("—");
    return QString::number(100.0 * right / of, 'f', 1) + QLatin1Char('%');
}

QString secondsText(double ms) {
    if (ms <= 0) return QStringLiteral("—");
    return QString::number(ms / 1000.0, 'f', 1) + QStringLiteral("秒");
}

QStringList shapeCategories() {
    QStringList names;
    for (int s = 0; s < 5; ++s)
        names << QString::fromUtf8(engine::shapeName(static_cast<engine::WaitShape>(s)));
    return names << QStringLiteral("待ちなし");
}

QStringList waitCountCategories() {
    return {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"),
            QStringLiteral("5以上")};
}

QString levelName(int level) {
    static const std::array<const char*, 3> names{"初級", "中級", "上級"};
    if (level < 0 || level > 2) return QStringLiteral("?");
    return QString::fromUtf8(names[static_cast<std::size_t>(level)]);
}

namespace {

// Titles in the windows' font, so the Japanese draws at any scale; no animation, so the first
// paint is the finished chart.
QChart* baseChart(const QString& title) {
    auto* chart = new QChart;
    QFont font = QApplication::font();
    font.setBold(true);
    chart->setTitleFont(font);
    chart->setTitle(title);
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->layout()->setContentsMargins(0, 0, 0, 0);
    chart->setBackgroundRoundness(0);
    return chart;
}

QValueAxis* countAxis(const QString& title, double most) {
    auto* axis = new QValueAxis;
    axis->setTitleText(title);
    axis->setLabelFormat(QStringLiteral("%d"));
    axis->setRange(0, std::max(1.0, most * 1.15));
    axis->applyNiceNumbers();
    return axis;
}

void attach(QChart* chart, QAbstractSeries* series, std::initializer_list<QAbstractAxis*> axes) {
    chart->addSeries(series);
    for (QAbstractAxis* axis : axes) series->attachAxis(axis);
}

} // namespace

QChart* scoreChart(const history::Dashboard& figures) {
    QChart* chart = baseChart(QStringLiteral("得点の推移"));
    std::array<QList<QPointF>, 3> points;
    double low = 0, high = 100; // a first game of 0 points still gets a readable axis
    for (const history::ScorePoint& p : figures.scores) {
        if (p.level < 0 || p.level > 2) continue;
        points[static_cast<std::size_t>(p.level)].append(
            QPointF(static_cast<double>(p.playedUtc.toMSecsSinceEpoch()), p.score));
        low = std::min(low, static_cast<double>(p.score));
        high = std::max(high, static_cast<double>(p.score));
    }
    auto* x = new QDateTimeAxis;
    x->setFormat(QStringLiteral("MM/dd"));
    x->setTitleText(QStringLiteral("日付"));
    auto* y = new QValueAxis;
    y->setTitleText(QStringLiteral("得点"));
    y->setLabelFormat(QStringLiteral("%d"));
    y->setRange(low, high * 1.05);
    y->applyNiceNumbers();
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    if (!figures.scores.empty()) {
        // A single day still gets a span, so its points sit inside the axis.
        const qint64 day = 24 * 3600 * 1000;
        const QDateTime first = figures.scores.front().playedUtc, last = figures.scores.back().playedUtc;
        x->setRange(first.addMSecs(-day / 2).toLocalTime(), last.addMSecs(day / 2).toLocalTime());
        // Within a few days the ticks need the hour to tell them apart.
        if (first.msecsTo(last) < 3 * day) x->setFormat(QStringLiteral("MM/dd HH時"));
    }
    for (std::size_t level = 0; level < points.size(); ++level) {
        if (points[level].isEmpty()) continue;
        auto* line = new QLineSeries;
        line->setName(levelName(static_cast<int>(level)));
        line->replace(points[level]);
        line->setPointsVisible(points[level].size() <= 60);
        attach(chart, line, {x, y});
    }
    return chart;
}

QChart* shapeChart(const history::Dashboard& figures) {
    QChart* chart = baseChart(QStringLiteral("待ちの形ごとの見逃し"));
    auto* set = new QBarSet(QStringLiteral("見逃した数"));
    int most = figures.notReadyWrong;
    for (const history::ShapeFigures& shape : figures.shapes) {
        *set << shape.missed;
        most = std::max(most, shape.missed);
    }
    *set << figures.notReadyWrong;
    // The weakest shapes stand out in another colour.
    set->setLabelColor(Qt::black);
    set->setSelectedColor(QColor(0xd0, 0x40, 0x30));
    for (const engine::WaitShape shape : figures.weak) set->selectBar(static_cast<int>(shape));
    auto* series = new QBarSeries;
    series->append(set);
    series->setLabelsVisible(true);
    series->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    series->setLabelsFormat(QStringLiteral("@value"));
    auto* x = new QBarCategoryAxis;
    x->append(shapeCategories());
    QValueAxis* y = countAxis(QStringLiteral("回数"), most);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    attach(chart, series, {x, y});
    chart->legend()->hide();
    return chart;
}

QChart* waitCountChart(const history::Dashboard& figures) {
    QChart* chart = baseChart(QStringLiteral("待ちの数ごとの正解率と平均時間"));
    auto* rate = new QBarSet(QStringLiteral("正解率（%）"));
    auto* time = new QLineSeries;
    time->setName(QStringLiteral("平均時間（秒）"));
    time->setPointsVisible(true);
    double slowest = 1;
    for (std::size_t i = 0; i < figures.byWaitCount.size(); ++i) {
        const history::WaitCountFigures& f = figures.byWaitCount[i];
        *rate << (f.problems > 0 ? 100.0 * f.right / f.problems : 0.0);
        if (f.problems == 0) continue;
        time->append(static_cast<double>(i), f.averageMs / 1000.0);
        slowest = std::max(slowest, f.averageMs / 1000.0);
    }
    auto* bars = new QBarSeries;
    bars->append(rate);
    bars->setLabelsVisible(true);
    bars->setLabelsPosition(QAbstractBarSeries::LabelsInsideEnd);
    bars->setLabelsFormat(QStringLiteral("@value%"));
    bars->setLabelsPrecision(3);
    auto* x = new QBarCategoryAxis;
    x->setTitleText(QStringLiteral("待ちの数"));
    x->append(waitCountCategories());
    auto* percent = new QValueAxis;
    percent->setTitleText(QStringLiteral("正解率（%）"));
    percent->setLabelFormat(QStringLiteral("%d"));
    percent->setRange(0, 100);
    QValueAxis* seconds = countAxis(QStringLiteral("平均時間（秒）"), slowest);
    seconds->setLabelFormat(QStringLiteral("%.1f"));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(percent, Qt::AlignLeft);
    chart->addAxis(seconds, Qt::AlignRight);
    attach(chart, bars, {x, percent});
    attach(chart, time, {x, seconds});
    return chart;
}

} // namespace progress
