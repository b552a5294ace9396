#include "print/report.h"

#include "core/amounts.h"

#include <algorithm>

#include <QFont>
#include <QFontDatabase>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPageSize>

#include <algorithm>
#include <cmath>

// Resource registration must be named outside any namespace.
static void registerPrintFonts() {
    Q_INIT_RESOURCE(print_fonts);
}

namespace ph::print {

QString bundledFontFamily() {
    static const QString family = [] {
        // The program's own look may have loaded the same font already: use it, not a second copy.
        const QString bundled = QStringLiteral("Vazirmatn");
        if (QFontDatabase::families().contains(bundled)) return bundled;
        registerPrintFonts();
        QString loaded;
        for (const auto* path : {":/print/fonts/Vazirmatn-Regular.ttf", ":/print/fonts/Vazirmatn-Bold.ttf"}) {
            const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(path));
            const QStringList families = QFontDatabase::applicationFontFamilies(id);
            if (loaded.isEmpty() && !families.isEmpty()) loaded = families.first();
        }
        return loaded;
    }();
    return family;
}

Report::Report(ReportLayout layout, ReportData data) : m_layout(std::move(layout)), m_data(std::move(data)) {
    m_family = m_layout.fontFamily.isEmpty() ? bundledFontFamily() : m_layout.fontFamily;
    paginate();
}

QPageLayout Report::pageLayout() const {
    const QSizeF size = m_layout.page.sizeMm;
    // A sheet wider than long is kept as it is given: a landscape page of the portrait size.
    const bool wide = size.width() > size.height();
    const QPageSize pageSize(wide ? size.transposed() : size, QPageSize::Millimeter, QString(),
                             QPageSize::ExactMatch);
    return QPageLayout(pageSize, wide ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(),
                       QPageLayout::Millimeter);
}

void Report::paginate() {
    const PageSetup& page = m_layout.page;
    const double top = page.marginsMm.top();
    const double footerTop = page.sizeMm.height() - page.marginsMm.bottom() - m_layout.pageFooter.heightMm;
    double y = top;
    QList<Placed> current;

    const auto place = [&](Band ReportLayout::*which, int row = -1) {
        const Band& band = m_layout.*which;
        if (band.isEmpty()) return;
        current.append({which, y, row});
        y += band.heightMm;
    };
    const auto startPage = [&](bool first, bool withColumns = true) {
        y = top;
        current.clear();
        place(&ReportLayout::pageHeader);
        if (first) place(&ReportLayout::title);
        if (withColumns) place(&ReportLayout::columnHeader);
    };
    const auto endPage = [&] {
        if (!m_layout.pageFooter.isEmpty()) current.append({&ReportLayout::pageFooter, footerTop, -1});
        m_pages.append(current);
    };
    // A band taller than the room a fresh page leaves is printed anyway, cut at the footer,
    // rather than starting pages without end. The first page is not fresh in that sense when
    // its title leaves no room: the first row then starts the next page.
    bool titlePage = !m_layout.title.isEmpty();
    const auto fits = [&](const Band& band, bool freshPage) {
        return (freshPage && !titlePage) || y + band.heightMm <= footerTop + 1e-6;
    };

    startPage(true);
    bool fresh = true;
    for (int row = 0; row < m_data.rows.size(); ++row) {
        if (m_layout.detail.isEmpty()) break;
        if (!fits(m_layout.detail, fresh)) {
            endPage();
            startPage(false);
            titlePage = false;
        }
        place(&ReportLayout::detail, row);
        fresh = false;
    }
    if (!m_layout.summary.isEmpty()) {
        if (!fits(m_layout.summary, false) && !current.isEmpty()) {
            endPage();
            startPage(false, false); // no column captions over a page without rows
        }
        place(&ReportLayout::summary);
    }
    endPage();
}

QString Report::textOf(const TextField& field, int row, int page) const {
    if (field.key.isEmpty()) return field.caption;
    QString text;
    if (field.key == kPageNumber)
        text = QString::number(page + 1);
    else if (field.key == kPageCount)
        text = QString::number(m_pages.size());
    else if (field.key.startsWith(kRunningSum))
        text = runningSum(field.key.mid(kRunningSum.size()), page);
    else if (row >= 0 && m_data.rows.at(row).contains(field.key))
        text = m_data.rows.at(row).value(field.key);
    else
        text = m_data.values.value(field.key);
    if (!text.isEmpty() && !field.prefix.isEmpty()) text = field.prefix + text;
    return text;
}

QString Report::runningSum(const QString& key, int page) const {
    // Each page's sum is the last page's plus the rows placed since, worked out once per key
    // for every page: a long report asks it on every page.
    auto found = m_runningSums.constFind(key);
    if (found == m_runningSums.cend()) {
        QList<double> sums;
        sums.reserve(m_pages.size());
        double sum = 0;
        int summed = -1; // the rows 0 to summed are in the sum
        for (const QList<Placed>& placedOnPage : m_pages) {
            int last = summed;
            for (const Placed& placed : placedOnPage) last = std::max(last, placed.row);
            // The rows' amounts may be grouped by thousands; the sum is written the same way.
            for (int row = summed + 1; row <= last; ++row)
                sum += QString(m_data.rows.at(row).value(key)).remove(u',').toDouble();
            summed = last;
            sums.append(sum);
        }
        found = m_runningSums.insert(key, sums);
    }
    const QList<double>& sums = *found;
    if (sums.isEmpty() || page < 0) return groupedAmountText(0);
    return groupedAmountText(std::trunc(sums.at(std::min(page, int(sums.size()) - 1))));
}

void Report::paintBand(QPainter& painter, const Placed& placed, int page) const {
    const Band& band = m_layout.*placed.band;
    const double left = m_layout.page.marginsMm.left();
    // Device units per millimetre; fonts keep their point sizes on every device.
    const double unitsX = painter.device()->logicalDpiX() / 25.4;
    const double unitsY = painter.device()->logicalDpiY() / 25.4;
    const auto toDevice = [&](const QRectF& mm) {
        return QRectF((left + mm.left()) * unitsX, (placed.topMm + mm.top()) * unitsY, mm.width() * unitsX,
                      mm.height() * unitsY);
    };
    for (const QLineF& line : band.linesMm) {
        QPen pen(Qt::black);
        pen.setWidthF(0.2 * unitsX);
        painter.setPen(pen);
        painter.drawLine(QPointF((left + line.x1()) * unitsX, (placed.topMm + line.y1()) * unitsY),
                         QPointF((left + line.x2()) * unitsX, (placed.topMm + line.y2()) * unitsY));
    }
    for (const PictureField& field : band.pictures) {
        const auto found = m_data.pictures.constFind(field.key);
        if (found == m_data.pictures.cend() || found->isNull()) continue;
        const QRectF target = toDevice(field.placeMm);
        const QSizeF size = QSizeF(found->size()).scaled(target.size(), Qt::KeepAspectRatio);
        const QRectF place(target.center().x() - size.width() / 2, target.center().y() - size.height() / 2,
                           size.width(), size.height());
        painter.save();
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(place, *found);
        painter.restore();
    }
    painter.setPen(Qt::black);
    for (const TextField& field : band.fields) {
        const QString text = textOf(field, placed.row, page);
        if (text.isEmpty()) continue;
        QFont font(m_family);
        font.setPointSizeF(field.points);
        font.setBold(field.bold);
        painter.setFont(font);
        // Absolute: Right stays on the right on a right-to-left page. A text longer than its
        // field runs on past it rather than being cut or wrapped.
        int flags = Qt::AlignAbsolute | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip;
        flags |= field.align == Align::Left    ? Qt::AlignLeft
                 : field.align == Align::Right ? Qt::AlignRight
                                               : Qt::AlignHCenter;
        painter.drawText(toDevice(field.placeMm), flags, text);
    }
}

void Report::paintPage(QPainter& painter, int page) const {
    if (page < 0 || page >= m_pages.size()) return;
    painter.save();
    painter.setLayoutDirection(Qt::RightToLeft);
    for (const Placed& placed : m_pages.at(page))
        paintBand(painter, placed, page);
    painter.restore();
}

bool Report::paintAll(QPainter& painter, QPagedPaintDevice& device) const {
    const int first = m_firstPage > 0 ? std::min(m_firstPage, pageCount()) - 1 : 0;
    const int last = m_lastPage > 0 ? std::min(m_lastPage, pageCount()) - 1 : pageCount() - 1;
    for (int page = std::max(first, 0); page <= last; ++page) {
        if (page > std::max(first, 0) && !device.newPage()) return false;
        paintPage(painter, page);
    }
    return true;
}

} // namespace ph::print
