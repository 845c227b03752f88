#pragma once

#include <QByteArray>

struct sqlite3;

// Set-up SQL for a benchmark's database, through plain SQLite; a failure ends the run.
void ExecOrExit(sqlite3* db, const QByteArray& sql);
