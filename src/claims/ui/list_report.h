#pragma once

#include "print/report.h"

#include <QList>
#include <QString>

namespace ph {

// One printed row of an insurance list.
struct ListPrintRow {
    QString family, name, booklet, date, prescriber;
    double insurerShare = 0, patientShare = 0, total = 0;
};

// What the printed insurance list shows besides its rows. The merge window's combined list
// prints the same layout.
struct ListPrintHeading {
    QString pharmacyName;
    QString pharmacyCode;
    QString insurerLabel;   // the chosen insurers, one per line
    QString from, to;       // yy/mm/dd
    QString reportDate;
    QString headerCaption;  // "ليست بيمه " or "نوع تخصص"
    QString headerValue;    // empty, or the checked specialties each after a space
};

// The insurance list on A4 portrait: the title, the column captions on every page, one line
// per row with its running number, the sums carried to each page's foot with the signature
// captions, and the summary with the sums and the insurer's share in words.
print::Report listReport(const ListPrintHeading& heading, const QList<ListPrintRow>& rows);

// The insurer's share written out: its whole Rials in words + " ريال", or "رايگان" for none.
QString insurerShareInWords(double sum);

} // namespace ph
