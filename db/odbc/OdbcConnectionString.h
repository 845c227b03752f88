#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace korvel {

// Which kind of source an ODBC client talks to, chosen by the OLE DB provider of the
// connection string.
enum class OdbcFlavour {
    SqlServer, // the SQL Server providers: OLE DB keywords translated for FreeTDS or Microsoft's driver
    Generic,   // MSDASQL: the attributes go to the ODBC driver manager as they are
};

// sqloledb, MSOLEDBSQL, SQLNCLI11 in any letter case, with or without a version (".1").
bool isSqlServerProvider(const QString& provider);
// MSDASQL in any letter case, with or without a version.
bool isGenericOdbcProvider(const QString& provider);

// The driver for the SQL Server flavour among the installed ODBC drivers: the newest
// "ODBC Driver N for SQL Server" when Microsoft's driver is there, else "FreeTDS".
QString preferredSqlServerDriver(const QStringList& installedDrivers);

// Finds the TCP port of a named instance: host, instance, port found, error.
using InstancePortLookup = std::function<bool(const QString&, const QString&, quint16&, QString&)>;

// The library file of the driver that a connection string naming this driver (or, without
// one, this data source) loads, as the driver manager's configuration gives it; empty when
// it is not known.
using DriverLibraryLookup = std::function<QString(const QString& driver, const QString& dataSource)>;

// Turns an OLE DB connection string into the ODBC connection string for SQLDriverConnect.
// SQL Server: Data Source, Initial Catalog, User Id and Password (and their usual synonyms)
// become Server, Database, UID and PWD for the preferred driver; FreeTDS gets the host in
// Server and the port in Port, a named instance ("host\instance") through the lookup of
// its port. Generic: every attribute but Provider passes on, each value written as the
// source's driver (found through libraryOf) reads it. False, with a description, when the
// string cannot be parsed, a value cannot reach the driver as it is, a port is not a port,
// or the lookup fails.
[[nodiscard]] bool translateConnectionString(const QString& oleDb, OdbcFlavour flavour,
                                             const QStringList& installedDrivers, QString& odbc, QString& error,
                                             const InstancePortLookup& lookUpInstance = nullptr,
                                             const DriverLibraryLookup& libraryOf = nullptr);

} // namespace korvel
