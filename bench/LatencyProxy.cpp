#include "bench/LatencyProxy.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <condition_variable>
#include <functional>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <vector>

namespace korvel {

namespace {

using Clock = std::chrono::steady_clock;

enum class Direction { None, ToServer, ToClient };

// Data that left one side, to be handed to the other once it is due; empty data is the
// end of the stream.
struct Piece
{
    Clock::time_point due;
    std::vector<char> bytes;
};

int loopbackSocket()
{
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    // Each piece goes out as soon as it is due, as a database client's request does.
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    return fd;
}

sockaddr_in loopbackAddress(std::uint16_t port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

[[noreturn]] void fail(const char* what)
{
    std::perror(what);
    std::exit(1);
}

// One direction of a connection: a reader that stamps what arrives with the time it is
// due, and a writer that hands it on then.
class Pipe
{
public:
    Pipe(int from, int to, std::chrono::microseconds delay, std::function<void()> onData)
        : m_from(from), m_to(to), m_delay(delay), m_onData(std::move(onData))
    {
        m_reader = std::thread([this] { read(); });
        m_writer = std::thread([this] { write(); });
    }
    ~Pipe()
    {
        m_reader.join();
        m_writer.join();
    }

private:
    void read()
    {
        std::vector<char> buffer(64 * 1024);
        for (;;) {
            const ssize_t got = ::read(m_from, buffer.data(), buffer.size());
            Piece piece{Clock::now() + m_delay, {}};
            if (got > 0) {
                m_onData();
                piece.bytes.assign(buffer.data(), buffer.data() + got);
            }
            {
                const std::lock_guard<std::mutex> lock(m_mutex);
                m_pieces.push_back(std::move(piece));
            }
            m_ready.notify_one();
            if (got <= 0)
                return;
        }
    }
    void write()
    {
        for (;;) {
            Piece piece;
            {
                std::unique_lock<std::mutex> lock(m_mutex);
                m_ready.wait(lock, [this] { return !m_pieces.empty(); });
                piece = std::move(m_pieces.front());
                m_pieces.pop_front();
            }
            std::this_thread::sleep_until(piece.due);
            if (piece.bytes.empty()) {
                shutdown(m_to, SHUT_WR);
                return;
            }
            for (std::size_t sent = 0; sent < piece.bytes.size();) {
                const ssize_t put = ::send(m_to, piece.bytes.data() + sent, piece.bytes.size() - sent, MSG_NOSIGNAL);
                if (put <= 0) {
                    // The other side is gone: so is this direction; the reader ends at its end.
                    shutdown(m_from, SHUT_RD);
                    break;
                }
                sent += static_cast<std::size_t>(put);
            }
        }
    }

    int m_from;
    int m_to;
    std::chrono::microseconds m_delay;
    std::function<void()> m_onData;
    std::mutex m_mutex;
    std::condition_variable m_ready;
    std::deque<Piece> m_pieces;
    std::thread m_reader;
    std::thread m_writer;
};

} // namespace

// A client's connection and the relay's own to the server.
struct LatencyProxy::Link
{
    Link(int client, int server, std::chrono::microseconds delay, std::atomic<std::int64_t>& roundTrips)
        : client(client), server(server),
          toServer(client, server, delay,
                   [this, &roundTrips] {
                       if (last.exchange(Direction::ToServer) != Direction::ToServer)
                           ++roundTrips;
                   }),
          toClient(server, client, delay, [this] { last = Direction::ToClient; })
    {
    }
    ~Link()
    {
        shutdown(client, SHUT_RDWR);
        shutdown(server, SHUT_RDWR);
    }
    // Declared before the pipes, which use them from their first moment, and closed after
    // them.
    struct Socket
    {
        Socket(int fd) : fd(fd) {}
        ~Socket() { ::close(fd); }
        operator int() const { return fd; }
        int fd;
    };
    Socket client;
    Socket server;
    std::atomic<Direction> last{Direction::None};
    Pipe toServer;
    Pipe toClient;
};

LatencyProxy::LatencyProxy(std::uint16_t targetPort, std::chrono::microseconds oneWay)
    : m_targetPort(targetPort), m_oneWay(oneWay), m_listener(loopbackSocket())
{
    sockaddr_in address = loopbackAddress(0);
    socklen_t length = sizeof address;
    if (bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(m_listener, 16) != 0 ||
        getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        fail("latency proxy: listen");
    m_port = ntohs(address.sin_port);
    m_acceptor = std::thread([this] { accept(); });
}

LatencyProxy::~LatencyProxy()
{
    // Ends accept(); then every link, each of whose pipes ends at its sockets' end.
    shutdown(m_listener, SHUT_RDWR);
    m_acceptor.join();
    ::close(m_listener);
    const std::lock_guard<std::mutex> lock(m_linksMutex);
    m_links.clear();
}

void LatencyProxy::accept()
{
    for (;;) {
        const int client = accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
            return;
        const int on = 1;
        setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        const int server = loopbackSocket();
        const sockaddr_in target = loopbackAddress(m_targetPort);
        if (::connect(server, reinterpret_cast<const sockaddr*>(&target), sizeof target) != 0) {
            ::close(server);
            ::close(client);
            continue;
        }
        const std::lock_guard<std::mutex> lock(m_linksMutex);
        m_links.push_back(std::make_unique<Link>(client, server, m_oneWay, m_roundTrips));
    }
}

} // namespace korvel
