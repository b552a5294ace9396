#pragma once

#include "print/report_layout.h"

#include <QHash>
#include <QPageLayout>

class QPainter;
class QPagedPaintDevice;

namespace ph::print {

// A report laid out on its pages: which band goes where on each page. Built once from the
// layout and the values; paints the same pages on every device (preview, printer, PDF).
class Report {
public:
    Report(ReportLayout layout, ReportData data);

    int pageCount() const { return int(m_pages.size()); }
    const ReportLayout& layout() const { return m_layout; }
    const ReportData& data() const { return m_data; }
    // The layout's page with no device margins: every place is measured from the sheet's corner.
    QPageLayout pageLayout() const;

    // Paints one page (from 0) with a painter whose origin is the sheet's top-left corner.
    void paintPage(QPainter& painter, int page) const;
    // Prints only pages `first` to `last` (counted from 1, both included); the page numbers and
    // the sums carried to each page stay those of the whole report.
    void limitToPages(int first, int last) {
        m_firstPage = first;
        m_lastPage = last;
    }
    // Paints every page (of the limit, when one is set), starting a new sheet on the device
    // between them. False when the device refuses a new page.
    bool paintAll(QPainter& painter, QPagedPaintDevice& device) const;

private:
    // A band placed on a page: which band of the layout, its top in millimetres from the
    // sheet's corner and, for the detail band, the row it prints. The band is named by its
    // member rather than by its address, so a copied or moved report paints its own layout.
    struct Placed {
        Band ReportLayout::*band = nullptr;
        double topMm = 0;
        int row = -1;
    };

    void paginate();
    void paintBand(QPainter& painter, const Placed& placed, int page) const;
    QString textOf(const TextField& field, int row, int page) const;
    QString runningSum(const QString& key, int page) const;

    ReportLayout m_layout;
    ReportData m_data;
    QString m_family;
    QList<QList<Placed>> m_pages;
    mutable QHash<QString, QList<double>> m_runningSums; // by key, each page's running sum
    int m_firstPage = 0;
    int m_lastPage = 0;
};

// The family of the bundled Persian font, loaded on first use; empty when it cannot be loaded.
QString bundledFontFamily();

} // namespace ph::print
