#include "dispensing/prescription_store.h"

#include "core/amounts.h"
#include "core/error.h"
#include "db/database.h"
#include "db/key_allocator.h"
#include "dispensing/drug_list.h"
#include "dispensing/prescription_lines.h"
#include "dispensing/sale_rows.h"
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
    const auto read = [](QSqlQuery& q) -> std::optional<KnownPatient> {
        if (!q.next()) return std::nullopt;
        KnownPatient patient{q.value(0).toString(), q.value(1).toString(), std::nullopt, std::nullopt};
        if (!q.value(2).isNull()) patient.expiryDate = q.value(2).toString();
        if (!q.value(3).isNull()) patient.insNoTamin = q.value(3).toString();
        return patient;
    };
    const QString columns = QStringLiteral("name_b, family_b, date_bimeh, insnotamin from mosh_bimaran ");
    QSqlQuery whole = m_db.exec(m_db.dialect().selectLimited(columns + QStringLiteral("where insnotamin=? and code_bimeh=?"), 1),
                                {number, insurer});
    if (auto patient = read(whole)) return patient;
    whole.finish();
    if (!socialSecurity || number.size() < 10) return std::nullopt;
    // The stored dashed form begins with the ten-digit base number.
    QSqlQuery prefix = m_db.exec(
        m_db.dialect().selectLimited(columns + QStringLiteral("where insnotamin like ? and code_bimeh=?"), 1),
        {number.left(10) + QStringLiteral("%"), insurer});
    return read(prefix);
}

PrescriptionStore::SaveSettings PrescriptionStore::saveSettings() {
    QSqlQuery query = m_db.exec(
        m_db.dialect().selectLimited(QStringLiteral("message_taeed, message_address, cash from tanzimat"), 1));
    SaveSettings settings;
    if (query.next()) {
        settings.thresholds.approvalMessages = query.value(0).toBool();
        settings.thresholds.addressMessages = query.value(1).toBool();
        settings.separateCashDesk = query.value(2).toInt() != 0;
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

void insertLines(Database& db, int invoice, const PrescriptionRecord& r) {
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
        db.exec(head + marks.join(QStringLiteral(", ")), values);
    }
}

// The stored lines as they left stock: a substitution's dispensed drug, not the prescribed one.
QList<StockLine> storedStockLines(Database& db, int invoice) {
    QList<StockLine> lines;
    QSqlQuery q = db.exec(QStringLiteral("select code_darou, tedad, vaziat, flag_moadel, code_darou_main, "
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

QString takePrescriptionCode(Database& db, int userCode, int insurer, const QString& insurerText,
                             const QString& date) {
    const int counter = takeDayCounter(db, insurer, date);
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
    if (patient.isNull()) {
        const qint64 code = nextKey(db, QStringLiteral("mosh_bimaran"), QStringLiteral("code"));
        db.exec(QStringLiteral("insert into mosh_bimaran (code, insnotamin, sh_bimeh, code_bimeh, date_bimeh, name_b, "
                               "family_b) values (?, ?, ?, ?, ?, ?, ?)"),
                {code, textOrNull(r.insNoTamin), r.shBimeh, r.insurer, textOrNull(r.expiryDate), textOrNull(r.name),
                 textOrNull(r.family)});
    } else {
        db.exec(QStringLiteral("update mosh_bimaran set code_bimeh=?, date_bimeh=?, name_b=?, family_b=?, insnotamin=? "
                               "where code=?"),
                {r.insurer, textOrNull(r.expiryDate), textOrNull(r.name), textOrNull(r.family),
                 textOrNull(r.insNoTamin), patient});
    }
}


bool PrescriptionStore::isDuplicate(const PrescriptionRecord& r, bool withInsurer) {
    if (!withInsurer)
        return m_db
            .exec(m_db.dialect().selectLimited(
                      QStringLiteral("1 from heading_noskhe where date_no=? and name_b=? and family_b=?"), 1),
                  {r.prescriptionDate.trimmed(), r.name, r.family})
            .next();
    return m_db
        .exec(m_db.dialect().selectLimited(QStringLiteral("1 from heading_noskhe where date_no=? and nezam_p=? and "
                                                          "name_b=? and family_b=? and sh_bimeh=?"),
                                           1),
              {r.prescriptionDate.trimmed(), r.prescriberCouncil, r.name, r.family, r.shBimeh})
        .next();
}

bool PrescriptionStore::exists(int invoiceNumber) {
    return m_db.exec(m_db.dialect().selectLimited(QStringLiteral("1 from heading_noskhe where sh_factor=?"), 1),
                     {invoiceNumber})
        .next();
}

SavedPrescription PrescriptionStore::saveNew(const PrescriptionRecord& r, const SaveContext& c) {
    const bool cashDesk = r.waitsAtCashDesk;
    return saveInTransaction(m_db, [&] {
        SavedPrescription saved;
        saved.invoiceNumber = int(nextKey(m_db, QStringLiteral("heading_noskhe"), QStringLiteral("sh_factor")));
        saved.code = prescriptionCode(m_db, c.userCode, r);
        m_db.exec(QStringLiteral("insert into heading_noskhe (sh_factor, %1) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
                                 "?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                      .arg(QLatin1String(kHeaderColumns)),
                  QVariantList{saved.invoiceNumber} + headerValues(saved.code, r, c));
        storePrescriberAndPatient(m_db, r);
        insertLines(m_db, saved.invoiceNumber, r);
        insertCashRow(m_db,
                      {saved.invoiceNumber, 'd', r.cash, 0, c.today, r.family + QStringLiteral("  ") + r.name, cashDesk},
                      c);
        if (r.stockKeeping) moveStock(m_db, r.stock, -1);
        return saved;
    });
}

void PrescriptionStore::putBackStock(int invoiceNumber) {
    moveStock(m_db, storedStockLines(m_db, invoiceNumber), +1);
}

SavedPrescription PrescriptionStore::saveEdit(int invoice, const PrescriptionRecord& r, const SaveContext& c) {
    const bool cashDesk = r.waitsAtCashDesk;
    return saveInTransaction(m_db, [&] {
        SavedPrescription saved{invoice, {}};
        QSqlQuery stored = m_db.exec(
            QStringLiteral("select date_no, code_bimeh, code_no from heading_noskhe where sh_factor=?"), {invoice});
        if (!stored.next()) throw Error(QStringLiteral("invoice %1 is not stored").arg(invoice));
        const bool renumber =
            stored.value(0).toString() != r.prescriptionDate || stored.value(1).toInt() != r.insurer;
        saved.code = stored.value(2).toString();
        stored.finish();
        if (renumber) saved.code = prescriptionCode(m_db, c.userCode, r);

        if (r.stockKeeping) moveStock(m_db, storedStockLines(m_db, invoice), +1);
        m_db.exec(QStringLiteral("delete from details_noskhe where sh_factor=?"), {invoice});
        insertLines(m_db, invoice, r);
        QStringList assignments;
        for (const QString& column : QString::fromLatin1(kHeaderColumns).split(QStringLiteral(", ")))
            assignments.append(column + QStringLiteral("=?"));
        m_db.exec(QStringLiteral("update heading_noskhe set %1 where sh_factor=?").arg(assignments.join(u',')),
                  headerValues(saved.code, r, c) + QVariantList{invoice});
        storePrescriberAndPatient(m_db, r);

        // The difference to what the invoice's cash rows hold in sum, collected minus refunded.
        QSqlQuery held = m_db.exec(
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
        if (r.stockKeeping) moveStock(m_db, r.stock, -1);
        return saved;
    });
}

} // namespace ph
