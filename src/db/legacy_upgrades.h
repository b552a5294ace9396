#pragma once

namespace ph {

class Database;

// The column upgrades applied at every start, each recognised by the older layout and so
// applied once. They return whether they changed anything.

// A users table that still has tanzim_p (40 columns) loses tanzim_p and gains tarif15 and phar (phar 0 for all).
bool upgradeUsersTable(Database& db);
// A settings table of 11 columns gains mode, set to "Single".
bool upgradeSettingsTable(Database& db);

} // namespace ph
