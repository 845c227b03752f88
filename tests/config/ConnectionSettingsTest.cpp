#include "config/ConnectionSettings.h"

#include "db/client/ConnectionString.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/RecordingMessageSink.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <unistd.h>

using namespace korvel;

namespace {

QByteArray row(const QByteArray& name, const QByteArray& value)
{
    return "  <frmConnect>\r\n    <ParaName>" + name + "</ParaName>\r\n    <ParaValue>" + value +
           "</ParaValue>\r\n  </frmConnect>\r\n";
}

QByteArray dataSet(const QByteArray& rows, const QByteArray& declaration = "<?xml version=\"1.0\" standalone=\"yes\"?>\r\n")
{
    return declaration + "<NewDataSet>\r\n" + rows + "</NewDataSet>\r\n";
}

QByteArray fiveRows()
{
    return row("txtHostName", "192.168.1.20") + row("txtDataName", "HarnessTest") + row("txtUserName", "sa") +
           row("txtPasswd", "s3cret") + row("txtInstance", "SQLEXPRESS");
}

class ConnectionSettingsTest : public ::testing::Test
{
protected:
    QString file(const QByteArray& content)
    {
        const QString path = dir.filePath(QStringLiteral("frmConnect"));
        writeTestFile(path, content);
        return path;
    }

    ConnectionSettings load(const QByteArray& content)
    {
        ConnectionSettings settings;
        EXPECT_TRUE(loadConnectionSettings(file(content), settings));
        return settings;
    }

    bool loads(const QByteArray& content)
    {
        ConnectionSettings settings;
        settings.hostName = QStringLiteral("untouched");
        const bool loaded = loadConnectionSettings(file(content), settings);
        if (!loaded) {
            EXPECT_EQ(settings.hostName, QStringLiteral("untouched")) << "nothing is written on failure";
        }
        return loaded;
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(ConnectionSettingsTest, ReadsTheFiveParametersInAnyRowOrder)
{
    const ConnectionSettings settings =
        load(dataSet(row("txtPasswd", "s3cret") + row("txtInstance", "SQLEXPRESS") + row("txtHostName", "192.168.1.20") +
                     row("txtUserName", "sa") + row("txtDataName", "HarnessTest")));
    EXPECT_EQ(settings.hostName, QStringLiteral("192.168.1.20"));
    EXPECT_EQ(settings.dataName, QStringLiteral("HarnessTest"));
    EXPECT_EQ(settings.userName, QStringLiteral("sa"));
    EXPECT_EQ(settings.password, QStringLiteral("s3cret"));
    EXPECT_EQ(settings.instance, QStringLiteral("SQLEXPRESS"));
    EXPECT_EQ(settings.provider, QString());
    EXPECT_EQ(buildConnectionString(settings),
              QStringLiteral("Provider=sqloledb;Data Source=192.168.1.20\\SQLEXPRESS;Initial Catalog=HarnessTest;"
                             "User Id=sa;Password=s3cret;"));
}

TEST_F(ConnectionSettingsTest, MissingParametersAreEmpty)
{
    const ConnectionSettings settings = load(dataSet(row("txtHostName", "srv") + row("txtDataName", "db")));
    EXPECT_EQ(buildConnectionString(settings),
              QStringLiteral("Provider=sqloledb;Data Source=srv;Initial Catalog=db;User Id=;Password=;"));
    const ConnectionSettings none = load(dataSet(""));
    EXPECT_EQ(none.hostName, QString());
    EXPECT_EQ(none.password, QString());
}

TEST_F(ConnectionSettingsTest, NamesMatchExactlyAndTheFirstRowWins)
{
    const ConnectionSettings settings = load(dataSet(row("txtPasswd", "first") + row("txtPasswd", "second") +
                                                     row("TxtHostName", "wrong case") + row("txtUnknown", "x")));
    EXPECT_EQ(settings.password, QStringLiteral("first"));
    EXPECT_EQ(settings.hostName, QString());
    const ConnectionSettings caseOnly = load(dataSet(row("txtPassWd", "nope")));
    EXPECT_EQ(caseOnly.password, QString());
}

TEST_F(ConnectionSettingsTest, TextIsTheFirstChildTextCondensedAndDecoded)
{
    const ConnectionSettings settings = load(dataSet(
        row("txtHostName", "  srv \r\n\t  one  ") + row("txtDataName", "   ") + row("txtUserName", "") +
        row("txtPasswd", "<!-- comment -->after the comment") + row("txtInstance", "a&amp;b &lt;c&gt; &#65;")));
    EXPECT_EQ(settings.hostName, QStringLiteral("srv one"));
    EXPECT_EQ(settings.dataName, QString());
    EXPECT_EQ(settings.userName, QString());
    EXPECT_EQ(settings.password, QString()) << "a comment as first child gives an empty value";
    EXPECT_EQ(settings.instance, QStringLiteral("a&b <c> A"));
}

TEST_F(ConnectionSettingsTest, ExtrasAreIgnored)
{
    const ConnectionSettings settings = load(
        "<?xml version=\"1.0\"?>\n<!-- written by the set-up tool -->\n<NewDataSet version=\"2\">\n"
        "<xs:schema id=\"NewDataSet\"><xs:element name=\"frmConnect\"/></xs:schema>\n"
        "<frmConnect id=\"1\"><Other>x</Other><ParaName>txtHostName</ParaName><ParaValue>srv</ParaValue></frmConnect>\n"
        "<frmConnect><ParaValue>no name</ParaValue></frmConnect>\n"
        "<frmConnect><ParaName>txtDataName</ParaName></frmConnect>\n"
        "<frmConnect><ParaName>txtUserName</ParaName><ParaValue>sa</ParaValue></frmConnect>\n"
        "</NewDataSet>\n");
    EXPECT_EQ(settings.hostName, QStringLiteral("srv"));
    EXPECT_EQ(settings.dataName, QString());
    EXPECT_EQ(settings.userName, QStringLiteral("sa"));
}

TEST_F(ConnectionSettingsTest, TextsAreUtf8OrGbkAsTheDocumentSays)
{
    const QByteArray gbkHost = "\xcf\xdf\xca\xf8"; // 线束 in GBK
    const QByteArray utf8Host = "\xe7\xba\xbf\xe6\x9d\x9f"; // 线束 in UTF-8
    const QString expected = QStringLiteral("线束");
    EXPECT_EQ(load(dataSet(row("txtHostName", gbkHost), "")).hostName, expected) << "no declaration, not UTF-8";
    EXPECT_EQ(load(dataSet(row("txtHostName", utf8Host), "")).hostName, expected) << "no declaration, valid UTF-8";
    EXPECT_EQ(load(dataSet(row("txtHostName", utf8Host), "\xef\xbb\xbf")).hostName, expected) << "byte-order mark";
    EXPECT_EQ(load(dataSet(row("txtHostName", utf8Host), "<?xml version=\"1.0\" encoding=\"utf-8\"?>")).hostName,
              expected);
    EXPECT_EQ(load(dataSet(row("txtHostName", gbkHost), "<?xml version=\"1.0\" encoding=\"GB2312\"?>")).hostName,
              expected);
    // Valid UTF-8 but declared otherwise: the declaration decides.
    EXPECT_EQ(load(dataSet(row("txtHostName", "\xc1\xaa\xcf\xdf"), "<?xml version=\"1.0\" encoding=\"gbk\"?>")).hostName,
              QStringLiteral("联线"));
}

TEST_F(ConnectionSettingsTest, WhatIsNotASettingsDocumentGivesFalse)
{
    EXPECT_FALSE(loads(""));
    EXPECT_FALSE(loads("   \r\n"));
    EXPECT_FALSE(loads("txtHostName=srv"));
    EXPECT_FALSE(loads(dataSet(fiveRows()).left(120))) << "truncated";
    EXPECT_FALSE(loads("<Other><NewDataSet>" + fiveRows() + "</NewDataSet></Other>")) << "NewDataSet not at the top";
    EXPECT_FALSE(loads("<newdataset>" + fiveRows() + "</newdataset>"));
    QByteArray garbage(4096, '\0');
    for (int i = 0; i < garbage.size(); ++i)
        garbage[i] = static_cast<char>((i * 131 + 17) % 256);
    EXPECT_FALSE(loads(garbage));
    ConnectionSettings settings;
    EXPECT_FALSE(loadConnectionSettings(dir.filePath(QStringLiteral("missing")), settings));
    EXPECT_FALSE(loadConnectionSettings(dir.path(), settings));
}

TEST_F(ConnectionSettingsTest, HostileDocumentsAreRefusedWithoutCrashing)
{
    QByteArray deep = "<NewDataSet>";
    for (int i = 0; i < 200000; ++i)
        deep += "<a>";
    EXPECT_FALSE(loads(deep));
    for (int i = 0; i < 200000; ++i)
        deep += "</a>";
    deep += "</NewDataSet>";
    EXPECT_FALSE(loads(deep));

    const QByteArray huge = dataSet(fiveRows() + row("filler", QByteArray(17 * 1024 * 1024, 'x')));
    EXPECT_FALSE(loads(huge));

    // Entity definitions are never expanded: a "billion laughs" file is just not a settings file.
    QByteArray laughs = "<!DOCTYPE x [<!ENTITY a0 \"ha\">";
    for (int level = 1; level < 30; ++level)
        laughs += QStringLiteral("<!ENTITY a%1 \"&a%2;&a%2;&a%2;&a%2;&a%2;&a%2;&a%2;&a%2;\">").arg(level).arg(level - 1).toUtf8();
    EXPECT_FALSE(loads(laughs + "]>" + dataSet(row("txtHostName", "&a29;"), "")));
}

TEST_F(ConnectionSettingsTest, TheEmbeddedEnginesRelativeFileIsTakenFromTheSettingsDirectory)
{
    const ConnectionSettings relative =
        load(dataSet(row("txtProvider", "sqlite") + row("txtHostName", "data/korvel.db")));
    EXPECT_EQ(relative.hostName, QDir(dir.path()).filePath(QStringLiteral("data/korvel.db")));
    EXPECT_EQ(buildConnectionString(relative),
              QStringLiteral("Provider=sqlite;Data Source=%1;").arg(relative.hostName));
    EXPECT_EQ(load(dataSet(row("txtProvider", "sqlite") + row("txtHostName", "/var/lib/k.db"))).hostName,
              QStringLiteral("/var/lib/k.db"));
    EXPECT_EQ(load(dataSet(row("txtHostName", "relative.host"))).hostName, QStringLiteral("relative.host"))
        << "server names are not paths";
}

TEST_F(ConnectionSettingsTest, AFailureSaysWhichStepFailed)
{
    EXPECT_EQ(readSettingsFile(dir.filePath(QStringLiteral("frmConnect"))).message(), QStringLiteral("获取配置文件失败"));
    EXPECT_EQ(readSettingsFile(file("not xml at all")).message(), QStringLiteral("获取配置数据失败"));
    const Result<ConnectionSettings> settings = readSettingsFile(file(dataSet(fiveRows())));
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings.value.userName, QStringLiteral("sa"));
}

TEST_F(ConnectionSettingsTest, MalformedUtf8InADocumentReadAsUtf8IsReplacedNotOverrun)
{
    // Lead bytes that claim more bytes than follow; the fuzzer found TinyXML reading past
    // the end of such a text (the corpus keeps that input).
    const ConnectionSettings settings = load(dataSet(row("txtHostName", "srv\xe0") + row("txtDataName", "db"),
                                                     "<?xml version=\"1.0\" encoding=\"utf-8\"?>"));
    EXPECT_EQ(settings.hostName, QStringLiteral("srv\uFFFD"));
    EXPECT_EQ(settings.dataName, QStringLiteral("db"));
    EXPECT_FALSE(loads("<?xml version=\"1.0\"?><NewDataSet><frmConnect><ParaName>\xff\xff\xe0"));
}

namespace {

ConnectionSettings settingsOf(const QString& host, const QString& database, const QString& user,
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

QMap<QString, QString> parsed(const QString& connectionString)
{
    QMap<QString, QString> attributes;
    EXPECT_TRUE(parseConnectionString(connectionString, attributes)) << connectionString.toStdString();
    return attributes;
}

} // namespace

TEST(connectionString, HasTheSqlServerFormWithAndWithoutInstance)
{
    EXPECT_EQ(buildConnectionString(settingsOf("srv", "TestDb", "sa", "pw", "")),
              QStringLiteral("Provider=sqloledb;Data Source=srv;Initial Catalog=TestDb;User Id=sa;Password=pw;"));
    EXPECT_EQ(buildConnectionString(settingsOf("srv", "TestDb", "sa", "pw", "SQLEXPRESS")),
              QStringLiteral("Provider=sqloledb;Data Source=srv\\SQLEXPRESS;Initial Catalog=TestDb;User Id=sa;Password=pw;"));
    EXPECT_EQ(buildConnectionString(settingsOf("srv", "TestDb", "", "", "")),
              QStringLiteral("Provider=sqloledb;Data Source=srv;Initial Catalog=TestDb;User Id=;Password=;"));
}

TEST(connectionString, PlainValuesStandAsTheyAre)
{
    // '=', backslashes, inner blanks and other scripts need no quotes in OLE DB strings.
    const ConnectionSettings settings = settingsOf("10.0.0.5,1433", "线束 库", "dom\\user", "a=b+c", "");
    EXPECT_EQ(buildConnectionString(settings),
              QStringLiteral("Provider=sqloledb;Data Source=10.0.0.5,1433;Initial Catalog=线束 库;"
                             "User Id=dom\\user;Password=a=b+c;"));
}

TEST(connectionString, ValuesThatWouldBreakTheStringAreQuotedAndArriveIntact)
{
    const QStringList awkward = {QStringLiteral("pa;ss"),  QStringLiteral("it's"),       QStringLiteral("say \"hi\""),
                                 QStringLiteral("both ' and \" ;"), QStringLiteral(" lead"), QStringLiteral("trail "),
                                 QStringLiteral("x;Provider=evil"), QStringLiteral("\"")};
    for (const QString& value : awkward) {
        ConnectionSettings settings = settingsOf(value, value, value, value, "");
        settings.provider = value;
        const QString built = buildConnectionString(settings);
        const QMap<QString, QString> attributes = parsed(built);
        EXPECT_EQ(attributes.value("provider"), value) << built.toStdString();
        EXPECT_EQ(attributes.value("data source"), value) << built.toStdString();
        EXPECT_EQ(attributes.value("initial catalog"), value);
        EXPECT_EQ(attributes.value("user id"), value);
        EXPECT_EQ(attributes.value("password"), value);
        EXPECT_EQ(attributes.size(), 5) << built.toStdString();
    }
    EXPECT_EQ(buildConnectionString(settingsOf("srv", "db", "u", "pa;ss", "")),
              QStringLiteral("Provider=sqloledb;Data Source=srv;Initial Catalog=db;User Id=u;Password=\"pa;ss\";"));
}

TEST(connectionString, AnInstanceOfOneBlankIsNotEmpty)
{
    const QString built = buildConnectionString(settingsOf("srv", "db", "u", "p", " "));
    EXPECT_EQ(parsed(built).value("data source"), QStringLiteral("srv\\ "));
}

TEST(connectionString, TheEmbeddedEngineNamesOnlyItsFile)
{
    ConnectionSettings settings = settingsOf("/data/korvel demo.db", "ignored", "u", "p", "inst");
    settings.provider = QStringLiteral("sqlite");
    EXPECT_EQ(buildConnectionString(settings), QStringLiteral("Provider=sqlite;Data Source=/data/korvel demo.db;"));
    settings.provider = QStringLiteral("MSOLEDBSQL");
    EXPECT_TRUE(buildConnectionString(settings).startsWith(QStringLiteral("Provider=MSOLEDBSQL;Data Source=/data/korvel demo.db\\inst;")));
}

TEST(ExeDirectory, IsTheRunningExecutablesDirectoryWithATrailingSlash)
{
    char executable[4096] = {};
    ASSERT_GT(readlink("/proc/self/exe", executable, sizeof executable - 1), 0);
    EXPECT_EQ(exeDirectory(), QFileInfo(QString::fromLocal8Bit(executable)).absolutePath() + QLatin1Char('/'));
}
