#pragma once

#include "dispensing/drug_list.h"
#include "dispensing/prescription_session.h"

#include <QString>

namespace ph::test {

// Enters a prescription of the demo working set's first `lines` drugs, one unit each,
// for insurer 2 and patient `patient` (a distinct patient never meets the duplicate
// check), dated 05/07/15.
inline void enterSamplePrescription(PrescriptionSession& session, const QList<DrugItem>& drugs, int lines,
                                    qint64 patient) {
    session.start({QStringLiteral("05/07/15"), QStringLiteral("10:00")});
    session.changeInsurer(InsurerCode::fromText(QStringLiteral("2")));
    PrescriptionHeader& h = session.header();
    h.insNo.base = QString::number(1000000000 + patient);
    h.family = QStringLiteral("بيمار %1").arg(patient);
    h.name = QStringLiteral("علي");
    h.pageNumber = QStringLiteral("1");
    h.prescriberCouncil = QStringLiteral("45213");
    h.prescriberName = QStringLiteral("علي");
    h.prescriberFamily = QStringLiteral("محمدي");
    h.specialtyCode = QStringLiteral("1");
    h.typeCode = QStringLiteral("1");
    h.expiryDate = QStringLiteral("1405/12/29");
    h.prescriptionDate = h.deliveryDate = QStringLiteral("05/07/15");
    for (int i = 0; i < lines; ++i) {
        const DrugItem& drug = drugs.at(i % drugs.size());
        session.addLine(drug, {QStringLiteral("1"), session.kindForChosen(drug),
                               drug.listPrice ? QString::number(*drug.listPrice, 'f', 0) : QString()});
    }
}

} // namespace ph::test
