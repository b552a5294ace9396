// The floor of a 5-line prescription save: the rows `db_bench saves` writes through the
// program, written the most direct way, by statements prepared once through the
// engine's own C API (SQLite's sqlite3, PostgreSQL's libpq), one transaction a save:
//
//   save_floor FOLDER COUNT
//
// Prints the time of the saves alone (elapsed_ms=), connection and preparing apart.
//
// Why this is the least work for the same rows with the same durability and the same
// safety beside other workstations (one committed transaction a save, numbers taken as
// the largest plus one, no number taken twice, a duplicate refused):
//  - the numbers need a lock held to the commit, then a read of the largest number after
//    it (a read in the same statement as the lock would see the table as it was before
//    the wait). On PostgreSQL a function on the server runs them as statements of their
//    own in one call (each statement of a function reads what was committed before it
//    began), so one round trip; SQLite's BEGIN IMMEDIATE is the lock;
//  - everything else the save decides on (the duplicate, the prescriber, the patient and
//    its next code, the patient's first invoice of the day) is read in that same read;
//  - the day counter is raised where it is stored and read back by the same statement
//    (on PostgreSQL in the same call as the lock and the read);
//  - every row is written by one statement where the engine allows several writes in one
//    (PostgreSQL: the stock, the patient, the header, the five lines in one multi-row
//    insert and the cash row, as members of one WITH), else one statement each;
//  - the history's entry (about 3 KB of JSON, its indexes, its hash) is the program's own
//    row: its number and its hash follow the last entry, read under the history's lock
//    (SQLite: the same BEGIN IMMEDIATE; PostgreSQL: an advisory lock taken in the same
//    call, after the numbering lock), and the hash is SHA-256 over the previous hash and
//    the entry's fields in the program's text form. The changes are a formatted template
//    of the program's own for a 5-line save (same shape and size), not built field by field;
//  - then the commit. PostgreSQL: begin, the call, write, commit: four round trips. The
//    program takes six: it also reads before its transaction (the same look, for the
//    questions asked before saving) and reads the items' lots before drawing them.
// Amounts are fixed: pricing is not part of the floor. The dates are spread over the
// month as `db_bench saves` spreads them.
#include "core/ci_config.h"

#include <libpq-fe.h>
#include <sodium.h>
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
    // The columns of the first row ("" for a null; none for no row).
    virtual std::vector<std::string> run(const std::string& name, const Params& params) = 0;
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
    void prepare(const std::string& name, const std::string& text) override {
        // "$1" is a named value to SQLite, numbered in order of appearance; "?1" is value 1.
        std::string sql = text;
        for (size_t i = 0; i + 1 < sql.size(); ++i)
            if (sql[i] == '$' && sql[i + 1] >= '0' && sql[i + 1] <= '9') sql[i] = '?';
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v3(m_db, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr) != SQLITE_OK)
            fail(sqlite3_errmsg(m_db));
        m_statements[name] = statement;
    }
    std::vector<std::string> run(const std::string& name, const Params& params) override {
        sqlite3_stmt* statement = m_statements.at(name);
        // Values past those the statement names are left out.
        for (size_t i = 0; i < params.size() && int(i) < sqlite3_bind_parameter_count(statement); ++i)
            sqlite3_bind_text(statement, int(i + 1), params[i].c_str(), int(params[i].size()), SQLITE_STATIC);
        std::vector<std::string> first;
        int status = sqlite3_step(statement);
        if (status == SQLITE_ROW)
            for (int c = 0; c < sqlite3_column_count(statement); ++c)
                first.push_back(sqlite3_column_type(statement, c) == SQLITE_NULL
                                    ? std::string()
                                    : reinterpret_cast<const char*>(sqlite3_column_text(statement, c)));
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
    std::vector<std::string> run(const std::string& name, const Params& params) override {
        std::vector<const char*> values;
        for (const std::string& p : params)
            values.push_back(p.c_str());
        PGresult* result = PQexecPrepared(m_db, name.c_str(), int(values.size()), values.data(), nullptr, nullptr, 0);
        const ExecStatusType status = PQresultStatus(result);
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) fail(PQerrorMessage(m_db));
        std::vector<std::string> first;
        if (status == PGRES_TUPLES_OK && PQntuples(result) > 0)
            for (int c = 0; c < PQnfields(result); ++c)
                first.push_back(PQgetisnull(result, 0, c) ? std::string() : PQgetvalue(result, 0, c));
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

// The history's changes of a 5-line save as the program writes them: @N@ the number, @C@ the
// code, @D@ the date, @F@ the family name, @I@ the insurance number.
const char* const kChanges =
    "{\"cash\":{\"after\":[{\"azad\":0,\"bimar\":21750,\"code_cashier\":1,\"code_opr\":1,\"date_no\":\"05/07/1"
    "5\",\"date_pa\":\"05/07/15\",\"ekhtetam\":0,\"family_b\":\"@F@  علي\",\"fani\":0,\"flag_pa\":1,\"kala\":0,\""
    "koll_bargasht\":0,\"koll_daryaft\":21750,\"otc\":0,\"sh_factor\":@N@,\"time_no\":\"10:00\",\"time_pa\":"
    "\"10:00\",\"type_factor\":\"d\"}],\"before\":[]},\"fields\":{\"code_bimeh\":{\"after\":2,\"before\":null},"
    "\"code_no\":{\"after\":\"@C@\",\"before\":null},\"code_opr\":{\"after\":1,\"before\":null},\"date_bimeh\":"
    "{\"after\":\"1405/12/29\",\"before\":null},\"date_no\":{\"after\":\"@D@\",\"before\":null},\"date_sabt\":{"
    "\"after\":\"@D@\",\"before\":null},\"family_b\":{\"after\":\"@F@\",\"before\":null},\"fani\":{\"after\":0,\"b"
    "efore\":null},\"fani2\":{\"after\":60000,\"before\":null},\"fani_flag\":{\"after\":1,\"before\":null},\""
    "flag_taeed\":{\"after\":0,\"before\":null},\"insnotamin\":{\"after\":\"@I@\",\"before\":null},\"name_b\":"
    "{\"after\":\"علي\",\"before\":null},\"nezam_p\":{\"after\":\"45213\",\"before\":null},\"paz_type\":{\"after"
    "\":1,\"before\":null},\"personel\":{\"after\":0,\"before\":null},\"price_azad\":{\"after\":0,\"before\":n"
    "ull},\"price_bimar\":{\"after\":21750,\"before\":null},\"price_bimeh\":{\"after\":50750,\"before\":nul"
    "l},\"price_kala\":{\"after\":0,\"before\":null},\"price_koll\":{\"after\":21750,\"before\":null},\"pric"
    "e_otc\":{\"after\":0,\"before\":null},\"sh_bimeh\":{\"after\":\"@I@\",\"before\":null},\"sh_factor\":{\"af"
    "ter\":@N@,\"before\":null},\"sh_safhe\":{\"after\":1,\"before\":null},\"type_no\":{\"after\":1,\"before\""
    ":null}},\"lines\":{\"after\":[{\"azad\":0,\"bimar\":540,\"code_darou\":1010001,\"code_darou_main\":0,\""
    "flag_moadel\":0,\"insnotamin\":\"@I@\",\"kala\":0,\"otc\":0,\"price_darou_main\":0,\"price_h\":0,\"price"
    "_koll\":1800,\"price_one\":1800,\"row\":1,\"sazman\":1260,\"sh_bimeh\":\"@I@\",\"sh_factor\":@N@,\"tedad"
    "\":1,\"tedad_darou_main\":0,\"vaziat\":\"تعرفه\"},{\"azad\":0,\"bimar\":960,\"code_darou\":1010002,\"cod"
    "e_darou_main\":0,\"flag_moadel\":0,\"insnotamin\":\"@I@\",\"kala\":0,\"otc\":0,\"price_darou_main\":0,\""
    "price_h\":0,\"price_koll\":3200,\"price_one\":3200,\"row\":2,\"sazman\":2240,\"sh_bimeh\":\"@I@\",\"sh_f"
    "actor\":@N@,\"tedad\":1,\"tedad_darou_main\":0,\"vaziat\":\"تعرفه\"},{\"azad\":0,\"bimar\":450,\"code_da"
    "rou\":1010003,\"code_darou_main\":0,\"flag_moadel\":0,\"insnotamin\":\"@I@\",\"kala\":0,\"otc\":0,\"pric"
    "e_darou_main\":0,\"price_h\":0,\"price_koll\":1500,\"price_one\":1500,\"row\":3,\"sazman\":1050,\"sh_b"
    "imeh\":\"@I@\",\"sh_factor\":@N@,\"tedad\":1,\"tedad_darou_main\":0,\"vaziat\":\"تعرفه\"},{\"azad\":0,\"bi"
    "mar\":1440,\"code_darou\":1010004,\"code_darou_main\":0,\"flag_moadel\":0,\"insnotamin\":\"@I@\",\"kal"
    "a\":0,\"otc\":0,\"price_darou_main\":0,\"price_h\":0,\"price_koll\":4800,\"price_one\":4800,\"row\":4,\""
    "sazman\":3360,\"sh_bimeh\":\"@I@\",\"sh_factor\":@N@,\"tedad\":1,\"tedad_darou_main\":0,\"vaziat\":\"تعر"
    "فه\"},{\"azad\":0,\"bimar\":360,\"code_darou\":1010005,\"code_darou_main\":0,\"flag_moadel\":0,\"insno"
    "tamin\":\"@I@\",\"kala\":0,\"otc\":0,\"price_darou_main\":0,\"price_h\":0,\"price_koll\":1200,\"price_on"
    "e\":1200,\"row\":5,\"sazman\":840,\"sh_bimeh\":\"@I@\",\"sh_factor\":@N@,\"tedad\":1,\"tedad_darou_main\""
    ":0,\"vaziat\":\"تعرفه\"}],\"before\":[]}}";

// The template with its fields filled in.
std::string filled(std::string text, const std::vector<std::pair<std::string, std::string>>& fields) {
    for (const auto& [mark, value] : fields)
        for (size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at + value.size()))
            text.replace(at, mark.size(), value);
    return text;
}

// SHA-256 in hexadecimal.
std::string sha256Hex(const std::string& text) {
    unsigned char digest[crypto_hash_sha256_BYTES];
    crypto_hash_sha256(digest, reinterpret_cast<const unsigned char*>(text.data()), text.size());
    static const char* const hex = "0123456789abcdef";
    std::string out;
    for (unsigned char byte : digest) {
        out += hex[byte >> 4];
        out += hex[byte & 15];
    }
    return out;
}

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

    if (sqlite) {
        // $1 insurance number, $2 date, $3 first name, $4 family name.
        db->prepare("read", "select max(sh_factor), "
                            "(select 1 from heading_noskhe where sh_bimeh=$1 and date_no=$2 and nezam_p='45213' and "
                            "name_b=$3 and family_b=$4 limit 1), "
                            "(select code from doctor_s where order1='45213' limit 1), "
                            "(select code from mosh_bimaran where sh_bimeh=$1 limit 1), "
                            "(select min(sh_factor) from heading_noskhe h where h.sh_bimeh=$1 and h.date_no=$2), "
                            "(select max(seq) from audit_log), "
                            "(select hash from audit_log where seq=(select max(seq) from audit_log)), "
                            "strftime('%Y-%m-%d %H:%M:%f', 'now') "
                            "from heading_noskhe");
        db->prepare("counter", "update code_noskhe set m7=coalesce(m7, 0)+1 where code_bimeh=2 and rooz=$1 returning m7");
    }
    // $1 number, $2 code, $3 date, $4 first name, $5 family name, $6 insurance number,
    // $7 the cash row's name, $8 the entry's number, $9 its time, $10 its changes, $11 the
    // previous hash, $12 its hash, $13 the number as its key.
    const std::string stock = "update moj_kala_vah set moj_vah=moj_vah-1 where code_vah=20 and code_kala in "
                              "(1010001, 1010002, 1010003, 1010004, 1010005)";
    const std::string patient = "insert into mosh_bimaran (code, sh_bimeh, insnotamin, name_b, family_b, code_bimeh, "
                                "date_bimeh) values ((select coalesce(max(code), 0)+1 from mosh_bimaran), $6, $6, $4, "
                                "$5, 2, '1405/12/29')";
    const std::string heading =
        "insert into heading_noskhe (sh_factor, code_no, date_no, date_sabt, date_bimeh, name_b, family_b, "
        "sh_bimeh, insnotamin, sh_safhe, paz_type, personel, code_bimeh, nezam_p, type_no, flag_taeed, code_opr, "
        "price_koll, price_bimeh, price_bimar, price_azad, price_otc, price_kala, fani, fani2) values "
        "($1, $2, $3, $3, '1405/12/29', $4, $5, $6, $6, 1, 1, 0, 2, '45213', 1, 0, 1, 21000, 3500, 1500, 0, 0, 0, "
        "19500, 19500)";
    std::string lines = "insert into details_noskhe (sh_factor, row, code_darou, tedad, price_one, price_koll, sazman, "
                        "bimar, azad, otc, kala, vaziat, flag_moadel, price_h, sh_bimeh, insnotamin) values ";
    for (int row = 1; row <= 5; ++row)
        lines += std::string(row > 1 ? ", " : "") + "($1, " + std::to_string(row) + ", " + kDrugs[row - 1] +
                 ", 1, 1000, 1000, 700, 300, 0, 0, 0, 'تعرفه', 0, 0, $6, $6)";
    const std::string cash =
        "insert into cash (sh_factor, type_factor, code_opr, code_cashier, flag_pa, date_no, time_no, date_pa, "
        "time_pa, bimar, azad, otc, fani, kala, koll_daryaft, koll_bargasht, ekhtetam, family_b) values ($1, 'd', 1, "
        "1, 1, '05/07/15', '10:00', '05/07/15', '10:00', 1500, 0, 0, 19500, 0, 21000, 0, 0, $7)";
    const std::string audit = "insert into audit_log (seq, changed_at, user_code, host, source, kind, doc_key, "
                              "changes, prev_hash, hash) values ($8, $9, 0, '', '', 'prescription', $13, $10, $11, $12)";
    std::vector<std::string> writes;
    if (sqlite) {
        // One statement each, given the same values (each takes those it names).
        writes = {"stock", "patient", "heading", "lines", "cash", "audit"};
        db->prepare("stock", stock);
        db->prepare("patient", patient);
        db->prepare("heading", heading);
        db->prepare("lines", lines);
        db->prepare("cash", cash);
        db->prepare("audit", audit);
    } else {
        writes = {"write"};
        db->prepare("write", "with s as (" + stock + "), p as (" + patient + "), h as (" + heading + "), l as (" +
                                 lines + "), c as (" + cash + ") " + audit);
        // The lock, the read and the counter in one call, as a function of this connection alone.
        db->plain("create function pg_temp.save_start(p_insurance text, p_date text, p_name text, p_family text, "
                  "p_day integer) returns table (number integer, duplicate integer, doctor integer, patient integer, "
                  "first integer, counter integer, last_seq integer, last_hash text, now_utc text) "
                  "language plpgsql volatile as $body$ "
                  "declare v_counter integer; begin "
                  "perform pg_advisory_xact_lock(1); "
                  "update code_noskhe set m7=coalesce(m7, 0)+1 where code_bimeh=2 and rooz=p_day returning m7 "
                  "into v_counter; "
                  "perform pg_advisory_xact_lock(2); "
                  "return query select max(h.sh_factor)::integer, "
                  "(select 1 from heading_noskhe where sh_bimeh=p_insurance and date_no=p_date and nezam_p='45213' "
                  "and name_b=p_name and family_b=p_family limit 1), "
                  "(select code from doctor_s where order1='45213' limit 1)::integer, "
                  "(select code from mosh_bimaran where sh_bimeh=p_insurance limit 1)::integer, "
                  "(select min(sh_factor) from heading_noskhe h2 where h2.sh_bimeh=p_insurance and "
                  "h2.date_no=p_date)::integer, v_counter, (select max(seq) from audit_log), "
                  "(select hash from audit_log where seq=(select max(seq) from audit_log))::text, "
                  "to_char(clock_timestamp() at time zone 'UTC', 'YYYY-MM-DD HH24:MI:SS.MS') "
                  "from heading_noskhe h; "
                  "end $body$");
        db->prepare("start", "select * from pg_temp.save_start($1, $2, $3, $4, $5)");
    }

    // The changes as a text inside the hashed JSON array: its quotes escaped (the fields
    // filled in hold none, nor a backslash).
    std::string escapedChanges;
    for (const char* c = kChanges; *c; ++c) {
        if (*c == '"') escapedChanges += '\\';
        escapedChanges += *c;
    }
    if (sodium_init() < 0) fail("libsodium");
    const long long first = 3000000000LL + (long long)(QCoreApplication::applicationPid()) * 100000;
    const std::string name = "علي";
    const auto start = std::chrono::steady_clock::now();
    for (int n = 0; n < count; ++n) {
        const std::string insurance = std::to_string(first + n);
        const std::string family = "بيمار " + std::to_string(first + n);
        const int day = 1 + int((first + n) % 29);
        char date[16];
        std::snprintf(date, sizeof date, "05/07/%02d", day);
        db->plain(sqlite ? "begin immediate" : "begin");
        std::vector<std::string> read, counter;
        if (sqlite) {
            read = db->run("read", {insurance, date, name, family});
            counter = db->run("counter", {std::to_string(day)});
        } else {
            read = db->run("start", {insurance, date, name, family, std::to_string(day)});
            if (read.size() == 9) {
                counter = {read[5]};
                read.erase(read.begin() + 5);
            }
        }
        if (read.size() < 8 || !read[1].empty() || !read[3].empty()) fail("a duplicate or a known patient");
        const std::string number = std::to_string(std::atoll(read[0].c_str()) + 1);
        if (counter.empty() || counter[0].empty()) fail("no day counter row");
        char code[32];
        std::snprintf(code, sizeof code, "01-002-07-%02d-%04d", day, std::atoi(counter[0].c_str()));
        const std::string seq = std::to_string(std::atoll(read[5].c_str()) + 1);
        const std::string previous = read[6].empty() ? std::string(64, '0') : read[6];
        const std::string& now = read[7];
        const std::vector<std::pair<std::string, std::string>> fields{
            {"@N@", number}, {"@C@", code}, {"@D@", date}, {"@F@", family}, {"@I@", insurance}};
        const std::string changes = filled(kChanges, fields);
        const std::string hash = sha256Hex(previous + "\n[\"" + seq + "\",\"" + now +
                                           "\",\"0\",\"\",\"\",\"prescription\",\"" + number + "\",\"" +
                                           filled(escapedChanges, fields) + "\"]");
        for (const std::string& write : writes)
            db->run(write, {number, code, date, name, family, insurance, family + "  " + name, seq, now, changes,
                            previous, hash, number});
        db->plain("commit");
    }
    std::printf("elapsed_ms=%.3f\n",
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    return 0;
}
