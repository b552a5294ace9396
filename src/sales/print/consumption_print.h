#pragma once

#include "print/report.h"

#include <QList>
#include <QString>

namespace ph {

// A ward consumption as its sheet shows it.
struct WardConsumptionPrint {
    int number = 0;        // sh_factor
    QString date;          // date_sabt
    QString requestNumber; // sh_darkhast
    QString wardCode;      // code_bakhsh
    QString wardName;      // the ward's name; empty for a ward no longer listed
    double total = 0;      // price_koll
    struct Line {
        QString name; // the goods' name
        QString code; // code_darou
        QString form; // the form's name
        QString kind; // vaziat
        double quantity = 0;
        double price = 0; // unit price
        double total = 0; // line total
    };
    QList<Line> lines;
};

// The ward consumption sheet on A4: the pharmacy, the consumption's number, date, ward and
// request, one row per line with its prices grouped by thousands, the total and the places
// for the ward's and the pharmacy's signatures.
print::Report wardConsumptionReport(const WardConsumptionPrint& data, const QString& pharmacyName);

} // namespace ph
