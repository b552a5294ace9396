#include "catalogue/formulas.h"

#include "audit/audit_log.h"
#include "catalogue/goods_code.h"
#include "core/error.h"
#include "db/database.h"
#include "db/key_allocator.h"
#include "db/pick_rows.h"
#include "db/transaction.h"

namespace ph {
namespace {

const QString kNoCompoundedForm = QStringLiteral("شكل دارو با كد 70 (داروهاي ساختني) تعريف نشده است");

QVariant nullableCode(const std::optional<qint64>& code) {
    return code ? QVariant(*code) : QVariant(QMetaType(QMetaType::LongLong));
}

std::optional<qint64> codeOrNone(const QVariant& value) {
    if (value.isNull()) return std::nullopt;
    return value.toLongLong();
}

// The goods row's code_tow: the type's national code when it is a number, else null.
QVariant nationalCodeValue(const QString& code) {
    bool ok = false;
    const double value = code.trimmed().toDouble(&ok);
    return ok ? QVariant(value) : QVariant(QMetaType(QMetaType::Double));
}

QVariant latinOrNull(const QString& latin) {
    return latin.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(latin);
}

// Prices the stock units' rows of a compounded drug (rows left from before compounded drugs
// were kept out of stock) at its goods row's price, so that nothing sells it at another;
// returns whether a row changed.
bool priceUnitRows(Database& db, double code, double price) {
    return db.exec(QStringLiteral("update moj_kala_vah set price_u=? where code_kala=? and "
                                  "(price_u is null or price_u<>?)"),
                   {price, code, price})
               .numRowsAffected() > 0;
}

} // namespace

// ---- formula types -------------------------------------------------------------------

QList<FormulaType> FormulaTypeStore::list() const {
    Rows query =
        m_db.exec(QStringLiteral("select code, name, fani, khadamat, code_meli from type_formul order by code"));
    QList<FormulaType> out;
    while (query.next())
        out.append({query.value(0).toLongLong(), query.value(1).toString(), query.value(2).toDouble(),
                    query.value(3).toDouble(), query.value(4).toString()});
    return out;
}

PickRows FormulaTypeStore::pickRows() const {
    return loadPickRows(m_db, QStringLiteral("select code,name as name1,fani,khadamat from type_formul order by code"));
}

std::optional<FormulaType> FormulaTypeStore::find(qint64 code) const {
    Rows query = m_db.exec(
        QStringLiteral("select code, name, fani, khadamat, code_meli from type_formul where code=?"), {code});
    if (!query.next()) return std::nullopt;
    return FormulaType{query.value(0).toLongLong(), query.value(1).toString(), query.value(2).toDouble(),
                       query.value(3).toDouble(), query.value(4).toString()};
}

qint64 FormulaTypeStore::nextCode() const {
    return nextKey(m_db, QStringLiteral("type_formul"), QStringLiteral("code"));
}

FormulaTypeStore::Result FormulaTypeStore::add(const FormulaType& type) {
    Transaction transaction(m_db);
    if (find(type.code)) return Result::DuplicateCode;
    if (m_db.exec(QStringLiteral("select code from type_formul where name=?"), {type.name.trimmed()}).next())
        return Result::DuplicateName;
    m_db.exec(QStringLiteral("insert into type_formul (code, name, fani, khadamat, code_meli) values (?, ?, ?, ?, ?)"),
              {type.code, type.name.trimmed(), qint64(type.technicalFee), type.serviceFee, type.nationalCode.trimmed()});
    transaction.commit();
    return Result::Saved;
}

FormulaTypeStore::Result FormulaTypeStore::update(const FormulaType& type) {
    Transaction transaction(m_db);
    if (!find(type.code)) return Result::Missing;
    m_db.exec(QStringLiteral("update type_formul set name=?, fani=?, khadamat=?, code_meli=? where code=?"),
              {type.name.trimmed(), qint64(type.technicalFee), type.serviceFee, type.nationalCode.trimmed(),
               type.code});
    transaction.commit();
    return Result::Saved;
}

void FormulaTypeStore::remove(qint64 code) {
    m_db.exec(QStringLiteral("delete from type_formul where code=?"), {code});
}

// ---- formulas ------------------------------------------------------------------------

FormulaTotals formulaTotals(const QList<FormulaLine>& lines, double technicalFee, double serviceFee) {
    FormulaTotals totals;
    for (const FormulaLine& line : lines)
        (line.status == kInsuredMaterial ? totals.insured : totals.free) += line.total();
    totals.payable = technicalFee + totals.insured + totals.free + serviceFee;
    return totals;
}

std::optional<Formula> FormulaStore::find(double code) const {
    Rows header = m_db.exec(
        QStringLiteral("select code_darou, name_darou, name_latin, code_type_formul, fani, khadamat, code_dastoor, "
                       "code_negahdari, code_payam from heading_formul_darou where code_darou=?"),
        {code});
    if (!header.next()) return std::nullopt;
    Formula f;
    f.code = header.value(0).toDouble();
    f.name = header.value(1).toString();
    f.latinName = header.value(2).toString();
    f.type = header.value(3).toLongLong();
    f.technicalFee = header.value(4).toDouble();
    f.serviceFee = header.value(5).toDouble();
    f.instruction = codeOrNone(header.value(6));
    f.storage = codeOrNone(header.value(7));
    f.message = codeOrNone(header.value(8));
    header.finish();
    Rows lines = m_db.exec(
        QStringLiteral("select code_mat, name_mat, name, vaziat, meghdar, price from v_see_formul where code_darou=?"),
        {code});
    while (lines.next()) {
        FormulaLine line;
        line.material = lines.value(0).toLongLong();
        line.materialName = lines.value(1).toString();
        line.unitName = lines.value(2).toString();
        line.status = lines.value(3).toString();
        line.quantity = lines.value(4).toDouble();
        line.unitPrice = lines.value(5).toDouble();
        f.lines.append(line);
    }
    return f;
}

QList<double> FormulaStore::codes() const {
    Rows query = m_db.exec(QStringLiteral("select code_darou from heading_formul_darou order by code_darou"));
    QList<double> out;
    while (query.next())
        out.append(query.value(0).toDouble());
    return out;
}

double FormulaStore::nextCode() const {
    const QVariant counter =
        m_db.scalar(QStringLiteral("select max(num) from type_kala where code=?"), {kCompoundedForm});
    return composeGoodsCode(kCompoundedGroup, kCompoundedForm, counter.toLongLong() + 1);
}

void FormulaStore::writeLinesAndGoods(const Formula& formula, bool goodsRowIsNew) {
    m_db.exec(QStringLiteral("delete from details_formul_darou where code_darou=?"), {formula.code});
    for (const FormulaLine& line : formula.lines)
        m_db.exec(QStringLiteral("insert into details_formul_darou (code_darou, code_mat, vaziat, meghdar, price, "
                                 "price_koll) values (?, ?, ?, ?, ?, ?)"),
                  {formula.code, line.material, line.status, line.quantity, line.unitPrice, line.total()});
    const QVariant nationalCode = nationalCodeValue(
        m_db.scalar(QStringLiteral("select code_meli from type_formul where code=?"), {formula.type}).toString());
    const double price = formula.totals().payable;
    if (goodsRowIsNew) {
        m_db.exec(QStringLiteral("delete from mosh_kala_anbar where code_kala=?"), {formula.code});
        m_db.exec(QStringLiteral("insert into mosh_kala_anbar (code_kala, name_kala, code_tow, group_code, type_code, "
                                 "flag, name_kala_latin, price_u) values (?, ?, ?, ?, ?, 1, ?, ?)"),
                  {formula.code, formula.name.trimmed(), nationalCode, kCompoundedGroup, kCompoundedForm,
                   latinOrNull(formula.latinName.trimmed()), price});
    } else {
        m_db.exec(QStringLiteral("update mosh_kala_anbar set name_kala=?, code_tow=?, name_kala_latin=?, price_u=? "
                                 "where code_kala=?"),
                  {formula.name.trimmed(), nationalCode, formula.latinName.trimmed(), price, formula.code});
    }
    priceUnitRows(m_db, formula.code, price);
}

FormulaStore::Result FormulaStore::add(const Formula& formula, double* code) {
    if (formula.lines.isEmpty()) return Result::NoLines;
    return saveInTransaction(m_db, [&] {
        if (m_db.scalar(QStringLiteral("select code from type_kala where code=?"), {kCompoundedForm}).isNull())
            throw Error(kNoCompoundedForm);
        Formula stored = formula;
        stored.code = allocateGoodsCode(m_db, kCompoundedGroup, kCompoundedForm);
        const FormulaTotals totals = stored.totals();
        m_db.exec(QStringLiteral("insert into heading_formul_darou (code_darou, name_darou, name_latin, "
                                 "code_type_formul, fani, khadamat, price_koll_bimeh, price_koll_azad, sum_koll, "
                                 "code_dastoor, code_negahdari, code_payam) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                  {stored.code, stored.name.trimmed(), latinOrNull(stored.latinName.trimmed()), stored.type,
                   stored.technicalFee, stored.serviceFee, totals.insured, totals.free, totals.payable,
                   nullableCode(stored.instruction), nullableCode(stored.storage), nullableCode(stored.message)});
        writeLinesAndGoods(stored, true);
        if (code) *code = stored.code;
        return Result::Saved;
    });
}

FormulaStore::Result FormulaStore::update(const Formula& formula) {
    if (formula.lines.isEmpty()) return Result::NoLines;
    Transaction transaction(m_db);
    if (m_db.scalar(QStringLiteral("select code_darou from heading_formul_darou where code_darou=?"), {formula.code})
            .isNull())
        return Result::Missing;
    const FormulaTotals totals = formula.totals();
    m_db.exec(QStringLiteral("update heading_formul_darou set name_darou=?, name_latin=?, code_type_formul=?, fani=?, "
                             "khadamat=?, price_koll_bimeh=?, price_koll_azad=?, sum_koll=?, code_dastoor=?, "
                             "code_negahdari=?, code_payam=? where code_darou=?"),
              {formula.name.trimmed(), formula.latinName.trimmed(), formula.type, formula.technicalFee,
               formula.serviceFee, totals.insured, totals.free, totals.payable, nullableCode(formula.instruction),
               nullableCode(formula.storage), nullableCode(formula.message), formula.code});
    const bool hasGoods =
        !m_db.scalar(QStringLiteral("select code_kala from mosh_kala_anbar where code_kala=?"), {formula.code})
             .isNull();
    writeLinesAndGoods(formula, !hasGoods);
    transaction.commit();
    return Result::Saved;
}

FormulaStore::Result FormulaStore::remove(double code) {
    Transaction transaction(m_db);
    if (m_db.scalar(QStringLiteral("select code_darou from heading_formul_darou where code_darou=?"), {code}).isNull())
        return Result::Missing;
    const QString dispensed = m_db.dialect().selectLimited(QStringLiteral("1 from details_noskhe where code_darou=?"), 1);
    if (m_db.exec(dispensed, {code}).next()) return Result::Dispensed;
    m_db.exec(QStringLiteral("delete from heading_formul_darou where code_darou=?"), {code});
    m_db.exec(QStringLiteral("delete from details_formul_darou where code_darou=?"), {code});
    m_db.exec(QStringLiteral("delete from mosh_kala_anbar where code_kala=?"), {code});
    transaction.commit();
    return Result::Saved;
}

// ---- the price update ----------------------------------------------------------------

RepriceSummary repriceCompounded(Database& db, const std::function<void(int, int)>& progress,
                                 const AuditOrigin& origin) {
    RepriceSummary summary;
    QJsonArray changedPrices; // for the history: each goods row's price before and after
    Transaction transaction(db);
    // Every line at its material's current price.
    db.exec(QStringLiteral("update details_formul_darou set "
                           "price=(select m.price from material m where m.code_mat=details_formul_darou.code_mat), "
                           "price_koll=(select m.price from material m where m.code_mat=details_formul_darou.code_mat)"
                           "*meghdar "
                           "where exists (select 1 from material m where m.code_mat=details_formul_darou.code_mat)"));

    struct Header {
        double code;
        QString name;
        QString latin;
        double fani, khadamat, insured, free, payable;
        QString nationalCode;
        bool totalsNull;
    };
    QList<Header> headers;
    {
        Rows query = db.exec(QStringLiteral(
            "select h.code_darou, h.name_darou, h.name_latin, h.fani, h.khadamat, h.price_koll_bimeh, "
            "h.price_koll_azad, h.sum_koll, t.code_meli from heading_formul_darou h "
            "left join type_formul t on t.code = h.code_type_formul order by h.code_darou"));
        while (query.next())
            headers.append({query.value(0).toDouble(), query.value(1).toString(), query.value(2).toString(),
                            query.value(3).toDouble(), query.value(4).toDouble(), query.value(5).toDouble(),
                            query.value(6).toDouble(), query.value(7).toDouble(), query.value(8).toString(),
                            query.value(5).isNull() || query.value(6).isNull() || query.value(7).isNull()});
    }
    summary.formulasSeen = int(headers.size());

    int done = 0;
    for (const Header& header : std::as_const(headers)) {
        double insured = 0;
        double free = 0;
        {
            Rows lines = db.exec(
                QStringLiteral("select vaziat, price_koll from details_formul_darou where code_darou=?"), {header.code});
            while (lines.next())
                (lines.value(0).toString() == kInsuredMaterial ? insured : free) += lines.value(1).toDouble();
        }
        const double payable = insured + free + header.fani + header.khadamat;
        if (header.totalsNull || insured != header.insured || free != header.free || payable != header.payable) {
            db.exec(QStringLiteral("update heading_formul_darou set price_koll_bimeh=?, price_koll_azad=?, sum_koll=? "
                                   "where code_darou=?"),
                    {insured, free, payable, header.code});
            ++summary.formulas;
        }
        std::optional<QVariant> oldPrice; // absent: no goods row
        {
            Rows goods =
                db.exec(QStringLiteral("select price_u from mosh_kala_anbar where code_kala=?"), {header.code});
            if (goods.next()) oldPrice = goods.value(0);
        }
        const bool unitsRepriced = priceUnitRows(db, header.code, payable);
        if (!oldPrice) {
            // A formula whose goods row went missing gets it back, so it can be sold again.
            db.exec(QStringLiteral("insert into mosh_kala_anbar (code_kala, name_kala, code_tow, group_code, type_code, "
                                   "flag, name_kala_latin, price_u) values (?, ?, ?, ?, ?, 1, ?, ?)"),
                    {header.code, header.name, nationalCodeValue(header.nationalCode), kCompoundedGroup,
                     kCompoundedForm, latinOrNull(header.latin), payable});
            ++summary.goods;
            ++summary.goodsCreated;
            changedPrices.append(QJsonObject{{QStringLiteral("code_kala"), header.code},
                                             {QStringLiteral("before"), QJsonValue::Null},
                                             {QStringLiteral("after"), payable}});
        } else if (oldPrice->isNull() || oldPrice->toDouble() != payable) {
            // A goods row without a price is priced like any other.
            db.exec(QStringLiteral("update mosh_kala_anbar set price_u=? where code_kala=?"), {payable, header.code});
            ++summary.goods;
            changedPrices.append(QJsonObject{{QStringLiteral("code_kala"), header.code},
                                             {QStringLiteral("before"), QJsonValue::fromVariant(*oldPrice)},
                                             {QStringLiteral("after"), payable}});
        } else if (unitsRepriced) {
            ++summary.goods;
        }
        ++done;
        if (progress) progress(done, int(headers.size()));
    }
    if (!changedPrices.isEmpty())
        appendAudit(db, origin,
                    {QStringLiteral("compounded_reprice"), QStringLiteral("compounded"),
                     QJsonObject{{QStringLiteral("prices"), changedPrices}}});
    transaction.commit();
    return summary;
}

} // namespace ph#include <QJsonArray>
#include <QJsonObject>

