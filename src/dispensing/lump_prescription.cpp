#include "dispensing/lump_prescription.h"

#include "audit/audit_changes.h"
#include "audit/audit_kinds.h"
#include "audit/audit_log.h"

#include "core/amounts.h"
#include "core/prompter.h"
#include "db/database.h"
#include "db/key_allocator.h"
#include "dispensing/insurer_code.h"
#include "dispensing/prescription_record.h"
#include "dispensing/prescription_store.h"
#include "insurance/insurer_store.h"

namespace ph {
namespace {

const QString kDuplicate = QStringLiteral("اطلاعات اين نسخه يک بار وارد شده است");
const QString kConfirmEdit = QStringLiteral("آيا از ويرايش فاكتور مطمئن هستيد");
const QString kNotFound = QStringLiteral("شماره فاكتورمورد نظر يافت نشد");
const QString kConfirmDelete = QStringLiteral("آيا از حذف نسخه مطمئن هستيد");
const QString kHasLines = QStringLiteral("اين نسخه با اقلام دارو ثبت شده است و از اين فرم حذف نمي شود");

QVariant textOrNull(const QString& text) {
    return text.trimmed().isEmpty() ? QVariant() : QVariant(text.trimmed());
}

QString text(const QVariant& value) {
    return value.isNull() ? QString() : value.toString().trimmed();
}

QString numberText(const QVariant& value) {
    return value.isNull() ? QString() : plainDecimalText(value.toDouble());
}

int insurerNumber(const LumpPrescription& p) {
    return InsurerCode::fromText(p.insurer).number().value_or(0);
}

// The patient and prescriber rows are kept as a dispensed prescription keeps them; the
// booklet number stands as the insured number.
PrescriptionRecord masterRecord(const LumpPrescription& p) {
    PrescriptionRecord r;
    r.insurer = insurerNumber(p);
    r.shBimeh = p.booklet.trimmed();
    r.insNoTamin = p.booklet.trimmed();
    r.expiryDate = p.validity.trimmed();
    r.name = p.name.trimmed();
    r.family = p.family.trimmed();
    r.prescriberCouncil = p.council.trimmed();
    r.prescriberName = p.prescriberName.trimmed();
    r.prescriberFamily = p.prescriberFamily.trimmed();
    return r;
}

// The header's values after sh_factor and code_no, in the order of kColumns.
const char* const kColumns =
    "date_no, date_bimeh, name_b, family_b, sh_bimeh, insnotamin, code_bimeh, nezam_p, code_opr, date_sabt, "
    "price_bimar, price_bimeh, price_koll, type_no";

QVariantList values(const LumpPrescription& p, int userCode, const QString& today) {
    return {textOrNull(p.date),
            textOrNull(p.validity),
            textOrNull(p.name),
            textOrNull(p.family),
            textOrNull(p.booklet),
            textOrNull(p.booklet),
            insurerNumber(p),
            textOrNull(p.council),
            userCode,
            today,
            amountFromText(p.patientShare),
            amountFromText(p.insurerShare),
            amountFromText(p.total),
            p.typeCode.trimmed().isEmpty() ? 1 : p.typeCode.trimmed().toInt()};
}

QString code(Database& db, const LumpPrescription& p, int userCode) {
    return takePrescriptionCode(db, userCode, insurerNumber(p), InsurerCode::fromText(p.insurer).text(),
                                p.date.trimmed());
}

} // namespace

int LumpPrescriptionStore::nextNumber() {
    const QVariant largest = m_db.scalar(QStringLiteral("select max(sh_factor) from heading_noskhe"));
    return largest.isNull() ? 1 : largest.toInt() + 1;
}

std::optional<LumpPrescription> LumpPrescriptionStore::load(int invoiceNumber) {
    Rows q = m_db.exec(
        QStringLiteral("select sh_factor, code_no, code_bimeh, type_no, date_no, sh_bimeh, family_b, name_b, "
                       "date_bimeh, nezam_p, price_koll, price_bimeh, price_bimar from heading_noskhe where sh_factor=?"),
        {invoiceNumber});
    if (!q.next()) return std::nullopt;
    LumpPrescription p;
    p.invoiceNumber = q.value(0).toInt();
    p.code = text(q.value(1));
    p.insurer = numberText(q.value(2));
    p.typeCode = numberText(q.value(3));
    p.date = text(q.value(4));
    p.booklet = text(q.value(5));
    p.family = text(q.value(6));
    p.name = text(q.value(7));
    p.validity = text(q.value(8));
    p.council = text(q.value(9));
    p.total = numberText(q.value(10));
    p.insurerShare = numberText(q.value(11));
    p.patientShare = numberText(q.value(12));
    return p;
}

std::optional<int> LumpPrescriptionStore::first() {
    const QVariant v = m_db.scalar(QStringLiteral("select min(sh_factor) from heading_noskhe"));
    return v.isNull() ? std::nullopt : std::optional<int>(v.toInt());
}

std::optional<int> LumpPrescriptionStore::last() {
    const QVariant v = m_db.scalar(QStringLiteral("select max(sh_factor) from heading_noskhe"));
    return v.isNull() ? std::nullopt : std::optional<int>(v.toInt());
}

std::optional<int> LumpPrescriptionStore::next(int from) {
    const QVariant v = m_db.scalar(QStringLiteral("select min(sh_factor) from heading_noskhe where sh_factor>?"), {from});
    return v.isNull() ? std::nullopt : std::optional<int>(v.toInt());
}

std::optional<int> LumpPrescriptionStore::previous(int from) {
    const QVariant v = m_db.scalar(QStringLiteral("select max(sh_factor) from heading_noskhe where sh_factor<?"), {from});
    return v.isNull() ? std::nullopt : std::optional<int>(v.toInt());
}

std::optional<BookletPatient> LumpPrescriptionStore::patientByBooklet(const QString& booklet) {
    Rows q = m_db.exec(m_db.dialect().selectLimited(
                                QStringLiteral("name_b, family_b, date_bimeh from mosh_bimaran where sh_bimeh=? order by code"), 1),
                            {booklet.trimmed()});
    if (!q.next()) return std::nullopt;
    return BookletPatient{text(q.value(0)), text(q.value(1)), text(q.value(2))};
}

PickRows LumpPrescriptionStore::bookletPickRows(int insurer) {
    PickRows rows;
    Rows q = m_db.exec(
        QStringLiteral("select name_b, family_b, sh_bimeh from mosh_bimaran where code_bimeh=? order by sh_bimeh"),
        {insurer});
    while (q.next()) {
        const QString name = text(q.value(0)), family = text(q.value(1));
        rows.append({text(q.value(2)), family + QStringLiteral("   ") + name,
                     {{QStringLiteral("name_b"), name}, {QStringLiteral("family_b"), family}}});
    }
    return rows;
}

std::optional<double> LumpPrescriptionStore::insurerPercent(int insurer) {
    const std::optional<Contract> first = InsurerStore(m_db).terms(insurer).first;
    return first ? std::optional<double>(first->percent) : std::nullopt;
}

bool LumpPrescriptionStore::isDuplicate(const LumpPrescription& p) {
    return m_db
        .exec(m_db.dialect().selectLimited(QStringLiteral("1 from heading_noskhe where code_bimeh=? and date_no=? and "
                                                          "nezam_p=? and price_koll=? and sh_bimeh=?"),
                                           1),
              {insurerNumber(p), p.date.trimmed(), p.council.trimmed(), amountFromText(p.total), p.booklet.trimmed()})
        .next();
}

std::optional<LumpPrescription> LumpPrescriptionStore::saveNew(const LumpPrescription& p, const AuditOrigin& origin,
                                                              const QString& today) {
    const int userCode = origin.userCode;
    return saveInTransaction(m_db, [&]() -> std::optional<LumpPrescription> {
        if (isDuplicate(p)) return std::nullopt;
        LumpPrescription saved = p;
        saved.invoiceNumber = int(nextKey(m_db, QStringLiteral("heading_noskhe"), QStringLiteral("sh_factor")));
        saved.code = code(m_db, p, userCode);
        // An outpatient prescription with no technical fee, no lines and no cash row.
        m_db.exec(QStringLiteral("insert into heading_noskhe (sh_factor, code_no, %1, paz_type, flag_taeed, price_azad, "
                                 "price_otc, fani, fani2, price_kala) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
                                 "?, ?, 1, 0, 0, 0, 0, 0, 0)")
                      .arg(QLatin1String(kColumns)),
                  QVariantList{saved.invoiceNumber, saved.code} + values(p, userCode, today));
        storePrescriberAndPatient(m_db, masterRecord(p));
        record(origin, saved.invoiceNumber, {});
        return saved;
    });
}

bool LumpPrescriptionStore::saveEdit(const LumpPrescription& p, const AuditOrigin& origin, const QString& today) {
    const int userCode = origin.userCode;
    return saveInTransaction(m_db, [&] {
        const AuditRow before = storedHeader(p.invoiceNumber);
        Rows stored =
            m_db.exec(QStringLiteral("select date_no, code_bimeh, code_no from heading_noskhe where sh_factor=?"),
                      {p.invoiceNumber});
        if (!stored.next()) return false;
        const bool renumber = text(stored.value(0)) != p.date.trimmed() || stored.value(1).isNull() ||
                              stored.value(1).toInt() != insurerNumber(p);
        QString codeNo = text(stored.value(2));
        stored.finish();
        if (renumber) codeNo = code(m_db, p, userCode);
        QStringList assignments;
        for (const QString& column : QString::fromLatin1(kColumns).split(QStringLiteral(", ")))
            assignments.append(column + QStringLiteral("=?"));
        m_db.exec(QStringLiteral("update heading_noskhe set code_no=?, %1 where sh_factor=?").arg(assignments.join(u',')),
                  QVariantList{codeNo} + values(p, userCode, today) + QVariantList{p.invoiceNumber});
        storePrescriberAndPatient(m_db, masterRecord(p));
        record(origin, p.invoiceNumber, before);
        return true;
    });
}

AuditRow LumpPrescriptionStore::storedHeader(int invoiceNumber) {
    return readAuditRow(m_db, QStringLiteral("heading_noskhe"), QStringLiteral("sh_factor=?"), {invoiceNumber});
}

void LumpPrescriptionStore::record(const AuditOrigin& origin, int invoiceNumber, const AuditRow& before) {
    appendAudit(m_db, origin,
                {audit_kind::kLumpPrescription, QString::number(invoiceNumber),
                 documentChanges(before, storedHeader(invoiceNumber))});
}

LumpPrescriptionStore::RemoveResult LumpPrescriptionStore::remove(int invoiceNumber, const AuditOrigin& origin) {
    return saveInTransaction(m_db, [&] {
        if (!m_db.exec(m_db.dialect().selectLimited(QStringLiteral("1 from heading_noskhe where sh_factor=?"), 1),
                       {invoiceNumber})
                 .next())
            return RemoveResult::NotFound;
        if (m_db.exec(m_db.dialect().selectLimited(QStringLiteral("1 from details_noskhe where sh_factor=?"), 1),
                      {invoiceNumber})
                .next())
            return RemoveResult::HasLines;
        const AuditRow before = storedHeader(invoiceNumber);
        m_db.exec(QStringLiteral("delete from heading_noskhe where sh_factor=?"), {invoiceNumber});
        record(origin, invoiceNumber, before);
        return RemoveResult::Removed;
    });
}

LumpPrescriptionSession::Shares LumpPrescriptionSession::shares(const QString& total, const QString& insurer) {
    if (total.trimmed().isEmpty()) return {};
    const double amount = amountFromText(total);
    const auto number = InsurerCode::fromText(insurer).number();
    const double percent = number ? m_store.insurerPercent(*number).value_or(0) : 0;
    return {plainDecimalText(amount * percent / 100), plainDecimalText(amount * (100 - percent) / 100)};
}

std::optional<LumpProblem> LumpPrescriptionSession::check(const LumpPrescription& p) {
    const struct {
        const QString& value;
        const char16_t* message;
        const char* focus;
    } checks[] = {
        {p.insurer, u"کد بيمه مشخص نشده است", "me_code_bime"},
        {p.date, u"تاريخ نسخه مشخص نشده است", "me_date_no1"},
        {p.booklet, u"شماره دفترچه بيمه مشخص نشده است", "me_sh_bime"},
        {p.family, u"نام خانوادگي بيمار وارد نشده است", "me_family"},
        {p.name, u"نام بيمار مشخص نشده است", "me_name_bimar"},
        {p.council, u"نظام پزشکي مشخص نشده است", "me_nezam_pe"},
        {p.prescriberFamily, u"نام خانوادگي پزشک مشخص نشده است", "me_family_pe"},
        {p.total, u"جمع کل نسخه مشخص نشده است", "me_koll"},
        {p.insurerShare, u"سهم سازمان مشخص نشده است", "me_sazman"},
        {p.patientShare, u"سهم بيمار مشخص نشده است", "me_bimar"},
    };
    for (const auto& c : checks)
        if (c.value.trimmed().isEmpty())
            return LumpProblem{QString::fromUtf16(c.message), QString::fromLatin1(c.focus)};
    return std::nullopt;
}

LumpPrescriptionSession::Outcome LumpPrescriptionSession::refuse(const QString& message, const QString& focus) {
    if (!message.isEmpty()) m_prompter.warning(message);
    return {false, std::nullopt, focus};
}

LumpPrescriptionSession::Outcome LumpPrescriptionSession::save(const LumpPrescription& p, const AuditOrigin& origin,
                                                               const QString& today) {
    if (const auto problem = check(p)) return refuse(problem->message, problem->focus);
    std::optional<LumpPrescription> saved = m_store.saveNew(p, origin, today);
    if (!saved) return refuse(kDuplicate, QStringLiteral("me_code_bime"));
    return {true, saved, {}};
}

LumpPrescriptionSession::Outcome LumpPrescriptionSession::edit(const LumpPrescription& p, const AuditOrigin& origin,
                                                               const QString& today) {
    if (const auto problem = check(p)) return refuse(problem->message, problem->focus);
    if (!m_prompter.askYesNo(kConfirmEdit)) return refuse({});
    if (!m_store.saveEdit(p, origin, today)) return refuse(kNotFound);
    return {true, std::nullopt, {}};
}

LumpPrescriptionSession::Outcome LumpPrescriptionSession::remove(int invoiceNumber, const AuditOrigin& origin) {
    if (!m_prompter.askYesNo(kConfirmDelete)) return refuse({});
    switch (m_store.remove(invoiceNumber, origin)) {
    case LumpPrescriptionStore::RemoveResult::Removed:
        return {true, std::nullopt, {}};
    case LumpPrescriptionStore::RemoveResult::NotFound:
        return refuse(kNotFound);
    case LumpPrescriptionStore::RemoveResult::HasLines:
        return refuse(kHasLines);
    }
    return refuse({});
}

} // namespace ph
