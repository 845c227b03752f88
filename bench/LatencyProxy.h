#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <thread>

namespace korvel {

// A TCP relay on loopback that holds every piece of data for a set time in each direction,
// as the network between a plant's machines and its server does, and counts the round trips
// that its clients make: each time a client sends after it has heard from the server (or
// sends first). What a program pays across such a network is what the relay shows on one
// machine: its round trips times the delay of one.
class LatencyProxy
{
public:
    // Relays to 127.0.0.1:targetPort from a free port of its own, holding data `oneWay` long
    // each way. Exits the process when it cannot listen.
    LatencyProxy(std::uint16_t targetPort, std::chrono::microseconds oneWay);
    ~LatencyProxy();
    LatencyProxy(const LatencyProxy&) = delete;
    LatencyProxy& operator=(const LatencyProxy&) = delete;

    std::uint16_t port() const { return m_port; }
    // Round trips of every connection so far.
    std::int64_t roundTrips() const { return m_roundTrips; }

private:
    struct Link;
    void accept();

    std::uint16_t m_targetPort;
    std::chrono::microseconds m_oneWay;
    int m_listener = -1;
    std::uint16_t m_port = 0;
    std::atomic<std::int64_t> m_roundTrips{0};
    std::mutex m_linksMutex;
    std::list<std::unique_ptr<Link>> m_links;
    std::thread m_acceptor;
};

} // namespace korvel
