#pragma once

#include "core/pick_row.h"

#include <QString>
#include <QVariantList>

namespace ph {

class Database;

// Runs a picker statement and reads its rows: column `code`, column `name1`, and every
// other column into PickRow::extra under its lower-case name.
PickRows loadPickRows(Database& db, const QString& sql, const QVariantList& params = {});

} // namespace ph
