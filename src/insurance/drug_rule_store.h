#pragma once

#include "audit/audit_origin.h"
#include <QList>
#include <QString>

#include <optional>

namespace ph {

class Database;

// An insurer's rule for one drug (bimeh_daru); at most one per insurer and drug.
struct DrugRuleEntry {
    int insurer = 0;           // code_bimeh
    double drug = 0;           // code_kala
    int limitKind = 0;         // ty_no: 0 none, 1 by quantity (qu), 2 by the insurer's tariff (mab)
    double quantity = 0;       // qu: the largest covered quantity
    double tariff = 0;         // mab: the insurer's tariff price of the drug, Rials
    int specialty = 0;         // madrak: the required prescriber specialty (doctor_type.code), 0 none
    bool hospitalOnly = false; // bimarestani
    bool notCovered = false;   // non_bimeh
    double deduct = 0;         // Deduct: the drug's own insurer percentage, 0 = the contract's
};

// A rule as the rule grid shows it, with the drug's form and name and the specialty's name.
struct DrugRuleRow {
    DrugRuleEntry rule;
    QString formName;      // type_kala.name
    QString drugName;      // name_kala
    QString specialtyName; // doctor_type.doc_type; empty when the rule asks none
};

// A goods item the rules can be written for.
struct DrugChoice {
    double code = 0;  // code_kala
    QString name;     // name_kala, or the Latin name when it has none; trimmed
    QString formName; // type_kala.name
};

// The limit kind a new rule takes: 1 when limited by quantity and the quantity is not
// "0", 2 when limited by tariff and the tariff is not "0", else 0.
int limitKindForNew(bool byQuantity, const QString& quantity, bool byTariff, const QString& tariff);
// The limit kind an edited rule takes: 1 by quantity, 2 by tariff, else 0, whatever the values.
int limitKindForEdit(bool byQuantity, bool byTariff);

class DrugRuleStore {
public:
    // Changes go to the history of changes as `origin`'s.
    explicit DrugRuleStore(Database& db, AuditOrigin origin = {}) : m_db(db), m_origin(std::move(origin)) {}

    // The insurer's rules by drug code, those asking no specialty (or one not in the
    // list) and those of goods without a form included.
    QList<DrugRuleRow> rulesOf(int insurer);
    std::optional<DrugRuleEntry> find(int insurer, double drug);

    // Gives the drug the rule (insurer ignored) for each insurer that has no rule for it
    // yet; rules already there stay as they are. One transaction; returns the insurers
    // that got one.
    QList<int> addForInsurers(const QList<int>& insurers, const DrugRuleEntry& rule);
    // Rewrites the rule of (rule.insurer, rule.drug); false, and nothing written, when the
    // pair has none.
    bool update(const DrugRuleEntry& rule);
    // Deletes the drug's rule of each insurer, in one transaction.
    void removeForInsurers(double drug, const QList<int>& insurers);

    // Every goods item by name, with its form.
    QList<DrugChoice> drugChoices();

private:
    Database& m_db;
    AuditOrigin m_origin;
};

} // namespace ph
