#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace ph {

class Database;

// A drug an insurer pays apart as a hoteling item, as the insurer's list shows it.
struct HotelingRow {
    int insurer = 0;  // code_bimeh
    double drug = 0;  // code_kala
    QString name;     // name_kala
    QString formName; // type_kala.name
};

// The hoteling drugs of each insurer: one row per insurer and drug.
class HotelingStore {
public:
    explicit HotelingStore(Database& db) : m_db(db) {}

    QList<HotelingRow> drugsOf(int insurer);
    bool exists(int insurer, double drug);
    // Whether any drug is a hoteling drug of the insurer.
    bool hasAny(int insurer);
    bool isGoods(double drug);
    void add(int insurer, double drug);
    void remove(int insurer, double drug);
    void removeAll(int insurer);

private:
    Database& m_db;
};

} // namespace ph
