#include "db/odbc/SqlServerBrowser.h"

#include <QDeadlineTimer>
#include <QHostAddress>
#include <QHostInfo>
#include <QUdpSocket>

namespace {

constexpr quint16 kBrowserPort = 1434;
constexpr char kUnicastInstanceRequest = 0x04; // CLNT_UCAST_INST
constexpr char kServerResponse = 0x05;         // SVR_RESP
constexpr int kAskAgainMs = 1000;

QHostAddress AddressOf(const QString& host)
{
    const QHostAddress literal(host);
    if (!literal.isNull())
        return literal;
    const QList<QHostAddress> addresses = QHostInfo::fromName(host).addresses();
    for (const QHostAddress& address : addresses) {
        if (address.protocol() == QAbstractSocket::IPv4Protocol)
            return address;
    }
    return addresses.value(0);
}

} // namespace

quint16 TcpPortOfBrowserAnswer(const QByteArray& answer, const QString& instance)
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

bool LookUpInstancePort(const QString& host, const QString& instance, int timeoutMs, quint16& port, QString& error)
{
    const QDeadlineTimer deadline(timeoutMs);
    const QHostAddress address = AddressOf(host);
    if (address.isNull()) {
        error = QStringLiteral("找不到 SQL Server 的主机 %1").arg(host);
        return false;
    }
    QUdpSocket socket;
    const QByteArray request = kUnicastInstanceRequest + instance.toLatin1() + '\0';
    while (!deadline.hasExpired()) {
        socket.writeDatagram(request, address, kBrowserPort);
        const QDeadlineTimer askAgain(qMin<qint64>(kAskAgainMs, deadline.remainingTime()));
        while (socket.waitForReadyRead(static_cast<int>(askAgain.remainingTime()))) {
            QByteArray answer(static_cast<int>(qMax<qint64>(socket.pendingDatagramSize(), 0)), '\0');
            socket.readDatagram(answer.data(), answer.size());
            port = TcpPortOfBrowserAnswer(answer, instance);
            if (port != 0)
                return true;
            if (answer.startsWith(kServerResponse)) {
                error = QStringLiteral("SQL Server 实例 %1\\%2 没有开启 TCP/IP").arg(host, instance);
                return false;
            }
        }
        // A wait that ends early is an error: nothing listens on the port, and the host said so.
        if (!askAgain.hasExpired())
            break;
    }
    error = QStringLiteral("%1 上的 SQL Server Browser（UDP 1434）没有告知实例 %2 的端口").arg(host, instance);
    return false;
}
