#pragma once

#include <QString>

struct sqlite3;

// The parts of the demo data, each filling its tables of a database that has Korvel's
// tables and nothing in them. The caller holds the transaction.

// Admin with the password "korvel", and a few other users.
[[nodiscard]] bool SeedDemoUsers(sqlite3* db, QString& error);
// Harnesses 1 to count with their wires; every hundredth harness has none.
[[nodiscard]] bool SeedDemoHarnesses(sqlite3* db, int count, QString& error);
// Jobs 1 to count with their steps, for harnesses 1 to harnessCount; every hundredth
// job, from the fiftieth, has none.
[[nodiscard]] bool SeedDemoJobs(sqlite3* db, int count, int harnessCount, QString& error);
// Labels 1 to count with their controls and the items that the controls share.
[[nodiscard]] bool SeedDemoLabels(sqlite3* db, int count, QString& error);

struct DemoCounts;

// All of the above, in an order that satisfies the foreign keys.
[[nodiscard]] bool SeedDemoDatabase(sqlite3* db, const DemoCounts& counts, QString& error);
