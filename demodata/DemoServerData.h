#pragma once

#include "demodata/DemoDatabase.h"

#include <QString>

namespace korvel {

// The demo data in a server's database (SQL Server, or any ODBC source Korvel reaches):
// the same rows as in the embedded demo, keys included, so that a trial or a test on a
// server sees what it sees in the embedded database.

// Copies the rows of Korvel's tables from an embedded database into the tables of the
// database that the connection string names, which must have Korvel's tables with no rows
// in them: each table in the order of its key, in one transaction, whole or not at all.
Outcome copyEmbeddedRows(const QString& embeddedPath, const QString& connectionString);

// The demo data of the options, as createDemoDatabase makes it, into such a database.
Outcome loadDemoData(const QString& connectionString, const DemoOptions& demo);

} // namespace korvel
