#include "tests/e2e/KorvelServerTest.h"

#include "config/ConnectionSettings.h"
#include "db/client/ConnectionString.h"
#include "demodata/DemoDatabase.h"
#include "demodata/DemoServerData.h"
#include "tests/support/OutcomeChecks.h"
#include "tests/support/TestFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QUuid>

namespace korvel {

namespace {

// The data sources that the tests' settings name, one a server.
const QString kPostgreSqlDataSource = QStringLiteral("KorvelTest");
const QString kSqlServerDataSource = QStringLiteral("KorvelTestSqlServer");

// The template database that scripts/postgres loads with db/schema/postgresql.sql.
const QString kTemplateDatabase = QStringLiteral("korvel_schema");

QMap<QString, QString> serverAttributes(const QString& connectionString)
{
    QMap<QString, QString> attributes;
    (void)parseConnectionString(connectionString, attributes);
    return attributes;
}

QString unbraced(const QString& name)
{
    return name.startsWith(QLatin1Char('{')) && name.endsWith(QLatin1Char('}')) ? name.mid(1, name.size() - 2) : name;
}

// The drivers and data sources as the README tells a user to set them up, in files of the
// process's own: odbcinst.ini names the drivers (the libraries as Debian's odbc-postgresql
// and tdsodbc install them), psqlODBC's with its log off, since Debian's own entry turns
// the communication log on, which leaves a file in /tmp per process; odbc.ini a data source
// for each server with the options Korvel needs. unixODBC reads them when a connection
// first names a driver, so they are written before any.
void installDataSources()
{
    static QTemporaryDir folder;
    static bool installed = false;
    if (installed)
        return;
    QString drivers = QStringLiteral("[FreeTDS]\nDriver = libtdsodbc.so\n");
    QString sources;
    const QMap<QString, QString> postgreSql = serverAttributes(testServerConnectionString());
    if (!postgreSql.isEmpty()) {
        const QString driver = unbraced(postgreSql.value(QStringLiteral("driver")));
        drivers += QStringLiteral("[%1]\nDriver = psqlodbcw.so\nCommLog = 0\nDebug = 0\n").arg(driver);
        sources += QStringLiteral("[%1]\nDriver = %2\nServername = %3\nPort = %4\n"
                                  "BoolsAsChar = 0\nMaxVarcharSize = 8000\nByteaAsLongVarBinary = 1\n")
                       .arg(kPostgreSqlDataSource, driver, postgreSql.value(QStringLiteral("server")),
                            postgreSql.value(QStringLiteral("port")));
    }
    const QMap<QString, QString> sqlServer = serverAttributes(sqlServerTestServer().connect);
    if (!sqlServer.isEmpty()) {
        sources += QStringLiteral("[%1]\nDriver = FreeTDS\nServer = %2\nPort = %3\nTDS_Version = 7.4\n"
                                  "ClientCharset = UTF-8\n")
                       .arg(kSqlServerDataSource, sqlServer.value(QStringLiteral("server")),
                            sqlServer.value(QStringLiteral("port"), QStringLiteral("1433")));
    }
    writeTestFile(folder.filePath(QStringLiteral("odbcinst.ini")), drivers.toUtf8());
    writeTestFile(folder.filePath(QStringLiteral("odbc.ini")), sources.toUtf8());
    qputenv("ODBCSYSINI", QFile::encodeName(folder.path()));
    qputenv("ODBCINI", QFile::encodeName(folder.filePath(QStringLiteral("odbc.ini"))));
    installed = true;
}

QString valueText(const DbValue& value)
{
    switch (value.kind) {
    case DbValue::Kind::Null: return QStringLiteral("NULL");
    case DbValue::Kind::Bytes:
        return QLatin1String("X'") + QString::fromLatin1(value.bytes.toHex()) + QLatin1Char('\'');
    case DbValue::Kind::Text: return QLatin1Char('\'') + value.text + QLatin1Char('\'');
    }
    return QString();
}

} // namespace

std::string testServerName(const ::testing::TestParamInfo<TestServerKind>& info)
{
    return info.param == TestServerKind::SqlServer ? "SqlServer" : "PostgreSql";
}

void PrintTo(TestServerKind kind, std::ostream* stream)
{
    *stream << testServerName({kind, 0});
}

void KorvelServerTest::SetUp()
{
    installDataSources();
    connectTo(onSqlServer() ? sqlServerTestServer() : postgreSqlTestServer());
    if (IsSkipped() || HasFatalFailure())
        return;
    // Tests run in parallel processes: each has a database of its own.
    const QString name = QStringLiteral("korvel_e2e_%1").arg(QUuid::createUuid().toString(QUuid::Id128));
    const QString create = onSqlServer() ? QStringLiteral("create database %1").arg(name)
                                         : QStringLiteral("create database %1 template %2").arg(name, kTemplateDatabase);
    DbError error;
    qint64 rows = 0;
    ASSERT_TRUE(m_client.execute(create, rows, error))
        << create.toStdString() << ": " << error.description.value_or(QString()).toStdString();
    m_databaseName = name;
    ASSERT_TRUE(m_client.open(withAttribute(m_connect, QStringLiteral("Database"), name), error))
        << error.description.value_or(QString()).toStdString();
    if (onSqlServer())
        runSql(QString::fromUtf8(readTestFile(QStringLiteral(KORVEL_SCHEMA_DIR "/sqlserver.sql"))));
    m_folder.writeSettings(serverSettings());
}

void KorvelServerTest::TearDown()
{
    if (!m_databaseName.isEmpty()) {
        DbError error;
        ASSERT_TRUE(m_client.open(m_connect, error)) << error.description.value_or(QString()).toStdString();
        // The program's connections may still be going away on the server: force ends them.
        // Force may not end an autovacuum worker of the server's own role, which the plain
        // drop does end.
        qint64 rows = 0;
        if (onSqlServer() ||
            !m_client.execute(QStringLiteral("drop database %1 with (force)").arg(m_databaseName), rows, error))
            runSql(QStringLiteral("drop database %1").arg(m_databaseName));
    }
    OdbcServerTest::TearDown();
}

ConnectionSettings KorvelServerTest::serverSettings(const QString& provider) const
{
    if (onSqlServer()) {
        const ConnectionSettings server = sqlServerTestSettings().value_or(ConnectionSettings());
        return {server.hostName, m_databaseName, server.userName, server.password, server.instance, provider};
    }
    const QMap<QString, QString> server = serverAttributes(m_connect);
    return {kPostgreSqlDataSource,
            m_databaseName,
            server.value(QStringLiteral("uid")),
            server.value(QStringLiteral("pwd")),
            QString(),
            provider.isEmpty() ? settingsProvider() : provider};
}

ConnectionSettings KorvelServerTest::dataSourceSettings() const
{
    ConnectionSettings settings = serverSettings(QStringLiteral("MSDASQL"));
    if (onSqlServer()) {
        settings.hostName = kSqlServerDataSource;
        settings.instance.clear();
    }
    return settings;
}

void KorvelServerTest::copyDemoDatabase()
{
    const DemoOptions options;
    ASSERT_TRUE(succeeded(createDemoDatabase(demoPath(), options)));
    ASSERT_TRUE(succeeded(copyEmbeddedRows(demoPath(), connectionString())));
}

QStringList KorvelServerTest::contents(const QStringList& tables)
{
    QStringList contents;
    for (const QString& table : tables) {
        for (const QList<DbValue>& row : queryRows(QStringLiteral("select * from %1").arg(table))) {
            QStringList values;
            for (const DbValue& value : row)
                values.append(valueText(value));
            contents.append(table + QLatin1Char(':') + values.join(QLatin1Char('|')));
        }
    }
    contents.sort();
    return contents;
}

QStringList KorvelServerTest::firstColumnOf(const QString& sql)
{
    QStringList values;
    for (const QList<DbValue>& row : queryRows(sql))
        values.append(row.value(0).text);
    return values;
}

QString KorvelServerTest::connectionString(const QString& provider) const
{
    return buildConnectionString(serverSettings(provider));
}

void KorvelServerTest::endOtherSessions()
{
    if (!onSqlServer()) {
        runSql(QStringLiteral("select pg_terminate_backend(pid) from pg_stat_activity"
                           " where datname = current_database() and pid <> pg_backend_pid()"));
        return;
    }
    for (const QString& session : firstColumnOf(
             QStringLiteral("select distinct spid from sys.sysprocesses where dbid = db_id() and spid <> @@spid")))
        runSql(QStringLiteral("kill %1").arg(session));
}

QString KorvelServerTest::scalar(const QString& sql)
{
    const QList<QList<DbValue>> rows = queryRows(sql);
    if (rows.isEmpty() || rows[0].isEmpty())
        return QStringLiteral("<none>");
    return rows[0][0].kind == DbValue::Kind::Null ? QStringLiteral("NULL") : rows[0][0].text;
}

} // namespace korvel
