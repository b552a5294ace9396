#include "dispensing/prescription_print_data.h"

#include "db/database.h"
#include "dispensing/dispensing_texts.h"
#include "dispensing/settings_store.h"
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
    Rows head = m_db.exec(QStringLiteral("select code_no, date_sabt, family_b, name_b, code_bimeh, price_koll, "
                                              "price_bimar, price_bimeh, price_azad, fani from heading_noskhe "
                                              "where sh_factor=?"),
                               {invoice});
    if (!head.next()) return std::nullopt;
    PrescriptionPrintData d;
    d.invoice = invoice;
    d.code = head.value(0).toString();
    d.deliveryDate = head.value(1).toString();
    d.family = head.value(2).toString();
    d.name = head.value(3).toString();
    d.insurer = head.value(4).toInt();
    d.total = head.value(5).toDouble();
    d.patientShare = head.value(6).toDouble();
    d.insurerShare = head.value(7).toDouble();
    d.free = head.value(8).toDouble();
    d.fee = head.value(9).toDouble();
    head.finish();

    Rows lines = m_db.exec(
        QStringLiteral("select d.row, d.code_darou, g.name_kala, d.vaziat, d.tedad, d.price_koll, d.sazman, d.bimar, "
                       "d.azad, d.otc, d.kala, g.code_kala from details_noskhe d "
                       "left join mosh_kala_anbar g on g.code_kala=d.code_darou where d.sh_factor=? order by d.row"),
        {invoice});
    while (lines.next()) {
        PrintedLine line;
        line.row = lines.value(0).toInt();
        line.code = lines.value(1).toDouble();
        if (!lines.value(11).isNull()) line.name = lines.value(2).toString();
        line.kind = lines.value(3).toString();
        line.quantity = lines.value(4).toDouble();
        line.total = lines.value(5).toDouble();
        line.insurer = lines.value(6).toDouble();
        line.patient = lines.value(7).toDouble();
        line.free = lines.value(8).toDouble();
        line.otc = lines.value(9).toDouble();
        line.goods = lines.value(10).toDouble();
        d.lines.append(line);
    }
    lines.finish();

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
