#pragma once

#include "db/client/DbClient.h"
#include "db/sqlite/SqliteValueRules.h"
#include "util/Outcome.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>

#include <atomic>
#include <functional>
#include <mutex>

struct sqlite3;
struct sqlite3_stmt;

namespace korvel {

// The embedded database. Besides SQLite's own SQL it understands what the program's
// T-SQL statements use: NEWID(), object_id(), the syscolumns catalogue, "select top N" and
// batches of statements; and it refuses the values SQL Server would refuse (the value rules).
// The connection string names the database file as its Data Source; the file must exist.
// A Data Source that is a "file:" URI is opened as SQLite reads URIs.
class SqliteClient : public DbClient
{
public:
    SqliteClient() = default;
    ~SqliteClient() override;
    SqliteClient(const SqliteClient&) = delete;
    SqliteClient& operator=(const SqliteClient&) = delete;

    bool open(const QString& connectionString, DbError& error) override;
    bool isOpen() const override;
    bool close(DbError& error) override;

    bool execute(const QString& sql, qint64& rowsChanged, DbError& error) override;
    std::unique_ptr<DbCursor> openCursor(const QString& sql, DbError& error) override;
    bool executeWithBinary(const QString& sql, const QByteArray& bytes, qint64& rowsChanged, DbError& error) override;

    bool beginTransaction(DbError& error) override;
    bool commitTransaction(DbError& error) override;
    bool rollbackTransaction(DbError& error) override;

    // Interrupts the statement running (sqlite3_interrupt) and ends a wait for another
    // program's lock; from then on the client waits for no lock.
    void cancel() override;

    const SqlDialect& dialect() const override;

private:
    // The statements of a batch, prepared one at a time.
    struct StatementBatch
    {
        QByteArray text;
        const char* next = nullptr;
        QByteArray rest() const { return QByteArray(next, text.constData() + text.size() - next); }
    };

    bool checkOpen(DbError& error) const;
    bool run(const char* sql, DbError& error);
    bool startBatch(const QString& sql, StatementBatch& batch, DbError& error) const;
    // The next statement of the batch, or none (and true) at its end.
    bool nextStatement(StatementBatch& batch, sqlite3_stmt*& statement, DbError& error);
    bool prepare(const char* text, const char* end, sqlite3_stmt*& statement, const char*& tail, DbError& error);
    static int stepToEnd(sqlite3_stmt* statement);
    DbError lastError() const;
    bool installTransactSqlSupport(DbError& error);
    static int waitForLock(void* client, int attempt);
    // After a failed Open: whatever Open made goes.
    void closeUnopened();

    sqlite3* m_db = nullptr;
    SqliteValueRules m_rules;
    // Cancel may come from another thread: m_db changes under the lock, and the wait for a
    // lock looks at the flag.
    std::mutex m_cancelLock;
    std::atomic<bool> m_cancelled{false};
    QElapsedTimer m_lockWait;
};

// Adds rows to a new embedded database, inside the transaction that made its tables.
using EmbeddedDatabaseFiller = std::function<Outcome(sqlite3* db)>;

// Creates an embedded database file with Korvel's tables (db/schema/sqlite.sql, compiled
// in), and with what `fill` adds when one is given. Refuses a path where anything exists and
// leaves it alone. The file appears only when it is complete: it is built under a temporary
// name beside it and renamed at the end, and removed on failure.
Outcome createEmbeddedDatabase(const QString& path, const EmbeddedDatabaseFiller& fill = {});

} // namespace korvel
