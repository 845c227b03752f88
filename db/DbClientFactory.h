#pragma once

#include "db/client/DbClient.h"

#include <functional>
#include <memory>

// The client that the provider of an OLE DB connection string names: SQL Server's
// providers through ODBC, MSDASQL for any ODBC source, sqlite for the embedded engine.
// An unknown provider gives no client and an error that names it.
std::unique_ptr<DbClient> CreateDbClient(const QString& connectionString, DbError& error);

// Adds a provider for the rest of the process, tried before the built-in ones: how tests
// put a client of their own under the whole program.
void RegisterDbProvider(const QString& provider, std::function<std::unique_ptr<DbClient>()> make);
