#include "db/statement_watchdog.h"

#include <QSqlDriver>
#include <QtGlobal>

#include <algorithm>

namespace ph {

std::chrono::milliseconds StatementWatchdog::defaultBound() {
    bool ok = false;
    const int fromEnvironment = qEnvironmentVariableIntValue("PH_STATEMENT_BOUND_MS", &ok);
    if (ok && fromEnvironment >= 0)
        return std::chrono::milliseconds(fromEnvironment);
    return std::chrono::seconds(30);
}

StatementWatchdog::StatementWatchdog(QObject* driver) : QObject(driver) {}

StatementWatchdog* StatementWatchdog::of(const QSqlDatabase& db) {
    QSqlDriver* driver = db.driver();
    return driver ? driver->findChild<StatementWatchdog*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

void StatementWatchdog::attach(const QSqlDatabase& db) {
    std::shared_ptr<StatementInterrupt> interrupt = postgresInterrupt(db);
    StatementWatchdog* watchdog = of(db);
    if (!interrupt) {
        delete watchdog;
        return;
    }
    if (!watchdog)
        watchdog = new StatementWatchdog(db.driver());
    watchdog->m_lifted = false;
    watchdog->setInterrupt(std::move(interrupt));
}

void StatementWatchdog::detach(const QSqlDatabase& db) {
    if (StatementWatchdog* watchdog = of(db))
        watchdog->setInterrupt(nullptr);
}

StatementWatchdog::~StatementWatchdog() {
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void StatementWatchdog::setInterrupt(std::shared_ptr<StatementInterrupt> interrupt) {
    const std::lock_guard lock(m_mutex);
    m_interrupt = std::move(interrupt);
    m_armed = false;
}

// Time for the server to answer a cancel before the connection is given up.
std::chrono::milliseconds StatementWatchdog::grace() const {
    using std::chrono::milliseconds;
    return std::clamp(m_bound / 4, milliseconds(250), milliseconds(5000));
}

void StatementWatchdog::arm() {
    if (m_lifted || m_bound.count() <= 0)
        return;
    const std::lock_guard lock(m_mutex);
    if (!m_interrupt)
        return;
    m_armed = true;
    m_outcome = Outcome::Quiet;
    m_since = std::chrono::steady_clock::now();
    if (!m_thread.joinable())
        m_thread = std::thread([this] { run(); });
}

StatementWatchdog::Outcome StatementWatchdog::disarm() {
    const std::lock_guard lock(m_mutex);
    m_armed = false;
    return std::exchange(m_outcome, Outcome::Quiet);
}

void StatementWatchdog::run() {
    using namespace std::chrono;
    // The thread looks at the clock a few times per bound instead of being woken by
    // every statement: a statement costs the watchdog two uncontended locks.
    const milliseconds tick = std::clamp(m_bound / 10, milliseconds(20), milliseconds(1000));
    std::unique_lock lock(m_mutex);
    while (!m_stop) {
        m_wake.wait_for(lock, tick);
        if (m_stop || !m_armed || !m_interrupt)
            continue;
        const auto waited = steady_clock::now() - m_since;
        if (m_outcome == Outcome::Quiet && waited >= m_bound) {
            m_outcome = Outcome::Cancelled;
            // A cancel opens a connection of its own to the server, which may not answer:
            // it must not hold up giving the connection up.
            std::thread([interrupt = m_interrupt] { interrupt->cancel(); }).detach();
        } else if (m_outcome == Outcome::Cancelled && waited >= m_bound + grace()) {
            m_outcome = Outcome::Abandoned;
            m_interrupt->abandon();
        }
    }
}

} // namespace ph
