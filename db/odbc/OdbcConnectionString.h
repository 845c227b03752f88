#pragma once

#include "db/odbc/OdbcFlavour.h"

#include <QString>
#include <QStringList>

// The driver for the SQL Server flavour among the installed ODBC drivers: the newest
// "ODBC Driver N for SQL Server" when Microsoft's driver is there, else "FreeTDS".
QString PreferredSqlServerDriver(const QStringList& installedDrivers);

// Turns an OLE DB connection string into the ODBC connection string for SQLDriverConnect.
// SQL Server: Data Source, Initial Catalog, User Id and Password (and their usual synonyms)
// become Server, Database, UID and PWD for the preferred driver. Generic: every attribute
// but Provider passes on. False, with a description, when the string cannot be parsed or a
// value holds '}', which no ODBC value can carry.
[[nodiscard]] bool TranslateConnectionString(const QString& oleDb, OdbcFlavour flavour,
                                             const QStringList& installedDrivers, QString& odbc, QString& error);
