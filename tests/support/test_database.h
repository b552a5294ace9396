#pragma once

#include "core/ci_config.h"
#include "db/database.h"

#include <QTemporaryDir>

#include <memory>

namespace ph::test {

// The engine this test run uses: PH_TEST_ENGINE=sqlite (default) or postgres. A
// PostgreSQL run reaches the throwaway server through PH_PG_HOST (its socket folder)
// and PH_PG_PORT, which ./test sets.
Engine testEngine();

// A fresh, empty database of its own for one suite or one test, dropped afterwards,
// with a working folder whose ci.txt (or embedded pharmacy.db) points at it.
class TestDatabase {
public:
    TestDatabase();
    ~TestDatabase();
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    Engine engine() const { return m_settings.engine; }
    const ConnectionSettings& settings() const { return m_settings; }
    // The working folder a program started here would use.
    QString workingDir() const { return m_dir.path(); }
    // A new open connection of its own.
    std::unique_ptr<Database> connect() const;
    // The suite's shared connection, opened on first use.
    Database& db();

private:
    QTemporaryDir m_dir;
    ConnectionSettings m_settings;
    QString m_pgName;
    std::unique_ptr<Database> m_db;
};

} // namespace ph::test
