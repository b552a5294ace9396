#pragma once

// A month of claims: two social-security prescriptions and one of another insurer in the
// period, and rows the list never takes (an inpatient, an invoice number 0, another insurer,
// another month).

#include "db/database.h"
#include "db/schema.h"

#include <QVariant>

namespace ph::test {

inline void addClaimPrescription(Database& db, const QVariantList& values) {
    db.exec(QStringLiteral("insert into heading_noskhe (sh_factor, code_bimeh, date_no, code_no, date_sabt, date_bimeh, "
                           "sh_safhe, insnotamin, sh_bimeh, nezam_p, price_koll, price_bimeh, price_bimar, name_b, "
                           "family_b, paz_type, type_no, flag_taeed) "
                           "values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            values);
}

// One line of a stored prescription; a substituted line names the drug it stands for.
inline void addClaimLine(Database& db, int invoice, int row, double code, const QString& kind, double quantity,
                         double total, double insurer, double patient, const QVariantList& substituted = {}) {
    const bool isSubstitute = !substituted.isEmpty();
    db.exec(QStringLiteral("insert into details_noskhe (sh_factor, row, code_darou, vaziat, tedad, price_koll, sazman, "
                           "bimar, flag_moadel, code_darou_main, tedad_darou_main, price_darou_main) "
                           "values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            {invoice, row, code, kind, quantity, total, insurer, patient, isSubstitute ? 1 : 0,
             isSubstitute ? substituted.value(0) : QVariant(0.0), isSubstitute ? substituted.value(1) : QVariant(0.0),
             isSubstitute ? substituted.value(2) : QVariant(0.0)});
}

inline void fillClaims(Database& db) {
    Schema(db).ensure();
    const QString insured = QStringLiteral("تعرفه");
    db.exec(QStringLiteral("insert into tanzimat (tamincode) values (?)"), {QStringLiteral("1")});
    db.exec(QStringLiteral("insert into onvan_darou (code_vahed, onvan_vahed, fani_nezam) values (1, ?, ?)"),
            {QStringLiteral("داروخانه نمونه"), QStringLiteral("54321")});
    const QString insurer = QStringLiteral("insert into organs_m (code, name, code_pharmacy) values (?, ?, ?)");
    db.exec(insurer, {1, QStringLiteral("تامين اجتماعي"), QStringLiteral("21345")});
    db.exec(insurer, {2, QStringLiteral("بيمه سلامت"), QVariant(QMetaType::fromType<QString>())});
    db.exec(insurer, {3, QStringLiteral("نيروهاي مسلح"), QStringLiteral("41268")});
    db.exec(QStringLiteral("insert into doctor_type (code, doc_type) values (5, ?), (6, ?)"),
            {QStringLiteral("عمومي"), QStringLiteral("متخصص")});
    // Persian yeh and keheh in the register, as users type them.
    const QString doctor = QStringLiteral("insert into doctor_s (code, name, family, order1, typeno) values (?, ?, ?, ?, ?)");
    db.exec(doctor, {1, QStringLiteral("علی"), QStringLiteral("رضایی"), QStringLiteral("1111"), 5});
    db.exec(doctor, {2, QStringLiteral("مریم"), QStringLiteral("کریمی"), QStringLiteral("2222"), 6});
    const QString goods =
        QStringLiteral("insert into mosh_kala_anbar (code_kala, name_kala, group_code, type_code, code_tow) values (?, ?, 1, ?, ?)");
    const QVariant none(QMetaType::fromType<double>());
    db.exec(goods, {1010001, QStringLiteral("آموكسي سيلين"), 1, 123.0});
    db.exec(goods, {1010002, QStringLiteral("سفكسيم"), 1, none});
    db.exec(goods, {1010003, QStringLiteral("ويتامين ث"), 1, 0.0});
    db.exec(goods, {1010004, QStringLiteral("انسولين"), 1, 1234567.0});
    db.exec(goods, {1700001, QStringLiteral("پماد تركيبي"), 70, 456.0});

    const QVariant noText(QMetaType::fromType<QString>());
    // sh_factor, insurer, date_no, code_no, date_sabt, date_bimeh, sh_safhe, insnotamin, sh_bimeh, nezam_p,
    // koll, bimeh, bimar, name_b, family_b, paz_type, type_no, flag_taeed
    addClaimPrescription(db, {11, 1, QStringLiteral("05/07/02"), QStringLiteral("1102"), QStringLiteral("05/07/02"),
                              QStringLiteral("1405/09/30"), 3.0, QStringLiteral("1234567890-0012-03-07"),
                              QStringLiteral("123456789000120307"), QStringLiteral("1111"), 1500.5, 1000.0, 500.5,
                              QStringLiteral("رضا"), QStringLiteral("احمدی"), 1, 1, 1});
    addClaimPrescription(db, {12, 1, QStringLiteral("05/07/01"), QStringLiteral("1101"), QStringLiteral("05/07/01"),
                              QStringLiteral("05/12/29"), 1.0, QStringLiteral("9876543210-0000-00-00"),
                              QStringLiteral("987654321000000000"), QStringLiteral("2222"), 1000.0, 1000.0, 0.0,
                              QStringLiteral("سارا"), QStringLiteral("نیک"), 1, 2, 0});
    addClaimPrescription(db, {13, 2, QStringLiteral("05/07/02"), QStringLiteral("2101"), QStringLiteral("05/07/03"),
                              noText, QVariant(QMetaType::fromType<double>()), noText, QStringLiteral("۵۵۰۱"),
                              QStringLiteral("1111"), 2000.0, 1000.0, 1000.0, QStringLiteral("حسن"),
                              QStringLiteral("كاظمي"), 1, 1, 0});
    addClaimPrescription(db, {14, 1, QStringLiteral("05/07/05"), QStringLiteral("1103"), QStringLiteral("05/07/05"),
                              noText, 1.0, noText, QStringLiteral("1"), QStringLiteral("1111"), 10.0, 5.0, 5.0,
                              QStringLiteral("بستري"), QStringLiteral("بستري"), 0, 1, 0});
    addClaimPrescription(db, {0, 1, QStringLiteral("05/07/05"), QStringLiteral("1104"), QStringLiteral("05/07/05"),
                              noText, 1.0, noText, QStringLiteral("1"), QStringLiteral("1111"), 10.0, 5.0, 5.0,
                              QStringLiteral("صفر"), QStringLiteral("صفر"), 1, 1, 0});
    addClaimPrescription(db, {15, 3, QStringLiteral("05/07/05"), QStringLiteral("3101"), QStringLiteral("05/07/05"),
                              noText, 1.0, noText, QStringLiteral("1"), QStringLiteral("1111"), 10.0, 5.0, 5.0,
                              QStringLiteral("ديگر"), QStringLiteral("ديگر"), 1, 1, 0});
    addClaimPrescription(db, {16, 1, QStringLiteral("05/08/01"), QStringLiteral("1105"), QStringLiteral("05/08/01"),
                              noText, 1.0, noText, QStringLiteral("1"), QStringLiteral("1111"), 10.0, 5.0, 5.0,
                              QStringLiteral("بعد"), QStringLiteral("بعد"), 1, 1, 0});

    addClaimLine(db, 11, 1, 1010001, insured, 2, 1100, 700, 300); // priced above the shares
    addClaimLine(db, 11, 2, 1700001, insured, 1, 500.5, 300, 200.5);
    addClaimLine(db, 11, 3, 1010002, QStringLiteral("آزاد"), 1, 4000, 0, 0);
    // Substituted: the equivalent drug 1010003 given for three of 1010001.
    addClaimLine(db, 11, 4, 1010003, insured, 3, 900, 630, 270, {1010001.0, 3.0, 900.0});
    addClaimLine(db, 12, 1, 1010004, insured, 1, 1000, 1000, 0);
    addClaimLine(db, 13, 1, 1010002, insured, 1, 2000, 1000, 1000);
    addClaimLine(db, 13, 2, 9999999, insured, 1, 10, 5, 5); // no longer in the catalogue
}

} // namespace ph::test
