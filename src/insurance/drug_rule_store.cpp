#include "insurance/drug_rule_store.h"

#include "audit/audit_changes.h"
#include "core/amounts.h"
#include "db/database.h"
#include "db/transaction.h"

namespace ph {
namespace {

const char* const kRuleColumns = "ty_no, qu, mab, madrak, bimarestani, non_bimeh, deduct";

QVariantList ruleValues(const DrugRuleEntry& r) {
    return {r.limitKind,          r.quantity, r.tariff, r.specialty, r.hospitalOnly ? 1 : 0,
            r.notCovered ? 1 : 0, r.deduct};
}

// Reads the rule columns from `first` on (in the order of kRuleColumns).
void readRule(const Rows& q, int first, DrugRuleEntry& r) {
    r.limitKind = q.value(first).toInt();
    r.quantity = q.value(first + 1).toDouble();
    r.tariff = q.value(first + 2).toDouble();
    r.specialty = q.value(first + 3).toInt();
    r.hospitalOnly = q.value(first + 4).toInt() != 0;
    r.notCovered = q.value(first + 5).toInt() != 0;
    r.deduct = q.value(first + 6).toDouble();
}

bool hasRule(Database& db, int insurer, double drug) {
    return db
        .exec(db.dialect().selectLimited(
                  QStringLiteral("1 from bimeh_daru where code_bimeh=? and code_kala=?"), 1),
              {insurer, drug})
        .next();
}

} // namespace

int limitKindForNew(bool byQuantity, const QString& quantity, bool byTariff, const QString& tariff) {
    if (byQuantity && quantity != QLatin1String("0")) return 1;
    if (byTariff && tariff != QLatin1String("0")) return 2;
    return 0;
}

int limitKindForEdit(bool byQuantity, bool byTariff) {
    return byQuantity ? 1 : byTariff ? 2 : 0;
}

QList<DrugRuleRow> DrugRuleStore::rulesOf(int insurer) {
    Rows q = m_db.exec(
        QStringLiteral("select r.code_bimeh, r.code_kala, r.ty_no, r.qu, r.mab, r.madrak, r.bimarestani, "
                       "r.non_bimeh, r.deduct, t.name, k.name_kala, d.doc_type "
                       "from bimeh_daru r "
                       "left join mosh_kala_anbar k on k.code_kala=r.code_kala "
                       "left join type_kala t on t.code=k.type_code "
                       "left join doctor_type d on d.code=r.madrak "
                       "where r.code_bimeh=? order by r.code_kala"),
        {insurer});
    QList<DrugRuleRow> rows;
    while (q.next()) {
        DrugRuleRow row;
        row.rule.insurer = q.value(0).toInt();
        row.rule.drug = q.value(1).toDouble();
        readRule(q, 2, row.rule);
        row.formName = q.value(9).toString();
        row.drugName = q.value(10).toString();
        row.specialtyName = row.rule.specialty > 0 ? q.value(11).toString() : QString();
        rows.append(row);
    }
    return rows;
}

std::optional<DrugRuleEntry> DrugRuleStore::find(int insurer, double drug) {
    Rows q = m_db.exec(
        m_db.dialect().selectLimited(QStringLiteral("%1 from bimeh_daru where code_bimeh=? and code_kala=?")
                                         .arg(QLatin1String(kRuleColumns)),
                                     1),
        {insurer, drug});
    if (!q.next()) return std::nullopt;
    DrugRuleEntry rule;
    rule.insurer = insurer;
    rule.drug = drug;
    readRule(q, 0, rule);
    return rule;
}

QList<int> DrugRuleStore::addForInsurers(const QList<int>& insurers, const DrugRuleEntry& rule) {
    QList<int> added;
    // The history records the drug's rules of every insurer, before and after.
    writeRecorded(m_db, m_origin, QStringLiteral("insurer_drug_rule"), plainDecimalText(rule.drug),
                  QStringLiteral("bimeh_daru"), QStringLiteral("code_kala=?"), {rule.drug}, [&] {
                      for (int insurer : insurers) {
                          if (added.contains(insurer) || hasRule(m_db, insurer, rule.drug)) continue;
                          m_db.exec(QStringLiteral("insert into bimeh_daru (code_bimeh, code_kala, %1) values (?, ?, "
                                                   "?, ?, ?, ?, ?, ?, ?)")
                                        .arg(QLatin1String(kRuleColumns)),
                                    QVariantList{insurer, rule.drug} + ruleValues(rule));
                          added.append(insurer);
                      }
                  });
    return added;
}

bool DrugRuleStore::update(const DrugRuleEntry& rule) {
    if (!hasRule(m_db, rule.insurer, rule.drug)) return false;
    writeRecorded(m_db, m_origin, QStringLiteral("insurer_drug_rule"), plainDecimalText(rule.drug),
                  QStringLiteral("bimeh_daru"), QStringLiteral("code_kala=? and code_bimeh=?"),
                  {rule.drug, rule.insurer}, [&] {
                      m_db.exec(QStringLiteral("update bimeh_daru set ty_no=?, qu=?, mab=?, madrak=?, bimarestani=?, "
                                               "non_bimeh=?, deduct=? where code_bimeh=? and code_kala=?"),
                                ruleValues(rule) + QVariantList{rule.insurer, rule.drug});
                  });
    return true;
}

void DrugRuleStore::removeForInsurers(double drug, const QList<int>& insurers) {
    writeRecorded(m_db, m_origin, QStringLiteral("insurer_drug_rule"), plainDecimalText(drug),
                  QStringLiteral("bimeh_daru"), QStringLiteral("code_kala=?"), {drug}, [&] {
                      for (int insurer : insurers)
                          m_db.exec(QStringLiteral("delete from bimeh_daru where code_kala=? and code_bimeh=?"),
                                    {drug, insurer});
                  });
}

QList<DrugChoice> DrugRuleStore::drugChoices() {
    Rows q =
        m_db.exec(QStringLiteral("select k.code_kala, k.name_kala, k.name_kala_latin, t.name "
                                 "from mosh_kala_anbar k left join type_kala t on t.code=k.type_code "
                                 "order by k.name_kala, k.code_kala"));
    QList<DrugChoice> choices;
    while (q.next()) {
        DrugChoice choice;
        choice.code = q.value(0).toDouble();
        choice.name = (q.value(1).isNull() ? q.value(2).toString() : q.value(1).toString()).trimmed();
        choice.formName = q.value(3).toString();
        choices.append(choice);
    }
    return choices;
}

} // namespace ph
