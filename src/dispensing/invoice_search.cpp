#include "dispensing/invoice_search.h"

#include "core/jalali_date.h"
#include "db/database.h"

#include <algorithm>

namespace ph {
namespace {

// A trimmed part written with the ASCII digits only; absent otherwise (an empty part too).
std::optional<int> wholeNumber(const QString& part) {
    const QString text = part.trimmed();
    if (text.isEmpty() || text.size() > 4) return std::nullopt;
    int value = 0;
    for (QChar c : text) {
        if (c < u'0' || c > u'9') return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

QString text(const QVariant& value) {
    return value.isNull() ? QString() : value.toString().trimmed();
}

} // namespace

std::optional<SearchContext> searchContextFromText(const QString& text) {
    const QString t = text.trimmed();
    if (t == u"darou") return SearchContext::Darou;
    if (t == u"moghavemi") return SearchContext::Moghavemi;
    if (t == u"kala") return SearchContext::Kala;
    return std::nullopt;
}

QString searchContextText(SearchContext context) {
    switch (context) {
    case SearchContext::Darou: return QStringLiteral("darou");
    case SearchContext::Moghavemi: return QStringLiteral("moghavemi");
    case SearchContext::Kala: break;
    }
    return QStringLiteral("kala");
}

SearchDate checkSearchDate(const QString& shown) {
    const QString yearPart = shown.mid(0, 2).trimmed();
    const QString monthPart = shown.mid(3, 2).trimmed();
    const QString dayPart = shown.mid(6, 2).trimmed();
    // Only the mask's separators and blanks: nothing typed.
    QString rest = shown;
    rest.remove(u'/');
    if (rest.trimmed().isEmpty()) return {SearchDate::State::Blank, {}};
    const auto year = wholeNumber(yearPart);
    const auto month = wholeNumber(monthPart);
    const auto day = wholeNumber(dayPart);
    if (!year || !month || !day || !isFieldMonthDay(*month, *day))
        return {SearchDate::State::Invalid, {}};
    return {SearchDate::State::Valid, yearPart + u'/' + QStringLiteral("%1").arg(*month, 2, 10, QChar(u'0')) + u'/' +
                                          QStringLiteral("%1").arg(*day, 2, 10, QChar(u'0'))};
}

QList<FoundInvoice> InvoiceSearchStore::since(SearchContext context, const QString& date) {
    return read(context, QStringLiteral("%1>=?"), {date});
}

QList<FoundInvoice> InvoiceSearchStore::on(SearchContext context, const QString& date) {
    return read(context, QStringLiteral("%1=?"), {date});
}

QList<FoundInvoice> InvoiceSearchStore::between(SearchContext context, const QString& first, const QString& last) {
    return read(context, QStringLiteral("%1>=? and %1<=?"), {first, last});
}

QList<FoundInvoice> InvoiceSearchStore::read(SearchContext context, const QString& condition,
                                             const QVariantList& dates) {
    QList<FoundInvoice> found;
    if (searchesPrescriptions(context)) {
        Rows q = m_db.exec(QStringLiteral("select sh_factor, sh_bimeh, family_b, name_b, date_no, code_no "
                                               "from heading_noskhe where ") +
                                    QString(condition).arg(QStringLiteral("date_no")) +
                                    QString(),
                                dates);
        while (q.next()) {
            FoundInvoice row;
            row.invoiceNumber = q.value(0).toInt();
            row.insuranceNumber = text(q.value(1));
            row.family = text(q.value(2));
            row.name = text(q.value(3));
            row.prescriptionDate = text(q.value(4));
            row.code = text(q.value(5));
            found.append(row);
        }
    } else {
        Rows q = m_db.exec(QStringLiteral("select sh_factor, family, name, date_sabt "
                                               "from heading_froosh_kala where ") +
                                    QString(condition).arg(QStringLiteral("date_sabt")) +
                                    QString(),
                                dates);
        while (q.next()) {
            FoundInvoice row;
            row.invoiceNumber = q.value(0).toInt();
            row.family = text(q.value(1));
            row.name = text(q.value(2));
            row.deliveryDate = text(q.value(3));
            found.append(row);
        }
    }
    // Ordered here, not by the statement: asked for that order, the planner walks the whole table
    // along the invoice number index instead of the date range (a second against milliseconds
    // on a database of years).
    // Numbers mostly grow with the dates, so the rows usually come already in order.
    const auto byNumber = [](const FoundInvoice& a, const FoundInvoice& b) { return a.invoiceNumber < b.invoiceNumber; };
    if (!std::is_sorted(found.cbegin(), found.cend(), byNumber)) std::sort(found.begin(), found.end(), byNumber);
    return found;
}

} // namespace ph
