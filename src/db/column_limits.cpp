#include "db/column_limits.h"

#include "core/amounts.h"
#include "core/error.h"
#include "db/schema.h"

#include <QHash>

#include <cmath>
#include <limits>

namespace ph {
namespace {

// "table.column" -> its limit, read once from the table definitions.
const QHash<QString, ColumnLimit>& limits() {
    static const QHash<QString, ColumnLimit> all = [] {
        QHash<QString, ColumnLimit> result;
        for (const TableDef& table : schemaTables()) {
            for (const QString& part : table.columns.split(u',')) {
                const QStringList words = part.trimmed().split(u' ', Qt::SkipEmptyParts);
                if (words.size() != 2)
                    continue;
                const QString& type = words.at(1);
                ColumnLimit limit;
                switch (type.at(0).unicode()) {
                case 'i': limit.kind = ColumnLimit::Kind::Whole; break;
                case 'b': limit.kind = ColumnLimit::Kind::Flag; break;
                case 'f': limit.kind = ColumnLimit::Kind::Number; break;
                case 'v': limit.width = type.mid(1).toInt(); break;
                default: break; // t: text of any length
                }
                result.insert(table.name + u'.' + words.at(0), limit);
            }
        }
        return result;
    }();
    return all;
}

} // namespace

std::optional<ColumnLimit> columnLimit(const QString& table, const QString& column) {
    const auto found = limits().constFind(table.toLower() + u'.' + column.toLower());
    if (found == limits().constEnd())
        return std::nullopt;
    return *found;
}

int columnWidth(const QString& table, const QString& column) {
    const std::optional<ColumnLimit> limit = columnLimit(table, column);
    return limit ? limit->width : 0;
}

std::optional<FieldRefusal> checkFieldText(const QString& table, const QString& column, const QString& text) {
    const std::optional<ColumnLimit> limit = columnLimit(table, column);
    if (!limit)
        throw Error(QStringLiteral("no column %1.%2 in the schema").arg(table, column));
    if (text.contains(QChar(0)))
        return FieldRefusal::BadCharacter;
    if (limit->kind == ColumnLimit::Kind::Text) {
        // Counted in UTF-16 units as the fields count them: never more characters than
        // the column holds on any engine.
        if (limit->width > 0 && text.size() > limit->width)
            return FieldRefusal::TooLong;
        return std::nullopt;
    }
    if (text.trimmed().isEmpty())
        return std::nullopt;
    double number = 0;
    try {
        number = amountFromText(text);
    } catch (const Error&) {
        return FieldRefusal::NotNumber;
    }
    if (!std::isfinite(number))
        return FieldRefusal::OutOfRange;
    if (limit->kind == ColumnLimit::Kind::Number)
        return std::nullopt;
    if (number != std::floor(number))
        return FieldRefusal::NotNumber;
    const double lowest = limit->kind == ColumnLimit::Kind::Flag ? 0 : std::numeric_limits<qint32>::min();
    const double highest = limit->kind == ColumnLimit::Kind::Flag ? 1 : std::numeric_limits<qint32>::max();
    if (number < lowest || number > highest)
        return FieldRefusal::OutOfRange;
    return std::nullopt;
}

QString fieldRefusalMessage(FieldRefusal refusal, const QString& caption, const QString& table,
                            const QString& column) {
    switch (refusal) {
    case FieldRefusal::TooLong:
        return QStringLiteral("%1 بيش از %2 نويسه است").arg(caption).arg(columnWidth(table, column));
    case FieldRefusal::NotNumber:
        return QStringLiteral("%1 بايد عدد باشد").arg(caption);
    case FieldRefusal::OutOfRange:
        return QStringLiteral("%1 بيش از اندازه مجاز است").arg(caption);
    case FieldRefusal::BadCharacter:
        return QStringLiteral("%1 نويسه نامعتبر دارد").arg(caption);
    }
    return {};
}

std::optional<FieldProblem> firstRefusedField(const QList<FieldValue>& fields) {
    for (const FieldValue& field : fields)
        if (const std::optional<FieldRefusal> refusal = checkFieldText(field.table, field.column, field.text))
            return FieldProblem{fieldRefusalMessage(*refusal, field.caption, field.table, field.column), field.focus};
    return std::nullopt;
}

} // namespace ph
