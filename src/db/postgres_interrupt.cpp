#include "db/statement_watchdog.h"

#include <QSqlDriver>
#include <QVariant>

#include <dlfcn.h>
#include <libpq-fe.h>
#include <sys/socket.h>

namespace ph {
namespace {

// The four libpq functions the interrupt needs, taken from the libpq the database driver
// has loaded. The program does not link libpq itself: loading it and what it pulls in
// (Kerberos, LDAP, TLS) costs every start some 30 ms, on SQLite for nothing.
struct LibpqCancel {
    decltype(&PQgetCancel) getCancel = nullptr;
    decltype(&PQfreeCancel) freeCancel = nullptr;
    decltype(&PQcancel) cancel = nullptr;
    decltype(&PQsocket) socket = nullptr;
    bool ready() const { return getCancel && freeCancel && cancel && socket; }
};

const LibpqCancel& libpq() {
    static const LibpqCancel functions = [] {
        LibpqCancel f;
        // Loaded already by the driver when a PostgreSQL connection is open.
        void* library = dlopen("libpq.so.5", RTLD_NOW | RTLD_NOLOAD);
        if (!library) return f;
        f.getCancel = reinterpret_cast<decltype(&PQgetCancel)>(dlsym(library, "PQgetCancel"));
        f.freeCancel = reinterpret_cast<decltype(&PQfreeCancel)>(dlsym(library, "PQfreeCancel"));
        f.cancel = reinterpret_cast<decltype(&PQcancel)>(dlsym(library, "PQcancel"));
        f.socket = reinterpret_cast<decltype(&PQsocket)>(dlsym(library, "PQsocket"));
        return f;
    }();
    return functions;
}

class PostgresInterrupt : public StatementInterrupt {
public:
    PostgresInterrupt(PGcancel* cancel, int socket) : m_cancel(cancel), m_socket(socket) {}
    ~PostgresInterrupt() override { libpq().freeCancel(m_cancel); }

    void cancel() override {
        char message[256];
        libpq().cancel(m_cancel, message, sizeof message);
    }
    // The socket stays open (the connection still owns it); shutting it down ends the
    // client's read with an end of file, which libpq reports as a broken connection.
    void abandon() override { ::shutdown(m_socket, SHUT_RDWR); }

private:
    PGcancel* m_cancel;
    int m_socket;
};

} // namespace

std::shared_ptr<StatementInterrupt> postgresInterrupt(const QSqlDatabase& db) {
    if (!db.isOpen() || !db.driver())
        return nullptr;
    const QVariant handle = db.driver()->handle();
    // The driver names the libpq handle by its struct ("pg_conn*") or by its typedef.
    if (!handle.isValid() || (qstrcmp(handle.typeName(), "pg_conn*") != 0 && qstrcmp(handle.typeName(), "PGconn*") != 0))
        return nullptr;
    PGconn* connection = *static_cast<PGconn* const*>(handle.constData());
    if (!connection || !libpq().ready())
        return nullptr;
    PGcancel* cancel = libpq().getCancel(connection);
    const int socket = libpq().socket(connection);
    if (!cancel || socket < 0) {
        if (cancel)
            libpq().freeCancel(cancel);
        return nullptr;
    }
    return std::make_shared<PostgresInterrupt>(cancel, socket);
}

} // namespace ph
