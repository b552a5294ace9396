// The floor of a 5-line prescription save: the rows `db_bench saves` writes through the
// program, written the most direct way, by statements prepared once through the
// engine's own C API (SQLite's sqlite3, PostgreSQL's libpq), one transaction a save:
//
//   save_floor FOLDER COUNT
//
// Prints the time of the saves alone (elapsed_ms=), connection and preparing apart.
// The reads a correct save needs (the duplicate check, the prescriber, the patient, the
// invoice number, the day counter), the header, five lines, the cash row, the patient,
// the counter and five stock moves. Amounts are fixed: pricing is not part of the floor.
#include "core/ci_config.h"

#include <libpq-fe.h>
#include <sqlite3.h>

#include <QCoreApplication>
#include <QDir>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using Params = std::vector<std::string>;

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "save_floor: %s\n", what.c_str());
    std::exit(1);
}

// One engine's connection: statements prepared by name, run with text values.
class Connection {
public:
    virtual ~Connection() = default;
    virtual void prepare(const std::string& name, const std::string& sql) = 0;
    // The first column of the first row ("" for none or null).
    virtual std::string run(const std::string& name, const Params& params) = 0;
    virtual void plain(const std::string& sql) = 0;
};

class Sqlite final : public Connection {
public:
    explicit Sqlite(const std::string& file) {
        if (sqlite3_open_v2(file.c_str(), &m_db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) fail(sqlite3_errmsg(m_db));
        sqlite3_busy_timeout(m_db, 10000);
        plain("PRAGMA journal_mode=WAL");
        plain("PRAGMA synchronous=FULL"); // as the program keeps it
    }
    ~Sqlite() override {
        for (auto& [name, statement] : m_statements)
            sqlite3_finalize(statement);
        sqlite3_close(m_db);
    }
    void prepare(const std::string& name, const std::string& sql) override {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v3(m_db, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr) != SQLITE_OK)
            fail(sqlite3_errmsg(m_db));
        m_statements[name] = statement;
    }
    std::string run(const std::string& name, const Params& params) override {
        sqlite3_stmt* statement = m_statements.at(name);
        for (size_t i = 0; i < params.size(); ++i)
            sqlite3_bind_text(statement, int(i + 1), params[i].c_str(), int(params[i].size()), SQLITE_STATIC);
        std::string first;
        int status = sqlite3_step(statement);
        if (status == SQLITE_ROW && sqlite3_column_type(statement, 0) != SQLITE_NULL)
            first = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
        while (status == SQLITE_ROW)
            status = sqlite3_step(statement);
        if (status != SQLITE_DONE) fail(sqlite3_errmsg(m_db));
        sqlite3_reset(statement);
        return first;
    }
    void plain(const std::string& sql) override {
        if (sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) fail(sqlite3_errmsg(m_db));
    }

private:
    sqlite3* m_db = nullptr;
    std::map<std::string, sqlite3_stmt*> m_statements;
};

class Postgres final : public Connection {
public:
    explicit Postgres(const ph::ConnectionSettings& s) {
        const std::string host = s.server.toStdString();
        const std::string port = std::to_string(s.port > 0 ? s.port : 5432);
        const std::string user = s.user.toStdString(), database = s.database.toStdString(),
                          password = s.password.toStdString();
        const char* keys[] = {"host", "port", "user", "dbname", password.empty() ? nullptr : "password", nullptr};
        const char* values[] = {host.c_str(), port.c_str(), user.c_str(), database.c_str(), password.c_str(), nullptr};
        m_db = PQconnectdbParams(keys, values, 0);
        if (PQstatus(m_db) != CONNECTION_OK) fail(PQerrorMessage(m_db));
    }
    ~Postgres() override { PQfinish(m_db); }
    void prepare(const std::string& name, const std::string& sql) override {
        PGresult* result = PQprepare(m_db, name.c_str(), sql.c_str(), 0, nullptr);
        if (PQresultStatus(result) != PGRES_COMMAND_OK) fail(PQerrorMessage(m_db));
        PQclear(result);
    }
    std::string run(const std::string& name, const Params& params) override {
        std::vector<const char*> values;
        for (const std::string& p : params)
            values.push_back(p.c_str());
        PGresult* result = PQexecPrepared(m_db, name.c_str(), int(values.size()), values.data(), nullptr, nullptr, 0);
        const ExecStatusType status = PQresultStatus(result);
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) fail(PQerrorMessage(m_db));
        std::string first;
        if (status == PGRES_TUPLES_OK && PQntuples(result) > 0 && !PQgetisnull(result, 0, 0))
            first = PQgetvalue(result, 0, 0);
        PQclear(result);
        return first;
    }
    void plain(const std::string& sql) override {
        PGresult* result = PQexec(m_db, sql.c_str());
        if (PQresultStatus(result) != PGRES_COMMAND_OK && PQresultStatus(result) != PGRES_TUPLES_OK)
            fail(PQerrorMessage(m_db));
        PQclear(result);
    }

private:
    PGconn* m_db = nullptr;
};

const char* const kDrugs[] = {"1010001", "1010002", "1010003", "1010004", "1010005"};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: save_floor FOLDER COUNT\n");
        return 2;
    }
    const QString folder = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    const int count = std::atoi(argv[2]);
    const ph::ConnectionSettings settings = ph::readConnectionSettings(folder);
    const bool sqlite = settings.engine == ph::Engine::Sqlite;
    std::unique_ptr<Connection> db;
    if (sqlite)
        db = std::make_unique<Sqlite>(settings.database.toStdString());
    else
        db = std::make_unique<Postgres>(settings);

    db->prepare("duplicate", "select 1 from heading_noskhe where date_no=$1 and nezam_p=$2 and name_b=$3 and "
                             "family_b=$4 and sh_bimeh=$5");
    db->prepare("doctor", "select code from doctor_s where order1=$1");
    db->prepare("patient", "select code from mosh_bimaran where sh_bimeh=$1");
    db->prepare("number", "select max(sh_factor) from heading_noskhe");
    db->prepare("counter", "select m7 from code_noskhe where code_bimeh=$1 and rooz=$2");
    db->prepare("count", "update code_noskhe set m7=$1 where code_bimeh=$2 and rooz=$3");
    db->prepare("heading",
                "insert into heading_noskhe (sh_factor, code_no, date_no, date_sabt, date_bimeh, name_b, family_b, "
                "sh_bimeh, insnotamin, sh_safhe, paz_type, personel, code_bimeh, nezam_p, type_no, flag_taeed, code_opr, "
                "price_koll, price_bimeh, price_bimar, price_azad, price_otc, price_kala, fani, fani2) values "
                "($1, $2, '05/07/15', '05/07/15', '1405/12/29', $3, $4, $5, $6, 1, 1, 0, 2, '45213', 1, 0, 1, "
                "$7, $8, $9, 0, 0, 0, 19500, 19500)");
    db->prepare("line", "insert into details_noskhe (sh_factor, row, code_darou, tedad, price_one, price_koll, sazman, "
                        "bimar, azad, otc, kala, vaziat, flag_moadel, price_h, sh_bimeh, insnotamin) values "
                        "($1, $2, $3, 1, 1000, 1000, 700, 300, 0, 0, 0, 'تعرفه', 0, 0, $4, $5)");
    db->prepare("cash", "insert into cash (sh_factor, type_factor, code_opr, code_cashier, flag_pa, date_no, time_no, "
                        "date_pa, time_pa, bimar, azad, otc, fani, kala, koll_daryaft, koll_bargasht, ekhtetam, family_b) "
                        "values ($1, 'd', 1, 1, 1, '05/07/15', '10:00', '05/07/15', '10:00', 1500, 0, 0, 19500, 0, "
                        "21000, 0, 0, $2)");
    db->prepare("patient_code", "select max(code) from mosh_bimaran");
    db->prepare("new_patient", "insert into mosh_bimaran (code, sh_bimeh, insnotamin, name_b, family_b, code_bimeh, "
                               "date_bimeh) values ($1, $2, $3, $4, $5, 2, '1405/12/29')");
    db->prepare("stock", "update moj_kala_vah set moj_vah=moj_vah-1 where code_kala=$1 and code_vah=20");
    if (!sqlite) db->prepare("lock", "select pg_advisory_xact_lock(1)");

    const long long first = 3000000000LL + (long long)(QCoreApplication::applicationPid()) * 100000;
    const std::string name = "علي";
    const auto start = std::chrono::steady_clock::now();
    for (int n = 0; n < count; ++n) {
        const std::string insurance = std::to_string(first + n);
        const std::string family = "بيمار " + std::to_string(first + n);
        db->run("duplicate", {"05/07/15", "45213", name, family, insurance});
        db->run("doctor", {"45213"});
        const std::string known = db->run("patient", {insurance});
        db->plain(sqlite ? "begin immediate" : "begin");
        if (!sqlite) db->run("lock", {});
        const std::string number = std::to_string(std::atoll(db->run("number", {}).c_str()) + 1);
        const int counter = std::atoi(db->run("counter", {"2", "15"}).c_str()) + 1;
        char code[32];
        std::snprintf(code, sizeof code, "01-002-07-15-%04d", counter);
        db->run("heading", {number, code, name, family, insurance, insurance, "21000", "3500", "1500"});
        for (int row = 1; row <= 5; ++row)
            db->run("line", {number, std::to_string(row), kDrugs[row - 1], insurance, insurance});
        db->run("cash", {number, family + "  " + name});
        if (known.empty()) {
            const std::string patient = std::to_string(std::atoll(db->run("patient_code", {}).c_str()) + 1);
            db->run("new_patient", {patient, insurance, insurance, name, family});
        }
        db->run("count", {std::to_string(counter), "2", "15"});
        for (const char* drug : kDrugs)
            db->run("stock", {drug});
        db->plain("commit");
    }
    std::printf("elapsed_ms=%.3f\n",
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    return 0;
}
