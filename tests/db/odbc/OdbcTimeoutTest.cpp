// The waits SQL Server's own clients keep: 15 seconds to connect, 30 for a statement. A
// server that does not answer, or a statement held up by another session's lock, ends in
// the usual error instead of a window that never comes back.

#include "db/Database.h"
#include "db/odbc/SqlServerBrowser.h"

#include "tests/db/odbc/FakeTdsServer.h"
#include "tests/db/odbc/OdbcTestServer.h"
#include "tests/support/QtPrinting.h"

#include <QElapsedTimer>
#include <QTcpServer>
#include <QUdpSocket>

#include <atomic>
#include <chrono>
#include <csignal>
#include <future>
#include <thread>

using namespace korvel;

namespace {

constexpr qint64 kLoginLimitMs = 15 * 1000;
constexpr qint64 kStatementLimitMs = 30 * 1000;
// A call on a server that stopped answering ends within this.
constexpr qint64 kServerLostLimitMs = 35 * 1000;
// A wait ends a little after its limit, never long after.
constexpr qint64 kSlackMs = 3000;

// A SQL Server Browser on loopback: answers a question for the instance with the reply it
// was given (none: it keeps silent), until stopped.
class FakeBrowser
{
public:
    explicit FakeBrowser(QByteArray reply) : m_reply(std::move(reply))
    {
        m_thread = std::thread([this] {
            QUdpSocket socket;
            m_bound = socket.bind(QHostAddress::LocalHost, 1434);
            m_ready = true;
            while (m_bound && !m_stop) {
                if (!socket.waitForReadyRead(100))
                    continue;
                QByteArray question(static_cast<int>(socket.pendingDatagramSize()), '\0');
                QHostAddress from;
                quint16 port = 0;
                socket.readDatagram(question.data(), question.size(), &from, &port);
                m_questions.fetch_add(1);
                if (!m_reply.isEmpty())
                    socket.writeDatagram(m_reply, from, port);
            }
        });
        while (!m_ready)
            std::this_thread::yield();
    }
    ~FakeBrowser()
    {
        m_stop = true;
        m_thread.join();
    }
    bool bound() const { return m_bound; }
    int questions() const { return m_questions.load(); }

private:
    QByteArray m_reply;
    std::thread m_thread;
    std::atomic<bool> m_ready{false};
    std::atomic<bool> m_bound{false};
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_questions{0};
};

QByteArray browserReply(const QByteArray& text)
{
    QByteArray reply(1, '\x05');
    reply.append(static_cast<char>(text.size() & 0xFF)).append(static_cast<char>(text.size() >> 8)).append(text);
    return reply;
}

QString description(const DbError& error)
{
    return error.description.value_or(QString());
}

// What one question to the browser on loopback for the instance KORVEL gave.
struct BrowserLookUp
{
    bool found = false;
    quint16 port = 0;
    QString error;
    qint64 elapsedMs = 0;
};

BrowserLookUp lookUpKorvel(int timeoutMs)
{
    BrowserLookUp lookUp;
    QElapsedTimer timer;
    timer.start();
    lookUp.found =
        lookUpInstancePort(QStringLiteral("127.0.0.1"), QStringLiteral("KORVEL"), timeoutMs, lookUp.port, lookUp.error);
    lookUp.elapsedMs = timer.elapsed();
    return lookUp;
}

const QString kNoPortTold = QStringLiteral("127.0.0.1 上的 SQL Server Browser（UDP 1434）没有告知实例 KORVEL 的端口");

} // namespace

TEST(SqlServerBrowserTest, TheAnswerGivesTheTcpPortOfTheInstanceAsked)
{
    const QByteArray two = browserReply("ServerName;PC;InstanceName;OTHER;IsClustered;No;Version;16.0;tcp;1500;;"
                                        "ServerName;PC;InstanceName;KORVEL;IsClustered;No;Version;16.0;tcp;49712;;");
    EXPECT_EQ(tcpPortOfBrowserAnswer(two, QStringLiteral("korvel")), 49712);
    EXPECT_EQ(tcpPortOfBrowserAnswer(two, QStringLiteral("OTHER")), 1500);
    EXPECT_EQ(tcpPortOfBrowserAnswer(two, QStringLiteral("NONE")), 0);
    EXPECT_EQ(tcpPortOfBrowserAnswer(browserReply("ServerName;PC;InstanceName;KORVEL;np;\\\\PC\\pipe;;"),
                                     QStringLiteral("KORVEL")),
              0)
        << "named pipes only";
    EXPECT_EQ(tcpPortOfBrowserAnswer("garbage", QStringLiteral("KORVEL")), 0);
}

// One test for everything that needs the browser's port, which only one process can hold.
TEST(SqlServerBrowserTest, AnInstanceIsFoundOrGivenUpWithinTheLoginWait)
{
    {
        FakeBrowser browser(browserReply("ServerName;PC;InstanceName;KORVEL;IsClustered;No;tcp;49712;;"));
        if (!browser.bound())
            GTEST_SKIP() << "UDP port 1434 is taken on this machine";
        const BrowserLookUp lookUp = lookUpKorvel(2000);
        ASSERT_TRUE(lookUp.found) << lookUp.error.toStdString();
        EXPECT_EQ(lookUp.port, 49712);
    }
    {
        FakeBrowser silent{QByteArray()};
        const BrowserLookUp lookUp = lookUpKorvel(2500);
        EXPECT_FALSE(lookUp.found);
        EXPECT_GE(lookUp.elapsedMs, 2400);
        EXPECT_LT(lookUp.elapsedMs, 2500 + kSlackMs);
        EXPECT_GE(silent.questions(), 2) << "a question lost on the way is asked again";
        EXPECT_EQ(lookUp.error, kNoPortTold);

        // The whole road through the SQL Server client, as FreeTDS would otherwise wait longer.
        Database database;
        QElapsedTimer timer;
        timer.start();
        EXPECT_FALSE(database.open(QStringLiteral("Provider=sqloledb;Data Source=127.0.0.1\\KORVEL;"
                                                  "Initial Catalog=db;User Id=sa;Password=x;")));
        EXPECT_LT(timer.elapsed(), kLoginLimitMs + kSlackMs);
        EXPECT_EQ(database.lastError(), QStringLiteral("ADO 错误：0x80004005，") + kNoPortTold);
    }
    // Nothing listens: the host says so at once, and nobody waits for an answer.
    const BrowserLookUp lookUp = lookUpKorvel(2500);
    EXPECT_FALSE(lookUp.found);
    EXPECT_LT(lookUp.elapsedMs, 1000);
    EXPECT_EQ(lookUp.error, kNoPortTold);
}

TEST(OdbcTimeoutTest, AServerThatNeverAnswersTheLoginIsGivenUp)
{
    // Takes the connection and says nothing.
    QTcpServer mute;
    ASSERT_TRUE(mute.listen(QHostAddress::LocalHost));
    Database database;
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(database.open(QStringLiteral("Provider=sqloledb;Data Source=127.0.0.1,%1;Initial Catalog=db;"
                                              "User Id=sa;Password=x;")
                                   .arg(mute.serverPort())));
    EXPECT_GE(timer.elapsed(), kLoginLimitMs - 1000);
    EXPECT_LT(timer.elapsed(), kLoginLimitMs + kSlackMs);
    EXPECT_TRUE(database.lastError().startsWith(QStringLiteral("ADO 错误：0x80004005，")))
        << database.lastError().toStdString();
}

TEST(OdbcTimeoutTest, ALoginThatWaitsEndsWhenTheUserCancels)
{
    QTcpServer mute;
    ASSERT_TRUE(mute.listen(QHostAddress::LocalHost));
    CancellableWork work;
    QString error;
    QElapsedTimer timer;
    timer.start();
    std::thread login([&] {
        const CancellableWork::Scope scope(work);
        Database database;
        EXPECT_FALSE(database.open(QStringLiteral("Provider=sqloledb;Data Source=127.0.0.1,%1;Initial Catalog=db;"
                                                  "User Id=sa;Password=x;")
                                       .arg(mute.serverPort())));
        error = database.lastError();
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    work.cancel();
    login.join();
    EXPECT_LT(timer.elapsed(), 2000);
    EXPECT_EQ(error, QStringLiteral("ADO 错误：0x80004004，操作已取消"));
}

TEST(OdbcTimeoutTest, AServerThatStopsAnsweringAfterTheLoginIsGivenUp)
{
    FakeTdsServer silent{QByteArray()};
    Database database;
    ASSERT_TRUE(database.open(silent.connectionString())) << database.lastError().toStdString();
    QElapsedTimer timer;
    timer.start();
    TextTable rows;
    EXPECT_FALSE(database.query(QStringLiteral("select 1"), &rows));
    EXPECT_GE(timer.elapsed(), kStatementLimitMs);
    EXPECT_LT(timer.elapsed(), kServerLostLimitMs);
    EXPECT_TRUE(database.lastError().startsWith(QStringLiteral("ADO 错误：0x80004005，")))
        << database.lastError().toStdString();
}

TEST_F(OdbcServerTest, AStatementHeldUpByAnotherSessionsLockIsGivenUp)
{
    const QString table = createTable(QStringLiteral("id int4"));
    runSql(QStringLiteral("insert into %1 values (1)").arg(table));
    DbError error;
    ASSERT_TRUE(m_client.beginTransaction(error));
    runSql(QStringLiteral("lock table %1 in access exclusive mode").arg(table));

    Database other;
    ASSERT_TRUE(other.open(m_connect)) << other.lastError().toStdString();
    QElapsedTimer timer;
    timer.start();
    TextTable rows;
    EXPECT_FALSE(other.query(QStringLiteral("select * from %1").arg(table), &rows));
    EXPECT_GE(timer.elapsed(), kStatementLimitMs - 1000);
    EXPECT_LT(timer.elapsed(), kStatementLimitMs + kSlackMs);
    EXPECT_TRUE(other.lastError().startsWith(QStringLiteral("ADO 错误：0x80004005，")))
        << other.lastError().toStdString();
    ASSERT_TRUE(m_client.rollbackTransaction(error)) << description(error).toStdString();
}

TEST_F(OdbcServerTest, AStatementOnAStoppedServerEndsAndCommitsNothing)
{
    const QString table = createTable(QStringLiteral("id int4"));
    Database stopped;
    ASSERT_TRUE(stopped.open(m_connect)) << stopped.lastError().toStdString();
    QStringList backend;
    ASSERT_TRUE(stopped.queryColumn(QStringLiteral("select pg_backend_pid()"), &backend));
    const pid_t pid = backend.value(0).toInt();
    ASSERT_TRUE(stopped.beginTransaction() && stopped.execute(QStringLiteral("insert into %1 values (1)").arg(table)));

    // Stopped while it runs a statement, as a server that hangs; resumed when the statement
    // has ended, or once it is plain that it would not.
    std::promise<void> ended;
    std::thread stopper([pid, over = ended.get_future()] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        kill(pid, SIGSTOP);
        over.wait_for(std::chrono::milliseconds(kServerLostLimitMs + kSlackMs));
        kill(pid, SIGCONT);
    });
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(stopped.execute(QStringLiteral("insert into %1 select 2 from pg_sleep(1)").arg(table)));
    const qint64 elapsed = timer.elapsed();
    ended.set_value();
    stopper.join();
    EXPECT_GE(elapsed, kStatementLimitMs);
    EXPECT_LT(elapsed, kServerLostLimitMs);
    EXPECT_TRUE(stopped.lastError().startsWith(QStringLiteral("ADO 错误：0x80004005，")))
        << stopped.lastError().toStdString();
    // The connection is gone, and with it what it had not committed: a commit fails with the
    // reason it was lost, whatever the driver would make of it.
    const QString lost = stopped.lastError();
    EXPECT_FALSE(stopped.commitTransaction());
    EXPECT_EQ(stopped.lastError(), lost);
    EXPECT_TRUE(stopped.connectionLost()) << "a batch on it stops";
    EXPECT_EQ(count(table), 0);
}
