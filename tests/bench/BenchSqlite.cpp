#include "tests/bench/BenchSqlite.h"

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>

void ExecOrExit(sqlite3* db, const QByteArray& sql)
{
    char* message = nullptr;
    if (sqlite3_exec(db, sql.constData(), nullptr, nullptr, &message) != SQLITE_OK) {
        std::fprintf(stderr, "benchmark set-up failed: %s\n", message);
        std::exit(1);
    }
}
