#include "tests/db/odbc/FakeTdsServer.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QtEndian>

namespace {

// Packet types.
constexpr char kBatch = 0x01;
constexpr char kAttention = 0x06;
constexpr char kReply = 0x04;
constexpr char kLogin = 0x10;
constexpr char kPreLogin = 0x12;

QByteArray Packet(char type, const QByteArray& payload)
{
    QByteArray packet(8, '\0');
    packet[0] = type;
    packet[1] = 0x01; // the last packet of its message
    qToBigEndian<quint16>(static_cast<quint16>(8 + payload.size()), packet.data() + 2);
    packet[6] = 0x01;
    return packet + payload;
}

template <typename Number>
QByteArray LittleEndian(Number value)
{
    QByteArray bytes(sizeof value, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

QByteArray Utf16(const QString& text)
{
    return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

// A token with a two-byte length before its body.
QByteArray Token(char type, const QByteArray& body)
{
    return type + LittleEndian<quint16>(static_cast<quint16>(body.size())) + body;
}

QByteArray Done(quint16 status, quint16 command, quint64 rows)
{
    return '\xFD' + LittleEndian(status) + LittleEndian(command) + LittleEndian(rows);
}

// Version 16.0.2000; no encryption.
QByteArray PreLoginReply()
{
    return QByteArray::fromHex("00000b0006" "0100110001" "ff" "100007d00000" "02");
}

// Logged in, TDS 7.4.
QByteArray LoginReply()
{
    const QByteArray ack = QByteArray("\x01\x74\x00\x00\x04", 5) + '\x01' + Utf16(QStringLiteral("K")) +
                           QByteArray("\x10\x00\x00\x00", 4);
    return Token('\xAD', ack) + Done(0, 0, 0);
}

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
                    client->write(Packet(kReply, PreLoginReply()));
                else if (type == kLogin)
                    client->write(Packet(kReply, LoginReply()));
                else if (type == kBatch && !m_reply.isEmpty())
                    client->write(Packet(kReply, m_reply));
                else if (type == kAttention && !m_reply.isEmpty())
                    client->write(Packet(kReply, Done(0x20, 0, 0))); // the cancel taken
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

QByteArray FakeTdsServer::OneRowThenAnError(const QString& message)
{
    // Column metadata: one column, user type 0, flags 0, int, no name.
    const QByteArray columns = QByteArray("\x81\x01\x00", 3) + QByteArray(6, '\0') + QByteArray("\x38\x00", 2);
    const QByteArray row = '\xD1' + LittleEndian<qint32>(1);
    // Error 8134 (divide by zero), state 1, class 16, the message, no server or procedure, line 1.
    const QByteArray error = Token('\xAA', LittleEndian<qint32>(8134) + QByteArray("\x01\x10", 2) +
                                               LittleEndian<quint16>(static_cast<quint16>(message.size())) +
                                               Utf16(message) + QByteArray(2, '\0') + LittleEndian<qint32>(1));
    // The select's DONE says more follows and counts its row; the last one ends in error.
    return columns + row + Done(0x11, 0xC1, 1) + error + Done(0x02, 0xC1, 0);
}
