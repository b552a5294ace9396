#pragma once

#include "../dispensing/pharmacy_fixture.h"
#include "dispensing/prescription_record.h"

namespace ph::test {

inline const QString kSaleDay = QStringLiteral("05/07/20");

// The pharmacy of the dispensing tests with stock kept in the pharmacy unit: ten of every
// goods item but the compounded one, and no settings row asking for a separate cash desk.
inline void fillShop(Database& db) {
    fillPharmacy(db);
    for (double code : {1010001.0, 1010002.0, 3300001.0, 3300002.0, 1700001.0})
        db.exec(QStringLiteral("insert into moj_kala_vah (code_kala, code_vah, moj_vah, price_u) "
                               "select code_kala, 20, 10, price_u from mosh_kala_anbar where code_kala=?"),
                {code});
    db.exec(QStringLiteral("update tanzimat set cash=0"));
}

inline double stockOf(Database& db, double code) {
    return db.scalar(QStringLiteral("select moj_vah from moj_kala_vah where code_kala=? and code_vah=20"), {code})
        .toDouble();
}

inline SaveContext saleContext(int user = 3) {
    return {user, 7, kSaleDay, QStringLiteral("10:30")};
}

} // namespace ph::test
