#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace ph {

class Database;

// Which sale the invoice search serves: prescriptions of the dispensing window or of the lump
// entry (both over heading_noskhe), or goods invoices (heading_froosh_kala).
enum class SearchContext { Darou, Moghavemi, Kala };

// "darou", "moghavemi" or "kala"; absent for any other text.
std::optional<SearchContext> searchContextFromText(const QString& text);
QString searchContextText(SearchContext context);
inline bool searchesPrescriptions(SearchContext context) { return context != SearchContext::Kala; }

// A date typed year first in a "99/99/99" mask, as the search fields take it.
struct SearchDate {
    enum class State { Blank, Invalid, Valid };
    State state = State::Blank;
    QString text; // the valid date, month and day written with two digits
};

// Checks the text a date field shows: the year at characters 1-2, the month at 4-5 and the
// day at 7-8, each trimmed, must be whole numbers; the month 1 to 12, the day 1 to 31 and at
// most 30 from the seventh month on. "85/3 /7 " gives "85/03/07"; a field showing only its
// empty mask ("  /  /  ") is blank, not invalid.
SearchDate checkSearchDate(const QString& shown);

// One found invoice. Prescriptions fill every field but the delivery date; goods invoices
// fill the number, the names and the delivery date.
struct FoundInvoice {
    int invoiceNumber = 0;      // sh_factor
    QString insuranceNumber;    // sh_bimeh
    QString family;             // family_b, or family of a goods invoice
    QString name;               // name_b, or name of a goods invoice
    QString prescriptionDate;   // date_no
    QString code;               // code_no
    QString deliveryDate;       // date_sabt of a goods invoice
};

// The invoice headers of a context by date, in invoice number order. Dates are yy/mm/dd
// texts compared as texts. The window narrows the rows it holds by name, number or code
// without asking again.
class InvoiceSearchStore {
public:
    explicit InvoiceSearchStore(Database& db) : m_db(db) {}

    // Invoices dated on or after the date.
    QList<FoundInvoice> since(SearchContext context, const QString& date);
    // Invoices of the one date.
    QList<FoundInvoice> on(SearchContext context, const QString& date);
    // Invoices dated from the first to the last date, both included.
    QList<FoundInvoice> between(SearchContext context, const QString& first, const QString& last);

private:
    QList<FoundInvoice> read(SearchContext context, const QString& condition, const QVariantList& dates);

    Database& m_db;
};

} // namespace ph
