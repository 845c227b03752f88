#include "db/odbc/OdbcConnectionString.h"

#include "db/client/ConnectionString.h"

#include <QMap>
#include <QRegularExpression>
#include <QStringList>

namespace korvel {

namespace {

// "SQLOLEDB.1" names the same provider as "SQLOLEDB": OLE DB appends version numbers.
QString withoutVersion(const QString& provider)
{
    static const QRegularExpression version(QStringLiteral("\\.\\d+$"));
    QString name = provider.trimmed();
    name.remove(version);
    return name;
}

using Attributes = QMap<QString, QString>;

const QString kFreeTds = QStringLiteral("FreeTDS");

// N of "ODBC Driver N for SQL Server", 0 for any other driver.
int microsoftDriverVersion(const QString& driver)
{
    static const QRegularExpression microsoft(QStringLiteral("^ODBC Driver (\\d+) for SQL Server$"),
                                              QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = microsoft.match(driver);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

// How a driver reads a value in braces. Without braces every driver here reads a value up
// to the next ';', '}' included.
enum class BraceReading {
    // ODBC's rule, which the driver manager, Microsoft's driver and psqlODBC follow: "}}"
    // inside the braces is one '}'.
    Standard,
    // FreeTDS 1.3 (Debian 12's tdsodbc) ends the value at the first '}' that a ';' follows
    // and keeps every other '}' as it stands, "}}" included.
    FreeTds,
};

bool isPasswordKeyword(const QString& keyword)
{
    return keyword.compare(QLatin1String("PWD"), Qt::CaseInsensitive) == 0;
}

// ';' would end the value, a leading '{' would open braces, and blanks at either end may
// be trimmed. psqlODBC reads "%41" and '+' in a password without braces as URL escapes
// ('A' and a blank) and takes a braced one as it stands.
bool needsBraces(const QString& keyword, const QString& value, BraceReading reading)
{
    if (value.contains(QLatin1Char(';')) || value.startsWith(QLatin1Char('{')) ||
        (!value.isEmpty() && (value.front().isSpace() || value.back().isSpace())))
        return true;
    return reading == BraceReading::Standard && isPasswordKeyword(keyword) &&
           (value.contains(QLatin1Char('%')) || value.contains(QLatin1Char('+')));
}

// Appends "keyword=value;" so that the driver reads the value exactly. FreeTDS 1.3 cannot
// be given a braced value that holds "};": such a value is refused.
bool appendAttribute(QString& odbc, const QString& keyword, const QString& value, BraceReading reading,
                     QString& error)
{
    odbc += keyword + QLatin1Char('=');
    if (!needsBraces(keyword, value, reading)) {
        odbc += value;
    } else if (reading == BraceReading::Standard) {
        odbc += QLatin1Char('{') + QString(value).replace(QLatin1Char('}'), QLatin1String("}}")) + QLatin1Char('}');
    } else if (value.contains(QLatin1String("};"))) {
        error = QStringLiteral("连接字符串中 %1 的值含有“}”，ODBC 驱动无法接收这样的值").arg(keyword);
        return false;
    } else {
        odbc += QLatin1Char('{') + value + QLatin1Char('}');
    }
    odbc += QLatin1Char(';');
    return true;
}

// The first of the keywords (lower case, as parsed) that the string holds.
bool findAttribute(const Attributes& attributes, const QStringList& keywords, QString& value)
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
QString serverForOdbc(const QString& dataSource)
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

bool findFreeTdsAddress(const QString& server, const InstancePortLookup& lookUpInstance, FreeTdsAddress& address,
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

bool translateForSqlServer(const Attributes& attributes, const QStringList& installedDrivers, QString& odbc,
                           QString& error, const InstancePortLookup& lookUpInstance)
{
    const QString driver = preferredSqlServerDriver(installedDrivers);
    const bool freeTds = driver == kFreeTds;
    const BraceReading reading = freeTds ? BraceReading::FreeTds : BraceReading::Standard;
    QString translated;
    if (!appendAttribute(translated, QStringLiteral("Driver"), driver, reading, error))
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
        if (!findAttribute(attributes, mapping.oleDbKeywords, value))
            continue;
        const QString keyword = QLatin1String(mapping.odbcKeyword);
        if (keyword == QLatin1String("Server") && freeTds) {
            FreeTdsAddress address;
            if (!findFreeTdsAddress(serverForOdbc(value), lookUpInstance, address, error) ||
                !appendAttribute(translated, keyword, address.host, reading, error) ||
                (!address.port.isEmpty() && !appendAttribute(translated, QStringLiteral("Port"), address.port, reading, error)))
                return false;
            continue;
        }
        if (keyword == QLatin1String("Server"))
            value = serverForOdbc(value);
        if (!appendAttribute(translated, keyword, value, reading, error))
            return false;
    }

    if (freeTds) {
        // The wide calls hand FreeTDS UTF-16; the client character set governs how it converts
        // the server's narrow (char, varchar, text) columns. Left to "auto", FreeTDS follows a
        // failed login with one in Sybase's protocol, which waits for ever on a server that
        // does not answer; 7.4 is the newest, and older servers answer in their own.
        translated += QLatin1String("ClientCharset=UTF-8;TDS_Version=7.4;");
    } else if (microsoftDriverVersion(driver) >= 18) {
        // From version 18 the driver encrypts by default and would refuse the self-signed certificate that
        // most servers on a plant network have.
        translated += QLatin1String("TrustServerCertificate=yes;");
    }
    odbc = translated;
    return true;
}

// A driver written in ODBC's own braces ("Driver={PostgreSQL Unicode}") is already in the
// form the driver manager reads. Every other value is the value itself, braces included:
// a password may well be "{abc}".
bool isBracedDriverName(const QString& keyword, const QString& value)
{
    return keyword == QLatin1String("driver") && value.size() >= 2 && value.startsWith(QLatin1Char('{')) &&
           value.indexOf(QLatin1Char('}')) == value.size() - 1;
}

// FreeTDS's driver library, whatever the name of its entry in odbcinst.ini.
bool isFreeTdsLibrary(const QString& library)
{
    return library.mid(library.lastIndexOf(QLatin1Char('/')) + 1).startsWith(QLatin1String("libtdsodbc"));
}

BraceReading readingOfSource(const Attributes& attributes, const DriverLibraryLookup& libraryOf)
{
    if (!libraryOf)
        return BraceReading::Standard;
    QString driver = attributes.value(QStringLiteral("driver"));
    if (isBracedDriverName(QStringLiteral("driver"), driver))
        driver = driver.mid(1, driver.size() - 2);
    const QString library = libraryOf(driver, attributes.value(QStringLiteral("dsn")));
    return isFreeTdsLibrary(library) ? BraceReading::FreeTds : BraceReading::Standard;
}

bool translateGeneric(const Attributes& attributes, QString& odbc, QString& error, const DriverLibraryLookup& libraryOf)
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

    const BraceReading reading = readingOfSource(passed, libraryOf);
    QString translated;
    for (auto it = passed.constBegin(); it != passed.constEnd(); ++it) {
        if (isBracedDriverName(it.key(), it.value())) {
            translated += it.key() + QLatin1Char('=') + it.value() + QLatin1Char(';');
        } else if (!appendAttribute(translated, it.key(), it.value(), reading, error)) {
            return false;
        }
    }
    odbc = translated;
    return true;
}

} // namespace

bool isSqlServerProvider(const QString& provider)
{
    static const QStringList providers = {QStringLiteral("sqloledb"), QStringLiteral("msoledbsql"),
                                          QStringLiteral("sqlncli11")};
    return providers.contains(withoutVersion(provider), Qt::CaseInsensitive);
}

bool isGenericOdbcProvider(const QString& provider)
{
    return withoutVersion(provider).compare(QLatin1String("msdasql"), Qt::CaseInsensitive) == 0;
}

QString preferredSqlServerDriver(const QStringList& installedDrivers)
{
    QString preferred = kFreeTds;
    int newest = 0;
    for (const QString& driver : installedDrivers) {
        const int version = microsoftDriverVersion(driver);
        if (version > newest) {
            newest = version;
            preferred = driver;
        }
    }
    return preferred;
}

bool translateConnectionString(const QString& oleDb, OdbcFlavour flavour, const QStringList& installedDrivers,
                               QString& odbc, QString& error, const InstancePortLookup& lookUpInstance,
                               const DriverLibraryLookup& libraryOf)
{
    Attributes attributes;
    if (!parseConnectionString(oleDb, attributes)) {
        error = kUnparsableConnectionString;
        return false;
    }
    if (flavour == OdbcFlavour::SqlServer)
        return translateForSqlServer(attributes, installedDrivers, odbc, error, lookUpInstance);
    return translateGeneric(attributes, odbc, error, libraryOf);
}

} // namespace korvel
