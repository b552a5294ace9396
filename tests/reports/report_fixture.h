#pragma once

// A small pharmacy's sales for the report tests: prescriptions (one line dispensed as a
// substitute), goods invoices and ward consumption, written with plain bound inserts. The
// lines are kept as tables so the tests can sum them by hand.

#include "db/database.h"
#include "db/schema.h"

#include <QList>
#include <QString>

namespace ph::test {

struct FixtureItem {
    double code;
    const char* name;
    int form;
    double price;
};
inline const QList<FixtureItem> kItems = {
    {1010001, "استامينوفن", 1, 100},
    {1010002, "آموكسي سيلين", 2, 50},
    {1010003, "سفكسيم", 2, 300},
    {5020001, "گاز استريل", 3, 20},
};

struct FixturePrescription {
    int number;
    const char* entered; // date_sabt
    const char* written; // date_no
    int insurer;
    const char* doctor;
    int patientType; // paz_type: 0 inpatient
    int ward;
    double request;
};
inline const QList<FixturePrescription> kPrescriptions = {
    {1, "05/07/01", "05/06/30", 2, "111", 1, 0, 0},
    {2, "05/07/15", "05/07/14", 3, "222", 0, 5, 9},
    {3, "05/07/15", "05/07/15", 2, "222", 1, 0, 0},
    {4, "05/08/02", "05/08/02", 2, "111", 0, 5, 9},
};

struct FixturePrescriptionLine {
    int invoice;
    double code; // as dispensed
    double quantity;
    double unitPrice;
    double total;
    double insurer;
    double patient;
    int substituted;      // flag_moadel
    double prescribed;    // code_darou_main
    double prescribedQty; // tedad_darou_main
    double prescribedPrice;
};
inline const QList<FixturePrescriptionLine> kPrescriptionLines = {
    {1, 1010001, 2, 100, 200, 140, 60, 0, 0, 0, 0},
    {1, 1010003, 3, 300, 900, 630, 270, 1, 1010002, 4, 50}, // counted as 4 x 50 of 1010002
    {2, 1010001, 1, 100, 100, 70, 30, 0, 0, 0, 0},
    {2, 1010002, 6, 50, 300, 210, 90, 0, 0, 0, 0},
    {3, 1010003, 1, 300, 300, 0, 300, 0, 0, 0, 0},
    {4, 1010001, 5, 100, 500, 350, 150, 0, 0, 0, 0},
};

struct FixtureGoodsLine {
    int invoice;
    const char* entered;
    double code;
    double quantity;
    double total;
};
inline const QList<FixtureGoodsLine> kGoodsLines = {
    {1, "05/07/15", 5020001, 4, 80},
    {1, "05/07/15", 1010001, 1, 120},
    {2, "05/07/20", 5020001, 10, 200},
};

struct FixtureWardLine {
    int invoice;
    const char* written;
    int ward;
    double request;
    double code;
    double quantity;
    double unitPrice;
};
inline const QList<FixtureWardLine> kWardLines = {
    {1, "05/07/10", 5, 9, 1010001, 2, 100},
    {1, "05/07/10", 5, 9, 5020001, 3, 20},
    {2, "05/07/12", 6, 10, 1010001, 1, 100},
};

inline void fillReportFixture(Database& db) {
    Schema(db).ensure();
    db.exec(QStringLiteral("insert into type_kala (code, name) values (1, 'قرص'), (2, 'كپسول'), (3, 'تجهيزات')"));
    for (const FixtureItem& item : kItems)
        db.exec(QStringLiteral("insert into mosh_kala_anbar (code_kala, name_kala, type_code, group_code, price_u) "
                               "values (?, ?, ?, 1, ?)"),
                {item.code, QString::fromUtf8(item.name), item.form, item.price});
    db.exec(QStringLiteral("insert into organs_m (code, name) values (2, 'تامين اجتماعي'), (3, 'خدمات درماني')"));
    db.exec(QStringLiteral("insert into doctor_s (code, name, family, order1, typeno) values "
                           "(1, 'مريم', 'احمدي', '111', 1), (2, 'علي', 'رضايي', '222', 1)"));
    db.exec(QStringLiteral("insert into place (code, name, active) values (5, 'جراحي', 1), (6, 'اطفال', 1)"));
    for (const FixturePrescription& p : kPrescriptions)
        db.exec(QStringLiteral("insert into heading_noskhe (sh_factor, date_sabt, date_no, code_bimeh, nezam_p, paz_type, "
                               "code_bakhsh, sh_darkhast) values (?, ?, ?, ?, ?, ?, ?, ?)"),
                {p.number, QString::fromLatin1(p.entered), QString::fromLatin1(p.written), p.insurer,
                 QString::fromLatin1(p.doctor), p.patientType, p.ward, p.request});
    int row = 0;
    for (const FixturePrescriptionLine& l : kPrescriptionLines)
        db.exec(QStringLiteral("insert into details_noskhe (sh_factor, row, code_darou, tedad, price_one, price_koll, "
                               "sazman, bimar, flag_moadel, code_darou_main, tedad_darou_main, price_darou_main) "
                               "values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                {l.invoice, ++row, l.code, l.quantity, l.unitPrice, l.total, l.insurer, l.patient, l.substituted,
                 l.prescribed, l.prescribedQty, l.prescribedPrice});
    QList<int> goodsInvoices;
    for (const FixtureGoodsLine& l : kGoodsLines) {
        if (!goodsInvoices.contains(l.invoice)) {
            goodsInvoices.append(l.invoice);
            db.exec(QStringLiteral("insert into heading_froosh_kala (sh_factor, date_sabt) values (?, ?)"),
                    {l.invoice, QString::fromLatin1(l.entered)});
        }
        db.exec(QStringLiteral("insert into details_froosh_kala (sh_factor, code_kala, tedad, price, price_koll) "
                               "values (?, ?, ?, ?, ?)"),
                {l.invoice, l.code, l.quantity, l.total / l.quantity, l.total});
    }
    QList<int> wardDocuments;
    for (const FixtureWardLine& l : kWardLines) {
        if (!wardDocuments.contains(l.invoice)) {
            wardDocuments.append(l.invoice);
            db.exec(QStringLiteral("insert into heading_masrafi (sh_factor, date_sabt, date_no, code_bakhsh, sh_darkhast) "
                                   "values (?, ?, ?, ?, ?)"),
                    {l.invoice, QString::fromLatin1(l.written), QString::fromLatin1(l.written), l.ward, l.request});
        }
        db.exec(QStringLiteral("insert into details_masrafi (sh_factor, code_darou, tedad, price_one, price_koll) "
                               "values (?, ?, ?, ?, ?)"),
                {l.invoice, l.code, l.quantity, l.unitPrice, l.quantity * l.unitPrice});
    }
}

} // namespace ph::test
