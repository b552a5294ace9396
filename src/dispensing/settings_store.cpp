#include "dispensing/settings_store.h"

#include "core/comma_text.h"
#include "db/database.h"
#include "db/transaction.h"

#include <QStringList>

namespace ph {

std::optional<Settings> SettingsStore::read() {
    Rows query = m_db.exec(m_db.dialect().selectLimited(
        QStringLiteral("p_noskhe, p_factor, message_taeed, message_address, payam, price, code_kala, code_sh, cash, "
                       "flag_cash, code_cash from tanzimat"),
        1));
    if (!query.next())
        return std::nullopt;
    auto flag = [&](int i) { return query.value(i).toInt() != 0; };
    Settings s;
    s.printPrescription = flag(0);
    s.printInvoice = flag(1);
    s.askApproval = flag(2);
    s.askAddress = flag(3);
    s.message = query.value(4).toString();
    if (flag(5))
        s.searchKey = Settings::SearchKey::Price;
    else if (flag(7))
        s.searchKey = Settings::SearchKey::CodeSh;
    else if (flag(6))
        s.searchKey = Settings::SearchKey::CodeKala;
    s.separateCashDesk = flag(8);
    s.till.defined = flag(9);
    s.till.code = query.value(10).toString();
    return s;
}

QStringList SettingsStore::taminCodes() {
    if (!m_db.hasColumn(QStringLiteral("Tanzimat"), QStringLiteral("TaminCode")))
        return {};
    auto query = m_db.exec(m_db.dialect().selectLimited(QStringLiteral("tamincode from tanzimat"), 1));
    if (!query.next())
        return {};
    return splitCommaText(query.value(0).toString());
}

QString SettingsStore::columnSubquery(const SqlDialect& dialect, const char* column) {
    return u'(' + dialect.selectLimited(QLatin1String(column) + QStringLiteral(" from tanzimat"), 1) + u')';
}

TillKeeper SettingsStore::tillKeeper() {
    const std::optional<Settings> settings = read();
    return settings ? settings->till : TillKeeper{};
}

void SettingsStore::setTillKeeper(const TillKeeper& keeper) {
    const QVariantList values = {keeper.defined ? 1 : 0, keeper.defined ? keeper.code.trimmed() : QString()};
    Transaction transaction(m_db);
    if (m_db.scalar(m_db.dialect().selectLimited(QStringLiteral("1 from tanzimat"), 1)).isNull())
        m_db.exec(QStringLiteral("insert into tanzimat (flag_cash, code_cash) values (?, ?)"), values);
    else
        m_db.exec(QStringLiteral("update tanzimat set flag_cash=?, code_cash=?"), values);
    transaction.commit();
}

void SettingsStore::save(const Settings& s) {
    QStringList columns = {QStringLiteral("p_noskhe"), QStringLiteral("p_factor"), QStringLiteral("message_taeed"),
                           QStringLiteral("message_address"), QStringLiteral("cash")};
    QVariantList values = {int(s.printPrescription), int(s.printInvoice), int(s.askApproval), int(s.askAddress),
                           int(s.separateCashDesk)};
    // Only an empty field keeps the stored message; a field of blanks clears it.
    if (!s.message.isEmpty()) {
        columns.append(QStringLiteral("payam"));
        values.append(s.message.trimmed());
    }
    if (s.searchKey != Settings::SearchKey::None) {
        columns << QStringLiteral("price") << QStringLiteral("code_kala") << QStringLiteral("code_sh");
        values << int(s.searchKey == Settings::SearchKey::Price) << int(s.searchKey == Settings::SearchKey::CodeKala)
               << int(s.searchKey == Settings::SearchKey::CodeSh);
    }
    Transaction transaction(m_db);
    if (m_db.exec(m_db.dialect().selectLimited(QStringLiteral("1 from tanzimat"), 1)).next()) {
        QStringList assignments;
        for (const QString& column : columns)
            assignments.append(column + QStringLiteral("=?"));
        m_db.exec(QStringLiteral("update tanzimat set %1").arg(assignments.join(QStringLiteral(", "))), values);
    } else {
        columns.append(QStringLiteral("mode"));
        values.append(QStringLiteral("Single"));
        m_db.exec(QStringLiteral("insert into tanzimat (%1) values (?%2)")
                      .arg(columns.join(QStringLiteral(", ")), QStringLiteral(", ?").repeated(int(columns.size()) - 1)),
                  values);
    }
    transaction.commit();
}

} // namespace ph
