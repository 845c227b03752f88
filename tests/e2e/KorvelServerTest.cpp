#include "tests/e2e/KorvelServerTest.h"

#include "config/ConnectionSettings.h"
#include "db/client/ConnectionString.h"
#include "demodata/DemoDatabase.h"
#include "tests/support/EmbeddedTestDatabase.h"
#include "tests/support/TestFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QUuid>

#include <sqlite3.h>

namespace {

// The template database that scripts/postgres loads with db/schema/postgresql.sql.
const QString kTemplateDatabase = QStringLiteral("korvel_schema");

QMap<QString, QString> ServerAttributes(const QString& connectionString)
{
    QMap<QString, QString> attributes;
    (void)ParseConnectionString(connectionString, attributes);
    return attributes;
}

// A data source as the README tells a user to set one up, in files of the process's own:
// odbcinst.ini names the driver (the library as Debian's odbc-postgresql installs it) with
// its log off, since Debian's own entry turns the communication log on, which leaves a file
// in /tmp per process; odbc.ini the data source with the options Korvel needs. unixODBC
// reads them when a connection first names the driver, so they are written before any.
void InstallDataSource(const QString& connectionString)
{
    static QTemporaryDir folder;
    static bool installed = false;
    if (installed)
        return;
    const QMap<QString, QString> server = ServerAttributes(connectionString);
    QString driver = server.value(QStringLiteral("driver"));
    if (driver.startsWith(QLatin1Char('{')) && driver.endsWith(QLatin1Char('}')))
        driver = driver.mid(1, driver.size() - 2);
    WriteTestFile(folder.filePath(QStringLiteral("odbcinst.ini")),
                  QStringLiteral("[%1]\nDriver = psqlodbcw.so\nCommLog = 0\nDebug = 0\n").arg(driver).toUtf8());
    WriteTestFile(folder.filePath(QStringLiteral("odbc.ini")),
                  QStringLiteral("[%1]\nDriver = %2\nServername = %3\nPort = %4\n"
                                 "BoolsAsChar = 0\nMaxVarcharSize = 8000\nByteaAsLongVarBinary = 1\n")
                      .arg(kDataSourceName, driver, server.value(QStringLiteral("server")),
                           server.value(QStringLiteral("port")))
                      .toUtf8());
    qputenv("ODBCSYSINI", QFile::encodeName(folder.path()));
    qputenv("ODBCINI", QFile::encodeName(folder.filePath(QStringLiteral("odbc.ini"))));
    installed = true;
}

QString ValueText(const DbValue& value)
{
    switch (value.kind) {
    case DbValue::Kind::Null: return QStringLiteral("NULL");
    case DbValue::Kind::Bytes:
        return QLatin1String("X'") + QString::fromLatin1(value.bytes.toHex()) + QLatin1Char('\'');
    case DbValue::Kind::Text: return QLatin1Char('\'') + value.text + QLatin1Char('\'');
    }
    return QString();
}

// A value of the embedded database as a PostgreSQL literal: quoted text, which the server
// reads as the column's type, or bytea's hexadecimal form.
QString LiteralOfEmbeddedValue(const SqliteValue& value)
{
    switch (value.storageClass) {
    case SQLITE_NULL: return QStringLiteral("NULL");
    case SQLITE_BLOB: return QLatin1String("'\\x") + QString::fromLatin1(value.bytes.toHex()) + QLatin1Char('\'');
    default:
        return QLatin1Char('\'') + QString::fromUtf8(value.bytes).replace(QLatin1Char('\''), QLatin1String("''")) +
               QLatin1Char('\'');
    }
}

// The rows of an embedded table as the values list of one INSERT, or empty without rows.
QString ValuesOfEmbeddedRows(const QString& databasePath, const QString& table, const QString& order)
{
    const EmbeddedTestDatabase database{ExistingFile{databasePath}};
    QStringList rows;
    const QString sql = QStringLiteral("select * from %1 order by %2").arg(table, order);
    for (const QList<SqliteValue>& row : database.values(sql)) {
        QStringList values;
        for (const SqliteValue& value : row)
            values.append(LiteralOfEmbeddedValue(value));
        rows.append(QLatin1Char('(') + values.join(QLatin1Char(',')) + QLatin1Char(')'));
    }
    return rows.join(QLatin1Char(','));
}

} // namespace

void KorvelServerTest::SetUp()
{
    if (!TestServerConnectionString().isEmpty())
        InstallDataSource(TestServerConnectionString());
    OdbcServerTest::SetUp();
    if (IsSkipped() || HasFatalFailure())
        return;
    // Tests run in parallel processes: each has a database of its own.
    const QString name = QStringLiteral("korvel_e2e_%1").arg(QUuid::createUuid().toString(QUuid::Id128));
    DbError error;
    qint64 rows = 0;
    ASSERT_TRUE(m_client.Execute(QStringLiteral("create database %1 template %2").arg(name, kTemplateDatabase), rows,
                                 error))
        << "the test server needs the template " << kTemplateDatabase.toStdString()
        << " that scripts/postgres start makes: " << error.description.value_or(QString()).toStdString();
    m_databaseName = name;
    ASSERT_TRUE(m_client.Open(WithAttribute(m_connect, QStringLiteral("Database"), name), error))
        << error.description.value_or(QString()).toStdString();
    m_folder.writeSettings(Settings());
}

void KorvelServerTest::TearDown()
{
    if (!m_databaseName.isEmpty()) {
        DbError error;
        ASSERT_TRUE(m_client.Open(m_connect, error)) << error.description.value_or(QString()).toStdString();
        // The program's connections may still be going away on the server: force ends them.
        // Force may not end an autovacuum worker of the server's own role, which the plain
        // drop does end.
        qint64 rows = 0;
        if (!m_client.Execute(QStringLiteral("drop database %1 with (force)").arg(m_databaseName), rows, error))
            Run(QStringLiteral("drop database %1").arg(m_databaseName));
    }
    OdbcServerTest::TearDown();
}

ConnectionSettings KorvelServerTest::Settings(const QString& provider) const
{
    const QMap<QString, QString> server = ServerAttributes(m_connect);
    return {kDataSourceName, m_databaseName, server.value(QStringLiteral("uid")), server.value(QStringLiteral("pwd")),
            QString(), provider};
}

void KorvelServerTest::CopyFromEmbedded(const QString& databasePath, const QString& table, const QString& order)
{
    const QString values = ValuesOfEmbeddedRows(databasePath, table, order);
    if (!values.isEmpty())
        Run(QStringLiteral("insert into %1 values %2").arg(table, values));
    // Rows copied with their keys leave an identity column where it was.
    Run(QStringLiteral("do $$ declare c record; begin"
                       " for c in select attname from pg_attribute where attrelid = '%1'::regclass"
                       " and attidentity <> '' loop"
                       " execute format('select setval(pg_get_serial_sequence(%L, %L), coalesce(max(%I), 0) + 1, false)"
                       " from %I', '%1', c.attname, c.attname, '%1');"
                       " end loop; end $$")
            .arg(table.toLower()));
}

void KorvelServerTest::CopyDemoDatabase()
{
    const DemoOptions options;
    QString error;
    ASSERT_TRUE(CreateDemoDatabase(DemoPath(), options, error)) << error.toStdString();
    // In the order of their keys, which is the order in which the embedded engine gives
    // rows back through its indexes; parents before children.
    const struct
    {
        const char* table;
        const char* order;
    } tables[] = {
        {"tblUserInfo", "UserID"},
        {"tblHarnessInfo", "HarnessID"},
        {"tblHarnessWireInfo", "HarnessID, WireNo"},
        {"tblJobInfo", "JobID"},
        {"tblJobStepInfo", "JobID, LineID"},
        {"tblLabelInfo", "LabelID"},
        {"tblLabelControls", "LabelID, ControlNo"},
        {"tblLabelControlItem", "ItemID"},
    };
    for (const auto& table : tables)
        CopyFromEmbedded(DemoPath(), QString::fromUtf8(table.table), QString::fromUtf8(table.order));
}

QStringList KorvelServerTest::Contents(const QStringList& tables)
{
    QStringList contents;
    for (const QString& table : tables) {
        for (const QList<DbValue>& row : Rows(QStringLiteral("select * from %1").arg(table))) {
            QStringList values;
            for (const DbValue& value : row)
                values.append(ValueText(value));
            contents.append(table + QLatin1Char(':') + values.join(QLatin1Char('|')));
        }
    }
    contents.sort();
    return contents;
}

QStringList KorvelServerTest::FirstColumnOf(const QString& sql)
{
    QStringList values;
    for (const QList<DbValue>& row : Rows(sql))
        values.append(row.value(0).text);
    return values;
}

QString KorvelServerTest::ConnectionString(const QString& provider) const
{
    return BuildConnectionString(Settings(provider));
}

QString KorvelServerTest::Scalar(const QString& sql)
{
    const QList<QList<DbValue>> rows = Rows(sql);
    if (rows.isEmpty() || rows[0].isEmpty())
        return QStringLiteral("<none>");
    return rows[0][0].kind == DbValue::Kind::Null ? QStringLiteral("NULL") : rows[0][0].text;
}
