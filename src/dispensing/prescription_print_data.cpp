#include "dispensing/prescription_print_data.h"

#include "db/database.h"
#include "dispensing/dispensing_texts.h"
#include "dispensing/settings_store.h"
#include "dispensing/stored_prescription_record.h"
#include "insurance/insurer_store.h"


namespace ph {

QList<PrintedLine> PrescriptionPrintData::insuredLines() const {
    QList<PrintedLine> insured;
    for (const PrintedLine& line : lines)
        if (line.kind == texts::kInsured) insured.append(line);
    return insured;
}

QString PrescriptionPrintData::patientName() const {
    return family.trimmed() + QLatin1Char(' ') + name.trimmed();
}

std::optional<PrescriptionPrintData> PrescriptionPrintReader::read(int invoice) {
    const std::optional<StoredPrescriptionRecord> record = StoredPrescriptionReader(m_db).read(invoice);
    if (!record) return std::nullopt;
    const StoredHeaderRecord& h = record->header;
    PrescriptionPrintData d;
    d.invoice = invoice;
    d.code = h.code;
    d.deliveryDate = h.deliveryDate;
    d.family = h.family;
    d.name = h.name;
    d.insurer = int(h.insurerCode.value_or(0));
    d.total = h.payable.value_or(0);
    d.patientShare = h.patientShare.value_or(0);
    d.insurerShare = h.insurerShare.value_or(0);
    d.free = h.free.value_or(0);
    d.fee = h.fee.value_or(0);
    for (const StoredLineRecord& l : record->lines) {
        PrintedLine line;
        line.row = l.row;
        line.code = l.code.value_or(0);
        if (l.inCatalogue) line.name = l.name.value_or(QString());
        line.kind = l.kind;
        line.quantity = l.quantity.value_or(0);
        line.total = l.total.value_or(0);
        line.insurer = l.insurer.value_or(0);
        line.patient = l.patient.value_or(0);
        line.free = l.free.value_or(0);
        line.otc = l.otc.value_or(0);
        line.goods = l.goods.value_or(0);
        d.lines.append(line);
    }

    d.insurerName = InsurerStore(m_db).nameOf(d.insurer);
    d.setting = PrintSettingStore(m_db).forInsurer(d.insurer);
    return d;
}

AutomaticPrints PrescriptionPrintReader::automaticPrints() {
    AutomaticPrints prints;
    if (const std::optional<Settings> settings = SettingsStore(m_db).read()) {
        prints.prescription = settings->printPrescription;
        prints.invoice = settings->printInvoice;
    }
    return prints;
}

} // namespace ph
