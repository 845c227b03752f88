#pragma once

#include <QMap>
#include <QString>

struct ConnectionSettings;

// The OLE DB connection string of the settings:
// "Provider=sqloledb;Data Source=host[\instance];Initial Catalog=…;User Id=…;Password=…;"
// (the provider of the settings instead of sqloledb when one is named; only the data
// source for the embedded engine). A value holding ';', a quote or blanks at either end is
// quoted so that it reaches the driver intact; every other value stands as it is.
QString BuildConnectionString(const ConnectionSettings& settings);

// What a connection string that ParseConnectionString refuses is reported as.
inline const QString kUnparsableConnectionString = QStringLiteral("连接字符串的格式不对：引号没有闭合，或某一段没有“=”");

// The keyword/value pairs of an OLE DB connection string, keywords in lower case, quoted
// values unquoted; a later keyword replaces an earlier one. False when a quoted value is
// not closed or is followed by anything but ';'.
[[nodiscard]] bool ParseConnectionString(const QString& text, QMap<QString, QString>& attributes);
