#pragma once

#include "core/error.h"

#include <QByteArray>
#include <QString>

#include <array>

namespace ph {

enum class Engine { Sqlite, Postgres, SqlServer };

QString engineDisplayName(Engine engine);

// Everything needed to open the one database connection.
struct ConnectionSettings {
    Engine engine = Engine::Sqlite;
    bool serverLogin = false; // a named login (field 1 is "1") rather than the platform's own identity
    QString server;           // host, host:port or a socket folder; the file path for SQLite
    int port = -1;
    QString user;
    QString password;         // sent only when not empty
    QString database;         // database name; for SQLite the database file

    // "PostgreSQL, server SRV" for messages about the connection.
    QString describe() const;
};

// The connection file ci.txt: fields separated by "-" and ended by "*".
// Fields: 1 login mode ("1" = named login), 2 server, 3 login name, 4 password,
// 5 database, 6 engine (sqlite, postgres or sqlserver; empty means sqlserver).
class CiConfig {
public:
    static constexpr int kFieldCount = 6;

    // Scans the text up to its "*"; nothing after it is read. The text is UTF-8 when it
    // is valid UTF-8, else Windows code page 1256 (files of older installations).
    // Throws ConfigError naming `fileName` when the terminator is missing, the text
    // holds a NUL, it has more than six fields, every field is empty, or the engine is
    // unknown.
    static CiConfig parse(const QByteArray& text, const QString& fileName = QStringLiteral("ci.txt"));

    // Field n (1-based), trimmed of surrounding blanks and control characters.
    QString field(int n) const;
    bool serverLogin() const { return field(1) == QLatin1String("1"); }
    Engine engine() const { return m_engine; }

    // The connection text the fields describe, in the classic SQL Server OLE DB form.
    QString oleDbConnectionString() const;

    // Settings for opening the connection; relative SQLite paths are taken from `workingDir`.
    ConnectionSettings connectionSettings(const QString& workingDir) const;

private:
    std::array<QString, kFieldCount> m_fields;
    Engine m_engine = Engine::SqlServer;
};

// The file name of the embedded database created when there is no ci.txt.
inline constexpr const char* kEmbeddedDatabaseFile = "pharmacy.db";

// Reads ci.txt from the working folder; without one, the embedded SQLite database
// pharmacy.db in that folder. Throws ConfigError for an unreadable or malformed file.
ConnectionSettings readConnectionSettings(const QString& workingDir);

} // namespace ph
