#include "db/odbc/OdbcConnectionString.h"

#include "db/client/ConnectionString.h"

#include <QMap>
#include <QRegularExpression>
#include <QStringList>

namespace {

// "SQLOLEDB.1" names the same provider as "SQLOLEDB": OLE DB appends version numbers.
QString WithoutVersion(const QString& provider)
{
    static const QRegularExpression version(QStringLiteral("\\.\\d+$"));
    QString name = provider.trimmed();
    name.remove(version);
    return name;
}

using Attributes = QMap<QString, QString>;

const QString kFreeTds = QStringLiteral("FreeTDS");

// N of "ODBC Driver N for SQL Server", 0 for any other driver.
int MicrosoftDriverVersion(const QString& driver)
{
    static const QRegularExpression microsoft(QStringLiteral("^ODBC Driver (\\d+) for SQL Server$"),
                                              QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = microsoft.match(driver);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

// An ODBC value in braces may hold ';' and blanks at either end; a '}' would end it early
// (and FreeTDS keeps a brace that ends the string), so such a value is refused.
bool AppendAttribute(QString& odbc, const QString& keyword, const QString& value, QString& error)
{
    if (value.contains(QLatin1Char('}'))) {
        error = QStringLiteral("连接字符串中 %1 的值含有“}”，ODBC 驱动无法接收这样的值").arg(keyword);
        return false;
    }
    const bool braced = value.contains(QLatin1Char(';')) || value.startsWith(QLatin1Char('{')) ||
                        (!value.isEmpty() && (value.front().isSpace() || value.back().isSpace()));
    odbc += keyword + QLatin1Char('=');
    odbc += braced ? QLatin1Char('{') + value + QLatin1Char('}') : value;
    odbc += QLatin1Char(';');
    return true;
}

// The first of the keywords (lower case, as parsed) that the string holds.
bool FindAttribute(const Attributes& attributes, const QStringList& keywords, QString& value)
{
    for (const QString& keyword : keywords) {
        const auto found = attributes.constFind(keyword);
        if (found != attributes.constEnd()) {
            value = found.value();
            return true;
        }
    }
    return false;
}

// "(local)" and "." mean this machine to SQL Server's clients; FreeTDS resolves host names only.
QString ServerForOdbc(const QString& dataSource)
{
    static const QRegularExpression local(QStringLiteral("^(\\(local\\)|\\.)(?=$|[\\\\,])"),
                                          QRegularExpression::CaseInsensitiveOption);
    QString server = dataSource;
    server.replace(local, QStringLiteral("localhost"));
    return server;
}

// Where FreeTDS is to connect: the host alone, and the port when the server names one
// ("host,port", "host\instance,port") or the SQL Server Browser gives that of a named
// instance. FreeTDS would ask the Browser itself, but waits sixteen seconds for one that
// does not answer: longer than the program waits for any login. FreeTDS 1.3 would take
// "host,port" too, but then sends a NUL in the login's server name, which servers other
// than SQL Server refuse.
struct FreeTdsAddress
{
    QString host;
    QString port; // empty: the default
};

bool FindFreeTdsAddress(const QString& server, const InstancePortLookup& lookUpInstance, FreeTdsAddress& address,
                        QString& error)
{
    const qsizetype comma = server.lastIndexOf(QLatin1Char(','));
    const QString name = comma < 0 ? server : server.left(comma);
    const qsizetype backslash = name.indexOf(QLatin1Char('\\'));
    // Without a way to ask, FreeTDS is left to ask the Browser itself.
    const bool keepInstance = comma < 0 && !lookUpInstance;
    address.host = (backslash < 0 || keepInstance ? name : name.left(backslash)).trimmed();
    if (comma >= 0) {
        bool isNumber = false;
        const uint port = QStringView(server).mid(comma + 1).trimmed().toUInt(&isNumber);
        if (!isNumber || port < 1 || port > 65535) {
            error = QStringLiteral("服务器“%1”的端口不对：应为 1 到 65535 之间的整数").arg(server);
            return false;
        }
        address.port = QString::number(port);
        return true;
    }
    if (backslash < 0 || keepInstance)
        return true;
    quint16 port = 0;
    if (!lookUpInstance(address.host, name.mid(backslash + 1), port, error))
        return false;
    address.port = QString::number(port);
    return true;
}

bool TranslateForSqlServer(const Attributes& attributes, const QStringList& installedDrivers, QString& odbc,
                           QString& error, const InstancePortLookup& lookUpInstance)
{
    const QString driver = PreferredSqlServerDriver(installedDrivers);
    QString translated;
    if (!AppendAttribute(translated, QStringLiteral("Driver"), driver, error))
        return false;

    struct Mapping {
        const char* odbcKeyword;
        QStringList oleDbKeywords;
    };
    const Mapping mappings[] = {
        {"Server", {QStringLiteral("data source"), QStringLiteral("server"), QStringLiteral("address"),
                    QStringLiteral("addr"), QStringLiteral("network address")}},
        {"Database", {QStringLiteral("initial catalog"), QStringLiteral("database")}},
        {"UID", {QStringLiteral("user id"), QStringLiteral("uid"), QStringLiteral("user")}},
        {"PWD", {QStringLiteral("password"), QStringLiteral("pwd")}},
    };
    for (const Mapping& mapping : mappings) {
        QString value;
        if (!FindAttribute(attributes, mapping.oleDbKeywords, value))
            continue;
        const QString keyword = QLatin1String(mapping.odbcKeyword);
        if (keyword == QLatin1String("Server") && driver == kFreeTds) {
            FreeTdsAddress address;
            if (!FindFreeTdsAddress(ServerForOdbc(value), lookUpInstance, address, error) ||
                !AppendAttribute(translated, keyword, address.host, error) ||
                (!address.port.isEmpty() && !AppendAttribute(translated, QStringLiteral("Port"), address.port, error)))
                return false;
            continue;
        }
        if (keyword == QLatin1String("Server"))
            value = ServerForOdbc(value);
        if (!AppendAttribute(translated, keyword, value, error))
            return false;
    }

    if (driver == kFreeTds) {
        // The wide calls hand FreeTDS UTF-16; the client character set governs how it converts
        // the server's narrow (char, varchar, text) columns. Left to "auto", FreeTDS follows a
        // failed login with one in Sybase's protocol, which waits for ever on a server that
        // does not answer; 7.4 is the newest, and older servers answer in their own.
        translated += QLatin1String("ClientCharset=UTF-8;TDS_Version=7.4;");
    } else if (MicrosoftDriverVersion(driver) >= 18) {
        // From version 18 the driver encrypts by default and would refuse the self-signed certificate that
        // most servers on a plant network have.
        translated += QLatin1String("TrustServerCertificate=yes;");
    }
    odbc = translated;
    return true;
}

// An attribute written in ODBC's own braces ("Driver={PostgreSQL Unicode}") is already in
// the form the driver manager reads.
bool IsBracedOdbcValue(const QString& value)
{
    return value.size() >= 2 && value.startsWith(QLatin1Char('{')) && value.endsWith(QLatin1Char('}')) &&
           value.indexOf(QLatin1Char('}')) == value.size() - 1;
}

bool TranslateGeneric(const Attributes& attributes, QString& odbc, QString& error)
{
    // MSDASQL's own names for the ODBC keywords; an ODBC keyword in the string wins.
    static const QMap<QString, QString> oleDbNames = {
        {QStringLiteral("data source"), QStringLiteral("dsn")},
        {QStringLiteral("user id"), QStringLiteral("uid")},
        {QStringLiteral("password"), QStringLiteral("pwd")},
        {QStringLiteral("initial catalog"), QStringLiteral("database")},
    };
    Attributes passed;
    for (auto it = attributes.constBegin(); it != attributes.constEnd(); ++it) {
        if (it.key() != QLatin1String("provider") && !oleDbNames.contains(it.key()))
            passed.insert(it.key(), it.value());
    }
    for (auto it = oleDbNames.constBegin(); it != oleDbNames.constEnd(); ++it) {
        if (attributes.contains(it.key()) && !passed.contains(it.value()))
            passed.insert(it.value(), attributes.value(it.key()));
    }

    QString translated;
    for (auto it = passed.constBegin(); it != passed.constEnd(); ++it) {
        if (IsBracedOdbcValue(it.value())) {
            translated += it.key() + QLatin1Char('=') + it.value() + QLatin1Char(';');
        } else if (!AppendAttribute(translated, it.key(), it.value(), error)) {
            return false;
        }
    }
    odbc = translated;
    return true;
}

} // namespace

bool IsSqlServerProvider(const QString& provider)
{
    static const QStringList providers = {QStringLiteral("sqloledb"), QStringLiteral("msoledbsql"),
                                          QStringLiteral("sqlncli11")};
    return providers.contains(WithoutVersion(provider), Qt::CaseInsensitive);
}

bool IsGenericOdbcProvider(const QString& provider)
{
    return WithoutVersion(provider).compare(QLatin1String("msdasql"), Qt::CaseInsensitive) == 0;
}

QString PreferredSqlServerDriver(const QStringList& installedDrivers)
{
    QString preferred = kFreeTds;
    int newest = 0;
    for (const QString& driver : installedDrivers) {
        const int version = MicrosoftDriverVersion(driver);
        if (version > newest) {
            newest = version;
            preferred = driver;
        }
    }
    return preferred;
}

bool TranslateConnectionString(const QString& oleDb, OdbcFlavour flavour, const QStringList& installedDrivers,
                               QString& odbc, QString& error, const InstancePortLookup& lookUpInstance)
{
    Attributes attributes;
    if (!ParseConnectionString(oleDb, attributes)) {
        error = kUnparsableConnectionString;
        return false;
    }
    if (flavour == OdbcFlavour::SqlServer)
        return TranslateForSqlServer(attributes, installedDrivers, odbc, error, lookUpInstance);
    return TranslateGeneric(attributes, odbc, error);
}
