#include "db/pick_rows.h"

#include "db/database.h"

#include <QSqlRecord>

namespace ph {

PickRows loadPickRows(Database& db, const QString& sql, const QVariantList& params) {
    Rows query = db.exec(sql, params);
    const QSqlRecord record = query.record();
    int codeColumn = -1;
    int nameColumn = -1;
    QList<QPair<int, QString>> extras;
    for (int i = 0; i < record.count(); ++i) {
        const QString name = record.fieldName(i).toLower();
        if (name == QLatin1String("code"))
            codeColumn = i;
        else if (name == QLatin1String("name1"))
            nameColumn = i;
        else
            extras.append({i, name});
    }
    PickRows rows;
    while (query.next()) {
        PickRow row;
        if (codeColumn >= 0)
            row.code = query.value(codeColumn);
        if (nameColumn >= 0)
            row.name1 = query.value(nameColumn).toString();
        for (const auto& [column, name] : extras)
            row.extra.insert(name, query.value(column));
        rows.append(std::move(row));
    }
    return rows;
}

} // namespace ph
