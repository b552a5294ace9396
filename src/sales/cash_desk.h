#pragma once

#include "audit/audit_origin.h"
#include <QList>
#include <QString>

#include <optional>

namespace ph {

class Database;

// A row of the cash desk (cash) waiting for the cashier.
struct WaitingPayment {
    int invoice = 0;    // sh_factor
    QString kind;       // type_factor: "d" prescription, "k" goods invoice
    QString family;     // family_b
    QString date;       // date_no
    QString time;       // time_no
    double total = 0;   // koll_daryaft
};

// What the till holds since its last closing: the rows paid and not yet closed.
struct TillFigures {
    int rows = 0;
    double received = 0; // sum of koll_daryaft
    double refunded = 0; // sum of koll_bargasht
    double net() const { return received - refunded; }
    // The earliest recorded row among them (date_no, time_no); empty with none.
    QString firstDate, firstTime;
    // The same by kind of sale ("d", "k").
    struct ByKind {
        QString kind;
        int rows = 0;
        double received = 0;
        double refunded = 0;
    };
    QList<ByKind> byKind;
};

// A till closing as recorded in ekhtetam.
struct TillClosing {
    int cashier = 0;
    QString firstDate, firstTime, endDate, endTime;
    TillFigures figures;
};

// The cash desk: rows of sales waiting for the cashier, their payment, the till's figures
// and its closing. Payment and closing are conditional updates, so that two cashiers, or a
// closing and a sale, working at once never pay a row twice, close it twice or lose it.
class CashDesk {
public:
    explicit CashDesk(Database& db) : m_db(db) {}

    // The rows waiting for the cashier, by invoice number.
    QList<WaitingPayment> waiting();
    // Received since the last closing (paid rows not yet closed).
    double receivedSinceClosing();

    enum class PayResult { Paid, AlreadyPaid };
    // Marks the sale's waiting rows paid by the cashier now. AlreadyPaid when none was
    // waiting any more (another cashier collected it first).
    PayResult pay(int invoice, const QString& kind, int cashier, const QString& date, const QString& time,
                  const AuditOrigin& origin);

    // The figures a closing would record now.
    TillFigures figures();
    // Closes the till in one transaction: the rows paid and not closed at this moment are
    // marked, summed, and recorded as one closing with the cashier and the end moment;
    // a row paid by another counter meanwhile is left for the next closing. With no paid
    // rows the closing starts and ends now with nothing received.
    TillClosing close(int cashier, const QString& endDate, const QString& endTime, const AuditOrigin& origin);

private:
    TillFigures sum(const QString& condition);

    Database& m_db;
};

} // namespace ph
