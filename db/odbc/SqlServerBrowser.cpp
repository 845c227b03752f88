#include "db/odbc/SqlServerBrowser.h"

#include <QDeadlineTimer>
#include <QStringList>

#include <cerrno>

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace korvel {

namespace {

constexpr char kBrowserPort[] = "1434";
constexpr char kUnicastInstanceRequest = 0x04; // CLNT_UCAST_INST
constexpr char kServerResponse = 0x05;         // SVR_RESP
constexpr int kAskAgainMs = 1000;
constexpr int kLargestAnswer = 3 + 0xFFFF; // SVR_RESP, the length in two bytes, the text

#ifdef _WIN32
using SocketHandle = SOCKET;
constexpr SocketHandle kNoSocket = INVALID_SOCKET;
int closeSocket(SocketHandle socket) { return closesocket(socket); }
int pollSocket(pollfd* socket, int timeoutMs) { return WSAPoll(socket, 1, timeoutMs); }
bool interrupted() { return false; }
#else
using SocketHandle = int;
constexpr SocketHandle kNoSocket = -1;
int closeSocket(SocketHandle socket) { return ::close(socket); }
int pollSocket(pollfd* socket, int timeoutMs) { return poll(socket, 1, timeoutMs); }
bool interrupted() { return errno == EINTR; }
#endif

// A UDP socket connected to the SQL Server Browser of a host: what it sends goes there, and
// only what comes from there is received. The system's own sockets, since a networking
// library would be loaded at every start of the programs for a question that only a named
// instance asks.
class BrowserSocket
{
public:
    enum class Wait { Answer, TimeUp, Refused };

    // Resolves the host, an IPv4 address first as SQL Server's own clients do.
    explicit BrowserSocket(const QString& host)
    {
#ifdef _WIN32
        WSADATA data;
        m_started = WSAStartup(MAKEWORD(2, 2), &data) == 0;
#endif
        addrinfo hints{};
        hints.ai_socktype = SOCK_DGRAM;
        addrinfo* found = nullptr;
        if (getaddrinfo(host.toUtf8().constData(), kBrowserPort, &hints, &found) != 0)
            return;
        for (const bool ipv4 : {true, false}) {
            for (const addrinfo* address = found; address && m_socket == kNoSocket; address = address->ai_next) {
                if ((address->ai_family == AF_INET) == ipv4)
                    connect(*address);
            }
        }
        freeaddrinfo(found);
    }
    ~BrowserSocket()
    {
        if (m_socket != kNoSocket)
            closeSocket(m_socket);
#ifdef _WIN32
        if (m_started)
            WSACleanup();
#endif
    }
    BrowserSocket(const BrowserSocket&) = delete;
    BrowserSocket& operator=(const BrowserSocket&) = delete;

    bool connected() const { return m_socket != kNoSocket; }

    void send(const QByteArray& datagram) { ::send(m_socket, datagram.constData(), datagram.size(), 0); }

    // An answer within the time, or none; refused when the host said that nothing listens
    // on the port.
    Wait receive(const QDeadlineTimer& until, QByteArray& answer)
    {
        pollfd socket{m_socket, POLLIN, 0};
        int ready = 0;
        do
            ready = pollSocket(&socket, static_cast<int>(until.remainingTime()));
        while (ready < 0 && interrupted());
        if (ready == 0)
            return Wait::TimeUp;
        answer.resize(kLargestAnswer);
        const auto size = ready > 0 ? recv(m_socket, answer.data(), kLargestAnswer, 0) : -1;
        if (size < 0)
            return Wait::Refused;
        answer.resize(static_cast<qsizetype>(size));
        return Wait::Answer;
    }

private:
    void connect(const addrinfo& address)
    {
        const SocketHandle candidate = socket(address.ai_family, address.ai_socktype, address.ai_protocol);
        if (candidate == kNoSocket)
            return;
        if (::connect(candidate, address.ai_addr, static_cast<int>(address.ai_addrlen)) == 0)
            m_socket = candidate;
        else
            closeSocket(candidate);
    }

    SocketHandle m_socket = kNoSocket;
#ifdef _WIN32
    bool m_started = false;
#endif
};

} // namespace

quint16 tcpPortOfBrowserAnswer(const QByteArray& answer, const QString& instance)
{
    // SVR_RESP, the length of the text in two bytes, then pairs of name;value.
    if (answer.size() < 3 || answer[0] != kServerResponse)
        return 0;
    // One instance after another, each ending in ";;".
    const QStringList instances = QString::fromLatin1(answer.mid(3)).split(QLatin1String(";;"));
    for (const QString& description : instances) {
        const QStringList fields = description.split(QLatin1Char(';'));
        bool ours = false;
        for (qsizetype i = 0; i + 1 < fields.size(); i += 2) {
            if (fields[i].compare(QLatin1String("InstanceName"), Qt::CaseInsensitive) == 0)
                ours = fields[i + 1].compare(instance, Qt::CaseInsensitive) == 0;
            else if (ours && fields[i].compare(QLatin1String("tcp"), Qt::CaseInsensitive) == 0)
                return fields[i + 1].toUShort();
        }
    }
    return 0;
}

bool lookUpInstancePort(const QString& host, const QString& instance, int timeoutMs, quint16& port, QString& error)
{
    const QDeadlineTimer deadline(timeoutMs);
    BrowserSocket socket(host);
    if (!socket.connected()) {
        error = QStringLiteral("找不到 SQL Server 的主机 %1").arg(host);
        return false;
    }
    const QByteArray request = kUnicastInstanceRequest + instance.toLatin1() + '\0';
    while (!deadline.hasExpired()) {
        socket.send(request);
        const QDeadlineTimer askAgain(qMin<qint64>(kAskAgainMs, deadline.remainingTime()));
        QByteArray answer;
        BrowserSocket::Wait wait = BrowserSocket::Wait::TimeUp;
        while ((wait = socket.receive(askAgain, answer)) == BrowserSocket::Wait::Answer) {
            port = tcpPortOfBrowserAnswer(answer, instance);
            if (port != 0)
                return true;
            if (answer.startsWith(kServerResponse)) {
                error = QStringLiteral("SQL Server 实例 %1\\%2 没有开启 TCP/IP").arg(host, instance);
                return false;
            }
        }
        if (wait == BrowserSocket::Wait::Refused)
            break;
    }
    error = QStringLiteral("%1 上的 SQL Server Browser（UDP 1434）没有告知实例 %2 的端口").arg(host, instance);
    return false;
}

} // namespace korvel
