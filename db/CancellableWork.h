#pragma once

#include <atomic>
#include <mutex>
#include <vector>

namespace korvel {

class DbClient;

// Database work that another thread may cancel: a user action that the window hands to a
// worker thread and the user gives up. Every connection opened on a thread while it works
// under the work (Database::open looks the work up) is cancelled with it.
class CancellableWork
{
public:
    CancellableWork() = default;
    CancellableWork(const CancellableWork&) = delete;
    CancellableWork& operator=(const CancellableWork&) = delete;

    // From any thread, once for good: the call each connection runs is asked to end at once,
    // and Database refuses every later call on them but a rollback and the close, and
    // every later Open.
    void cancel();
    bool isCancelled() const { return m_cancelled; }

    // The work the calling thread works under; none outside a Scope.
    static CancellableWork* ofThisThread();

    // While one lives, the calling thread works under the work.
    class Scope
    {
    public:
        explicit Scope(CancellableWork& work);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        CancellableWork* m_outer;
    };

    // While one lives, a cancel of the work reaches the client. No work, no effect.
    class Registration
    {
    public:
        Registration(CancellableWork* work, DbClient& client);
        ~Registration();
        Registration(const Registration&) = delete;
        Registration& operator=(const Registration&) = delete;

    private:
        CancellableWork* m_work;
        DbClient& m_client;
    };

private:
    std::mutex m_mutex;
    std::vector<DbClient*> m_clients;
    std::atomic<bool> m_cancelled{false};
};

} // namespace korvel
