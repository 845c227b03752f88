#include "config/ConnectionSettings.h"
#include "config/ConnectionString.h"
#include "db/client/ConnectionString.h"

#include "tests/support/QtPrinting.h"

#include <gtest/gtest.h>

namespace {

ConnectionSettings Settings(const QString& host, const QString& database, const QString& user,
                            const QString& password, const QString& instance)
{
    ConnectionSettings settings;
    settings.hostName = host;
    settings.dataName = database;
    settings.userName = user;
    settings.password = password;
    settings.instance = instance;
    return settings;
}

QMap<QString, QString> Parsed(const QString& connectionString)
{
    QMap<QString, QString> attributes;
    EXPECT_TRUE(ParseConnectionString(connectionString, attributes)) << connectionString.toStdString();
    return attributes;
}

} // namespace

TEST(ConnectionString, HasTheSqlServerFormWithAndWithoutInstance)
{
    EXPECT_EQ(BuildConnectionString(Settings("srv", "TestDb", "sa", "pw", "")),
              QStringLiteral("Provider=sqloledb;Data Source=srv;Initial Catalog=TestDb;User Id=sa;Password=pw;"));
    EXPECT_EQ(BuildConnectionString(Settings("srv", "TestDb", "sa", "pw", "SQLEXPRESS")),
              QStringLiteral("Provider=sqloledb;Data Source=srv\\SQLEXPRESS;Initial Catalog=TestDb;User Id=sa;Password=pw;"));
    EXPECT_EQ(BuildConnectionString(Settings("srv", "TestDb", "", "", "")),
              QStringLiteral("Provider=sqloledb;Data Source=srv;Initial Catalog=TestDb;User Id=;Password=;"));
}

TEST(ConnectionString, PlainValuesStandAsTheyAre)
{
    // '=', backslashes, inner blanks and other scripts need no quotes in OLE DB strings.
    const ConnectionSettings settings = Settings("10.0.0.5,1433", "线束 库", "dom\\user", "a=b+c", "");
    EXPECT_EQ(BuildConnectionString(settings),
              QStringLiteral("Provider=sqloledb;Data Source=10.0.0.5,1433;Initial Catalog=线束 库;"
                             "User Id=dom\\user;Password=a=b+c;"));
}

TEST(ConnectionString, ValuesThatWouldBreakTheStringAreQuotedAndArriveIntact)
{
    const QStringList awkward = {QStringLiteral("pa;ss"),  QStringLiteral("it's"),       QStringLiteral("say \"hi\""),
                                 QStringLiteral("both ' and \" ;"), QStringLiteral(" lead"), QStringLiteral("trail "),
                                 QStringLiteral("x;Provider=evil"), QStringLiteral("\"")};
    for (const QString& value : awkward) {
        ConnectionSettings settings = Settings(value, value, value, value, "");
        settings.provider = value;
        const QString built = BuildConnectionString(settings);
        const QMap<QString, QString> attributes = Parsed(built);
        EXPECT_EQ(attributes.value("provider"), value) << built.toStdString();
        EXPECT_EQ(attributes.value("data source"), value) << built.toStdString();
        EXPECT_EQ(attributes.value("initial catalog"), value);
        EXPECT_EQ(attributes.value("user id"), value);
        EXPECT_EQ(attributes.value("password"), value);
        EXPECT_EQ(attributes.size(), 5) << built.toStdString();
    }
    EXPECT_EQ(BuildConnectionString(Settings("srv", "db", "u", "pa;ss", "")),
              QStringLiteral("Provider=sqloledb;Data Source=srv;Initial Catalog=db;User Id=u;Password=\"pa;ss\";"));
}

TEST(ConnectionString, AnInstanceOfOneBlankIsNotEmpty)
{
    const QString built = BuildConnectionString(Settings("srv", "db", "u", "p", " "));
    EXPECT_EQ(Parsed(built).value("data source"), QStringLiteral("srv\\ "));
}

TEST(ConnectionString, TheEmbeddedEngineNamesOnlyItsFile)
{
    ConnectionSettings settings = Settings("/data/korvel demo.db", "ignored", "u", "p", "inst");
    settings.provider = QStringLiteral("sqlite");
    EXPECT_EQ(BuildConnectionString(settings), QStringLiteral("Provider=sqlite;Data Source=/data/korvel demo.db;"));
    settings.provider = QStringLiteral("MSOLEDBSQL");
    EXPECT_TRUE(BuildConnectionString(settings).startsWith(QStringLiteral("Provider=MSOLEDBSQL;Data Source=/data/korvel demo.db\\inst;")));
}
