#pragma once

#include "db/database.h"

#include <QString>

// A small catalogue for the goods tests: groups 1 and 2, forms 7 and 8 with their
// counters at 0, and goods rows written as the goods tree would write them.
namespace ph::test {

inline void seedGroupsAndForms(Database& db) {
    db.exec(QStringLiteral("insert into group_kala (code, name) values (1, ?), (2, ?)"),
            {QStringLiteral("دارويي"), QStringLiteral("بهداشتي")});
    db.exec(QStringLiteral("insert into type_kala (code, name, num) values (7, ?, 0), (8, ?, 0)"),
            {QStringLiteral("قرص"), QStringLiteral("كپسول")});
}

inline void insertGoods(Database& db, double code, const QString& name, int group, int form, double price = 0,
                        const QVariant& nationalCode = 0, const QString& latin = QStringLiteral("x")) {
    db.exec(QStringLiteral("insert into mosh_kala_anbar (code_kala, name_kala, name_kala_latin, group_code, type_code, "
                           "code_tow, code_sh, price_u, flag) values (?, ?, ?, ?, ?, ?, 0, ?, 1)"),
            {code, name, latin, group, form, nationalCode, price});
}

inline int formCounter(Database& db, int form) {
    return db.scalar(QStringLiteral("select num from type_kala where code=?"), {form}).toInt();
}

inline int count(Database& db, const QString& table) {
    return db.scalar(QStringLiteral("select count(*) from ") + table).toInt();
}

} // namespace ph::test
