#include "db/client/SqlDialect.h"
#include "tests/db/odbc/OdbcTestServer.h"
#include "tests/support/QtPrinting.h"

using namespace korvel;

namespace {

// Opens a fresh client with the connection string and expects the driver to refuse it.
DbError refusedOpen(const QString& connectionString)
{
    OdbcClient client(OdbcFlavour::Generic);
    DbError error;
    EXPECT_FALSE(client.open(connectionString, error));
    EXPECT_FALSE(client.isOpen());
    EXPECT_EQ(error.code, DbError::kFail);
    EXPECT_TRUE(error.description.has_value());
    return error;
}

QString description(const DbError& error)
{
    return error.description.value_or(QString());
}

TEST_F(OdbcServerTest, OpensClosesAndOpensAgain)
{
    EXPECT_TRUE(m_client.isOpen());
    DbError error;
    ASSERT_TRUE(m_client.close(error));
    EXPECT_FALSE(m_client.isOpen());
    EXPECT_TRUE(m_client.close(error)) << "closing what is closed does nothing";

    ASSERT_TRUE(m_client.open(m_connect, error)) << description(error).toStdString();
    // A second Open replaces the first connection.
    ASSERT_TRUE(m_client.open(m_connect, error)) << description(error).toStdString();
    EXPECT_EQ(queryRows(QStringLiteral("select 1"))[0][0].text, QStringLiteral("1"));
}

TEST_F(OdbcServerTest, PostgreSqlSourceGetsPostgreSqlLiterals)
{
    EXPECT_EQ(m_client.dialect().binaryLiteral(QByteArray::fromHex("0aff")), QStringLiteral("E'\\\\x0AFF'::bytea"));
    DbError error;
    ASSERT_TRUE(m_client.close(error));
    EXPECT_EQ(m_client.dialect().binaryLiteral(QByteArray::fromHex("0aff")), QStringLiteral("X'0AFF'"));
}

TEST_F(OdbcServerTest, CallsOnAClosedClientFindNoObject)
{
    DbError error;
    ASSERT_TRUE(m_client.close(error));
    qint64 rows = 0;
    const auto expectMissing = [](bool result, const DbError& failure) {
        EXPECT_FALSE(result);
        EXPECT_EQ(failure.code, DbError::kPointer);
        EXPECT_FALSE(failure.description.has_value());
    };
    DbError failure;
    expectMissing(m_client.execute(QStringLiteral("select 1"), rows, failure), failure);
    failure = {};
    expectMissing(m_client.openCursor(QStringLiteral("select 1"), failure) != nullptr, failure);
    failure = {};
    expectMissing(m_client.executeWithBinary(QStringLiteral("select ?"), QByteArray("x"), rows, failure), failure);
    failure = {};
    expectMissing(m_client.beginTransaction(failure), failure);
    failure = {};
    expectMissing(m_client.commitTransaction(failure), failure);
    failure = {};
    expectMissing(m_client.rollbackTransaction(failure), failure);
}

TEST_F(OdbcServerTest, WrongPasswordGivesTheServersText)
{
    const DbError error =
        refusedOpen(withAttribute(m_connect, QStringLiteral("PWD"), QStringLiteral("Zq7-not-the-password")));
    EXPECT_TRUE(description(error).contains(QLatin1String("password authentication failed")))
        << description(error).toStdString();
    EXPECT_FALSE(description(error).contains(QLatin1String("Zq7"))) << "the password never shows in a message";
}

TEST_F(OdbcServerTest, WrongPortGivesTheDriversText)
{
    // Port 1 on loopback: nobody listens, the connection is refused at once.
    const DbError error = refusedOpen(withAttribute(m_connect, QStringLiteral("Port"), QStringLiteral("1")));
    EXPECT_TRUE(description(error).contains(QLatin1String("onnect"))) << description(error).toStdString();
}

TEST_F(OdbcServerTest, UnknownDatabaseAndDriverAreRefused)
{
    const DbError database =
        refusedOpen(withAttribute(m_connect, QStringLiteral("Database"), QStringLiteral("no_such_database")));
    EXPECT_TRUE(description(database).contains(QLatin1String("no_such_database"))) << description(database).toStdString();

    const DbError driver =
        refusedOpen(withAttribute(m_connect, QStringLiteral("Driver"), QStringLiteral("{No Such Driver}")));
    EXPECT_FALSE(description(driver).isEmpty());
}

TEST_F(OdbcServerTest, AValueWithBracesReachesTheServer)
{
    const DbError error = refusedOpen(withAttribute(m_connect, QStringLiteral("PWD"), QStringLiteral("\"{a}b}\"")));
    EXPECT_TRUE(description(error).contains(QLatin1String("password authentication failed")))
        << description(error).toStdString();
}

} // namespace

namespace {

// No SQL Server here: the SQL Server flavour is driven as far as FreeTDS's refusal, which
// proves that the translated string reaches the driver and its text comes back.
TEST(OdbcSqlServerFlavourTest, UnreachableServerGivesFreeTdsText)
{
    OdbcClient client(OdbcFlavour::SqlServer);
    DbError error;
    EXPECT_FALSE(client.open(QStringLiteral("Provider=sqloledb;Data Source=127.0.0.1,1;Initial Catalog=db;"
                                            "User Id=sa;Password=\"p;w\";"),
                             error));
    EXPECT_FALSE(client.isOpen());
    EXPECT_EQ(error.code, DbError::kFail);
    const QString text = error.description.value_or(QString());
    EXPECT_TRUE(text.contains(QLatin1String("Unable to connect"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QLatin1String("p;w"))) << "the password never shows in a message";
}

} // namespace
