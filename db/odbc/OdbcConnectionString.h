#pragma once

#include "db/odbc/OdbcFlavour.h"

#include <QString>
#include <QStringList>

#include <functional>

// The driver for the SQL Server flavour among the installed ODBC drivers: the newest
// "ODBC Driver N for SQL Server" when Microsoft's driver is there, else "FreeTDS".
QString PreferredSqlServerDriver(const QStringList& installedDrivers);

// Finds the TCP port of a named instance: host, instance, port found, error.
using InstancePortLookup = std::function<bool(const QString&, const QString&, quint16&, QString&)>;

// Turns an OLE DB connection string into the ODBC connection string for SQLDriverConnect.
// SQL Server: Data Source, Initial Catalog, User Id and Password (and their usual synonyms)
// become Server, Database, UID and PWD for the preferred driver; for FreeTDS a named
// instance ("host\instance") becomes "host,port" through the lookup. Generic: every
// attribute but Provider passes on. False, with a description, when the string cannot be
// parsed, a value holds '}' (which no ODBC value can carry), or the lookup fails.
[[nodiscard]] bool TranslateConnectionString(const QString& oleDb, OdbcFlavour flavour,
                                             const QStringList& installedDrivers, QString& odbc, QString& error,
                                             const InstancePortLookup& lookUpInstance = nullptr);
