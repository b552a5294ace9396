#include "reports/print/sales_chart.h"

#include "print/report.h"

#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QGraphicsScene>
#include <QHorizontalBarSeries>
#include <QLineSeries>
#include <QLocale>
#include <QPainter>
#include <QValueAxis>

#include <algorithm>

namespace ph {
namespace {

// Names up to this length are drawn whole; a longer one is cut with an ellipsis.
constexpr int kNameLength = 34;

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
    // Amounts on the axes read like the grids' amounts: grouped by thousands, in the digits
    // the program draws numbers with.
    QLocale numbers;
    numbers.setNumberOptions(QLocale::DefaultNumberOptions);
    chart->setLocalizeNumbers(true);
    chart->setLocale(numbers);
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
        QString name = shortName(it->label);
        // The axis keeps one bar per distinct name: two long names cut to the same text are
        // told apart by an invisible zero-width non-joiner.
        while (names.contains(name)) name += QChar(0x200C);
        names << name;
    }
    auto* series = new QHorizontalBarSeries;
    series->append(set);
    chart->addSeries(series);
    auto* names_axis = new QBarCategoryAxis;
    names_axis->append(names);
    names_axis->setLabelsFont(labelFont());
    // The axis would cut every name to "…" as soon as a bar is thinner than a line and a
    // margin; a line of text per bar is enough to read the names, which the chart's height keeps.
    names_axis->setTruncateLabels(false);
    auto* amounts = new QValueAxis;
    amounts->setLabelFormat(QStringLiteral("%.0f"));
    amounts->setLabelsFont(labelFont());
    amounts->setTickCount(4);
    double most = 0;
    for (const SalesChartData::Bar& bar : data.topItems) most = std::max(most, bar.amount);
    amounts->setRange(0, most > 0 ? most * 1.05 : 1);
    amounts->applyNiceNumbers(); // round steps (0, 20,000, 40,000) rather than 13,440
    amounts->setLabelsVisible(most > 0); // no sales: no made-up scale
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
    double most = 0;
    for (int i = 0; i < data.daily.size(); ++i) {
        series->append(i, data.daily.at(i).amount);
        most = std::max(most, data.daily.at(i).amount);
    }
    chart->addSeries(series);
    // At most eight dates under the line, month and day.
    auto* days = new QCategoryAxis;
    days->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    days->setLabelsFont(labelFont());
    const int count = int(data.daily.size());
    const int step = std::max(1, (count + 7) / 8);
    for (int i = 0; i < count; i += step) days->append(data.daily.at(i).date.mid(3), i);
    days->setRange(-0.5, std::max(0.5, count - 0.5));
    auto* amounts = new QValueAxis;
    amounts->setLabelFormat(QStringLiteral("%.0f"));
    amounts->setLabelsFont(labelFont());
    amounts->setTickCount(4);
    amounts->setRange(0, most > 0 ? most * 1.05 : 1);
    amounts->applyNiceNumbers();
    amounts->setLabelsVisible(most > 0);
    chart->addAxis(days, Qt::AlignBottom);
    chart->addAxis(amounts, Qt::AlignLeft);
    series->attachAxis(days);
    series->attachAxis(amounts);
    return chart;
}

std::unique_ptr<QCoreApplication> makeDrawingApplication(int& argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QApplication>(argc, argv);
}

bool canDrawCharts() { return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr; }

QImage salesChartImage(const SalesChartData& data, QSize pixels) {
    // The charts are laid out at screen resolution (the charts size their texts in screen
    // pixels) on half the image and drawn twice as large, so the default size prints as
    // 190 x 85 mm, sharp, with the texts at their point sizes.
    const QSizeF layout = QSizeF(pixels) / 2;
    QGraphicsScene scene;
    QChart* bars = makeTopItemsChart(data);
    QChart* line = makeDailyChart(data);
    scene.addItem(bars);
    scene.addItem(line);
    line->setGeometry(QRectF(0, 0, layout.width() / 2, layout.height()));
    bars->setGeometry(QRectF(layout.width() / 2, 0, layout.width() / 2, layout.height()));
    scene.setSceneRect(QRectF(QPointF(0, 0), layout));
    QImage image(pixels, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    scene.render(&painter, QRectF(0, 0, pixels.width(), pixels.height()), scene.sceneRect());
    painter.end();
    return image; // the scene deletes the charts
}

} // namespace ph
