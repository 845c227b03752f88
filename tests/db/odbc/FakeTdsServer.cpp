#include "tests/db/odbc/FakeTdsServer.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QtEndian>

namespace korvel {

namespace {

// Packet types.
constexpr char kBatch = 0x01;
constexpr char kAttention = 0x06;
constexpr char kReply = 0x04;
constexpr char kLogin = 0x10;
constexpr char kPreLogin = 0x12;

QByteArray packet(char type, const QByteArray& payload)
{
    QByteArray packet(8, '\0');
    packet[0] = type;
    packet[1] = 0x01; // the last packet of its message
    qToBigEndian<quint16>(static_cast<quint16>(8 + payload.size()), packet.data() + 2);
    packet[6] = 0x01;
    return packet + payload;
}

// Version 16.0.2000; no encryption.
const QByteArray kPreLoginReply = QByteArray::fromHex("00000b0006" "0100110001" "ff" "100007d00000" "02");
// Logged in: TDS 7.4 by the server "K", then DONE.
const QByteArray kLoginReply = QByteArray::fromHex("ad0c00" "01" "74000004" "01" "4b00" "10000000"
                                                   "fd" "0000" "0000" "0000000000000000");
// DONE with the flag that says a cancel was taken.
const QByteArray kCancelTaken = QByteArray::fromHex("fd" "2000" "0000" "0000000000000000");

} // namespace

FakeTdsServer::FakeTdsServer(QByteArray batchReply) : m_reply(std::move(batchReply))
{
    std::atomic<bool> listening{false};
    m_thread = std::thread([this, &listening] {
        QTcpServer server;
        server.listen(QHostAddress::LocalHost);
        m_port = server.serverPort();
        listening = true;
        while (!m_stop && !server.waitForNewConnection(100)) {
        }
        QTcpSocket* client = server.nextPendingConnection();
        QByteArray received;
        while (client && !m_stop && client->state() == QAbstractSocket::ConnectedState) {
            client->waitForReadyRead(100);
            received += client->readAll();
            while (received.size() >= 8 && received.size() >= qFromBigEndian<quint16>(received.constData() + 2)) {
                const char type = received[0];
                received.remove(0, qFromBigEndian<quint16>(received.constData() + 2));
                if (type == kPreLogin)
                    client->write(packet(kReply, kPreLoginReply));
                else if (type == kLogin)
                    client->write(packet(kReply, kLoginReply));
                else if (type == kBatch && !m_reply.isEmpty())
                    client->write(packet(kReply, m_reply));
                else if (type == kAttention && !m_reply.isEmpty())
                    client->write(packet(kReply, kCancelTaken));
                client->flush();
            }
        }
    });
    while (!listening)
        std::this_thread::yield();
}

FakeTdsServer::~FakeTdsServer()
{
    m_stop = true;
    m_thread.join();
}

QString FakeTdsServer::connectionString() const
{
    return QStringLiteral("Provider=sqloledb;Data Source=127.0.0.1,%1;Initial Catalog=db;User Id=sa;Password=x;")
        .arg(port());
}

QByteArray FakeTdsServer::oneRowThenAnError()
{
    const QString message = QStringLiteral("late failure");
    // One int column without a name, its row, and a DONE that says more follows.
    return QByteArray::fromHex("81" "0100" "00000000" "0000" "38" "00" "d1" "01000000"
                               "fd" "1100" "c100" "0100000000000000") +
           // Error 8134 (divide by zero), state 1, class 16, the message, no server or procedure, line 1.
           QByteArray::fromHex("aa" "2600" "c61f0000" "01" "10" "0c00") +
           QByteArray(reinterpret_cast<const char*>(message.utf16()), message.size() * 2) +
           QByteArray::fromHex("00" "00" "01000000") +
           // The batch's last DONE, in error.
           QByteArray::fromHex("fd" "0200" "c100" "0000000000000000");
}

} // namespace korvel
