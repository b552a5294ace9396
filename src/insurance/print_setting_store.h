#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace ph {

class Database;

// How an insurer's prescriptions are printed: one of the two fixed layouts, or the six items
// at positions of the pharmacy's choosing. `None` is a stored row with no choice set.
enum class PrintChoice { None, Layout1, Layout2, Custom };

// A printed item's place in millimetres; absent when the row holds none.
struct ItemPosition {
    std::optional<double> x;
    std::optional<double> y;
};

// The six items of the custom print, in the order the settings list them.
struct PrintPositions {
    ItemPosition code;    // x_noskhe, y_noskhe: the prescription code
    ItemPosition price;   // x_price, y_price: the amounts of the drug items
    ItemPosition total;   // x_koll, y_koll: the grand total
    ItemPosition patient; // x_bimar, y_bimar: the patient's share
    ItemPosition free;    // x_azad, y_azad: the free (uninsured) amount
    ItemPosition paid;    // x_pardakht, y_pardakht: the amount paid
};

// An insurer's print setting (tanzimat_bimeh), with the insurer's name where it is listed.
struct InsurerPrintSetting {
    int insurer = 0; // code_bimeh
    PrintChoice choice = PrintChoice::None;
    PrintPositions positions;
    QString insurerName; // organs_m.name, in the list of custom settings
};

class PrintSettingStore {
public:
    explicit PrintSettingStore(Database& db) : m_db(db) {}

    // The insurer's setting; absent when it has none. The choice is read from the flags in
    // the order layout 1, layout 2, custom.
    std::optional<InsurerPrintSetting> forInsurer(int insurer);
    // Every insurer with the custom choice, with its name.
    QList<InsurerPrintSetting> customSettings();

    enum class SaveResult { Stored, NoChoice, MissingPosition };
    // Stores the insurer's choice in its one row (added when it has none), with exactly one
    // of the three flags set. A fixed layout writes only the flags: positions already stored
    // stay, a new row has none. The custom choice writes the twelve positions, and needs them all.
    SaveResult save(int insurer, PrintChoice choice, const PrintPositions& positions);

private:
    Database& m_db;
};

} // namespace ph
