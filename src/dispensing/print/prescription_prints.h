#pragma once

#include "dispensing/prescription_print_data.h"
#include "print/report.h"

#include <QString>

namespace ph {

// The prints of a dispensed prescription.
enum class PrintKind {
    Invoice,        // the customer's invoice on an A5 sheet
    ThermalInvoice, // the same invoice on the 80 mm thermal roll
    Prescription,   // the amounts on the insurer's prescription sheet
};

// Which layout a prescription print takes from its insurer's setting.
enum class PrescriptionLayout { Layout1, Layout2, Layout3, Custom };

// What an invoice prints besides the stored prescription: the pharmacy's name and its message.
struct InvoiceHeading {
    QString pharmacyName; // the main context's pharmacy_name
    QString message;      // payam
};

// The figures of the dispensing window, for the invoice printed straight after a save: they
// stand for the stored total, technical fee and insurer's name.
struct ShownFigures {
    double total = 0;
    double fee = 0;
    QString insurerName;
};

// The layout of the prescription print: layout 1 or 2 as the insurer's setting chooses, the
// custom placement for a custom setting, layout 3 for an insurer without a setting (or with a
// row that chooses nothing).
PrescriptionLayout prescriptionLayoutFor(const PrescriptionPrintData& data);

// The prescription print: the code, one amount per printed line and the totals at the places
// of the layout. Layout 3 prints every line's total; layouts 1, 2 and the custom placement
// the insured lines, each the insurer's and the patient's share added. The custom placement
// puts the six items at the insurer's stored positions, in millimetres from the top-left
// corner of an A5 sheet, the line amounts one under the other from the price's position.
print::Report prescriptionReport(const PrescriptionPrintData& data);

// The invoice on the A5 or the 80 mm layout: the lines whose drug is in the goods master, in
// the order of their row. `shown` replaces the stored total, fee and insurer's name.
print::Report invoiceReport(const PrescriptionPrintData& data, PrintKind kind, const InvoiceHeading& heading,
                            const ShownFigures* shown = nullptr);

// A goods invoice as its print shows it.
struct GoodsInvoicePrint {
    int invoice = 0;  // sh_factor
    QString date;     // date_sabt
    QString customer; // family, a space, name
    double total = 0; // price_koll_f
    double otc = 0;   // the OTC fee
    struct Line {
        QString name; // the goods' name; a line whose goods left the catalogue is not printed
        double quantity = 0;
        double price = 0; // unit price
        double total = 0; // line total
    };
    QList<Line> lines;
};

// The goods invoice on the A5 invoice layout: no insurer, the unit price in the patient's
// column and the line total in the free column, the OTC fee in the fee line.
print::Report goodsInvoiceReport(const GoodsInvoicePrint& data, const InvoiceHeading& heading);

// The print of `kind` for the stored prescription.
print::Report reportFor(const PrescriptionPrintData& data, PrintKind kind, const InvoiceHeading& heading,
                        const ShownFigures* shown = nullptr);

} // namespace ph
