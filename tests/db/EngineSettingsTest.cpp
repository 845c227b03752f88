#include "db/sqlite/EngineSettings.h"

#include "tests/support/ChildProcess.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

using namespace korvel;

TEST(EngineSettings, TheEngineKeepsNoMemoryStatistics)
{
    EXPECT_TRUE(holdsInChildProcess([] {
        sqlite3_shutdown(); // as at a program's start: the engine not yet in use
        configureEmbeddedEngine();
        sqlite3* db = nullptr;
        const bool worked = sqlite3_open(":memory:", &db) == SQLITE_OK &&
                            sqlite3_exec(db, "create table t (a text); insert into t values ('x')", nullptr, nullptr,
                                         nullptr) == SQLITE_OK;
        const sqlite3_int64 counted = sqlite3_memory_used();
        sqlite3_close(db);
        return worked && counted == 0;
    }));
}
