#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <thread>

namespace korvel {

// A SQL Server on loopback as far as FreeTDS needs one: it takes any login, then answers
// each batch with the reply it was given, or keeps silent with none, as a server that
// stopped answering.
class FakeTdsServer
{
public:
    explicit FakeTdsServer(QByteArray batchReply);
    ~FakeTdsServer();
    FakeTdsServer(const FakeTdsServer&) = delete;
    FakeTdsServer& operator=(const FakeTdsServer&) = delete;

    quint16 port() const { return m_port; }
    // The program's connection string for it.
    QString connectionString() const;

    // A batch's reply: a result set of one int column with one row, then the server's error
    // "late failure".
    static QByteArray oneRowThenAnError();

private:
    QByteArray m_reply;
    std::thread m_thread;
    std::atomic<quint16> m_port{0};
    std::atomic<bool> m_stop{false};
};

} // namespace korvel
