#pragma once

#include "db/client/DbClient.h"

#include <memory>

// The client that the provider of an OLE DB connection string names: SQL Server's
// providers through ODBC, MSDASQL for any ODBC source, sqlite for the embedded engine.
// An unknown provider gives no client and an error that names it.
std::unique_ptr<DbClient> CreateDbClient(const QString& connectionString, DbError& error);
