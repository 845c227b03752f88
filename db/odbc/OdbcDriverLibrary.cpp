#include "db/odbc/OdbcDriverLibrary.h"

#include "db/odbc/OdbcApi.h"

#include <QStringList>

#include <iterator>

namespace {

// The driver (an odbcinst.ini entry or a library path) of a data source of odbc.ini.
QString DriverOfDataSource(SQLHENV environment, const QString& dataSource)
{
    SQLWCHAR name[256];
    SQLWCHAR driver[512];
    SQLSMALLINT nameLength = 0;
    SQLSMALLINT driverLength = 0;
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    while (SQL_SUCCEEDED(SQLDataSourcesW(environment, direction, name, static_cast<SQLSMALLINT>(std::size(name)),
                                         &nameLength, driver, static_cast<SQLSMALLINT>(std::size(driver)),
                                         &driverLength))) {
        direction = SQL_FETCH_NEXT;
        const qsizetype units = qMin<qsizetype>(nameLength, std::size(name) - 1);
        if (FromOdbcText(name, units).compare(dataSource, Qt::CaseInsensitive) == 0)
            return FromOdbcText(driver, qMin<qsizetype>(driverLength, std::size(driver) - 1));
    }
    return QString();
}

// The "Driver=" of an odbcinst.ini entry's attributes, which come as "key=value" texts,
// each ended by a NUL.
QString LibraryOfAttributes(const SQLWCHAR* attributes, qsizetype units)
{
    const QStringList pairs = FromOdbcText(attributes, units).split(QChar(u'\0'), Qt::SkipEmptyParts);
    for (const QString& pair : pairs) {
        if (pair.startsWith(QLatin1String("Driver="), Qt::CaseInsensitive))
            return pair.mid(7).trimmed();
    }
    return QString();
}

QString LibraryOfDriver(SQLHENV environment, const QString& driver)
{
    SQLWCHAR name[256];
    SQLWCHAR attributes[2048];
    SQLSMALLINT nameLength = 0;
    SQLSMALLINT attributesLength = 0;
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    while (SQL_SUCCEEDED(SQLDriversW(environment, direction, name, static_cast<SQLSMALLINT>(std::size(name)),
                                     &nameLength, attributes, static_cast<SQLSMALLINT>(std::size(attributes)),
                                     &attributesLength))) {
        direction = SQL_FETCH_NEXT;
        const qsizetype units = qMin<qsizetype>(nameLength, std::size(name) - 1);
        if (FromOdbcText(name, units).compare(driver, Qt::CaseInsensitive) == 0)
            return LibraryOfAttributes(attributes, qMin<qsizetype>(attributesLength, std::size(attributes) - 1));
    }
    return driver;
}

} // namespace

QString OdbcDriverLibrary(SQLHENV environment, const QString& driver, const QString& dataSource)
{
    const QString named = driver.isEmpty() ? DriverOfDataSource(environment, dataSource) : driver;
    return named.isEmpty() ? QString() : LibraryOfDriver(environment, named);
}
