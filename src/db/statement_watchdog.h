#pragma once

#include <QObject>
#include <QSqlDatabase>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

namespace ph {

// The means to stop a statement that a server connection is waiting on, from another thread.
class StatementInterrupt {
public:
    virtual ~StatementInterrupt() = default;
    // Asks the server to cancel the running statement; may block on the network, so it
    // is called on a thread of its own.
    virtual void cancel() = 0;
    // Gives up the connection: the client's read returns at once with a broken connection.
    virtual void abandon() = 0;
};

// The interrupt of an open connection whose driver hands out a libpq connection; null
// for any other connection (the embedded database has no server to wait on).
std::shared_ptr<StatementInterrupt> postgresInterrupt(const QSqlDatabase& db);

// Bounds every wait of a connection on its server: a statement still running after the
// bound is cancelled, and when the server does not answer the cancel either (a frozen
// process, a host gone silent: keepalives see neither) the connection is abandoned a
// grace period later, so the client's wait ends whatever the server does. It belongs to
// the connection's driver and goes with it; its thread starts with the first watched
// statement, and arming and disarming it take no system call.
class StatementWatchdog : public QObject {
    Q_OBJECT
public:
    enum class Outcome { Quiet, Cancelled, Abandoned };

    // The bound of one statement: 30 seconds, far beyond any statement of a save or a
    // report on a busy server and still short for someone waiting at the counter.
    // PH_STATEMENT_BOUND_MS sets another (0: no bound).
    static std::chrono::milliseconds defaultBound();

    // The watchdog of an open connection, made on first use; null where the connection
    // has no server to interrupt.
    static StatementWatchdog* of(const QSqlDatabase& db);
    // Starts watching a newly opened connection (again after it was closed).
    static void attach(const QSqlDatabase& db);
    // Stops watching a connection about to close.
    static void detach(const QSqlDatabase& db);

    ~StatementWatchdog() override;

    std::chrono::milliseconds bound() const { return m_bound; }
    // Lets the statements of the open transaction run as long as they need (schema work
    // on a large database); the end of the transaction brings the bound back.
    void liftForTransaction() { m_lifted = true; }
    void transactionEnded() { m_lifted = false; }
    // Lets every statement run as long as it needs while `lifted` (statistics of a large
    // database); returns the previous state.
    bool setLifted(bool lifted) { return std::exchange(m_lifted, lifted); }

    // Starts watching a statement (nothing while lifted, without a bound or an interrupt).
    void arm();
    // Stops watching it and tells what the watchdog did meanwhile.
    Outcome disarm();

private:
    explicit StatementWatchdog(QObject* driver);
    void setInterrupt(std::shared_ptr<StatementInterrupt> interrupt);
    void run();
    std::chrono::milliseconds grace() const;

    const std::chrono::milliseconds m_bound = defaultBound();
    bool m_lifted = false;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::thread m_thread;
    std::shared_ptr<StatementInterrupt> m_interrupt;
    bool m_stop = false;
    bool m_armed = false;
    std::chrono::steady_clock::time_point m_since;
    Outcome m_outcome = Outcome::Quiet;
};

} // namespace ph
