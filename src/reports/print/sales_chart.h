#pragma once

#include "reports/sales_report.h"

#include <QImage>
#include <QSize>

#include <memory>

QT_BEGIN_NAMESPACE
class QChart;
class QCoreApplication;
QT_END_NAMESPACE

namespace ph {

// The two charts of a sales report: the items with the most Rials as bars, and the daily
// totals of the range as a line. The window shows them beside the grid; the print carries the
// same drawing.
QChart* makeTopItemsChart(const SalesChartData& data);
QChart* makeDailyChart(const SalesChartData& data);
// Both charts side by side (bars right, line left) as an image of the given size in pixels.
// Needs the widgets application (charts are graphics items).
QImage salesChartImage(const SalesChartData& data, QSize pixels = QSize(1436, 642));

// The application a program that prints needs: the widgets application (the charts are graphics
// items), drawing off screen when there is no screen (a server, a script).
std::unique_ptr<QCoreApplication> makeDrawingApplication(int& argc, char** argv);
// Whether this program's application can draw the charts.
bool canDrawCharts();

namespace texts {
inline const QString kTopItemsChart = QStringLiteral("پرفروش‌ترين اقلام (ريال)");
inline const QString kDailyChart = QStringLiteral("فروش روزانه (ريال)");
} // namespace texts

} // namespace ph
