#pragma once

#include <QMap>
#include <QString>

namespace korvel {

// The program's connection strings are OLE DB ones, whatever client reads them:
// "keyword=value;" pairs, a value quoted in double or single quotes when it must be.

// The provider that names the embedded engine, in any letter case ("Provider=sqlite;").
inline bool isEmbeddedProvider(const QString& provider)
{
    return provider.compare(QLatin1String("sqlite"), Qt::CaseInsensitive) == 0;
}

// What a connection string that parseConnectionString refuses is reported as.
inline const QString kUnparsableConnectionString = QStringLiteral("连接字符串的格式不对：引号没有闭合，或某一段没有“=”");

// The keyword/value pairs of an OLE DB connection string, keywords in lower case, quoted
// values unquoted; a later keyword replaces an earlier one. False when a quoted value is
// not closed or is followed by anything but ';'.
[[nodiscard]] bool parseConnectionString(const QString& text, QMap<QString, QString>& attributes);

// A value as it must stand in a connection string to reach the driver intact: quoted when
// it holds ';', a quote or blanks at either end (double quotes unless it holds one, then
// single quotes; holding both, double quotes with the inner ones doubled), else as it is.
QString quoteConnectionStringValue(const QString& value);

} // namespace korvel
