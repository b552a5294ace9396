#pragma once

#include <QString>
#include <QTextStream>

namespace ph {
class Clock;
}

namespace ph::cli {

// The usage lines of the demo command, for pharmacyctl's help text.
extern const char* const kDemoUsage;

// `pharmacyctl demo`: fills an empty database with a small working set (drug forms and
// groups, drugs and goods with pharmacy stock, insurers with current contracts and drug
// rules, a tariff, specialties and doctors, wards, prescription types, the pharmacy's
// identity, and two users whose generated passwords are printed once), in one transaction.
// Refuses, changing nothing, with exit status 1 when any table it fills already holds rows
// (goods, stock, groups, forms, insurers, contracts, rules, tariffs, specialties, doctors,
// wards, prescription types, users).
// The contracts and the tariff cover the clock's current year and the next.
int demo(const QString& workingDir, const Clock& clock, QTextStream& out, QTextStream& err);

} // namespace ph::cli
