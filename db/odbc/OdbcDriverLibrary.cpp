#include "db/odbc/OdbcDriverLibrary.h"

#include "db/odbc/OdbcApi.h"

#include <QStringList>

#include <iterator>
#include <optional>

namespace korvel {

namespace {

// SQLDataSourcesW and SQLDriversW: the entries of odbc.ini and odbcinst.ini, each a name and
// a second text (a data source's driver, a driver's attributes).
using EntryListCall = SQLRETURN(SQL_API*)(SQLHENV, SQLUSMALLINT, SQLWCHAR*, SQLSMALLINT, SQLSMALLINT*, SQLWCHAR*,
                                          SQLSMALLINT, SQLSMALLINT*);

// The second text of the entry of that name (compared ignoring case, as the driver manager
// does), nothing when no entry has it.
std::optional<QString> findEntry(SQLHENV environment, EntryListCall list, const QString& name)
{
    SQLWCHAR entry[256];
    SQLWCHAR text[2048];
    SQLSMALLINT entryLength = 0;
    SQLSMALLINT textLength = 0;
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    while (SQL_SUCCEEDED(list(environment, direction, entry, static_cast<SQLSMALLINT>(std::size(entry)), &entryLength,
                              text, static_cast<SQLSMALLINT>(std::size(text)), &textLength))) {
        direction = SQL_FETCH_NEXT;
        const QString found = fromOdbcText(entry, qMin<qsizetype>(entryLength, std::size(entry) - 1));
        if (found.compare(name, Qt::CaseInsensitive) == 0)
            return fromOdbcText(text, qMin<qsizetype>(textLength, std::size(text) - 1));
    }
    return std::nullopt;
}

// The "Driver=" of an odbcinst.ini entry's attributes, which come as "key=value" texts,
// each ended by a NUL.
QString libraryOfAttributes(const QString& attributes)
{
    for (const QString& pair : attributes.split(QChar(u'\0'), Qt::SkipEmptyParts)) {
        if (pair.startsWith(QLatin1String("Driver="), Qt::CaseInsensitive))
            return pair.mid(7).trimmed();
    }
    return QString();
}

} // namespace

QString odbcDriverLibrary(SQLHENV environment, const QString& driver, const QString& dataSource)
{
    // A data source names its driver by an odbcinst.ini entry or by the library's path.
    const QString named = driver.isEmpty() ? findEntry(environment, SQLDataSourcesW, dataSource).value_or(QString())
                                           : driver;
    if (named.isEmpty())
        return QString();
    const std::optional<QString> attributes = findEntry(environment, SQLDriversW, named);
    return attributes ? libraryOfAttributes(*attributes) : named;
}

} // namespace korvel
