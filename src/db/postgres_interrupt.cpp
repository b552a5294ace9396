#include "db/statement_watchdog.h"

#include <QSqlDriver>
#include <QVariant>

#include <dlfcn.h>
#include <libpq-fe.h>
#include <sys/socket.h>

namespace ph {
namespace {

// The few client-library calls the watchdog makes, taken from the library the server's driver
// loaded with itself: a program on the embedded database never loads the client library and
// the two dozen libraries it brings (Kerberos, LDAP, TLS), which cost every start.
struct ClientLibrary {
    decltype(&PQgetCancel) getCancel = nullptr;
    decltype(&PQcancel) cancel = nullptr;
    decltype(&PQfreeCancel) freeCancel = nullptr;
    decltype(&PQsocket) socket = nullptr;

    bool loaded() const { return getCancel && cancel && freeCancel && socket; }

    // Null when the library cannot be found (no server connection was ever made).
    static const ClientLibrary* get() {
        static const ClientLibrary library = [] {
            ClientLibrary found;
            // A connection's handle comes from the library the driver already holds.
            void* handle = ::dlopen("libpq.so.5", RTLD_LAZY | RTLD_NOLOAD);
            if (!handle)
                handle = ::dlopen("libpq.so.5", RTLD_LAZY);
            if (!handle)
                return found;
            found.getCancel = reinterpret_cast<decltype(&PQgetCancel)>(::dlsym(handle, "PQgetCancel"));
            found.cancel = reinterpret_cast<decltype(&PQcancel)>(::dlsym(handle, "PQcancel"));
            found.freeCancel = reinterpret_cast<decltype(&PQfreeCancel)>(::dlsym(handle, "PQfreeCancel"));
            found.socket = reinterpret_cast<decltype(&PQsocket)>(::dlsym(handle, "PQsocket"));
            return found;
        }();
        return library.loaded() ? &library : nullptr;
    }
};

class PostgresInterrupt : public StatementInterrupt {
public:
    PostgresInterrupt(const ClientLibrary& library, PGcancel* cancel, int socket)
        : m_library(library), m_cancel(cancel), m_socket(socket) {}
    ~PostgresInterrupt() override { m_library.freeCancel(m_cancel); }

    void cancel() override {
        char message[256];
        m_library.cancel(m_cancel, message, sizeof message);
    }
    // The socket stays open (the connection still owns it); shutting it down ends the
    // client's read with an end of file, which libpq reports as a broken connection.
    void abandon() override { ::shutdown(m_socket, SHUT_RDWR); }

private:
    const ClientLibrary& m_library;
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
    const ClientLibrary* library = ClientLibrary::get();
    if (!connection || !library)
        return nullptr;
    PGcancel* cancel = library->getCancel(connection);
    const int socket = library->socket(connection);
    if (!cancel || socket < 0) {
        if (cancel)
            library->freeCancel(cancel);
        return nullptr;
    }
    return std::make_shared<PostgresInterrupt>(*library, cancel, socket);
}

} // namespace ph
