#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

namespace ph {

// The main context: values the main window keeps for every other window.
struct AppContext {
    int user_code = 0;
    QString user_name;
    int cashier_code = 0;
    QString cashier_name;
    QString current_date;          // today as yy/mm/dd
    QString pharmacy_name;         // onvan_darou.onvan_vahed
    QString director_nezam;        // onvan_darou.fani_nezam
    QString insurer_pharmacy_code = QStringLiteral("0");
    QString payam;                 // message printed at the foot of invoices

    // Insurer codes that take the four-part social-security insurance number.
    QStringList tamin_codes;

    // The current user record: the signed-in (or last unlocking) user's rights by flag name.
    int current_user_code = 0;
    QHash<QString, bool> rights;
    bool hasRight(const QString& flag) const { return rights.value(flag, false); }
};

} // namespace ph
