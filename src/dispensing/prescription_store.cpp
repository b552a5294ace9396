#include "dispensing/prescription_store.h"

#include "db/database.h"

namespace ph {

std::optional<int> PrescriptionStore::firstInvoiceOfDay(const QString& date, const QString& insuranceNumber) {
    if (insuranceNumber.trimmed().isEmpty()) return std::nullopt;
    QSqlQuery query = m_db.exec(QStringLiteral("select date_no, sh_factor from v_see_noskhe "
                                               "where date_no=? and sh_bimeh=? "
                                               "group by date_no, sh_factor order by sh_factor"),
                                {date, insuranceNumber});
    if (!query.next()) return std::nullopt;
    return query.value(1).toInt();
}

int PrescriptionStore::nextInvoiceNumber() {
    const QVariant largest = m_db.scalar(QStringLiteral("select max(sh_factor) from heading_noskhe"));
    return largest.isNull() ? 1 : largest.toInt() + 1;
}

ThresholdSettings PrescriptionStore::thresholdSettings() {
    QSqlQuery query = m_db.exec(
        m_db.dialect().selectLimited(QStringLiteral("message_taeed, message_address from tanzimat"), 1));
    ThresholdSettings settings;
    if (query.next()) {
        settings.approvalMessages = query.value(0).toBool();
        settings.addressMessages = query.value(1).toBool();
    }
    return settings;
}

} // namespace ph
