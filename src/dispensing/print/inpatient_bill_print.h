#pragma once

#include "dispensing/inpatient_bill.h"
#include "print/report.h"

namespace ph {

// What the bill's page header names besides the bill itself.
struct BillHeading {
    QString pharmacyName;
    QString fileNumber;
    QString patientName;
    QString insurerName;
    QString fromDate; // yy/mm/dd
    QString toDate;
    QString reportDate;
    QString reportTime; // HH:MM
};

// The inpatient bill on A4: per category a title row, its lines and its sums; the totals,
// the technical fee and the signature places at the end.
print::Report inpatientBillReport(const InpatientBill& bill, const BillHeading& heading);

} // namespace ph
