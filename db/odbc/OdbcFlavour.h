#pragma once

#include <QString>

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
