#include "dispensing/threshold_repository.h"

#include "db/database.h"
#include "dispensing/insurer_repository.h"

namespace ph {

ThresholdSettings ThresholdRepository::settings() {
    QSqlQuery query = m_db.exec(
        m_db.dialect().selectLimited(QStringLiteral("message_taeed, message_address from tanzimat"), 1));
    ThresholdSettings settings;
    if (query.next()) {
        settings.approvalMessages = query.value(0).toBool();
        settings.addressMessages = query.value(1).toBool();
    }
    return settings;
}

ThresholdInput ThresholdRepository::input(const QString& insurerCode, const QString& specialtyCode,
                                          double patientSum, double insurerSum) {
    ThresholdInput input;
    input.insurerCode = insurerCode;
    input.specialtyCode = specialtyCode;
    input.patientSum = patientSum;
    input.insurerSum = insurerSum;
    input.settings = settings();
    bool isWhole = false;
    const int insurer = insurerCode.trimmed().toInt(&isWhole);
    if (isWhole && insurer > 0) input.latestContract = InsurerRepository(m_db).latest(insurer);
    return input;
}

} // namespace ph
