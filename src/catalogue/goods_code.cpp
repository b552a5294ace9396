#include "catalogue/goods_code.h"

#include "core/error.h"
#include "db/database.h"

namespace ph {

double composeGoodsCode(qint64 group, qint64 form, qint64 counter) {
    return double(group) * 1000000.0 + double(form) * 10000.0 + double(counter);
}

double allocateGoodsCode(Database& db, qint64 group, qint64 form) {
    // Raised before the number is read: the update locks the form's row until the saving
    // transaction ends, so a second workstation waits and then draws the next number.
    db.exec(QStringLiteral("update type_kala set num=coalesce(num,0)+1 where code=?"), {form});
    const QVariant counter = db.scalar(QStringLiteral("select max(num) from type_kala where code=?"), {form});
    if (counter.isNull())
        throw Error(QStringLiteral("اين كد موجود نمي باشد"));
    return composeGoodsCode(group, form, counter.toLongLong());
}

} // namespace ph
