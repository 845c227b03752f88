#include "db/CancellableWork.h"

#include "db/client/DbClient.h"

#include <algorithm>

namespace korvel {

namespace {

thread_local CancellableWork* t_work = nullptr;

} // namespace

void CancellableWork::cancel()
{
    // Under the lock: a client is cancelled only while it is registered, so never after it
    // went.
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_cancelled = true;
    for (DbClient* client : m_clients)
        client->cancel();
}

CancellableWork* CancellableWork::ofThisThread()
{
    return t_work;
}

CancellableWork::Scope::Scope(CancellableWork& work) : m_outer(t_work)
{
    t_work = &work;
}

CancellableWork::Scope::~Scope()
{
    t_work = m_outer;
}

CancellableWork::Registration::Registration(CancellableWork* work, DbClient& client) : m_work(work), m_client(client)
{
    if (!m_work)
        return;
    const std::lock_guard<std::mutex> lock(m_work->m_mutex);
    m_work->m_clients.push_back(&m_client);
}

CancellableWork::Registration::~Registration()
{
    if (!m_work)
        return;
    const std::lock_guard<std::mutex> lock(m_work->m_mutex);
    auto& clients = m_work->m_clients;
    clients.erase(std::find(clients.begin(), clients.end(), &m_client));
}

} // namespace korvel
