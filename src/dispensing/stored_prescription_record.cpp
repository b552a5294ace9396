#include "dispensing/stored_prescription_record.h"

#include "db/database.h"

namespace ph {
namespace {

// Column positions in the statement below.
enum Field {
    ShFactor, DateNo, DateSabt, DateBimeh, CodeNo, CodeBimeh, InsNoTamin, ShDarkhast, CodeBakhsh, PazType, Personel,
    NameB, ShSafhe, FamilyB, NezamP, TypeNo, PriceBimar, PriceBimeh, PriceAzad, PriceKoll, PriceOtc, Fani, PriceKala,
    LineInvoice, Row, CodeDarou, GoodsCode, NameKala, FormName, Vaziat, Tedad, PriceOne, PriceKoll1, Sazman, Bimar,
    Azad, Otc, Kala, PriceH, FlagMoadel, CodeDarouMain, TedadDarouMain, PriceDarouMain,
};

std::optional<double> number(const Rows& q, int field) {
    return q.isNull(field) ? std::nullopt : std::optional<double>(q.value(field).toDouble());
}

QString text(const Rows& q, int field) { return q.isNull(field) ? QString() : q.value(field).toString(); }

StoredHeaderRecord readHeader(const Rows& q) {
    StoredHeaderRecord h;
    h.invoiceNumber = q.value(ShFactor).toInt();
    h.prescriptionDate = text(q, DateNo);
    h.deliveryDate = text(q, DateSabt);
    h.expiryDate = text(q, DateBimeh);
    h.code = text(q, CodeNo);
    h.insurerCode = number(q, CodeBimeh);
    h.insNoTamin = text(q, InsNoTamin);
    h.requestNumber = number(q, ShDarkhast);
    h.wardCode = number(q, CodeBakhsh);
    if (!q.isNull(PazType)) h.admission = q.value(PazType).toInt();
    h.staff = q.value(Personel).toInt() != 0;
    h.name = text(q, NameB);
    h.pageNumber = number(q, ShSafhe);
    h.family = text(q, FamilyB);
    h.prescriberCouncil = text(q, NezamP);
    h.typeCode = number(q, TypeNo);
    h.patientShare = number(q, PriceBimar);
    h.insurerShare = number(q, PriceBimeh);
    h.free = number(q, PriceAzad);
    h.payable = number(q, PriceKoll);
    h.otc = number(q, PriceOtc);
    h.fee = number(q, Fani);
    h.goods = number(q, PriceKala);
    return h;
}

StoredLineRecord readLine(const Rows& q) {
    StoredLineRecord l;
    l.row = q.value(Row).toInt();
    l.code = number(q, CodeDarou);
    l.inCatalogue = !q.isNull(GoodsCode);
    if (l.inCatalogue && !q.isNull(NameKala)) l.name = q.value(NameKala).toString();
    l.formName = text(q, FormName);
    l.kind = text(q, Vaziat);
    l.quantity = number(q, Tedad);
    l.unitPrice = number(q, PriceOne);
    l.total = number(q, PriceKoll1);
    l.insurer = number(q, Sazman);
    l.patient = number(q, Bimar);
    l.free = number(q, Azad);
    l.otc = number(q, Otc);
    l.goods = number(q, Kala);
    l.hotelingPrice = number(q, PriceH);
    l.substituted = q.value(FlagMoadel).toInt();
    l.mainDrugCode = number(q, CodeDarouMain);
    l.mainDrugQuantity = number(q, TedadDarouMain);
    l.mainDrugPrice = number(q, PriceDarouMain);
    return l;
}

} // namespace

std::optional<StoredPrescriptionRecord> StoredPrescriptionReader::read(int invoiceNumber) {
    // The header with each of its lines; a header without lines comes as one row with no line.
    auto q = m_db.exec(
        QStringLiteral("select h.sh_factor, h.date_no, h.date_sabt, h.date_bimeh, h.code_no, h.code_bimeh, "
                       "h.insnotamin, h.sh_darkhast, h.code_bakhsh, h.paz_type, h.personel, h.name_b, h.sh_safhe, "
                       "h.family_b, h.nezam_p, h.type_no, h.price_bimar, h.price_bimeh, h.price_azad, h.price_koll, "
                       "h.price_otc, h.fani, h.price_kala, "
                       "d.sh_factor, d.row, d.code_darou, k.code_kala, k.name_kala, t.name, d.vaziat, d.tedad, "
                       "d.price_one, d.price_koll, d.sazman, d.bimar, d.azad, d.otc, d.kala, d.price_h, d.flag_moadel, "
                       "d.code_darou_main, d.tedad_darou_main, d.price_darou_main "
                       "from heading_noskhe h "
                       "left join details_noskhe d on d.sh_factor = h.sh_factor "
                       "left join mosh_kala_anbar k on k.code_kala = d.code_darou "
                       "left join type_kala t on t.code = k.type_code "
                       "where h.sh_factor=? order by d.row"),
        {invoiceNumber});
    std::optional<StoredPrescriptionRecord> record;
    while (q.next()) {
        if (!record) {
            record.emplace();
            record->header = readHeader(q);
        }
        if (!q.isNull(LineInvoice)) record->lines.append(readLine(q));
    }
    q.finish();
    return record;
}

} // namespace ph
