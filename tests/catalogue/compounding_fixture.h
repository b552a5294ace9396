#pragma once

#include "catalogue/drug_texts.h"
#include "catalogue/formulas.h"
#include "db/database.h"

#include <QString>

// A small compounding set, on a database the schema made (which holds form 70 with its
// counter at 0): units, two materials (1,200 and 4,000 Rials), one formula type with fees
// 5,000 and 2,000, and one text in each list.
namespace ph::test {

inline void seedCompounding(Database& db) {
    db.exec(QStringLiteral("insert into group_kala (code, name) values (1, ?)"), {QStringLiteral("دارويي")});
    db.exec(QStringLiteral("insert into vahed_madeh (code, name) values (1, ?), (2, ?)"),
            {QStringLiteral("گرم"), QStringLiteral("ميلي ليتر")});
    db.exec(QStringLiteral("insert into material (code_mat, name_mat, vahed, price) values (1, ?, 1, 1200), "
                           "(2, ?, 2, 4000)"),
            {QStringLiteral("وازلين"), QStringLiteral("گليسيرين")});
    db.exec(QStringLiteral("insert into type_formul (code, name, fani, khadamat, code_meli) values (1, ?, 5000, 2000, "
                           "'123')"),
            {QStringLiteral("پماد")});
    DrugTextStore(db, DrugTextKind::Instructions).add(QStringLiteral("روزي دو بار"));
    DrugTextStore(db, DrugTextKind::Storage).add(QStringLiteral("دور از نور"));
    DrugTextStore(db, DrugTextKind::Messages).add(QStringLiteral("فقط مصرف خارجي"));
}

// The formula of the worked example: one insured line 3 × 1,200 and one free line 0.5 × 4,000
// with the type's fees, payable 12,600.
inline Formula ointment(const QString& name = QStringLiteral("پماد سوختگي")) {
    Formula f;
    f.name = name;
    f.latinName = QStringLiteral("burn ointment");
    f.type = 1;
    f.technicalFee = 5000;
    f.serviceFee = 2000;
    f.instruction = 1;
    f.storage = 1;
    f.message = 1;
    f.lines = {{1, QStringLiteral("وازلين"), QStringLiteral("گرم"), kInsuredMaterial, 3, 1200},
               {2, QStringLiteral("گليسيرين"), QStringLiteral("ميلي ليتر"), kFreeMaterial, 0.5, 4000}};
    return f;
}

inline double goodsPrice(Database& db, double code) {
    return db.scalar(QStringLiteral("select price_u from mosh_kala_anbar where code_kala=?"), {code}).toDouble();
}

} // namespace ph::test
