#pragma once

#include <QtGlobal>

namespace ph {

class Database;

// Goods codes are made from the goods group, the drug form and the form's running counter
// (type_kala.num), which all groups share:
//
//     code = group × 1,000,000 + form × 10,000 + counter
//
// so the first goods of form 7 in group 1 is 1070001 and the next goods of form 7, in any
// group, 1070002 or 2070002. Compounded drugs are group 1, form 70. Nothing enforces the
// ranges (groups 1-9, forms 1-99, 9,999 goods per form) except the duplicate-code check of
// whoever stores the code.
double composeGoodsCode(qint64 group, qint64 form, qint64 counter);

// Raises the form's counter by one and returns the code made from it. The number is used up
// at once: a code its caller then refuses as a duplicate is not given again. Call it inside
// the transaction that stores the code; the counter is raised in one statement, so two
// workstations never draw the same number. Throws ph::Error when the form has no row.
double allocateGoodsCode(Database& db, qint64 group, qint64 form);

} // namespace ph
