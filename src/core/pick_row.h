#pragma once

#include <QList>
#include <QString>
#include <QVariant>
#include <QVariantMap>

namespace ph {

// One row offered by the lookup picker: its code, its shown name, and the further
// columns some callers copy into their fields (e.g. "family", "fani").
struct PickRow {
    QVariant code;
    QString name1;
    QVariantMap extra;
};

using PickRows = QList<PickRow>;

} // namespace ph
