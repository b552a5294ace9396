#include "dispensing/totals_repository.h"

#include "db/database.h"
#include "dispensing/line_pricer.h"

namespace ph {

FeeFacts TotalsRepository::facts(const FeeQuery& query) {
    FeeFacts facts;
    facts.tariff = tariff();
    facts.hour = query.hour;
    facts.currentInvoice = query.currentInvoice;
    if (const auto insurer = insurerNumber(query.insurerCode)) {
        facts.emergencyInsurer = m_insurers.isEmergency(*insurer);
        facts.contract = m_insurers.first(*insurer);
    }
    facts.firstInvoiceOfDay = firstInvoiceOfDay(query.prescriptionDate.trimmed(), query.insuranceNumber);
    return facts;
}

std::optional<Tariff> TotalsRepository::tariff() {
    QSqlQuery query = m_db.exec(m_db.dialect().selectLimited(
        QStringLiteral("mab_fani_saghf, mab_day_down, mab_day_up, mab_night_down, mab_night_up, percent_otc, "
                       "mab_max_otc, mab_orj, mab_orj_down, mab_orj_up from tarefeh order by coalesce(ord, 0)"),
        1));
    if (!query.next()) return std::nullopt;
    Tariff tariff;
    tariff.feeCeiling = query.value(0).toDouble();
    tariff.dayDown = query.value(1).toDouble();
    tariff.dayUp = query.value(2).toDouble();
    tariff.nightDown = query.value(3).toDouble();
    tariff.nightUp = query.value(4).toDouble();
    tariff.otcPercent = query.value(5).toDouble();
    tariff.otcMax = query.value(6).toDouble();
    tariff.emergencyCeiling = query.value(7).toDouble();
    tariff.emergencyDown = query.value(8).toDouble();
    tariff.emergencyUp = query.value(9).toDouble();
    return tariff;
}

std::optional<int> TotalsRepository::firstInvoiceOfDay(const QString& date, const QString& insuranceNumber) {
    if (insuranceNumber.trimmed().isEmpty()) return std::nullopt;
    QSqlQuery query = m_db.exec(QStringLiteral("select date_no, sh_factor from v_see_noskhe "
                                               "where date_no=? and sh_bimeh=? "
                                               "group by date_no, sh_factor order by sh_factor"),
                                {date, insuranceNumber});
    if (!query.next()) return std::nullopt;
    return query.value(1).toInt();
}

int TotalsRepository::nextInvoiceNumber() {
    const QVariant largest = m_db.scalar(QStringLiteral("select max(sh_factor) from heading_noskhe"));
    return largest.isNull() ? 1 : largest.toInt() + 1;
}

} // namespace ph
