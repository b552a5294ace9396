#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace ph {

class Database;

// A goods item as the drug name lists show it.
struct GoodsChoice {
    double code = 0;  // code_kala
    QString name;     // name_kala trimmed, or the Latin name when it has none
    QString formName; // type_kala.name
};

// Every goods item by name, for the windows that pick a drug by its name.
QList<GoodsChoice> goodsChoices(Database& db);

// An equivalent of a drug (moadel_kala with its goods row).
struct EquivalentRow {
    double code = 0;  // code_moadel
    QString name;     // name_kala
    QString formName; // type_kala.name
    double price = 0; // the catalogue's price_u, or the unit's when read for a unit
};

// The drugs that may stand in for others: one row per ordered pair, written both ways.
class EquivalentStore {
public:
    explicit EquivalentStore(Database& db) : m_db(db) {}

    // The drug's equivalents (the drugs named with it as its main drug), by code.
    QList<EquivalentRow> equivalentsOf(double drug);
    // The equivalents a counter may dispense for the drug: with a unit, only those the unit
    // holds, at its price; without, every equivalent at its catalogue price.
    QList<EquivalentRow> offers(double drug, std::optional<int> unit);

    enum class AddResult { Added, AlreadyThere };
    // Adds (main, equivalent) and then (equivalent, main) in one transaction, unless the
    // pair (main, equivalent) is stored already; its reverse alone does not stop it.
    AddResult add(double main, double equivalent);
    // Removes the pair (main, equivalent) only; the reverse pair stays.
    void remove(double main, double equivalent);

private:
    Database& m_db;
};

// A companion of a drug (hamrah_kala with its goods row).
struct CompanionRow {
    double code = 0;   // code_kala_h
    QString name;      // name_kala
    QString formName;  // type_kala.name
    QString condition; // "تعرفه" or "آزاد"
};

// The goods dispensed with a main drug and the status each companion line takes.
class CompanionStore {
public:
    explicit CompanionStore(Database& db) : m_db(db) {}

    QList<CompanionRow> companionsOf(double drug);
    bool exists(double drug, double companion, const QString& condition);
    bool exists(double drug, double companion);
    bool isGoods(double code);
    void add(double drug, double companion, const QString& condition);
    // Gives the first stored row of the pair the condition; false when the pair is not stored.
    bool changeCondition(double drug, double companion, const QString& condition);
    // Removes the first stored row of the pair (a pair stored twice keeps one).
    void removeOne(double drug, double companion);
    void removeAll(double drug);

private:
    Database& m_db;
};

} // namespace ph
