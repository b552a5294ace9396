#pragma once

#include "core/pick_row.h"

#include <QList>
#include <QString>

#include <optional>

namespace ph {

class Database;

// The three short text lists printed on compounded-drug labels. The values are the form
// mode with which the main window opens the text window for each of them.
enum class DrugTextKind {
    Instructions = 1, // dastoor_darou: usage instructions
    Messages = 2,     // payam_darou: messages or explanations
    Storage = 3,      // negahdari_darou: storage notes
};

std::optional<DrugTextKind> drugTextKindForFormMode(int formMode);

struct DrugText {
    qint64 code = 0;
    QString text; // sharh
};

// One list of drug texts: its rows, the next code, adding, rewording and deleting a text.
//
//     DrugTextStore storage(db, DrugTextKind::Storage);
//     storage.add(QStringLiteral(" دور از نور "));  // Saved: code 1, stored trimmed
//     storage.remove(1);                            // InUse while a formula names it
//
// Equal texts are not refused: saving one twice gives two codes.
class DrugTextStore {
public:
    enum class Result {
        Saved,
        EmptyText, // the trimmed text is empty
        Missing,   // no row with the code
        InUse,     // a formula names the code: not deleted
    };

    DrugTextStore(Database& db, DrugTextKind kind) : m_db(db), m_kind(kind) {}

    DrugTextKind kind() const { return m_kind; }
    // Every text, ordered by code.
    QList<DrugText> entries() const;
    // The largest code of this list plus one, 1 for an empty list.
    qint64 nextCode() const;
    std::optional<QString> textOf(qint64 code) const;
    // The code of a text equal to `text` (as stored); absent when the list has none.
    std::optional<qint64> codeOf(const QString& text) const;

    // Adds the trimmed text under the next code (taken in the saving transaction), active.
    Result add(const QString& text, qint64* code = nullptr);
    // Rewords the text of `code`.
    Result edit(qint64 code, const QString& text);
    // Deletes the text unless a formula names it.
    Result remove(qint64 code);

    // The picker rows (code, name1 = the text), by code.
    PickRows pickRows() const;

private:
    Database& m_db;
    DrugTextKind m_kind;
};

} // namespace ph
