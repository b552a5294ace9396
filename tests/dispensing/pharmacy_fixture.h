#pragma once

#include "db/database.h"
#include "db/schema.h"
#include "dispensing/dispensing_texts.h"
#include "dispensing/prescription_header.h"

namespace ph::test {

inline void exec(Database& db, const QString& sql, const QVariantList& values) {
    db.exec(sql, values);
}

inline void addGoods(Database& db, double code, const QString& name, int group, int type, double price) {
    exec(db,
         QStringLiteral("insert into mosh_kala_anbar (code_kala, name_kala, group_code, type_code, price_u, "
                        "code_sh, flag) values (?, ?, ?, ?, ?, ?, 1)"),
         {code, name, group, type, price, code + 5});
}

// A pharmacy with its catalogue (form 70 the schema's own), three insurers, rules, a tariff, settings, and two
// prescriptions already stored for one patient on 05/06/15.
inline void fillPharmacy(Database& db) {
    Schema(db).ensure();
    for (const auto& [code, name] : QList<QPair<int, QString>>{{1, QStringLiteral("قرص")},
                                                               {30, QStringLiteral("عدد")},
                                                               {40, QStringLiteral("ويال")}})
        exec(db, QStringLiteral("insert into type_kala (code, name, num) values (?, ?, 0)"), {code, name});
    addGoods(db, 1010001, QStringLiteral("آموكسي سيلين 500"), 1, 1, 1000);
    addGoods(db, 1010002, QStringLiteral("سفكسيم 400"), 1, 1, 4000);
    addGoods(db, 1010003, QStringLiteral("ويتامين ث"), 1, 1, 2500);
    addGoods(db, 1400001, QStringLiteral("انسولين"), 1, 40, 50000);
    addGoods(db, 1400002, QStringLiteral("هپارين"), 1, 40, 3000);
    addGoods(db, 1700001, QStringLiteral("پماد تركيبي"), 1, 70, 1200);
    addGoods(db, 3300001, QStringLiteral("سرنگ 5 سي سي"), 3, 30, 150.5);
    addGoods(db, 3300002, QStringLiteral("پنبه الكل"), 3, 30, 80);

    const QString insurer =
        QStringLiteral("insert into organs_m (code, name, code_bimeh, code_pharmacy, orj_flag) "
                       "values (?, ?, '0', '0', ?)");
    exec(db, insurer, {2, QStringLiteral("خدمات درماني"), 0});
    exec(db, insurer, {4, QStringLiteral("نيروهاي مسلح"), 0});
    exec(db, insurer, {6, QStringLiteral("اورژانس"), 1});
    // Insurer 2's second period is stored before its first: the first by number prices,
    // the latest by number gives the thresholds.
    const QString contract = QStringLiteral(
        "insert into organs_s (code, row, from_d, to_d, deduct, goksaghf, gadresssag, toksaghf, tadresssag, "
        "foghok, "
        "foghaddress, msaghf, dsaghf, fani_flag) values (?, ?, '00/01/01', ?, ?, ?, ?, 0, 0, 0, 0, 0, 0, ?)");
    exec(db, contract, {2, 2, QStringLiteral("04/12/29"), 90, 11000, 10000, 0});
    exec(db, contract, {2, 1, QStringLiteral("05/12/29"), 70, 999999, 999999, 1});
    exec(db, contract, {4, 1, QStringLiteral("05/06/14"), 60, 0, 0, 0});

    const QString rule =
        QStringLiteral("insert into bimeh_daru (code_bimeh, code_kala, ty_no, qu, mab, madrak, "
                       "bimarestani, non_bimeh, deduct) values (?, ?, ?, ?, ?, ?, ?, ?, ?)");
    exec(db, rule, {2, 1010002, 1, 2, 0, 0, 0, 0, 0});
    exec(db, rule, {2, 1400002, 0, 0, 0, 0, 1, 0, 0});
    exec(db, QStringLiteral("insert into hoteling (code_bimeh, code_kala) values (?, ?)"), {2, 1400001});
    const QString companion =
        QStringLiteral("insert into hamrah_kala (code_kala, code_kala_h, condition) values (?, ?, ?)");
    exec(db, companion, {1010001, 3300002, texts::kFree});
    exec(db, companion, {1010001, 3300001, texts::kInsured});
    exec(db,
         QStringLiteral("insert into heading_formul_darou (code_darou, name_darou, price_koll_bimeh, "
                        "price_koll_azad, sum_koll) values (?, ?, ?, ?, ?)"),
         {1700001, QStringLiteral("پماد تركيبي"), 900, 300, 1200});

    const QString tariff = QStringLiteral("insert into tarefeh (from_d, to_d, mab_fani_saghf, mab_day_down, "
                                          "mab_day_up, mab_night_down, mab_night_up, "
                                          "percent_otc, mab_max_otc, mab_orj, mab_orj_down, mab_orj_up) "
                                          "values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    exec(db, tariff, {"05/01/01", "05/12/29", 100000, 3000, 4000, 5000, 6000, 10, 5000, 50000, 7000, 8000});
    exec(db, tariff, {"04/01/01", "04/12/29", 1, 1, 1, 1, 1, 1, 1, 1, 1, 1});
    exec(
        db,
        QStringLiteral("insert into tanzimat (message_taeed, message_address, mode) values (?, ?, 'Single')"),
        {1, 1});

    const QString heading =
        QStringLiteral("insert into heading_noskhe (sh_factor, date_no, sh_bimeh, code_bimeh) "
                       "values (?, ?, ?, 2)");
    const QString line =
        QStringLiteral("insert into details_noskhe (sh_factor, row, code_darou, tedad) values (?, ?, ?, 1)");
    for (const auto& [invoice, number] : QList<QPair<int, QString>>{{9, QStringLiteral("1234567890")},
                                                                    {7, QStringLiteral("1234567890")},
                                                                    {8, QStringLiteral("999")}}) {
        exec(db, heading, {invoice, QStringLiteral("05/06/15"), number});
        exec(db, line, {invoice, 1, 1010001});
        exec(db, line, {invoice, 2, 1010002});
    }
}

// An outpatient header that passes every check, for an ordinary insurer or a social-
// security one; its booklet expires on the prescription's own day, 05/07/15.
inline PrescriptionHeader completeHeader() {
    PrescriptionHeader h;
    h.insNo = {QStringLiteral("1234567890"), QStringLiteral("1234"), QStringLiteral("01"), QStringLiteral("05")};
    h.family = QStringLiteral("رضايي");
    h.name = QStringLiteral("علي");
    h.pageNumber = QStringLiteral("12");
    h.prescriberCouncil = QStringLiteral("45213");
    h.prescriberName = QStringLiteral("مريم");
    h.prescriberFamily = QStringLiteral("احمدي");
    h.specialtyCode = QStringLiteral("1");
    h.typeCode = QStringLiteral("1");
    h.expiryDate = QStringLiteral("1405/07/15");
    h.prescriptionDate = QStringLiteral("05/07/15");
    h.deliveryDate = QStringLiteral("05/07/15");
    return h;
}

} // namespace ph::test
