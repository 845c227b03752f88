#pragma once

#include "db/client/AdoTypes.h"

#include <QString>

#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// SQLite keeps whatever it is given; SQL Server refuses a value its column cannot hold. This
// makes an embedded connection refuse, in every statement that writes a row, what the value
// rules refuse for the SQL Server type each column was declared with: a trigger on each
// table hands every new value to the rules. Tables created on the connection after it
// opened are covered from the next statement on.
class SqliteValueRules
{
public:
    SqliteValueRules() = default;
    ~SqliteValueRules();
    SqliteValueRules(const SqliteValueRules&) = delete;
    SqliteValueRules& operator=(const SqliteValueRules&) = delete;

    // Registers the check on a newly opened connection.
    [[nodiscard]] bool Install(sqlite3* db);
    // Before each statement: puts the triggers in step with the tables when the schema has
    // changed since they were made.
    [[nodiscard]] bool Refresh();
    void Release();

    struct CheckedColumn
    {
        QString table;
        QString column;
        ColumnType type;
    };

private:
    bool MakeTriggers();

    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_schemaVersion = nullptr;
    int m_triggersVersion = -1;
    std::vector<CheckedColumn> m_columns;
    std::vector<QString> m_triggers;
};
