#pragma once

#include "config/ConnectionSettings.h"
#include "db/client/DbClient.h"
#include "db/odbc/OdbcClient.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <optional>

namespace korvel {

// The OLE DB connection string of the test server (KORVEL_TEST_ODBC_CONNECT, which
// scripts/postgres prints), or empty when none is set.
QString testServerConnectionString();

// A server that tests reach through the generic ODBC client.
struct TestServer
{
    QString connect;       // the OLE DB connection string of a test's own client; empty: none
    QString missing;       // the one line that a test needing the server is skipped with
    bool required = false; // the run must have it: its absence fails the test instead
};

// PostgreSQL through psqlODBC: KORVEL_TEST_ODBC_CONNECT, required by KORVEL_REQUIRE_ODBC=1.
TestServer postgreSqlTestServer();

// The settings file that KORVEL_TEST_SQLSERVER names: a SQL Server login that may create
// databases, reached as the program reaches SQL Server (txtHostName "host,port" or a host
// with txtInstance, txtUserName, txtPasswd, txtDataName the database to start from).
// Nothing when the variable is not set or the file cannot be read.
std::optional<ConnectionSettings> sqlServerTestSettings();

// That SQL Server (the T-SQL server of scripts/test, or a real one) through FreeTDS, required
// by KORVEL_REQUIRE_SQLSERVER=1.
TestServer sqlServerTestServer();

// The connection string with one attribute's value replaced (or added).
QString withAttribute(const QString& connectionString, const QString& keyword, const QString& value);

// Tests against a real server through the generic ODBC client, PostgreSQL unless a test
// connects to another. Without a server they are skipped, unless the run requires it.
class OdbcServerTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Connects the test's client to the server, or skips (fails, when required) without one.
    void connectTo(const TestServer& server);

    // Creates a table with a name no other test uses and drops it after the test.
    QString createTable(const QString& columns);
    void runSql(const QString& sql);
    // Every row of a query, each value in order.
    QList<QList<DbValue>> queryRows(const QString& sql);
    std::unique_ptr<DbCursor> openCursor(const QString& sql);
    qint64 count(const QString& table);

    QString m_connect;
    OdbcClient m_client{OdbcFlavour::Generic};

private:
    QStringList m_tables;
};

} // namespace korvel
