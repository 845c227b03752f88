#pragma once

#include "db/odbc/ProcessSockets.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace korvel {

// Ends a call on a connection whose server stopped answering, which the drivers' own
// statement timeouts do not: psqlODBC's is applied by the server (a stopped server never
// applies it), and FreeTDS, after its own, waits as long again for the server to take its
// cancel. When a call has waited past the limit, the watchdog shuts the connection's sockets
// down, so that the driver's blocked read fails and the call returns with the driver's
// error. The connection is lost then, and the server rolls back what was not committed.
class OdbcWatchdog
{
public:
    explicit OdbcWatchdog(std::chrono::milliseconds limit);
    ~OdbcWatchdog();
    OdbcWatchdog(const OdbcWatchdog&) = delete;
    OdbcWatchdog& operator=(const OdbcWatchdog&) = delete;

    // Watches the calls on the connection over these sockets, until Stop.
    void start(std::vector<OpenSocket> sockets);
    void stop();
    // Whether a call outlasted the limit and the connection was cut.
    bool connectionDropped() const { return m_dropped; }
    // From any thread, once the user cancelled: a call still waiting `grace` after the cancel,
    // or after it began when that is later, has its connection cut, so that a server that
    // does not take the driver's cancel (or a cancel that came just before the call) keeps
    // nobody waiting.
    void cutAfterCancel(std::chrono::milliseconds grace);

    // While one lives, the connection is waited on: the limit counts from its start or its
    // last Progress (a row read, a piece sent), so that a long result that keeps coming is
    // never cut.
    class Wait
    {
    public:
        explicit Wait(OdbcWatchdog& watchdog);
        ~Wait();
        Wait(const Wait&) = delete;
        Wait& operator=(const Wait&) = delete;
        void progress();

    private:
        OdbcWatchdog& m_watchdog;
    };

private:
    using Clock = std::chrono::steady_clock;

    void run();
    Clock::time_point deadline(Clock::rep since) const;

    const Clock::duration m_limit;
    std::vector<OpenSocket> m_sockets;
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;
    bool m_idle = false;
    // When the running call began or last made progress, in clock ticks; 0 while none runs.
    std::atomic<Clock::rep> m_since{0};
    std::atomic<bool> m_dropped{false};
    // When the user cancelled, in clock ticks (0: never), and the wait left to calls then.
    std::atomic<Clock::rep> m_cancelledAt{0};
    std::atomic<Clock::rep> m_grace{0};
};

} // namespace korvel
