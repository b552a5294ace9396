#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace ph {

class Database;
class SqlDialect;

// Who keeps the till: the settings' flag_cash and code_cash.
struct TillKeeper {
    bool defined = false; // flag_cash: a keeper is named and the till is open
    QString code;         // code_cash: the keeper's user code, empty when none
};

// The settings row (tanzimat): what the settings window edits, what a save asks and prints, and
// the till's keeper.
struct Settings {
    enum class SearchKey { None, Price, CodeKala, CodeSh };

    bool printPrescription = false; // p_noskhe
    bool printInvoice = false;      // p_factor
    bool askApproval = false;       // message_taeed
    bool askAddress = false;        // message_address
    QString message;                // payam
    SearchKey searchKey = SearchKey::None;
    bool separateCashDesk = false;  // cash: sales wait at a cash desk of their own
    TillKeeper till;                // flag_cash, code_cash: not written by save()
};

// Reads and writes the settings row: the windows, a save, its prints and the cash desk read their
// settings here.
class SettingsStore {
public:
    explicit SettingsStore(Database& db) : m_db(db) {}

    // The first settings row, in one statement; nothing when the table is empty.
    std::optional<Settings> read();
    // Writes the first row (inserted when there is none). The message is written trimmed;
    // an empty one keeps the stored message, and with no search key chosen none of the
    // three key columns is written.
    void save(const Settings& settings);

    // The insurer codes listed in the settings' TaminCode comma text (the social-security
    // insurers); empty when the column or the settings row is missing.
    QStringList taminCodes();
    // A subquery reading one column of the settings row, for a statement that folds its reads
    // into one round trip.
    static QString columnSubquery(const SqlDialect& dialect, const char* column);

    // The till keeper of the first row; none when the table is empty.
    TillKeeper tillKeeper();
    // Names the next keeper of the till (the till open), or none (the till waits for one).
    void setTillKeeper(const TillKeeper& keeper);

private:
    Database& m_db;
};

} // namespace ph
