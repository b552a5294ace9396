#pragma once

#include "audit/audit_origin.h"
#include "core/pick_row.h"
#include "db/schema.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace ph {

class Database;

// The status of a formula line: an insured material or a free one.
inline const QString kInsuredMaterial = QStringLiteral("بيمه");
inline const QString kFreeMaterial = QStringLiteral("آزاد");

// Compounded drugs are goods of group 1 and form 70 (a form every database holds).
inline constexpr qint64 kCompoundedGroup = 1;
inline constexpr qint64 kCompoundedForm = kCompoundedFormCode;

// A formula type (type_formul): the fees every formula of the type copies when it is made.
struct FormulaType {
    qint64 code = 0;
    QString name;
    double technicalFee = 0; // fani, whole Rials
    double serviceFee = 0;   // khadamat
    QString nationalCode;    // code_meli: the code_tow of the type's compounded drugs
};

class FormulaTypeStore {
public:
    enum class Result { Saved, DuplicateCode, DuplicateName, Missing };

    explicit FormulaTypeStore(Database& db) : m_db(db) {}

    QList<FormulaType> list() const; // by code
    // The picker rows (code, name1, fani, khadamat), by code.
    PickRows pickRows() const;
    std::optional<FormulaType> find(qint64 code) const;
    qint64 nextCode() const;
    // Stores a new type under `type.code`, its name trimmed and its technical fee whole.
    Result add(const FormulaType& type);
    // Rewrites name, fees and national code. Formulas already saved keep their fees.
    Result update(const FormulaType& type);
    // Deletes the type; formulas of the type keep their copied fees.
    void remove(qint64 code);

private:
    Database& m_db;
};

// A material line of a formula.
struct FormulaLine {
    qint64 material = 0;  // code_mat
    QString materialName; // name_mat
    QString unitName;
    QString status = kFreeMaterial; // vaziat: kInsuredMaterial or kFreeMaterial
    double quantity = 0;            // meghdar
    double unitPrice = 0;           // price: the material's price when the line was written
    double total() const { return unitPrice * quantity; }
};

struct FormulaTotals {
    double insured = 0; // price_koll_bimeh: the insured lines
    double free = 0;    // price_koll_azad: every other line
    double payable = 0; // sum_koll: both fees and both totals
};

// The totals of the lines with the formula's own technical and service fee.
FormulaTotals formulaTotals(const QList<FormulaLine>& lines, double technicalFee, double serviceFee);

// A formula (heading_formul_darou with its lines in details_formul_darou).
struct Formula {
    double code = 0;      // code_darou: the compounded drug's goods code
    QString name;         // name_darou
    QString latinName;    // name_latin
    qint64 type = 0;      // code_type_formul
    double technicalFee = 0;
    double serviceFee = 0;
    std::optional<qint64> instruction; // code_dastoor
    std::optional<qint64> storage;     // code_negahdari
    std::optional<qint64> message;     // code_payam
    QList<FormulaLine> lines;
    FormulaTotals totals() const { return formulaTotals(lines, technicalFee, serviceFee); }
};

// The formulas and the goods rows of their compounded drugs. A formula is saved with its
// lines and its goods row (group 1, form 70, priced at the payable total) in one transaction.
class FormulaStore {
public:
    enum class Result {
        Saved,
        NoLines,   // a formula without a line is not stored
        Missing,   // no formula with the code
        Dispensed, // prescription lines name the drug: not deleted
    };

    explicit FormulaStore(Database& db) : m_db(db) {}

    std::optional<Formula> find(double code) const;
    // The codes of every formula, ascending (for first, previous, next and last).
    QList<double> codes() const;
    // The code the next new formula would get (form 70's counter plus one); not reserved.
    double nextCode() const;

    // Stores a new formula under the next code of form 70, raising its counter; `code`
    // receives the code used.
    Result add(const Formula& formula, double* code = nullptr);
    // Rewrites the header, the lines and the goods row of `formula.code`.
    Result update(const Formula& formula);
    Result remove(double code);

private:
    void writeLinesAndGoods(const Formula& formula, bool goodsRowIsNew);

    Database& m_db;
};

// What the compounded-drug price update changed.
struct RepriceSummary {
    int formulas = 0;     // headers whose totals changed
    int goods = 0;        // compounded drugs whose goods or stock unit price changed, the created ones included
    int goodsCreated = 0; // formulas that had no goods row and got one
    int formulasSeen = 0; // every formula header
};

// Carries the materials' current prices into every formula line, recomputes every formula's
// totals with its own fees and prices each compounded drug's goods row (and any stock unit's
// row of it) at the payable total, creating the goods row of a formula that has none. One transaction: all of it or nothing.
// `progress(done, count)` is called after each formula; an exception thrown from it (or any
// failure) rolls everything back and propagates. The goods prices it changes go to the history
// of changes as `origin`'s, in the same transaction.
RepriceSummary repriceCompounded(Database& db, const std::function<void(int, int)>& progress = {},
                                 const AuditOrigin& origin = {});

} // namespace ph
