#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace ph {

// What a column of the program's schema holds, read from the table definitions, so that
// a value is judged the same way on every engine before any statement carries it (the
// embedded database would keep a text past its width, a server refuses it with its own
// text in the middle of a save).
struct ColumnLimit {
    enum class Kind { Whole, Flag, Number, Text };
    Kind kind = Kind::Text;
    int width = 0; // most characters a text column holds; 0 for no limit
};

// The column's limit; absent for a column the schema does not define.
std::optional<ColumnLimit> columnLimit(const QString& table, const QString& column);
// The most characters a text column holds (0 for no limit or an unknown column): the
// longest text a field writing to it accepts.
int columnWidth(const QString& table, const QString& column);

// Why a typed value does not fit its column.
enum class FieldRefusal { TooLong, NotNumber, OutOfRange, BadCharacter };

// Whether the text typed in a field fits the column it is stored in: a text column takes
// no NUL and at most its width; a numeric column takes a number (Persian digits too), a
// whole one within the engines' integer range for an integer column. An empty text is
// stored as null and always fits.
std::optional<FieldRefusal> checkFieldText(const QString& table, const QString& column, const QString& text);

// The user's message for a refusal, naming the field by its caption.
QString fieldRefusalMessage(FieldRefusal refusal, const QString& caption, const QString& table,
                            const QString& column);

// A field of a document as typed, and the column it is stored in.
struct FieldValue {
    QString focus;   // the field's object name
    QString caption; // its name for the user
    QString table;
    QString column;
    QString text;
};

struct FieldProblem {
    QString message;
    QString focus;
};

// The first field whose text does not fit its column, with the message naming it.
std::optional<FieldProblem> firstRefusedField(const QList<FieldValue>& fields);

} // namespace ph
