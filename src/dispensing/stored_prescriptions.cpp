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
#include "insurance/doctor_store.h"

namespace ph {
namespace {

using Col = PrescriptionLines::Column;

// A stored number as the fields show it: plain decimal text; empty for a null.
QString numberText(const QVariant& value) {
    return value.isNull() ? QString() : plainDecimalText(value.toDouble());
}

QString text(const QVariant& value) {
    return value.isNull() ? QString() : value.toString().trimmed();
}

// Column positions in the statement below.
enum Field {
    ShFactor, DateNo, DateSabt, DateBimeh, CodeNo, CodeBimeh, InsNoTamin, ShDarkhast, CodeBakhsh, PazType, Personel,
    NameB, ShSafhe, FamilyB, NezamP, PriceBimar, PriceBimeh, PriceAzad, PriceKoll, PriceOtc, Fani, PriceKala, TypeNo,
    NameKala, CodeDarou, FormName, Vaziat, Tedad, PriceOne, PriceKoll1, Sazman, Bimar, Azad, Otc, Kala, PriceH,
    FlagMoadel, CodeDarouMain, TedadDarouMain, PriceDarouMain,
};

void readHeader(const Rows& q, StoredPrescription& p) {
    p.invoiceNumber = q.value(ShFactor).toInt();
    p.code = text(q.value(CodeNo));
    p.insurerCode = numberText(q.value(CodeBimeh));
    p.insNoTamin = text(q.value(InsNoTamin));
    PrescriptionHeader& h = p.header;
    h.invoiceNumber = QString::number(p.invoiceNumber);
    h.prescriptionDate = text(q.value(DateNo));
    h.deliveryDate = text(q.value(DateSabt));
    h.expiryDate = text(q.value(DateBimeh));
    h.requestNumber = numberText(q.value(ShDarkhast));
    h.wardCode = numberText(q.value(CodeBakhsh));
    h.admission = q.value(PazType).toInt() == 0 && !q.value(PazType).isNull() ? Admission::Inpatient
                                                                               : Admission::Outpatient;
    h.staff = q.value(Personel).toInt() != 0;
    h.name = text(q.value(NameB));
    h.pageNumber = numberText(q.value(ShSafhe));
    h.family = text(q.value(FamilyB));
    h.prescriberCouncil = text(q.value(NezamP));
    h.typeCode = numberText(q.value(TypeNo));

    Totals& t = p.totals;
    const auto amount = [&](Field field, QString& target) {
        if (!q.value(field).isNull()) target = plainDecimalText(q.value(field).toDouble());
    };
    amount(PriceBimar, t.patientShare);
    amount(PriceBimeh, t.insurerShare);
    if (!q.value(PriceBimar).isNull() && !q.value(PriceBimeh).isNull())
        t.insuredTotal = plainDecimalText(q.value(PriceBimar).toDouble() + q.value(PriceBimeh).toDouble());
    amount(PriceAzad, t.free);
    amount(PriceKoll, t.payable);
    amount(PriceOtc, t.otc);
    amount(Fani, t.fee);
    amount(PriceKala, t.goods);
}

QStringList readLine(const Rows& q, int row) {
    QStringList cells(PrescriptionLines::kColumns);
    cells[Col::RowNumber] = QString::number(row);
    cells[Col::Name] = q.value(NameKala).toString();
    cells[Col::Code] = numberText(q.value(CodeDarou));
    cells[Col::FormName] = text(q.value(FormName));
    cells[Col::Kind] = q.value(Vaziat).toString();
    const Field amounts[] = {Tedad, PriceOne, PriceKoll1, Sazman, Bimar, Azad, Otc, Kala};
    for (int i = 0; i < int(std::size(amounts)); ++i)
        cells[Col::Quantity + i] = numberText(q.value(amounts[i]));
    cells[Col::HotelingPrice] = q.value(PriceH).isNull() ? QStringLiteral("0") : numberText(q.value(PriceH));
    if (q.value(FlagMoadel).toInt() == 0) {
        cells[Col::Substitute] = QStringLiteral("0");
    } else {
        cells[Col::Substitute] = texts::kSubstitute;
        cells[Col::MainDrugCode] = numberText(q.value(CodeDarouMain));
        cells[Col::MainDrugQuantity] = numberText(q.value(TedadDarouMain));
        cells[Col::MainDrugPrice] = numberText(q.value(PriceDarouMain));
    }
    return cells;
}

} // namespace

std::optional<StoredPrescription> StoredPrescriptions::load(int invoiceNumber) {
    Rows q = m_db.exec(
        QStringLiteral("select sh_factor, date_no, date_sabt, date_bimeh, code_no, code_bimeh, insnotamin, "
                       "sh_darkhast, code_bakhsh, paz_type, personel, name_b, sh_safhe, family_b, nezam_p, "
                       "price_bimar, price_bimeh, price_azad, price_koll, price_otc, fani, price_kala, type_no, "
                       "name_kala, code_darou, name, vaziat, tedad, price_one, price_koll1, sazman, bimar, azad, "
                       "otc, kala, price_h, flag_moadel, code_darou_main, tedad_darou_main, price_darou_main "
                       "from v_see_noskhe where sh_factor=? order by row"),
        {invoiceNumber});
    std::optional<StoredPrescription> stored;
    double tariffTotal = 0;
    while (q.next()) {
        if (!stored) {
            stored.emplace();
            readHeader(q, *stored);
        }
        if (q.value(NameKala).isNull()) continue; // its drug has left the catalogue
        stored->lines.append(readLine(q, int(stored->lines.size()) + 1));
        if (q.value(Vaziat).toString().trimmed() == texts::kInsured) tariffTotal += q.value(PriceKoll1).toDouble();
    }
    q.finish();
    if (!stored) return std::nullopt;
    stored->totals.tariffTotal = plainDecimalText(tariffTotal);
    // The names the council number's look-up would show.
    if (!stored->header.prescriberCouncil.isEmpty())
        if (const auto doctor = DoctorStore(m_db).findByCouncilNumber(stored->header.prescriberCouncil)) {
            stored->header.prescriberName = doctor->name.trimmed();
            stored->header.prescriberFamily = doctor->family.trimmed();
            stored->header.specialtyCode = doctor->specialty ? QString::number(doctor->specialty) : QString();
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
