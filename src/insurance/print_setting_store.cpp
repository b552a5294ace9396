#include "insurance/print_setting_store.h"

#include "db/database.h"
#include "db/transaction.h"


#include <array>

namespace ph {
namespace {

// The position columns in the order of PrintPositions, each item's x then y.
const char* const kPositionColumns = "x_noskhe, y_noskhe, x_price, y_price, x_koll, y_koll, x_bimar, y_bimar, "
                                     "x_azad, y_azad, x_pardakht, y_pardakht";

std::array<ItemPosition*, 6> items(PrintPositions& p) {
    return {&p.code, &p.price, &p.total, &p.patient, &p.free, &p.paid};
}

std::optional<double> positionAt(const Rows& q, int column) {
    const QVariant value = q.value(column);
    if (value.isNull()) return std::nullopt;
    return value.toDouble();
}

// Reads "custom, defult1, defult2, <positions>" from the query's columns from `first` on.
InsurerPrintSetting settingFrom(const Rows& q, int first) {
    InsurerPrintSetting s;
    const bool custom = q.value(first).toInt() != 0;
    const bool layout1 = q.value(first + 1).toInt() != 0;
    const bool layout2 = q.value(first + 2).toInt() != 0;
    s.choice = layout1 ? PrintChoice::Layout1
               : layout2 ? PrintChoice::Layout2
               : custom  ? PrintChoice::Custom
                         : PrintChoice::None;
    int column = first + 3;
    for (ItemPosition* item : items(s.positions)) {
        item->x = positionAt(q, column++);
        item->y = positionAt(q, column++);
    }
    return s;
}

QVariant positionValue(const std::optional<double>& value) {
    return value ? QVariant(*value) : QVariant();
}

} // namespace

std::optional<InsurerPrintSetting> PrintSettingStore::forInsurer(int insurer) {
    Rows q = m_db.exec(
        m_db.dialect().selectLimited(
            QStringLiteral("code_bimeh, custom, defult1, defult2, %1 from tanzimat_bimeh where code_bimeh=?")
                .arg(QLatin1String(kPositionColumns)),
            1),
        {insurer});
    if (!q.next()) return std::nullopt;
    InsurerPrintSetting s = settingFrom(q, 1);
    s.insurer = q.value(0).toInt();
    return s;
}

QList<InsurerPrintSetting> PrintSettingStore::customSettings() {
    Rows q = m_db.exec(QStringLiteral(
        "select t.code_bimeh, o.name, t.custom, t.defult1, t.defult2, t.x_noskhe, t.y_noskhe, t.x_price, "
        "t.y_price, t.x_koll, t.y_koll, t.x_bimar, t.y_bimar, t.x_azad, t.y_azad, t.x_pardakht, t.y_pardakht "
        "from tanzimat_bimeh t join organs_m o on o.code=t.code_bimeh where t.custom=1 order by o.name, t.code_bimeh"));
    QList<InsurerPrintSetting> list;
    while (q.next()) {
        InsurerPrintSetting s = settingFrom(q, 2);
        s.insurer = q.value(0).toInt();
        s.insurerName = q.value(1).toString();
        list.append(s);
    }
    return list;
}

PrintSettingStore::SaveResult PrintSettingStore::save(int insurer, PrintChoice choice,
                                                      const PrintPositions& positions) {
    if (choice == PrintChoice::None) return SaveResult::NoChoice;
    PrintPositions given = positions;
    if (choice == PrintChoice::Custom)
        for (const ItemPosition* item : items(given))
            if (!item->x || !item->y) return SaveResult::MissingPosition;

    const QVariantList flags = {choice == PrintChoice::Custom ? 1 : 0, choice == PrintChoice::Layout1 ? 1 : 0,
                                choice == PrintChoice::Layout2 ? 1 : 0};
    QVariantList places;
    for (const ItemPosition* item : items(given))
        places << positionValue(item->x) << positionValue(item->y);

    Transaction transaction(m_db);
    const bool stored =
        m_db.exec(m_db.dialect().selectLimited(QStringLiteral("1 from tanzimat_bimeh where code_bimeh=?"), 1),
                  {insurer})
            .next();
    if (stored) {
        m_db.exec(QStringLiteral("update tanzimat_bimeh set custom=?, defult1=?, defult2=? where code_bimeh=?"),
                  flags + QVariantList{insurer});
    } else {
        m_db.exec(QStringLiteral("insert into tanzimat_bimeh (code_bimeh, custom, defult1, defult2) "
                                 "values (?, ?, ?, ?)"),
                  QVariantList{insurer} + flags);
    }
    if (choice == PrintChoice::Custom)
        m_db.exec(QStringLiteral("update tanzimat_bimeh set x_noskhe=?, y_noskhe=?, x_price=?, y_price=?, "
                                 "x_koll=?, y_koll=?, x_bimar=?, y_bimar=?, x_azad=?, y_azad=?, "
                                 "x_pardakht=?, y_pardakht=? where code_bimeh=?"),
                  places + QVariantList{insurer});
    transaction.commit();
    return SaveResult::Stored;
}

} // namespace ph
