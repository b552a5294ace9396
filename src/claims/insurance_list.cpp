#include "claims/insurance_list.h"

#include "claims/claims_texts.h"
#include "core/amounts.h"
#include "db/database.h"
#include "dispensing/dispensing_texts.h"
#include "dispensing/invoice_search.h"
#include "insurance/insurer_store.h"


#include <algorithm>

namespace ph {
namespace {

// The conditions of the selection on v_list_bimeh, the values bound in order.
QString conditions(const ListSelection& s, QVariantList& values, const QString& prefix = {}) {
    QString where = QStringLiteral("%1paz_type = 1 and %1sh_factor <> 0 and %1date_no >= ? and %1date_no <= ?").arg(prefix);
    values << s.from << s.to;
    QStringList marks;
    for (int insurer : s.insurers) {
        marks << QStringLiteral("?");
        values << insurer;
    }
    where += QStringLiteral(" and %1code_bimeh in (%2)").arg(prefix, marks.join(u','));
    if (s.prescriptionType) {
        where += QStringLiteral(" and %1type_no = ?").arg(prefix);
        values << *s.prescriptionType;
    }
    if (s.lowestTotal) {
        where += QStringLiteral(" and %1koll >= ?").arg(prefix);
        values << *s.lowestTotal;
    }
    if (s.highestTotal) {
        where += QStringLiteral(" and %1koll <= ?").arg(prefix);
        values << *s.highestTotal;
    }
    for (int specialty : s.excludedSpecialties) {
        where += QStringLiteral(" and %1typeno <> ?").arg(prefix);
        values << specialty;
    }
    if (s.confirmation != ListSelection::Confirmation::All) {
        where += QStringLiteral(" and %1flag_taeed = ?").arg(prefix);
        values << (s.confirmation == ListSelection::Confirmation::Confirmed ? 1 : 0);
    }
    return where;
}

QString text(const QVariant& value) { return value.isNull() ? QString() : value.toString(); }

std::optional<double> number(const QVariant& value) {
    if (value.isNull()) return std::nullopt;
    return value.toDouble();
}

QString numberText(const QVariant& value) { return value.isNull() ? QString() : plainDecimalText(value.toDouble()); }

} // namespace

QString listFaultText(ListFault fault) {
    switch (fault) {
    case ListFault::NoInsurer: return claims::texts::kNoInsurer;
    case ListFault::NoFani: return claims::texts::kNoFani;
    case ListFault::NoFirstDate:
    case ListFault::NoSecondDate: return claims::texts::kNoDate;
    case ListFault::BadFirstDate:
    case ListFault::BadSecondDate: break;
    }
    return claims::texts::kBadDate;
}

std::optional<ListFault> checkSelection(ListSelection& selection, const QString& fani) {
    if (selection.insurers.isEmpty()) return ListFault::NoInsurer;
    if (fani.trimmed().isEmpty()) return ListFault::NoFani;
    if (selection.from.trimmed().isEmpty()) return ListFault::NoFirstDate;
    if (selection.to.trimmed().isEmpty()) return ListFault::NoSecondDate;
    const SearchDate from = checkSearchDate(selection.from);
    if (from.state != SearchDate::State::Valid) return ListFault::BadFirstDate;
    const SearchDate to = checkSearchDate(selection.to);
    if (to.state != SearchDate::State::Valid) return ListFault::BadSecondDate;
    selection.from = from.text;
    selection.to = to.text;
    return std::nullopt;
}

ListTotals totalsOf(const QList<ListRow>& rows) {
    ListTotals totals;
    for (const ListRow& row : rows) {
        totals.insurerShare += row.insurerShare;
        totals.patientShare += row.patientShare;
    }
    totals.count = int(rows.size());
    return totals;
}

void sortRows(QList<ListRow>& rows, ListOrder order) {
    auto by = [&rows](auto key) {
        std::stable_sort(rows.begin(), rows.end(), [&key](const ListRow& a, const ListRow& b) { return key(a) < key(b); });
    };
    switch (order) {
    case ListOrder::Invoice: by([](const ListRow& r) { return r.invoice; }); break;
    case ListOrder::Family: by([](const ListRow& r) { return std::tie(r.family, r.name); }); break;
    case ListOrder::InsuranceNumber: by([](const ListRow& r) { return r.insuranceNumber; }); break;
    case ListOrder::Date: by([](const ListRow& r) { return std::tie(r.date, r.code); }); break;
    case ListOrder::Code: by([](const ListRow& r) { return std::tie(r.code, r.date); }); break;
    case ListOrder::Prescriber: by([](const ListRow& r) { return std::tie(r.prescriber, r.family, r.name); }); break;
    case ListOrder::InsurerShare: by([](const ListRow& r) { return std::tie(r.insurerShare, r.invoice); }); break;
    case ListOrder::PatientShare: by([](const ListRow& r) { return std::tie(r.patientShare, r.invoice); }); break;
    case ListOrder::Total: by([](const ListRow& r) { return std::tie(r.total, r.invoice); }); break;
    }
}

QList<ListRow> InsuranceListStore::rows(const ListSelection& selection) {
    if (selection.insurers.isEmpty()) return {}; // no insurer chosen: nothing is listed
    QVariantList values;
    const QString where = conditions(selection, values);
    Rows q = m_db.exec(QStringLiteral("select sh_factor, family_b, name_b, insnotamin, sh_bimeh, date_no, code_no, "
                                           "name_p, price_bimeh, price_bimar, koll, sh_safhe from v_list_bimeh where ") +
                                where + QStringLiteral(" order by date_no, code_no, sh_factor"),
                            values);
    QList<ListRow> rows;
    while (q.next()) {
        ListRow r;
        r.invoice = q.value(0).toInt();
        r.family = text(q.value(1));
        r.name = text(q.value(2));
        r.insNoTamin = text(q.value(3));
        r.insuranceNumber = text(q.value(4));
        r.date = text(q.value(5));
        r.code = text(q.value(6));
        r.prescriber = text(q.value(7));
        r.insurerShare = q.value(8).toDouble();
        r.patientShare = q.value(9).toDouble();
        r.total = q.value(10).toDouble();
        r.page = numberText(q.value(11));
        rows.append(r);
    }
    return rows;
}

QList<SheetRow> InsuranceListStore::sheetRows(const ListSelection& selection) {
    if (selection.insurers.isEmpty()) return {}; // no insurer chosen: nothing is listed
    QVariantList values;
    const QString where = conditions(selection, values);
    Rows q = m_db.exec(QStringLiteral("select name_b, family_b, sh_bimeh, name_p, date_no, koll, price_bimeh, "
                                           "price_bimar from v_list_bimeh where ") +
                                where + QStringLiteral(" order by date_no, code_no, sh_factor"),
                            values);
    QList<SheetRow> rows;
    while (q.next()) {
        SheetRow r;
        r.name = text(q.value(0));
        r.family = text(q.value(1));
        r.insuranceNumber = text(q.value(2));
        r.prescriber = text(q.value(3));
        r.date = text(q.value(4));
        r.total = q.value(5).toDouble();
        r.insurerShare = q.value(6).toDouble();
        r.patientShare = q.value(7).toDouble();
        rows.append(r);
    }
    return rows;
}

QList<ClaimPrescription> InsuranceListStore::claimPrescriptions(const ListSelection& selection) {
    if (selection.insurers.isEmpty()) return {}; // no insurer chosen: nothing is listed
    // One statement: the headers with their tariff lines beside them, a header without such
    // lines once with empty line columns. A line whose goods is missing from the catalogue
    // is not claimed.
    QVariantList values{texts::kInsured};
    const QString where = conditions(selection, values, QStringLiteral("v."));
    Rows q = m_db.exec(
        QStringLiteral("select v.sh_factor, v.date_no, v.date_sabt, v.date_bimeh, v.sh_safhe, v.code_bimeh, "
                       "v.insnotamin, v.sh_bimeh, v.nezam_p, v.price_bimeh, v.price_bimar, v.koll, v.name_b, "
                       "v.family_b, v.name_p1, v.family_p, k.code_kala, k.type_code, k.code_tow, d.tedad, "
                       "d.price_koll, d.sazman, d.bimar "
                       "from v_list_bimeh v "
                       "left join details_noskhe d on d.sh_factor = v.sh_factor and d.vaziat = ? "
                       "left join mosh_kala_anbar k on k.code_kala = d.code_darou where ") +
            where + QStringLiteral(" order by v.date_no, v.code_no, v.sh_factor, d.row"),
        values);
    QList<ClaimPrescription> prescriptions;
    while (q.next()) {
        const int invoice = q.value(0).toInt();
        if (prescriptions.isEmpty() || prescriptions.last().invoice != invoice) {
            ClaimPrescription p;
            p.invoice = invoice;
            p.date = text(q.value(1));
            p.dispensingDate = text(q.value(2));
            p.bookletDate = text(q.value(3));
            p.page = number(q.value(4));
            p.insurer = q.value(5).toInt();
            if (!q.value(6).isNull()) p.insNoTamin = q.value(6).toString();
            p.insuranceNumber = text(q.value(7));
            p.prescriberCouncil = text(q.value(8));
            p.insurerShare = number(q.value(9));
            p.patientShare = number(q.value(10));
            p.total = number(q.value(11));
            p.patientName = text(q.value(12));
            p.patientFamily = text(q.value(13));
            p.prescriberName = text(q.value(14));
            p.prescriberFamily = text(q.value(15));
            prescriptions.append(std::move(p));
        }
        if (q.isNull(16)) continue; // no tariff line, or its goods is not in the catalogue
        ClaimLine line;
        if (const QVariant form = q.value(17); !form.isNull()) line.formCode = form.toInt();
        line.nationalCode = number(q.value(18));
        line.quantity = q.value(19).toDouble();
        line.total = q.value(20).toDouble();
        line.insurerShare = q.value(21).toDouble();
        line.patientShare = q.value(22).toDouble();
        prescriptions.last().lines.append(line);
    }
    return prescriptions;
}

QString InsuranceListStore::pharmacyCode(const ListSelection& selection) {
    if (selection.insurers.isEmpty()) return QStringLiteral("0");
    const std::optional<Insurer> insurer = InsurerStore(m_db).find(selection.insurers.first());
    if (!insurer || insurer->pharmacyCode.isEmpty()) return QStringLiteral("0");
    return insurer->pharmacyCode;
}

} // namespace ph
