#include "db/odbc/OdbcWatchdog.h"

#include <algorithm>

namespace korvel {

namespace {

std::chrono::steady_clock::rep now()
{
    return std::chrono::steady_clock::now().time_since_epoch().count();
}

} // namespace

OdbcWatchdog::OdbcWatchdog(std::chrono::milliseconds limit) : m_limit(limit)
{
}

OdbcWatchdog::~OdbcWatchdog()
{
    stop();
}

void OdbcWatchdog::start(std::vector<OpenSocket> sockets)
{
    stop();
    m_sockets = std::move(sockets);
    m_dropped = false;
    m_since = 0;
    m_thread = std::thread([this] { run(); });
}

void OdbcWatchdog::stop()
{
    if (!m_thread.joinable())
        return;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_one();
    m_thread.join();
    m_stop = false;
}

void OdbcWatchdog::run()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_stop) {
        const Clock::rep since = m_since;
        if (since == 0) {
            // Woken by the next call (or Stop): calls in a row cost no wake-up each.
            m_idle = true;
            m_wake.wait(lock);
            m_idle = false;
            continue;
        }
        const Clock::time_point due = deadline(since);
        if (Clock::now() < due) {
            m_wake.wait_until(lock, due);
            continue;
        }
        shutDownSockets(m_sockets);
        m_dropped = true;
        m_wake.wait(lock, [this] { return m_stop; });
    }
}

OdbcWatchdog::Clock::time_point OdbcWatchdog::deadline(Clock::rep since) const
{
    const Clock::time_point limit = Clock::time_point(Clock::duration(since)) + m_limit;
    const Clock::rep cancelledAt = m_cancelledAt;
    if (cancelledAt == 0)
        return limit;
    return std::min(limit, Clock::time_point(Clock::duration(std::max(since, cancelledAt) + m_grace)));
}

void OdbcWatchdog::cutAfterCancel(std::chrono::milliseconds grace)
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_grace = std::chrono::duration_cast<Clock::duration>(grace).count();
        m_cancelledAt = now();
    }
    // A wait for the old deadline starts again with the new one.
    m_wake.notify_one();
}

OdbcWatchdog::Wait::Wait(OdbcWatchdog& watchdog) : m_watchdog(watchdog)
{
    bool idle = false;
    {
        const std::lock_guard<std::mutex> lock(m_watchdog.m_mutex);
        m_watchdog.m_since = now();
        idle = m_watchdog.m_idle;
    }
    if (idle)
        m_watchdog.m_wake.notify_one();
}

OdbcWatchdog::Wait::~Wait()
{
    m_watchdog.m_since = 0;
}

void OdbcWatchdog::Wait::progress()
{
    m_watchdog.m_since = now();
}

} // namespace korvel
