#include "db/statement_watchdog.h"

#include <QSqlDriver>
#include <QVariant>

#include <libpq-fe.h>
#include <sys/socket.h>

namespace ph {
namespace {

class PostgresInterrupt : public StatementInterrupt {
public:
    PostgresInterrupt(PGcancel* cancel, int socket) : m_cancel(cancel), m_socket(socket) {}
    ~PostgresInterrupt() override { PQfreeCancel(m_cancel); }

    void cancel() override {
        char message[256];
        PQcancel(m_cancel, message, sizeof message);
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
    if (!connection)
        return nullptr;
    PGcancel* cancel = PQgetCancel(connection);
    const int socket = PQsocket(connection);
    if (!cancel || socket < 0) {
        if (cancel)
            PQfreeCancel(cancel);
        return nullptr;
    }
    return std::make_shared<PostgresInterrupt>(cancel, socket);
}

} // namespace ph
