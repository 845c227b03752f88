#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Which kind of source an ODBC client talks to, chosen by the OLE DB provider of the
// connection string.
enum class OdbcFlavour {
    SqlServer, // the SQL Server providers: OLE DB keywords translated for FreeTDS or Microsoft's driver
    Generic,   // MSDASQL: the attributes go to the ODBC driver manager as they are
};

// sqloledb, MSOLEDBSQL, SQLNCLI11 in any letter case, with or without a version (".1").
bool IsSqlServerProvider(const QString& provider);
// MSDASQL in any letter case, with or without a version.
bool IsGenericOdbcProvider(const QString& provider);

// The driver for the SQL Server flavour among the installed ODBC drivers: the newest
// "ODBC Driver N for SQL Server" when Microsoft's driver is there, else "FreeTDS".
QString PreferredSqlServerDriver(const QStringList& installedDrivers);

// Finds the TCP port of a named instance: host, instance, port found, error.
using InstancePortLookup = std::function<bool(const QString&, const QString&, quint16&, QString&)>;

// Turns an OLE DB connection string into the ODBC connection string for SQLDriverConnect.
// SQL Server: Data Source, Initial Catalog, User Id and Password (and their usual synonyms)
// become Server, Database, UID and PWD for the preferred driver; FreeTDS gets the host in
// Server and the port in Port, a named instance ("host\instance") through the lookup of
// its port. Generic: every attribute but Provider passes on. False, with a description,
// when the string cannot be parsed, a value holds '}' (which no ODBC value can carry), a
// port is not a port, or the lookup fails.
[[nodiscard]] bool TranslateConnectionString(const QString& oleDb, OdbcFlavour flavour,
                                             const QStringList& installedDrivers, QString& odbc, QString& error,
                                             const InstancePortLookup& lookUpInstance = nullptr);
