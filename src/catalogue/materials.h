#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace ph {

class Database;

// A base material of compounded drugs (material) with its unit's name (vahed_madeh.name).
struct Material {
    qint64 code = 0;   // code_mat
    QString name;      // name_mat
    QString tradeName; // name_tejari
    QString latinName; // name_latin
    qint64 unit = 0;   // vahed
    QString unitName;
    std::optional<double> price; // unit price in Rials; absent when the column is null
};

// The base materials. A material's price reaches the formulas only through the price
// update (repriceCompounded); a material named by a formula line is never deleted.
class MaterialStore {
public:
    enum class Result {
        Saved,
        DuplicateCode, // the code is taken
        DuplicateName, // another material has the name
        Missing,       // no material with the code
        InUse,         // a formula line names the material: not deleted
    };

    explicit MaterialStore(Database& db) : m_db(db) {}

    // Every material whose unit is in the unit list, ordered by code.
    QList<Material> list() const;
    std::optional<Material> find(qint64 code) const;
    qint64 nextCode() const;
    std::optional<QString> unitName(qint64 unit) const;

    // Stores a new material under `material.code` (the code the window showed).
    Result add(const Material& material);
    // Rewrites the name, unit, price, trade and Latin name of the material.
    Result update(const Material& material);
    Result remove(qint64 code);

private:
    Database& m_db;
};

} // namespace ph
