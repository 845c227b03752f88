#include "tests/db/odbc/OdbcTestServer.h"

#include "db/client/ConnectionString.h"
#include "db/odbc/SqlServerBrowser.h"
#include "tests/support/QtPrinting.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QUuid>

namespace korvel {

QString testServerConnectionString()
{
    return qEnvironmentVariable("KORVEL_TEST_ODBC_CONNECT");
}

QString withAttribute(const QString& connectionString, const QString& keyword, const QString& value)
{
    QString changed = connectionString;
    const QRegularExpression attribute(QStringLiteral("(^|;)%1=[^;]*").arg(QRegularExpression::escape(keyword)),
                                       QRegularExpression::CaseInsensitiveOption);
    if (changed.contains(attribute))
        return changed.replace(attribute, QStringLiteral("\\1%1=%2").arg(keyword, value));
    if (!changed.endsWith(QLatin1Char(';')))
        changed += QLatin1Char(';');
    return changed + keyword + QLatin1Char('=') + value + QLatin1Char(';');
}

TestServer postgreSqlTestServer()
{
    const bool required = qEnvironmentVariable("KORVEL_REQUIRE_ODBC") == QLatin1String("1");
    return {testServerConnectionString(),
            required ? QStringLiteral("KORVEL_REQUIRE_ODBC=1 but KORVEL_TEST_ODBC_CONNECT is not set "
                                      "(scripts/postgres start DIR)")
                     : QStringLiteral("no test server: set KORVEL_TEST_ODBC_CONNECT (scripts/postgres start DIR)"),
            required};
}

std::optional<ConnectionSettings> sqlServerTestSettings()
{
    const QString path = qEnvironmentVariable("KORVEL_TEST_SQLSERVER");
    ConnectionSettings settings;
    if (path.isEmpty() || !loadConnectionSettings(path, settings))
        return std::nullopt;
    return settings;
}

TestServer sqlServerTestServer()
{
    const bool required = qEnvironmentVariable("KORVEL_REQUIRE_SQLSERVER") == QLatin1String("1");
    TestServer server{QString(),
                      QStringLiteral("no SQL Server: set KORVEL_TEST_SQLSERVER to a settings file of a login that may "
                                     "create databases (scripts/test starts a T-SQL server from ../shared/tsql-server)"),
                      required};
    const std::optional<ConnectionSettings> settings = sqlServerTestSettings();
    if (!settings) {
        if (!qEnvironmentVariable("KORVEL_TEST_SQLSERVER").isEmpty()) {
            server.missing = QStringLiteral("KORVEL_TEST_SQLSERVER names no settings file that can be read");
            server.required = true;
        }
        return server;
    }
    // The host and port as FreeTDS takes them: "host,port", or a named instance's port as
    // its Browser gives it.
    QString host = settings->hostName.section(QLatin1Char(','), 0, 0).trimmed();
    QString port = settings->hostName.section(QLatin1Char(','), 1).trimmed();
    if (port.isEmpty() && !settings->instance.isEmpty()) {
        quint16 instancePort = 0;
        QString error;
        if (!lookUpInstancePort(host, settings->instance, 15000, instancePort, error)) {
            server.missing = QStringLiteral("KORVEL_TEST_SQLSERVER: ") + error;
            server.required = true;
            return server;
        }
        port = QString::number(instancePort);
    }
    const auto quoted = quoteConnectionStringValue;
    server.connect = QStringLiteral("Provider=MSDASQL;Driver=FreeTDS;Server=%1;Database=%2;UID=%3;PWD=%4;"
                                    "TDS_Version=7.4;ClientCharset=UTF-8;")
                         .arg(quoted(host), quoted(settings->dataName), quoted(settings->userName),
                              quoted(settings->password));
    if (!port.isEmpty())
        server.connect += QStringLiteral("Port=%1;").arg(port);
    return server;
}

void OdbcServerTest::SetUp()
{
    connectTo(postgreSqlTestServer());
}

void OdbcServerTest::connectTo(const TestServer& server)
{
    m_connect = server.connect;
    if (m_connect.isEmpty()) {
        if (server.required)
            FAIL() << server.missing.toStdString();
        GTEST_SKIP() << server.missing.toStdString();
    }
    DbError error;
    ASSERT_TRUE(m_client.open(m_connect, error)) << error.description.value_or(QString()).toStdString();
}

void OdbcServerTest::TearDown()
{
    if (m_connect.isEmpty())
        return;
    DbError error;
    qint64 rows = 0;
    if (!m_client.isOpen()) {
        ASSERT_TRUE(m_client.open(m_connect, error)) << error.description.value_or(QString()).toStdString();
    }
    for (const QString& table : std::as_const(m_tables))
        EXPECT_TRUE(m_client.execute(QStringLiteral("drop table %1").arg(table), rows, error)) << table.toStdString();
    EXPECT_TRUE(m_client.close(error));
}

QString OdbcServerTest::createTable(const QString& columns)
{
    // Tests run in parallel processes against one database.
    const QString name = QStringLiteral("odbc_test_%1").arg(QUuid::createUuid().toString(QUuid::Id128));
    runSql(QStringLiteral("create table %1 (%2)").arg(name, columns));
    m_tables.append(name);
    return name;
}

void OdbcServerTest::runSql(const QString& sql)
{
    DbError error;
    qint64 rows = 0;
    ASSERT_TRUE(m_client.execute(sql, rows, error))
        << sql.left(200).toStdString() << ": " << error.description.value_or(QString()).toStdString();
}

std::unique_ptr<DbCursor> OdbcServerTest::openCursor(const QString& sql)
{
    DbError error;
    std::unique_ptr<DbCursor> cursor = m_client.openCursor(sql, error);
    EXPECT_TRUE(cursor) << sql.toStdString() << ": " << error.description.value_or(QString()).toStdString();
    return cursor;
}

QList<QList<DbValue>> OdbcServerTest::queryRows(const QString& sql)
{
    QList<QList<DbValue>> rows;
    std::unique_ptr<DbCursor> cursor = openCursor(sql);
    if (!cursor)
        return rows;
    DbError error;
    while (!cursor->atEnd()) {
        QList<DbValue> row;
        for (int field = 0; field < cursor->fieldCount(); ++field) {
            DbValue value;
            EXPECT_TRUE(cursor->readValue(field, value, error));
            row.append(value);
        }
        rows.append(row);
        EXPECT_TRUE(cursor->moveNext(error));
    }
    return rows;
}

qint64 OdbcServerTest::count(const QString& table)
{
    const QList<QList<DbValue>> rows = queryRows(QStringLiteral("select count(*) from %1").arg(table));
    return rows.isEmpty() ? -1 : rows[0][0].text.toLongLong();
}

} // namespace korvel
