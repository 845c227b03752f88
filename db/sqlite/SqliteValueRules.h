#pragma once

#include "db/client/DbClient.h"

#include <QString>

#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace korvel {

// SQLite keeps whatever it is given; SQL Server refuses a value its column cannot hold. This
// makes an embedded connection refuse, in every statement that writes a row, what the value
// rules refuse for the SQL Server type each column was declared with: triggers on each table
// hand every new value to the rules. They are made when the connection first writes, and
// made anew when the tables have changed, so that reading costs nothing.
class SqliteValueRules
{
public:
    SqliteValueRules() = default;
    ~SqliteValueRules();
    SqliteValueRules(const SqliteValueRules&) = delete;
    SqliteValueRules& operator=(const SqliteValueRules&) = delete;

    // Registers the check on a newly opened connection.
    [[nodiscard]] bool install(sqlite3* db);
    // Whether the triggers must be made (anew) before a statement that writes is prepared:
    // none yet, or the tables have changed since.
    bool stale();
    // Makes the triggers for the tables as they are now.
    [[nodiscard]] bool refresh();
    // After a rollback, which may have taken back triggers made inside the transaction.
    void forget();
    void release();

    struct CheckedColumn
    {
        QString table;
        QString column;
        ColumnType type;
    };

private:
    static int schemaVersion(sqlite3_stmt* pragma);
    bool makeTriggers();
    QString triggersOf(const QString& table, std::size_t first);

    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_schemaVersion = nullptr;         // the tables'
    sqlite3_stmt* m_triggersSchemaVersion = nullptr; // the temporary schema's, which holds the triggers
    int m_triggersVersion = -1;                      // the tables' when the triggers were made
    int m_triggersTempVersion = -1;                  // and the temporary schema's
    std::vector<CheckedColumn> m_columns;
    std::vector<QString> m_triggers;
};

} // namespace korvel
