#include "db/client/ConnectionString.h"
#include "db/odbc/OdbcConnectionString.h"
#include "tests/support/QtPrinting.h"

#include <gtest/gtest.h>

using namespace korvel;

namespace {

const QStringList kFreeTdsOnly = {QStringLiteral("FreeTDS"), QStringLiteral("PostgreSQL Unicode")};
// What FreeTDS is always given after the attributes of the settings.
const QString kFreeTdsTail = QStringLiteral("ClientCharset=UTF-8;TDS_Version=7.4;");

QString forSqlServer(const QString& oleDb, const QStringList& drivers = kFreeTdsOnly)
{
    QString odbc;
    QString error;
    EXPECT_TRUE(translateConnectionString(oleDb, OdbcFlavour::SqlServer, drivers, odbc, error)) << error.toStdString();
    return odbc;
}

QString forGeneric(const QString& oleDb)
{
    QString odbc;
    QString error;
    EXPECT_TRUE(translateConnectionString(oleDb, OdbcFlavour::Generic, {}, odbc, error)) << error.toStdString();
    return odbc;
}

QString refusalOf(const QString& oleDb, OdbcFlavour flavour)
{
    QString odbc = QStringLiteral("untouched");
    QString error;
    EXPECT_FALSE(translateConnectionString(oleDb, flavour, kFreeTdsOnly, odbc, error));
    EXPECT_EQ(odbc, QStringLiteral("untouched"));
    return error;
}

TEST(OdbcFlavourTest, ProvidersAreRecognisedInAnyCaseAndVersion)
{
    for (const char* provider : {"sqloledb", "SQLOLEDB", "SQLOLEDB.1", "MSOLEDBSQL", "msoledbsql.19", "SQLNCLI11"})
        EXPECT_TRUE(isSqlServerProvider(QString::fromLatin1(provider))) << provider;
    for (const char* provider : {"MSDASQL", "sqlite", "", "sqloledbx", "SQLNCLI"})
        EXPECT_FALSE(isSqlServerProvider(QString::fromLatin1(provider))) << provider;

    for (const char* provider : {"MSDASQL", "msdasql", "MSDASQL.1"})
        EXPECT_TRUE(isGenericOdbcProvider(QString::fromLatin1(provider))) << provider;
    for (const char* provider : {"sqloledb", "sqlite", "", "MSDASQLX"})
        EXPECT_FALSE(isGenericOdbcProvider(QString::fromLatin1(provider))) << provider;
}

TEST(OdbcConnectionStringTest, SqlServerNamedInstanceGoesToFreeTdsAsTheBrowsersPort)
{
    const QString oleDb = QStringLiteral("Provider=sqloledb;Data Source=srv\\SQLEXPRESS;Initial Catalog=db;"
                                         "User Id=sa;Password=secret;");
    QStringList asked;
    const InstancePortLookup browser = [&asked](const QString& host, const QString& instance, quint16& port, QString&) {
        asked << host + QLatin1Char('|') + instance;
        port = 49712;
        return true;
    };
    QString odbc;
    QString error;
    ASSERT_TRUE(translateConnectionString(oleDb, OdbcFlavour::SqlServer, kFreeTdsOnly, odbc, error, browser));
    EXPECT_EQ(odbc, QStringLiteral("Driver=FreeTDS;Server=srv;Port=49712;Database=db;UID=sa;PWD=secret;") + kFreeTdsTail);
    EXPECT_EQ(asked, QStringList{"srv|SQLEXPRESS"});

    const InstancePortLookup silent = [](const QString&, const QString&, quint16&, QString& failure) {
        failure = QStringLiteral("no answer");
        return false;
    };
    EXPECT_FALSE(translateConnectionString(oleDb, OdbcFlavour::SqlServer, kFreeTdsOnly, odbc, error, silent));
    EXPECT_EQ(error, QStringLiteral("no answer"));
    // Microsoft's driver asks the browser itself.
    ASSERT_TRUE(translateConnectionString(oleDb, OdbcFlavour::SqlServer, {QStringLiteral("ODBC Driver 18 for SQL Server")},
                                          odbc, error, silent));
    EXPECT_TRUE(odbc.contains(QLatin1String(";Server=srv\\SQLEXPRESS;")));
}

TEST(OdbcConnectionStringTest, SqlServerAttributesBecomeFreeTdsOnes)
{
    const struct
    {
        const char* oleDb;
        const char* odbc; // before kFreeTdsTail
    } cases[] = {
        {"Data Source=10.1.2.3;Initial Catalog=db;User Id=sa;Password=p;",
         "Driver=FreeTDS;Server=10.1.2.3;Database=db;UID=sa;PWD=p;"},
        // This machine is localhost; without a Browser to ask, FreeTDS asks itself.
        {"Data Source=(local)\\SQLEXPRESS;", "Driver=FreeTDS;Server=localhost\\SQLEXPRESS;"},
        {"Data Source=.;", "Driver=FreeTDS;Server=localhost;"},
        {"Data Source=.hidden;", "Driver=FreeTDS;Server=.hidden;"},
        // Values that would break the string go in braces, as buildConnectionString quotes
        // them; other punctuation needs none.
        {"Data Source=srv;Initial Catalog=\"my;db\";User Id=\" sa\";Password=\"pa;ss \";",
         "Driver=FreeTDS;Server=srv;Database={my;db};UID={ sa};PWD={pa;ss };"},
        {"Password={abc;", "Driver=FreeTDS;PWD={{abc};"},
        {"Password='a\"b=c{';", "Driver=FreeTDS;PWD=a\"b=c{;"},
        // An empty user and password stay, missing ones are left out.
        {"Data Source=srv;Initial Catalog=db;User Id=;Password=;", "Driver=FreeTDS;Server=srv;Database=db;UID=;PWD=;"},
        {"Data Source=srv;", "Driver=FreeTDS;Server=srv;"},
        // The synonyms; the OLE DB keyword wins over its synonym; what only OLE DB knows
        // is not passed on.
        {"Server=h;Database=d;UID=u;PWD=p", "Driver=FreeTDS;Server=h;Database=d;UID=u;PWD=p;"},
        {" address = h ; database=d;User ID=u;pwd=p;", "Driver=FreeTDS;Server=h;Database=d;UID=u;PWD=p;"},
        {"Server=other;Data Source=h;Database=x;Initial Catalog=d;UID=x;User Id=u;PWD=x;Password=p;",
         "Driver=FreeTDS;Server=h;Database=d;UID=u;PWD=p;"},
        {"Data Source=h;Initial Catalog=d;User Id=u;Password=p;Persist Security Info=False;",
         "Driver=FreeTDS;Server=h;Database=d;UID=u;PWD=p;"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(forSqlServer(QStringLiteral("Provider=sqloledb;") + QString::fromUtf8(c.oleDb)),
                  QString::fromUtf8(c.odbc) + kFreeTdsTail)
            << c.oleDb;
    }
}

TEST(OdbcConnectionStringTest, EachDriverReadsAPasswordAsItWasTyped)
{
    // FreeTDS 1.3 ends a braced value at the first "}" before ";" and keeps "}}"; ODBC's
    // rule, which Microsoft's driver and psqlODBC follow, makes "}}" one "}". psqlODBC reads
    // "%41" and "+" in a password without braces as "A" and a blank.
    const QStringList microsoft = {QStringLiteral("ODBC Driver 17 for SQL Server")};
    const struct
    {
        const char* password;
        const char* freeTds;  // PWD's value for FreeTDS
        const char* standard; // for Microsoft's driver and any other
    } cases[] = {
        {"a}b", "a}b", "a}b"},
        {"ab}", "ab}", "ab}"},
        {"{abc}", "{{abc}}", "{{abc}}}"},
        {"p;q}r", "{p;q}r}", "{p;q}}r}"},
        {" a}", "{ a}}", "{ a}}}"},
        {"x%41+y", "x%41+y", "{x%41+y}"},
        {"{", "{{}", "{{}"},
    };
    for (const auto& c : cases) {
        const QString oleDb = QStringLiteral("Provider=sqloledb;Password=") +
                              quoteConnectionStringValue(QString::fromUtf8(c.password)) + QLatin1Char(';');
        EXPECT_EQ(forSqlServer(oleDb), QStringLiteral("Driver=FreeTDS;PWD=%1;").arg(QString::fromUtf8(c.freeTds)) + kFreeTdsTail)
            << c.password;
        EXPECT_EQ(forSqlServer(oleDb, microsoft),
                  QStringLiteral("Driver=ODBC Driver 17 for SQL Server;PWD=%1;").arg(QString::fromUtf8(c.standard)))
            << c.password;
    }
}

TEST(OdbcConnectionStringTest, GenericWritesValuesAsTheSourcesDriverReadsThem)
{
    const QString oleDb = QStringLiteral("Provider=MSDASQL;Data Source=plant;Password={abc};");
    QStringList asked;
    const auto translated = [&](const QString& library) {
        const DriverLibraryLookup libraryOf = [&](const QString& driver, const QString& dataSource) {
            asked << driver + QLatin1Char('|') + dataSource;
            return library;
        };
        QString odbc;
        QString error;
        EXPECT_TRUE(translateConnectionString(oleDb, OdbcFlavour::Generic, {}, odbc, error, nullptr, libraryOf))
            << error.toStdString();
        return odbc;
    };
    EXPECT_EQ(translated(QStringLiteral("/usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so")),
              QStringLiteral("dsn=plant;pwd={{abc}};"));
    EXPECT_EQ(translated(QStringLiteral("psqlodbcw.so")), QStringLiteral("dsn=plant;pwd={{abc}}};"));
    EXPECT_EQ(asked, QStringList({"|plant", "|plant"}));
    // Only a driver's name may come in ODBC's braces already.
    EXPECT_EQ(forGeneric(QStringLiteral("Provider=MSDASQL;Driver={FreeTDS};DSN=a}b;PWD={a}b};")),
              QStringLiteral("driver={FreeTDS};dsn=a}b;pwd={{a}}b}}};"));
}

TEST(OdbcConnectionStringTest, WhatFreeTdsCannotBeGivenIsRefusedNamingTheKeyword)
{
    const QString error = refusalOf(QStringLiteral("Provider=sqloledb;Data Source=srv;Password=\"a};b\";"),
                                    OdbcFlavour::SqlServer);
    EXPECT_TRUE(error.contains(QLatin1String("PWD"))) << error.toStdString();
    EXPECT_FALSE(error.contains(QLatin1String("a};b"))) << "the password must not be shown";

    for (const char* server : {"srv,", "srv,0", "srv,65536", "srv,14x"}) {
        const QString refusal = refusalOf(QStringLiteral("Provider=sqloledb;Data Source=%1;").arg(QLatin1String(server)),
                                          OdbcFlavour::SqlServer);
        EXPECT_TRUE(refusal.contains(QStringLiteral("端口"))) << server;
    }
}

TEST(OdbcConnectionStringTest, UnparsableStringIsRefused)
{
    EXPECT_FALSE(refusalOf(QStringLiteral("Provider=sqloledb;Password=\"open;"), OdbcFlavour::SqlServer).isEmpty());
    EXPECT_FALSE(refusalOf(QStringLiteral("Provider=MSDASQL;junk;"), OdbcFlavour::Generic).isEmpty());
}

TEST(OdbcConnectionStringTest, AServersPortGoesToEachDriverInItsOwnForm)
{
    const QStringList microsoft = {QStringLiteral("ODBC Driver 17 for SQL Server")};
    const struct
    {
        const char* dataSource;
        const char* freeTds;   // FreeTDS takes the port as a keyword of its own
        const char* microsoft; // Microsoft's driver takes SQL Server's own form
    } cases[] = {
        {"10.1.2.3,14330", "Server=10.1.2.3;Port=14330;", "Server=10.1.2.3,14330;"},
        {"srv\\SQLEXPRESS, 1500 ", "Server=srv;Port=1500;", "Server=srv\\SQLEXPRESS, 1500;"},
        {"(LOCAL),1433", "Server=localhost;Port=1433;", "Server=localhost,1433;"},
    };
    for (const auto& c : cases) {
        const QString oleDb = QStringLiteral("Provider=sqloledb;Data Source=%1;").arg(QString::fromUtf8(c.dataSource));
        EXPECT_EQ(forSqlServer(oleDb), QStringLiteral("Driver=FreeTDS;") + QString::fromUtf8(c.freeTds) + kFreeTdsTail)
            << c.dataSource;
        EXPECT_EQ(forSqlServer(oleDb, microsoft),
                  QStringLiteral("Driver=ODBC Driver 17 for SQL Server;") + QString::fromUtf8(c.microsoft))
            << c.dataSource;
    }
}

TEST(OdbcConnectionStringTest, MicrosoftDriverIsPreferredWhenInstalled)
{
    const QString oleDb = QStringLiteral("Provider=sqloledb;Data Source=srv\\inst;Initial Catalog=db;User Id=sa;Password=p;");
    EXPECT_EQ(forSqlServer(oleDb, {QStringLiteral("FreeTDS"), QStringLiteral("ODBC Driver 18 for SQL Server"),
                                   QStringLiteral("ODBC Driver 17 for SQL Server")}),
              QStringLiteral("Driver=ODBC Driver 18 for SQL Server;Server=srv\\inst;Database=db;UID=sa;PWD=p;"
                             "TrustServerCertificate=yes;"));
    EXPECT_EQ(forSqlServer(oleDb, {QStringLiteral("ODBC Driver 17 for SQL Server"), QStringLiteral("FreeTDS")}),
              QStringLiteral("Driver=ODBC Driver 17 for SQL Server;Server=srv\\inst;Database=db;UID=sa;PWD=p;"));
    EXPECT_EQ(preferredSqlServerDriver({}), QStringLiteral("FreeTDS"));
    EXPECT_EQ(preferredSqlServerDriver({QStringLiteral("SQL Server Native Client 11.0")}), QStringLiteral("FreeTDS"));
}

TEST(OdbcConnectionStringTest, GenericPassesEveryAttributeButTheProvider)
{
    EXPECT_EQ(forGeneric(QStringLiteral("Provider=MSDASQL;Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=5432;"
                                        "Database=k;UID=u;PWD=\"a;b\";BoolsAsChar=0;")),
              QStringLiteral("boolsaschar=0;database=k;driver={PostgreSQL Unicode};port=5432;pwd={a;b};"
                             "server=127.0.0.1;uid=u;"));
    EXPECT_EQ(forGeneric(QStringLiteral("Provider=MSDASQL;Driver=\"PostgreSQL Unicode\";")),
              QStringLiteral("driver=PostgreSQL Unicode;"));
}

TEST(OdbcConnectionStringTest, GenericTakesMsdasqlNamesForOdbcKeywords)
{
    EXPECT_EQ(forGeneric(QStringLiteral("Provider=MSDASQL;Data Source=plant;Initial Catalog=db;User Id=u;Password=p;")),
              QStringLiteral("database=db;dsn=plant;pwd=p;uid=u;"));
    EXPECT_EQ(forGeneric(QStringLiteral("Provider=MSDASQL;DSN=plant;Data Source=other;UID=u;User Id=x;")),
              QStringLiteral("dsn=plant;uid=u;"));
}

} // namespace
