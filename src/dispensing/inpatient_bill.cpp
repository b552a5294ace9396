#include "dispensing/inpatient_bill.h"

#include "db/database.h"

#include <QStringList>

namespace ph {
namespace {

const QString kInsured = QStringLiteral("تعرفه");
const QString kFree = QStringLiteral("آزاد");

} // namespace

const QStringList& billCategories() {
    static const QStringList categories = {
        QStringLiteral("دارويي تعرفه"),  QStringLiteral("دارويي آزاد"), QStringLiteral("تجهيزات تعرفه"),
        QStringLiteral("تجهيزات آزاد"), QStringLiteral("هتلينگ"),      QStringLiteral("ساير"),
    };
    return categories;
}

QString billCategory(int groupCode, const QString& kind, double hoteling) {
    const QStringList& c = billCategories();
    const QString k = kind.trimmed();
    if (hoteling == 0) {
        if (groupCode == 1 && k == kInsured) return c[0];
        if (groupCode == 1 && k == kFree) return c[1];
        if (groupCode == 4 && k == kInsured) return c[2];
        if (groupCode == 4 && k == kFree) return c[3];
        return c[5];
    }
    return c[4];
}

InpatientBill composeBill(const QList<BillLine>& lines, double fee) {
    InpatientBill bill;
    bill.fee = fee;
    for (const QString& category : billCategories()) {
        BillGroup group;
        group.category = category;
        for (const BillLine& line : lines) {
            if (line.category != category) continue;
            group.lines.append(line);
            group.insurer += line.insurer;
            group.patient += line.patient;
            group.free += line.free;
            if (line.hoteling == 0) group.tariff += line.total();
        }
        if (group.lines.isEmpty()) continue;
        bill.insurer += group.insurer;
        bill.patient += group.patient;
        bill.free += group.free;
        bill.tariffLines += group.tariff;
        bill.groups.append(group);
    }
    return bill;
}

std::optional<BillPatient> InpatientBillStore::findFile(const QString& fileNumber) {
    Rows q = m_db.exec(m_db.dialect().selectLimited(
                                QStringLiteral("h.name_b, h.family_b, o.name from heading_noskhe h "
                                               "left join organs_m o on o.code=h.code_bimeh where h.sh_bimeh=? "
                                               "order by h.sh_factor"),
                                1),
                            {fileNumber});
    if (!q.next()) return std::nullopt;
    return BillPatient{q.value(0).toString().trimmed() + u' ' + q.value(1).toString().trimmed(),
                       q.value(2).toString().trimmed()};
}

InpatientBill InpatientBillStore::read(const BillRequest& request) {
    // A line stored without a hoteling price counts as one of 0.
    QString where = QStringLiteral("paz_type=0 and sh_bimeh=? and date_no>=? and date_no<=?");
    QVariantList params = {request.fileNumber, request.fromDate, request.toDate};
    if (request.ward) {
        where += QStringLiteral(" and code_bakhsh=?");
        params.append(*request.ward);
    }
    QList<BillLine> lines;
    {
        Rows q = m_db.exec(
            QStringLiteral("select coalesce(price_h, 0) as hoteling, vaziat, group_code, code_darou, name, name_kala, "
                           "price_one, sum(tedad), sum(sazman), sum(bimar), sum(azad) from v_see_noskhe where %1 "
                           "group by coalesce(price_h, 0), vaziat, group_code, code_darou, name, name_kala, price_one "
                           "order by 1, vaziat, group_code, code_darou, price_one")
                .arg(where),
            params);
        while (q.next()) {
            BillLine line;
            line.hoteling = q.value(0).toDouble();
            line.category = billCategory(q.value(2).toInt(), q.value(1).toString(), line.hoteling);
            line.formName = q.value(4).toString().trimmed();
            line.name = q.value(5).toString().trimmed();
            line.unitPrice = q.value(6).toDouble();
            line.quantity = q.value(7).toDouble();
            line.insurer = q.value(8).toDouble();
            line.patient = q.value(9).toDouble();
            line.free = q.value(10).toDouble();
            lines.append(line);
        }
    }
    const double fee =
        m_db.scalar(QStringLiteral("select coalesce(sum(fani), 0) from heading_noskhe where %1").arg(where), params)
            .toDouble();
    return composeBill(lines, fee);
}

} // namespace ph
