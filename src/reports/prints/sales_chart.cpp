#include "reports/prints/sales_chart.h"

#include "print/report.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QGraphicsScene>
#include <QHorizontalBarSeries>
#include <QLineSeries>
#include <QPainter>
#include <QValueAxis>

#include <algorithm>

namespace ph {
namespace {

constexpr int kNameLength = 22;

QString shortName(const QString& name) {
    return name.size() > kNameLength ? name.left(kNameLength - 1) + QChar(0x2026) : name;
}

QChart* emptyChart(const QString& title) {
    auto* chart = new QChart;
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->legend()->hide();
    QFont font(print::bundledFontFamily());
    font.setPointSizeF(9);
    chart->setTitleFont(font);
    chart->setTitle(title);
    chart->setLocalizeNumbers(false);
    chart->setMargins(QMargins(4, 4, 4, 4));
    return chart;
}

QFont labelFont() {
    QFont font(print::bundledFontFamily());
    font.setPointSizeF(7);
    return font;
}

} // namespace

QChart* makeTopItemsChart(const SalesChartData& data) {
    QChart* chart = emptyChart(texts::kTopItemsChart);
    auto* set = new QBarSet(texts::kTopItemsChart);
    QStringList names;
    // The largest on top: horizontal bars are drawn from the bottom up.
    for (auto it = data.topItems.crbegin(); it != data.topItems.crend(); ++it) {
        *set << it->amount;
        names << shortName(it->label);
    }
    auto* series = new QHorizontalBarSeries;
    series->append(set);
    chart->addSeries(series);
    auto* names_axis = new QBarCategoryAxis;
    names_axis->append(names);
    names_axis->setLabelsFont(labelFont());
    auto* amounts = new QValueAxis;
    amounts->setLabelFormat(QStringLiteral("%.0f"));
    amounts->setLabelsFont(labelFont());
    amounts->setTickCount(4);
    double most = 0;
    for (const SalesChartData::Bar& bar : data.topItems) most = std::max(most, bar.amount);
    amounts->setRange(0, most > 0 ? most * 1.05 : 1);
    chart->addAxis(names_axis, Qt::AlignRight);
    chart->addAxis(amounts, Qt::AlignBottom);
    series->attachAxis(names_axis);
    series->attachAxis(amounts);
    return chart;
}

QChart* makeDailyChart(const SalesChartData& data) {
    QChart* chart = emptyChart(texts::kDailyChart);
    auto* series = new QLineSeries;
    series->setPointsVisible(true);
    QStringList dates;
    double most = 0;
    for (int i = 0; i < data.daily.size(); ++i) {
        series->append(i, data.daily.at(i).amount);
        dates << data.daily.at(i).date;
        most = std::max(most, data.daily.at(i).amount);
    }
    chart->addSeries(series);
    auto* days = new QBarCategoryAxis;
    days->append(dates);
    days->setLabelsFont(labelFont());
    days->setLabelsAngle(-90);
    auto* amounts = new QValueAxis;
    amounts->setLabelFormat(QStringLiteral("%.0f"));
    amounts->setLabelsFont(labelFont());
    amounts->setTickCount(4);
    amounts->setRange(0, most > 0 ? most * 1.05 : 1);
    chart->addAxis(days, Qt::AlignBottom);
    chart->addAxis(amounts, Qt::AlignLeft);
    series->attachAxis(days);
    series->attachAxis(amounts);
    return chart;
}

QPicture salesChartPicture(const SalesChartData& data, QSize pixels) {
    QGraphicsScene scene;
    const double half = pixels.width() / 2.0;
    QChart* bars = makeTopItemsChart(data);
    QChart* line = makeDailyChart(data);
    scene.addItem(bars);
    scene.addItem(line);
    line->setGeometry(QRectF(0, 0, half, pixels.height()));
    bars->setGeometry(QRectF(half, 0, half, pixels.height()));
    scene.setSceneRect(0, 0, pixels.width(), pixels.height());
    QPicture picture;
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    scene.render(&painter, QRectF(0, 0, pixels.width(), pixels.height()), scene.sceneRect());
    painter.end();
    return picture; // the scene deletes the charts
}

} // namespace ph
