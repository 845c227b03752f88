#pragma once

#include "config/ConnectionSettings.h"
#include "tests/db/odbc/OdbcTestServer.h"
#include "tests/support/ProgramFolder.h"

#include <QStringList>

#include <string>

namespace korvel {

// The servers the end-to-end tests run on, each as Korvel reaches it.
enum class TestServerKind {
    // PostgreSQL through psqlODBC, named as an ODBC data source (MSDASQL).
    PostgreSql,
    // SQL Server's protocol and dialect through FreeTDS, configured as a plant does: the
    // T-SQL server that scripts/test starts, or the SQL Server that KORVEL_TEST_SQLSERVER
    // names.
    SqlServer,
};

// "PostgreSql" or "SqlServer", for the names of the tests.
std::string testServerName(const ::testing::TestParamInfo<TestServerKind>& info);
// The same where GoogleTest prints the parameter.
void PrintTo(TestServerKind kind, std::ostream* stream);

// A Korvel database of the test's own on the server, with Korvel's tables (PostgreSQL: from
// the template that scripts/postgres loads with db/schema/postgresql.sql; SQL Server:
// db/schema/sqlserver.sql) and dropped after the test, and a program folder whose settings
// file reaches it. The fixture's client works on that database beside the program, never
// through the code under test.
class KorvelServerTest : public OdbcServerTest, public ::testing::WithParamInterface<TestServerKind>
{
protected:
    void SetUp() override;
    void TearDown() override;

    bool onSqlServer() const { return GetParam() == TestServerKind::SqlServer; }
    // The provider of the settings: the client that a test's own provider wraps.
    QString settingsProvider() const { return onSqlServer() ? QStringLiteral("sqloledb") : QStringLiteral("MSDASQL"); }

    // The settings of the program folder: on SQL Server without a data source, txtHostName
    // "host,port" as a plant writes it. Another provider puts a client of a test's own
    // (registered with the provider of serverSettings()) over the same connection.
    ConnectionSettings serverSettings(const QString& provider = QString()) const;
    QString settingsPath() const { return m_folder.filePath(kSettingsFileName); }
    // The same database through an ODBC data source of odbc.ini, with the generic provider.
    ConnectionSettings dataSourceSettings() const;

    // The demo database, made afresh, and all of it copied here as korvelctl load-demo does.
    void copyDemoDatabase();
    QString demoPath() const { return m_folder.filePath(QStringLiteral("demo.db")); }

    // Every row of the tables, each as its values' text, sorted: what "the database is as
    // it was" is judged by.
    QStringList contents(const QStringList& tables);
    // The first value of the first row of a query, as text ("NULL" for NULL).
    QString scalar(const QString& sql);
    // The first value of every row of a query, as text.
    QStringList firstColumnOf(const QString& sql);
    // The connection string of the settings, as the program makes it.
    QString connectionString(const QString& provider = QString()) const;
    // Ends every session on the test's database but the fixture's own, as a server that
    // stops ends them.
    void endOtherSessions();

    ProgramFolder m_folder;
    QString m_databaseName;
};

} // namespace korvel
