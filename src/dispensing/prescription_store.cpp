#include "dispensing/prescription_store.h"

#include "audit/audit_changes.h"
#include "audit/audit_kinds.h"
#include "audit/audit_log.h"
#include "core/amounts.h"
#include "core/error.h"
#include "db/database.h"
#include "db/key_allocator.h"
#include "db/write_chain.h"
#include "dispensing/drug_list.h"
#include "dispensing/prescription_lines.h"
#include "dispensing/sale_rows.h"
#include "dispensing/settings_store.h"
#include "dispensing/substitution.h"
#include "insurance/doctor_store.h"

#include <algorithm>

namespace ph {

std::optional<int> PrescriptionStore::firstInvoiceOfDay(const QString& date, const QString& insuranceNumber) {
    if (insuranceNumber.trimmed().isEmpty()) return std::nullopt;
    // Only prescriptions dispensed with lines count: a lump prescription, recorded by its
    // totals alone, has a header and no lines, and takes no fee from the patient's own.
    const QVariant first = m_db.scalar(
        QStringLiteral("select min(h.sh_factor) from heading_noskhe h where h.date_no=? and h.sh_bimeh=? and "
                       "exists (select 1 from details_noskhe d where d.sh_factor=h.sh_factor)"),
        {date, insuranceNumber});
    return first.isNull() ? std::nullopt : std::optional<int>(first.toInt());
}

int PrescriptionStore::nextInvoiceNumber() {
    const QVariant largest = m_db.scalar(QStringLiteral("select max(sh_factor) from heading_noskhe"));
    return largest.isNull() ? 1 : largest.toInt() + 1;
}

std::optional<KnownPatient> PrescriptionStore::findPatient(const QString& number, int insurer, bool socialSecurity) {
    const auto read = [](Rows& q) -> std::optional<KnownPatient> {
        if (!q.next()) return std::nullopt;
        KnownPatient patient{q.value(0).toString(), q.value(1).toString(), std::nullopt, std::nullopt};
        if (!q.value(2).isNull()) patient.expiryDate = q.value(2).toString();
        if (!q.value(3).isNull()) patient.insNoTamin = q.value(3).toString();
        return patient;
    };
    const QString columns = QStringLiteral("name_b, family_b, date_bimeh, insnotamin from mosh_bimaran ");
    Rows whole = m_db.exec(m_db.dialect().selectLimited(columns + QStringLiteral("where insnotamin=? and code_bimeh=?"), 1),
                                {number, insurer});
    if (auto patient = read(whole)) return patient;
    whole.finish();
    if (!socialSecurity || number.size() < 10) return std::nullopt;
    // The stored dashed form begins with the ten-digit base number.
    Rows prefix = m_db.exec(
        m_db.dialect().selectLimited(columns + QStringLiteral("where insnotamin like ? and code_bimeh=?"), 1),
        {number.left(10) + QStringLiteral("%"), insurer});
    return read(prefix);
}

PrescriptionStore::SaveSettings PrescriptionStore::saveSettings() {
    SaveSettings settings;
    if (const std::optional<Settings> row = SettingsStore(m_db).read()) {
        settings.thresholds.approvalMessages = row->askApproval;
        settings.thresholds.addressMessages = row->askAddress;
        settings.separateCashDesk = row->separateCashDesk;
    }
    return settings;
}

namespace {

QVariant textOrNull(const QString& text) {
    return text.isEmpty() ? QVariant() : QVariant(text);
}

QVariant numberOrNull(const QString& text) {
    return text.trimmed().isEmpty() ? QVariant() : QVariant(amountFromText(text));
}

// The insurer part of a prescription code: "000" for no insurer, the code after "00"
// when it has one or two characters, itself with three, nothing when longer.
QString insurerPart(const QString& code) {
    if (code.isEmpty() || code == QLatin1String("0")) return QStringLiteral("000");
    if (code.size() <= 2) return QStringLiteral("00") + code;
    if (code.size() == 3) return code;
    return {};
}

// The month (1 to 12) and the day of a stored date yy/mm/dd.
std::pair<int, int> monthAndDay(const QString& date) {
    const int month = date.mid(3, 2).toInt();
    const int day = date.mid(6, 2).toInt();
    if (month < 1 || month > 12) throw Error(QStringLiteral("'%1' is not a valid date").arg(date));
    return {month, day};
}

// Takes the next counter of the insurer's month and day, keeping it in code_noskhe. The
// counter is raised where it is stored, so a save waiting for another's lock counts on
// from that save's number; the year is not part of the key. Prescriptions without an
// insurer are all numbered 1.
int takeDayCounter(Database& db, int insurer, const QString& date) {
    const auto [month, day] = monthAndDay(date);
    const QString column = QStringLiteral("m%1").arg(month); // m1 to m12
    const bool counted = insurer > 0;
    const QString update =
        QStringLiteral("update code_noskhe set %1=%2 where code_bimeh=? and rooz=?")
            .arg(column, counted ? QStringLiteral("coalesce(%1, 0)+1").arg(column) : QStringLiteral("1"));
    QVariant counter;
    if (db.dialect().updateReturns()) {
        counter = db.scalar(update + QStringLiteral(" returning ") + column, {insurer, day});
    } else {
        db.exec(update, {insurer, day});
        counter = db.scalar(
            QStringLiteral("select %1 from code_noskhe where code_bimeh=? and rooz=?").arg(column), {insurer, day});
    }
    // The update leaves the month's counter at 1 or more wherever the row exists.
    if (!counter.isNull()) return counted ? counter.toInt() : 1;
    // No row yet for the insurer and day: another workstation adding it at the same
    // moment collides on its unique key, and the save runs again.
    db.exec(QStringLiteral("insert into code_noskhe (code_bimeh, rooz, %1) values (?, ?, 1)").arg(column),
            {insurer, day});
    return 1;
}

QString prescriptionCode(Database& db, int userCode, const PrescriptionRecord& r) {
    return takePrescriptionCode(db, userCode, r.insurer, r.insurerText, r.prescriptionDate);
}

const char* const kHeaderColumns =
    "code_no, date_no, date_bimeh, name_b, sh_safhe, family_b, insnotamin, sh_bimeh, paz_type, code_bakhsh, "
    "sh_darkhast, personel, code_bimeh, nezam_p, flag_taeed, code_opr, date_sabt, price_bimar, price_bimeh, fani, "
    "fani2, price_koll, price_azad, price_otc, type_no, price_kala, fani_flag";

QVariantList headerValues(const QString& code, const PrescriptionRecord& r, const SaveContext& c) {
    return {code,
            textOrNull(r.prescriptionDate),
            textOrNull(r.expiryDate),
            textOrNull(r.name),
            numberOrNull(r.pageNumber),
            textOrNull(r.family),
            textOrNull(r.insNoTamin),
            textOrNull(r.shBimeh),
            r.admission,
            numberOrNull(r.wardCode),
            numberOrNull(r.requestNumber),
            r.staff ? 1 : 0,
            r.insurer,
            textOrNull(r.prescriberCouncil),
            r.approvalStamp ? 1 : 0,
            c.userCode,
            textOrNull(r.deliveryDate),
            r.patientPrice,
            r.insurerPrice,
            r.fee,
            r.fee2,
            r.total,
            r.freeAmount,
            r.otcAmount,
            numberOrNull(r.typeCode),
            r.goodsAmount,
            r.feeInCommitment ? 1 : 0};
}

Statement headerInsert(int invoice, const QString& code, const PrescriptionRecord& r, const SaveContext& c) {
    return {QStringLiteral("insert into heading_noskhe (sh_factor, %1) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
                           "?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                .arg(QLatin1String(kHeaderColumns)),
            QVariantList{invoice} + headerValues(code, r, c)};
}

QList<Statement> lineInserts(int invoice, const PrescriptionRecord& r) {
    // Cells 2 and 5 to 17 of the line list; the kind (4) is text.
    // Column 13 is stored as the flag 1 for a substitution, whether it holds "1" or, for a
    // stored line shown again, "معادل".
    static const int numberColumns[] = {2, 5, 6, 7, 8, 9, 10, 11, 12};
    static const int mainDrugColumns[] = {14, 15, 16};
    // The lines go in by one statement of several rows, at most kRowsAtOnce rows each, which
    // keeps the bound values within every engine's limit.
    constexpr int kRowsAtOnce = 40;
    const QString head = QStringLiteral(
        "insert into details_noskhe (insnotamin, sh_bimeh, sh_factor, row, vaziat, price_h, code_darou, tedad, "
        "price_one, price_koll, sazman, bimar, azad, otc, kala, flag_moadel, code_darou_main, tedad_darou_main, "
        "price_darou_main) values ");
    const QString rowMarks = QStringLiteral("(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    QList<Statement> inserts;
    for (int first = 0; first < r.lines.size(); first += kRowsAtOnce) {
        const int rows = std::min<int>(kRowsAtOnce, int(r.lines.size()) - first);
        QVariantList values;
        values.reserve(rows * 19);
        for (int i = first; i < first + rows; ++i) {
            const QStringList& cells = r.lines.at(i);
            values << textOrNull(r.insNoTamin) << textOrNull(r.shBimeh) << invoice << i + 1
                   << textOrNull(cells.value(4))
                   << (cells.value(17).isEmpty() ? QVariant(0.0) : QVariant(amountFromText(cells.value(17))));
            for (int column : numberColumns)
                values.append(numberOrNull(cells.value(column)));
            values.append(cells.value(13).trimmed().isEmpty() ? QVariant()
                                                               : QVariant(isSubstitutionLine(cells) ? 1 : 0));
            for (int column : mainDrugColumns)
                values.append(numberOrNull(cells.value(column)));
        }
        QStringList marks;
        for (int i = 0; i < rows; ++i)
            marks.append(rowMarks);
        inserts.append({head + marks.join(QStringLiteral(", ")), values});
    }
    return inserts;
}

void insertLines(Database& db, int invoice, const PrescriptionRecord& r) {
    for (const Statement& insert : lineInserts(invoice, r))
        db.exec(insert.sql, insert.values);
}

// The patient's prescription of the day already stored ("select 1 ..."), by the date and
// the names, with an insurer also by the prescriber and the insurance number.
QString duplicateSql(const SqlDialect& dialect, const PrescriptionRecord& r) {
    const bool withInsurer = r.duplicates == PrescriptionRecord::Duplicates::RefusedWithInsurer;
    return dialect.selectLimited(
        QStringLiteral("1 from heading_noskhe where ") +
        (withInsurer ? QStringLiteral("sh_bimeh=? and date_no=? and nezam_p=? and name_b=? and family_b=?")
                     : QStringLiteral("date_no=? and name_b=? and family_b=?")),
        1);
}

QVariantList duplicateValues(const PrescriptionRecord& r) {
    if (r.duplicates == PrescriptionRecord::Duplicates::RefusedWithInsurer)
        return {r.shBimeh, r.prescriptionDate.trimmed(), r.prescriberCouncil, r.name, r.family};
    return {r.prescriptionDate.trimmed(), r.name, r.family};
}

// The patient's row: a new one (its code the largest plus one, under the caller's lock on
// the column) when `known` is null, else the known one rewritten.
Statement patientWrite(const PrescriptionRecord& r, const QVariant& known) {
    if (known.isNull())
        return {QStringLiteral("insert into mosh_bimaran (code, insnotamin, sh_bimeh, code_bimeh, date_bimeh, name_b, "
                               "family_b) values ((select coalesce(max(code), 0)+1 from mosh_bimaran), ?, ?, ?, ?, ?, ?)"),
                {textOrNull(r.insNoTamin), r.shBimeh, r.insurer, textOrNull(r.expiryDate), textOrNull(r.name),
                 textOrNull(r.family)}};
    return {QStringLiteral("update mosh_bimaran set code_bimeh=?, date_bimeh=?, name_b=?, family_b=?, insnotamin=? "
                           "where code=?"),
            {r.insurer, textOrNull(r.expiryDate), textOrNull(r.name), textOrNull(r.family), textOrNull(r.insNoTamin),
             known}};
}

// The stored lines as they left stock: a substitution's dispensed drug, not the prescribed one.
QList<StockLine> storedStockLines(Database& db, int invoice) {
    QList<StockLine> lines;
    Rows q = db.exec(QStringLiteral("select code_darou, tedad, vaziat, flag_moadel, code_darou_main, "
                                         "tedad_darou_main from details_noskhe where sh_factor=? order by row"),
                          {invoice});
    const auto number = [](const QVariant& value) {
        return value.isNull() ? QString() : plainDecimalText(value.toDouble());
    };
    while (q.next()) {
        QStringList cells(PrescriptionLines::kColumns);
        cells[PrescriptionLines::Code] = number(q.value(0));
        cells[PrescriptionLines::Quantity] = number(q.value(1));
        cells[PrescriptionLines::Kind] = q.value(2).toString().trimmed();
        cells[PrescriptionLines::Substitute] = number(q.value(3));
        cells[PrescriptionLines::MainDrugCode] = number(q.value(4));
        cells[PrescriptionLines::MainDrugQuantity] = number(q.value(5));
        lines.append(dispensedGoods(cells));
    }
    return lines;
}

} // namespace

PrescriptionStore::StoredRows PrescriptionStore::storedRows(Database& db, int invoiceNumber) {
    return {readAuditRow(db, QStringLiteral("heading_noskhe"), QStringLiteral("sh_factor=?"), {invoiceNumber}),
            readAuditRows(db, QStringLiteral("details_noskhe"), QStringLiteral("sh_factor=?"), {invoiceNumber},
                          QStringLiteral("row")),
            readAuditRows(db, QStringLiteral("cash"), QStringLiteral("sh_factor=? and type_factor='d'"),
                          {invoiceNumber})};
}

QJsonObject PrescriptionStore::changes(const StoredRows& before, const StoredRows& after) {
    QJsonObject changes = documentChanges(before.header, after.header, before.lines, after.lines);
    const QJsonArray cashBefore = auditRowsJson(before.cash);
    const QJsonArray cashAfter = auditRowsJson(after.cash);
    if (cashBefore != cashAfter)
        changes.insert(QStringLiteral("cash"),
                       QJsonObject{{QStringLiteral("before"), cashBefore}, {QStringLiteral("after"), cashAfter}});
    return changes;
}

QString takePrescriptionCode(Database& db, int userCode, int insurer, const QString& insurerText,
                             const QString& date) {
    return prescriptionCodeText(userCode, insurerText, date, takeDayCounter(db, insurer, date));
}

QString prescriptionCodeText(int userCode, const QString& insurerText, const QString& date, int counter) {
    const QString user = userCode < 10 ? QStringLiteral("0%1").arg(userCode) : QString::number(userCode);
    const QString part = insurerPart(insurerText);
    return user + (part.isEmpty() ? QString() : u'-' + part) + u'-' + date.mid(3, 2) + u'-' + date.mid(6, 2) + u'-' +
           QStringLiteral("%1").arg(counter, 4, 10, QLatin1Char('0'));
}

void storePrescriberAndPatient(Database& db, const PrescriptionRecord& r) {
    if (!r.prescriberCouncil.isEmpty() && !r.prescriberName.isEmpty())
        DoctorStore(db).registerPrescriber({0, r.prescriberName, r.prescriberFamily, r.prescriberCouncil,
                                            r.specialtyCode.trimmed().toInt()});
    if (r.shBimeh.isEmpty()) return;
    const QVariant patient = db.scalar(
        db.dialect().selectLimited(QStringLiteral("code from mosh_bimaran where sh_bimeh=?"), 1), {r.shBimeh});
    if (patient.isNull()) lockKeyColumn(db, QStringLiteral("mosh_bimaran"), QStringLiteral("code"));
    const Statement write = patientWrite(r, patient);
    db.exec(write.sql, write.values);
}


bool PrescriptionStore::isDuplicate(const PrescriptionRecord& r, bool withInsurer) {
    PrescriptionRecord check = r;
    check.duplicates = withInsurer ? PrescriptionRecord::Duplicates::RefusedWithInsurer
                                   : PrescriptionRecord::Duplicates::RefusedByNames;
    return m_db.exec(duplicateSql(m_db.dialect(), check), duplicateValues(check)).next();
}

PrescriptionStore::BeforeSave PrescriptionStore::readBeforeSave(const PrescriptionRecord& r,
                                                              const QString& insuranceNumber) {
    const SqlDialect& dialect = m_db.dialect();
    const bool checked = r.duplicates != PrescriptionRecord::Duplicates::Stored;
    const QString date = r.prescriptionDate.trimmed();
    const auto setting = [&](const char* column) { return SettingsStore::columnSubquery(dialect, column); };
    Rows q = m_db.exec(
        QStringLiteral("select (select min(sh_factor) from heading_noskhe where sh_bimeh=? and date_no=?), (") +
            (checked ? duplicateSql(dialect, r) : QStringLiteral("select 0")) + QStringLiteral("), (") +
            dialect.selectLimited(QStringLiteral("code from doctor_s where order1=?"), 1) + QStringLiteral("), ") +
            setting("message_taeed") + QStringLiteral(", ") + setting("message_address") + QStringLiteral(", ") +
            setting("cash"),
        QVariantList{insuranceNumber, date} + (checked ? duplicateValues(r) : QVariantList{}) +
            QVariantList{r.prescriberCouncil.trimmed()});
    BeforeSave before;
    if (!q.next()) return before;
    // Every stored prescription has lines (a save without any is refused), so its header
    // alone tells the patient's prescriptions of the day.
    if (!insuranceNumber.trimmed().isEmpty() && !q.value(0).isNull()) before.firstInvoiceOfDay = q.value(0).toInt();
    before.duplicate = checked && !q.value(1).isNull() && q.value(1).toInt() != 0;
    before.prescriberKnown = !q.value(2).isNull();
    before.settings.thresholds.approvalMessages = q.value(3).toBool();
    before.settings.thresholds.addressMessages = q.value(4).toBool();
    before.settings.separateCashDesk = q.value(5).toInt() != 0;
    return before;
}

bool PrescriptionStore::exists(int invoiceNumber) {
    return m_db.exec(m_db.dialect().selectLimited(QStringLiteral("1 from heading_noskhe where sh_factor=?"), 1),
                     {invoiceNumber})
        .next();
}

namespace {

// Of several workstations saving the same prescription, the one that finds it stored.
struct StoredAlready {};

// What a new prescription's save takes under the numbering lock.
struct NumberTaken {
    int invoiceNumber = 0;
    bool duplicate = false;
    QVariant patient;               // the patient's code, null when he is new
    QString code;                   // code_no, with the insurer's day counter
    std::optional<AuditTail> tail;  // the history's last entry, when read in the same call
};

// In one call to the server, which takes the locks and reads after each.
NumberTaken takeNumberOnServer(Database& db, const PrescriptionRecord& r, int userCode) {
    const auto [month, day] = monthAndDay(r.prescriptionDate);
    const KeyLock number = keyColumnLock(QStringLiteral("heading_noskhe"), QStringLiteral("sh_factor"));
    const KeyLock patient = keyColumnLock(QStringLiteral("mosh_bimaran"), QStringLiteral("code"));
    const KeyLock history = keyColumnLock(QStringLiteral("audit_log"), QStringLiteral("seq"));
    const int duplicates = r.duplicates == PrescriptionRecord::Duplicates::RefusedWithInsurer ? 2
                           : r.duplicates == PrescriptionRecord::Duplicates::RefusedByNames   ? 1
                                                                                              : 0;
    Rows q = db.exec(db.dialect().prescriptionSaveStartSql(),
                     {number.kind, number.key, patient.key, history.key, duplicates, r.shBimeh,
                      r.prescriptionDate.trimmed(), r.prescriberCouncil, r.name, r.family,
                      r.shBimeh.isEmpty() ? 0 : 1, r.insurer, day, month, r.insurer > 0 ? 1 : 0});
    if (!q.next()) throw Error(QStringLiteral("the prescription's number could not be taken"));
    NumberTaken taken;
    taken.invoiceNumber = int(q.value(0).toDouble());
    taken.duplicate = q.value(1).toInt() != 0;
    taken.patient = q.value(2);
    db.rememberTransactionId(q.value(7));
    if (!taken.duplicate) {
        taken.code = prescriptionCodeText(userCode, r.insurerText, r.prescriptionDate,
                                          r.insurer > 0 ? q.value(3).toInt() : 1);
        taken.tail = AuditTail{q.value(4), q.value(5), q.value(6).toString()};
    }
    return taken;
}

// The same steps one after the other, where the engine's transaction is itself the lock.
NumberTaken takeNumberHere(Database& db, const PrescriptionRecord& r, int userCode) {
    const bool refuseDuplicate = r.duplicates != PrescriptionRecord::Duplicates::Stored;
    lockKeyColumn(db, QStringLiteral("heading_noskhe"), QStringLiteral("sh_factor"));
    Rows read = db.exec(
        QStringLiteral("select (select max(sh_factor) from heading_noskhe), (%1), (%2)")
            .arg(refuseDuplicate ? duplicateSql(db.dialect(), r) : QStringLiteral("select 0"),
                 db.dialect().selectLimited(QStringLiteral("code from mosh_bimaran where sh_bimeh=?"), 1)),
        (refuseDuplicate ? duplicateValues(r) : QVariantList{}) + QVariantList{r.shBimeh});
    read.next();
    NumberTaken taken;
    taken.invoiceNumber = read.value(0).isNull() ? 1 : int(read.value(0).toDouble()) + 1;
    taken.duplicate = !read.value(1).isNull() && read.value(1).toInt() != 0;
    taken.patient = read.value(2);
    read.finish();
    if (taken.duplicate) return taken;
    if (!r.shBimeh.isEmpty() && taken.patient.isNull())
        lockKeyColumn(db, QStringLiteral("mosh_bimaran"), QStringLiteral("code"));
    taken.code = prescriptionCode(db, userCode, r);
    return taken;
}

} // namespace

std::optional<SavedPrescription> PrescriptionStore::saveNew(const PrescriptionRecord& r, const SaveContext& c) {
    const bool newPrescriber = !r.prescriberCouncil.isEmpty() && !r.prescriberName.isEmpty() && !r.prescriberKnown;
    const bool onServer = !m_db.dialect().prescriptionSaveStartSql().isEmpty();
    try {
        return saveInTransaction(m_db, [&]() -> std::optional<SavedPrescription> {
            // Everything is priced and checked before. Workstations saving at once take their
            // numbers in turn, each holding the numbering lock to its commit, so the save does
            // before it only what needs neither the number nor a lock the others wait for: the
            // lots are drawn (their guarded updates pass over what another save took). Then, in
            // one call where the server allows it, the lock and under it the largest number,
            // whether the prescription is stored already (of several workstations saving the
            // same prescription, the first stores it and the others, taking the lock after its
            // commit, find it), the patient, the day counter and the history's last entry; then
            // every row in one statement, and the commit. The stock rows, which every save of
            // the same drugs changes, are written in that last statement, so that their locks
            // too are held only from there to the commit.
            LotsDrawnAhead lots;
            if (r.stockKeeping) lots = drawLotsAhead(m_db, r.stock, c.today);
            if (newPrescriber) {
                // The prescribers' numbering lock is taken after the prescriptions' one, as
                // every save taking both takes them.
                lockKeyColumn(m_db, QStringLiteral("heading_noskhe"), QStringLiteral("sh_factor"));
                DoctorStore(m_db).registerPrescriber({0, r.prescriberName, r.prescriberFamily, r.prescriberCouncil,
                                                      r.specialtyCode.trimmed().toInt()});
            }
            const NumberTaken taken = onServer ? takeNumberOnServer(m_db, r, c.userCode)
                                               : takeNumberHere(m_db, r, c.userCode);
            if (taken.duplicate) throw StoredAlready{}; // the lots drawn are rolled back

            SavedPrescription saved{taken.invoiceNumber, taken.code};
            WriteChain writes;
            if (r.stockKeeping) writes.add(stockMoveStatements(r.stock, -1));
            if (!r.shBimeh.isEmpty()) writes.add(patientWrite(r, taken.patient));
            const Statement header = headerInsert(saved.invoiceNumber, saved.code, r, c);
            const QList<Statement> lines = lineInserts(saved.invoiceNumber, r);
            writes.add(header);
            writes.add(lines);
            const Statement cash = cashRowStatement({saved.invoiceNumber, 'd', r.cash, 0, c.today,
                                                     r.family + QStringLiteral("  ") + r.name, r.waitsAtCashDesk},
                                                    c);
            writes.add(cash);
            writes.add(lots.records(LotDocument::Prescription, saved.invoiceNumber));
            // The history's entry is taken from the statements themselves, with no read back.
            QList<AuditRow> lineRows;
            for (const Statement& insert : lines)
                lineRows += rowsOfInsert(insert);
            QJsonObject changes = documentChanges({}, rowsOfInsert(header).value(0), QList<AuditRow>{}, lineRows);
            changes.insert(QStringLiteral("cash"),
                           QJsonObject{{QStringLiteral("before"), QJsonArray{}},
                                       {QStringLiteral("after"), auditRowsJson(rowsOfInsert(cash))}});
            const AuditChange change{audit_kind::kPrescription, QString::number(saved.invoiceNumber), changes};
            writes.add(taken.tail ? auditEntryAfter(*taken.tail, c.origin, change)
                                  : auditEntryStatement(m_db, c.origin, change));
            writes.run(m_db);
            return saved;
        });
    } catch (const StoredAlready&) {
        return std::nullopt;
    }
}

void PrescriptionStore::putBackStock(int invoiceNumber) {
    moveStock(m_db, storedStockLines(m_db, invoiceNumber), +1);
    LotStore(m_db).putBack(LotDocument::Prescription, invoiceNumber);
}

SavedPrescription PrescriptionStore::saveEdit(int invoice, const PrescriptionRecord& r, const SaveContext& c) {
    const bool cashDesk = r.waitsAtCashDesk;
    return saveInTransaction(m_db, [&] {
        SavedPrescription saved{invoice, {}};
        const StoredRows before = storedRows(m_db, invoice);
        Rows stored = m_db.exec(
            QStringLiteral("select date_no, code_bimeh, code_no from heading_noskhe where sh_factor=?"), {invoice});
        if (!stored.next()) throw Error(QStringLiteral("invoice %1 is not stored").arg(invoice));
        const bool renumber =
            stored.value(0).toString() != r.prescriptionDate || stored.value(1).toInt() != r.insurer;
        saved.code = stored.value(2).toString();
        stored.finish();
        if (renumber) saved.code = prescriptionCode(m_db, c.userCode, r);

        QList<DrawnLot> drawnBefore;
        if (r.stockKeeping) {
            moveStock(m_db, storedStockLines(m_db, invoice), +1);
            drawnBefore = LotStore(m_db).putBack(LotDocument::Prescription, invoice);
        }
        m_db.exec(QStringLiteral("delete from details_noskhe where sh_factor=?"), {invoice});
        insertLines(m_db, invoice, r);
        QStringList assignments;
        for (const QString& column : QString::fromLatin1(kHeaderColumns).split(QStringLiteral(", ")))
            assignments.append(column + QStringLiteral("=?"));
        m_db.exec(QStringLiteral("update heading_noskhe set %1 where sh_factor=?").arg(assignments.join(u',')),
                  headerValues(saved.code, r, c) + QVariantList{invoice});
        storePrescriberAndPatient(m_db, r);

        // The difference to what the invoice's cash rows hold in sum, collected minus refunded.
        Rows held = m_db.exec(
            QStringLiteral("select coalesce(sum(bimar), 0), coalesce(sum(azad), 0), coalesce(sum(otc), 0), "
                           "coalesce(sum(fani), 0), coalesce(sum(kala), 0), coalesce(sum(koll_daryaft), 0), "
                           "coalesce(sum(koll_bargasht), 0) from cash where sh_factor=? and type_factor='d'"),
            {invoice});
        held.next();
        const CashAmounts sum{held.value(0).toDouble(), held.value(1).toDouble(), held.value(2).toDouble(),
                              held.value(3).toDouble(), held.value(4).toDouble(), held.value(5).toDouble()};
        const double netHeld = sum.total - held.value(6).toDouble();
        held.finish();
        const double owed = r.cash.total;
        if (owed > netHeld) {
            const CashAmounts more{r.cash.patient - sum.patient, r.cash.free - sum.free, r.cash.otc - sum.otc,
                                   r.cash.fee - sum.fee,         r.cash.goods - sum.goods, owed - netHeld};
            insertCashRow(m_db, {invoice, 'd', more, 0, r.deliveryDate, r.family, cashDesk}, c);
        } else if (owed < netHeld) {
            insertCashRow(m_db, {invoice, 'd', CashAmounts{}, netHeld - owed, c.today, r.family, cashDesk}, c);
        }
        if (r.stockKeeping) {
            moveStock(m_db, r.stock, -1);
            drawLots(m_db, LotDocument::Prescription, invoice, r.stock, c.today, drawnBefore);
        }
        const StoredRows after = storedRows(m_db, invoice);
        appendAudit(m_db, c.origin,
                    {audit_kind::kPrescription, QString::number(invoice),
                     changes(before, after)});
        return saved;
    });
}

} // namespace ph
