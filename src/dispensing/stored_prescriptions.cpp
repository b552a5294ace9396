#include "dispensing/stored_prescriptions.h"

#include "audit/audit_kinds.h"
#include "audit/audit_log.h"
#include "core/amounts.h"
#include "db/database.h"
#include "db/transaction.h"
#include "dispensing/dispensing_texts.h"
#include "dispensing/drug_list.h"
#include "dispensing/prescription_lines.h"
#include "dispensing/prescription_store.h"
#include "dispensing/stored_prescription_record.h"
#include "insurance/doctor_store.h"

namespace ph {
namespace {

using Col = PrescriptionLines::Column;

// A stored number as the fields show it: plain decimal text; empty for a null.
QString numberText(const std::optional<double>& value) { return value ? plainDecimalText(*value) : QString(); }

void showHeader(const StoredHeaderRecord& r, StoredPrescription& p) {
    p.invoiceNumber = r.invoiceNumber;
    p.code = r.code.trimmed();
    p.insurerCode = numberText(r.insurerCode);
    p.insNoTamin = r.insNoTamin.trimmed();
    PrescriptionHeader& h = p.header;
    h.invoiceNumber = QString::number(r.invoiceNumber);
    h.prescriptionDate = r.prescriptionDate.trimmed();
    h.deliveryDate = r.deliveryDate.trimmed();
    h.expiryDate = r.expiryDate.trimmed();
    h.requestNumber = numberText(r.requestNumber);
    h.wardCode = numberText(r.wardCode);
    h.admission = r.admission == 0 ? Admission::Inpatient : Admission::Outpatient;
    h.staff = r.staff;
    h.name = r.name.trimmed();
    h.pageNumber = numberText(r.pageNumber);
    h.family = r.family.trimmed();
    h.prescriberCouncil = r.prescriberCouncil.trimmed();
    h.typeCode = numberText(r.typeCode);

    Totals& t = p.totals;
    t.patientShare = numberText(r.patientShare);
    t.insurerShare = numberText(r.insurerShare);
    if (r.patientShare && r.insurerShare) t.insuredTotal = plainDecimalText(*r.patientShare + *r.insurerShare);
    t.free = numberText(r.free);
    t.payable = numberText(r.payable);
    t.otc = numberText(r.otc);
    t.fee = numberText(r.fee);
    t.goods = numberText(r.goods);
}

QStringList lineCells(const StoredLineRecord& l, int row) {
    QStringList cells(PrescriptionLines::kColumns);
    cells[Col::RowNumber] = QString::number(row);
    cells[Col::Name] = l.name.value_or(QString());
    cells[Col::Code] = numberText(l.code);
    cells[Col::FormName] = l.formName.trimmed();
    cells[Col::Kind] = l.kind;
    const std::optional<double> amounts[] = {l.quantity, l.unitPrice, l.total, l.insurer,
                                             l.patient,  l.free,      l.otc,   l.goods};
    for (int i = 0; i < int(std::size(amounts)); ++i)
        cells[Col::Quantity + i] = numberText(amounts[i]);
    cells[Col::HotelingPrice] = l.hotelingPrice ? numberText(l.hotelingPrice) : QStringLiteral("0");
    if (l.substituted == 0) {
        cells[Col::Substitute] = QStringLiteral("0");
    } else {
        cells[Col::Substitute] = texts::kSubstitute;
        cells[Col::MainDrugCode] = numberText(l.mainDrugCode);
        cells[Col::MainDrugQuantity] = numberText(l.mainDrugQuantity);
        cells[Col::MainDrugPrice] = numberText(l.mainDrugPrice);
    }
    return cells;
}

} // namespace

std::optional<StoredPrescription> StoredPrescriptions::load(int invoiceNumber) {
    const std::optional<StoredPrescriptionRecord> record = StoredPrescriptionReader(m_db).read(invoiceNumber);
    // A header without lines (a lump prescription) is not one the window can show.
    if (!record || record->lines.isEmpty()) return std::nullopt;
    StoredPrescription stored;
    showHeader(record->header, stored);
    double tariffTotal = 0;
    for (const StoredLineRecord& line : record->lines) {
        if (!line.name) continue; // its drug has left the catalogue
        stored.lines.append(lineCells(line, int(stored.lines.size()) + 1));
        if (line.kind.trimmed() == texts::kInsured) tariffTotal += line.total.value_or(0);
    }
    stored.totals.tariffTotal = plainDecimalText(tariffTotal);
    // The names the council number's look-up would show.
    if (!stored.header.prescriberCouncil.isEmpty())
        if (const auto doctor = DoctorStore(m_db).findByCouncilNumber(stored.header.prescriberCouncil)) {
            stored.header.prescriberName = doctor->name.trimmed();
            stored.header.prescriberFamily = doctor->family.trimmed();
            stored.header.specialtyCode = doctor->specialty ? QString::number(doctor->specialty) : QString();
        }
    return stored;
}

std::optional<int> StoredPrescriptions::first() {
    const QVariant value = m_db.scalar(QStringLiteral("select min(sh_factor) from heading_noskhe"));
    return value.isNull() ? std::nullopt : std::optional<int>(value.toInt());
}

std::optional<int> StoredPrescriptions::last() {
    const QVariant value = m_db.scalar(QStringLiteral("select max(sh_factor) from heading_noskhe"));
    return value.isNull() ? std::nullopt : std::optional<int>(value.toInt());
}

StoredPrescriptions::RemoveResult StoredPrescriptions::remove(int invoiceNumber, const AuditOrigin& origin) {
    Transaction transaction(m_db);
    if (!m_db.exec(m_db.dialect().selectLimited(QStringLiteral("1 from heading_noskhe where sh_factor=?"), 1),
                   {invoiceNumber})
             .next())
        return RemoveResult::NotFound;
    // Closed by the cash desk: the prescription's own rows decide, not a goods invoice's.
    if (m_db.exec(m_db.dialect().selectLimited(
                      QStringLiteral("1 from cash where sh_factor=? and type_factor='d' and ekhtetam=1"), 1),
                  {invoiceNumber})
            .next())
        return RemoveResult::ClosedByCashDesk;
    // In stock-keeping mode the dispensed drugs go back to the shelf with the prescription.
    const PrescriptionStore::StoredRows before = PrescriptionStore::storedRows(m_db, invoiceNumber);
    if (DrugList(m_db).stockKeepingMode()) PrescriptionStore(m_db).putBackStock(invoiceNumber);
    m_db.exec(QStringLiteral("delete from heading_noskhe where sh_factor=?"), {invoiceNumber});
    m_db.exec(QStringLiteral("delete from details_noskhe where sh_factor=?"), {invoiceNumber});
    // A goods invoice numbered by its own counter may share the number: its rows stay.
    m_db.exec(QStringLiteral("delete from cash where sh_factor=? and type_factor='d'"), {invoiceNumber});
    appendAudit(m_db, origin,
                {audit_kind::kPrescription, QString::number(invoiceNumber),
                 PrescriptionStore::changes(before, {})});
    transaction.commit();
    return RemoveResult::Removed;
}

} // namespace ph
