#pragma once

#include "core/pick_row.h"

#include <QList>
#include <QString>

#include <optional>

namespace ph {

class Database;

// The six short code lists that name codes used everywhere else. The values are the
// form mode with which the main window opens the list window for each of them.
enum class LookupKind {
    Groups = 5,            // group_kala: goods groups
    Forms = 6,             // type_kala: drug forms (with their goods-code counter `num`)
    PrescriptionTypes = 7, // type_noskhe
    Specialties = 8,       // doctor_type (the name is `doc_type`)
    Units = 9,             // vahed_madeh: units of base materials
    Wards = 100,           // place (with the `active` flag)
};

// The list a form mode opens; nullopt for any other value.
std::optional<LookupKind> lookupKindForFormMode(int formMode);

struct LookupEntry {
    qint64 code = 0;
    QString name;
    bool active = false; // wards only
};

// One lookup list: its rows, the next code, adding and renaming an entry.
//
//     LookupList groups(db, LookupKind::Groups);
//     groups.nextCode();                      // largest code + 1, 1 for an empty list
//     groups.add(QStringLiteral(" مسكن "));  // Saved: stored trimmed as "مسكن"
//     groups.edit(1, QStringLiteral("مسكن")); // Duplicate: the name is in the list
//     groups.nameOf(1);                       // what a code field shows for code 1
//
// The user never chooses a code. Specialty codes keep the order of entry: dispensing gives
// the codes 1 to 4 and 10 a fixed meaning (general practitioner, midwife, dentist, specialist,
// sub-specialist), so they are never chosen by hand and never re-used.
//
// Table and column names come from a fixed table of the six lists; names are always bound.
class LookupList {
public:
    enum class Result {
        Saved,
        EmptyName, // the trimmed name is empty
        Duplicate, // the name is already in the list
        InUse,     // other rows refer to the code: the name is kept (a ward's flag is stored)
        Fixed,     // the compounded drugs' form: formulas need it as it is
    };

    LookupList(Database& db, LookupKind kind);

    LookupKind kind() const { return m_kind; }
    // Wards carry an active flag; lists of wards elsewhere offer the active ones only.
    bool hasActiveFlag() const { return m_kind == LookupKind::Wards; }

    // Every entry, ordered by code.
    QList<LookupEntry> entries() const;
    // The largest code plus one; for forms, the compounded drugs' form (70, in every
    // database) is passed over, so the forms entered number on from the others.
    qint64 nextCode() const;
    std::optional<QString> nameOf(qint64 code) const;
    // Whether an entry with this name (compared trimmed, as stored) exists.
    bool containsName(const QString& name) const;
    // Whether rows of other tables refer to this code: goods for groups and forms,
    // prescriptions for prescription types and wards, prescribers for specialties. Units
    // are never in use (a unit's name is free to change while materials use it).
    bool isInUse(qint64 code) const;

    // Adds an entry with the next code and the trimmed name (a form with its counter at 0,
    // a ward with its flag). The code is taken inside the saving transaction, so two
    // workstations adding at once get different codes; `code` receives the one used.
    Result add(const QString& name, bool active = false, qint64* code = nullptr);

    // Renames the entry. In order: an empty name is refused; the compounded drugs' form is
    // never renamed; a name already in the list is
    // refused, the entry's own unchanged name included (wards skip this check, so a ward can
    // be switched on or off under its own name); an entry in use keeps its name.
    Result edit(qint64 code, const QString& name, bool active = false);

private:
    Database& m_db;
    LookupKind m_kind;
};

// The picker rows of the lists (column `code` and `name1`), for the code fields that look
// them up. Each is the list as its callers offer it.
PickRows groupPickRows(Database& db);            // modes "group1", "group2": by code
PickRows formPickRows(Database& db);             // modes "type1", "type2": by name
PickRows prescriptionTypePickRows(Database& db); // "type_noskhe", "type_no1", ...: by code
PickRows specialtyPickRows(Database& db);        // "takhasos", "type_doctor": by code
PickRows unitPickRows(Database& db);             // "vahed": by code
PickRows activeWardPickRows(Database& db);       // "place", "place2", "place3": active wards by code
// The name of an active ward; absent for an unknown or inactive one.
std::optional<QString> activeWardName(Database& db, qint64 code);

} // namespace ph
