#pragma once

#include "db/CancellableWork.h"
#include "db/client/DbClient.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace korvel {

class SqlDialect;

// Query results travel through the program as text only: one text per field, NULL as an
// empty text, binary data as upper-case hexadecimal.
using TextRow = QList<QString>;
using TextTable = QList<TextRow>;

// The first field of every row, in row order ("" for an empty row).
inline TextRow firstColumn(const TextTable& table)
{
    TextRow fields;
    fields.reserve(table.size());
    for (const TextRow& row : table)
        fields.append(row.value(0));
    return fields;
}

// The client that the provider of an OLE DB connection string names: SQL Server's
// providers through ODBC, MSDASQL for any ODBC source, sqlite for the embedded engine.
// An unknown provider gives no client and an error that names it.
std::unique_ptr<DbClient> createDbClient(const QString& connectionString, DbError& error);

// Adds a provider for the rest of the process, tried before the built-in ones: how tests
// put a client of their own under the whole program.
void registerDbProvider(const QString& provider, std::function<std::unique_ptr<DbClient>()> make);

// The literal of a value for a column of the given type: the value the column would store
// under the value rules, written as the dialect writes its kind (text as the dialect's text
// literal, bit as its bit, a moment in a form no server setting can misread, binary data as
// its binary literal of the hexadecimal text, numbers as they stand); an empty value for any
// column that is not text is NULL. A value the rules refuse goes quoted as it stands, for
// the server (or the embedded engine, which follows the same rules) to refuse. Quotes inside
// a value are always doubled.
QString sqlLiteralForType(const ColumnType& type, const QString& value, const SqlDialect& dialect);

// Makes the client for a connection string; the default one, createDbClient, picks it by
// the provider.
using DbClientFactory = std::function<std::unique_ptr<DbClient>(const QString& connectionString, DbError& error)>;

// The program's one road to the database. Each user action builds its own object, opens
// it, runs its statements and drops it. Operations report success as true/false; the
// reason for a failure is lastError(), which each operation clears as it begins, so that an
// older failure never stands in for a newer one. Opened on a thread that works under a
// CancellableWork, the connection is cancelled with it: every failure from then on reads
// "ADO 错误：0x80004004，操作已取消".
class Database
{
public:
    Database();
    explicit Database(DbClientFactory factory);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Connects; a second Open first closes the first connection. Fails after Close.
    bool open(const QString& connectionString);
    void close();

    // Runs a statement that returns no rows. An UPDATE that matches nothing succeeds; the
    // number of rows the statement changed goes to `rowsAffected` when one is given (-1
    // when the server does not count them).
    bool execute(const QString& sql, qint64* rowsAffected = nullptr);
    // Appends the rows of a SELECT to the table, each value as text. On a failure while
    // reading, the rows read so far stay.
    bool query(const QString& sql, TextTable* table);
    // Appends the first value of each row, as Query gives it.
    bool queryColumn(const QString& sql, QStringList* values);
    // Hands each row of a SELECT to `onRow` as soon as it is read, each value as text, for
    // callers that use every row once and need not hold them all (printing, writing a
    // file). The handler may move the row away. On a failure while reading, the rows
    // handed over so far stay handed over.
    using RowHandler = std::function<void(TextRow& row)>;
    bool forEachRow(const QString& sql, const RowHandler& onRow);

    // What an insert of rows gave back: the table, each new key in its row; and whether it
    // went in, with the row a failure belongs to (its position in the table, 0 for none).
    struct InsertedRows
    {
        bool ok = false;
        TextTable table;
        qsizetype failedRow = 0;

        explicit operator bool() const { return ok; }
    };
    // Inserts the value rows (1…) of a table whose row 0 names the columns, each value
    // written as the literal its live column type asks for (names matched ignoring case);
    // positions in `skip` are left out. With a key column, each new row's key is read back
    // into the row, and the long binary columns that are not NULL are then written from
    // their hexadecimal text. `rowsDone` (when given) is told how many value rows went in so
    // far, as they go.
    using RowsDone = std::function<void(qsizetype rows)>;
    InsertedRows insertRows(TextTable table, const QString& tableName, const QList<int>& skip = {},
                            const QString& keyColumn = QString(), const RowsDone& rowsDone = {});
    // The rows of one table for insertTogether, as insertRows takes them.
    struct TableRows
    {
        QString tableName;
        TextTable table;
        QList<int> skip;
        QString keyColumn;
        RowsDone rowsDone;
    };
    // What an insert of several tables gave back: the tables, each new key in its row; and
    // whether every row went in, or why not.
    struct InsertedTables
    {
        bool ok = false;
        bool found = false; // the query found a row, and nothing more was sent
        QList<TableRows> tables;
        QString failedTable; // whose rows the round trip that failed began with
        explicit operator bool() const { return ok; }
    };
    // Whether the engine takes rows together: several rows a statement, several statements a
    // round trip, each query's result read back.
    bool insertsTogether() const;
    // On such an engine, asks the columns of the tables not asked yet on this connection in
    // one round trip. A table that cannot be read is left to be asked alone, which says why.
    void probeTogether(const QStringList& tableNames);
    // Whether, besides, insertTogether can send the tables while no transaction is open, as
    // one batch that is a transaction of its own (PostgreSQL's): where the engine can fail
    // the batch when the query finds a row, and no long binary value waits for its row's key.
    bool insertsAsOneTransaction(const QList<TableRows>& tables, const QString& stopIfFound);
    // Inserts the value rows of several tables, in their order and as insertRows would, on
    // an engine that insertsTogether(), the query `stopIfFound` first: inside the open
    // transaction in as few round trips as their size allows (one for most labels), where
    // nothing more is sent once the query finds a row (found); or, where none is open and
    // insertsAsOneTransaction(), in one round trip that is all or nothing, the query's
    // finding a row a failure (no key is read back then: none is needed). Any failure (a
    // value refused before it is sent, a statement the server refuses) ends it without
    // naming the row: in a transaction, what went in is left for the caller's rollback,
    // after which insertRows can name the row.
    InsertedTables insertTogether(QList<TableRows> tables, const QString& stopIfFound);
    // The ADO type code of a column: 0 when the table has no such column, -1 on an error.
    int columnType(const QString& column, const QString& tableName);

    // A column of a live table: its name and type.
    struct LiveColumn
    {
        QString name;
        ColumnType type;
    };
    // The columns of a table as the server has them, narrow text with the code page of its
    // collation; false when the table cannot be read (lastError() says why).
    bool liveColumns(const QString& tableName, QList<LiveColumn>& columns);
    // The column a name from outside (a bundle's header) names, as SQL Server matches
    // names: ignoring case. Null when there is none.
    static const LiveColumn* findColumn(const QList<LiveColumn>& columns, const QString& name);
    // Rewrites a value as the SQL literal its column type asks for, in this connection's
    // dialect.
    void formatSqlLiteral(int type, QString& value) const;
    // A text value as a literal of this connection's dialect, for statements built by hand.
    QString textLiteral(const QString& text) const;
    // The condition that a column of the type holds the value, written as formatSqlLiteral
    // writes it; a text matches as SQL Server's default collation compares texts, ignoring
    // case and blanks at the end.
    QString equalsCondition(const QString& column, int type, const QString& value) const;
    // The forms of the engine connected to (T-SQL's before any connection), for statements
    // built by hand with sqlLiteralForType.
    const SqlDialect& dialect() const;

    // One transaction around several statements (the label import is all or nothing).
    bool beginTransaction();
    bool commitTransaction();
    bool rollbackTransaction();
    // A named point inside the open transaction, back to which a part of it can be taken
    // without the rest. rollbackToSavepoint takes back everything since the point and
    // releaseSavepoint keeps it; either ends the point.
    bool savepoint(const QString& name);
    bool rollbackToSavepoint(const QString& name);
    bool releaseSavepoint(const QString& name);

    // Whether a failure since Open lost the connection to the server: nothing more can run
    // on it.
    bool connectionLost() const { return m_connectionLost; }
    // Whether the work the connection was opened under was cancelled: nothing but a rollback
    // and the close run on it any more.
    bool cancelled() const { return m_work && m_work->isCancelled(); }
    // Whether the value rules decide which values the engine takes, as on the embedded
    // engine, which follows them; a server decides for itself.
    bool valueRulesDecide() const;

    // Why the last operation failed, as the user reads it; empty after one that worked.
    const QString& lastError() const { return m_lastError; }

    // The requests this object has sent to its connections since it was made: each
    // statement or batch, long binary write, and start or end of a transaction. On a server
    // each costs at least one round trip, which is what an action across a plant's network
    // is paid in.
    qint64 statementsSent() const { return m_statementsSent; }

private:
    bool disconnect();
    void setLastError(const DbError& error);
    bool openCursor(const QString& sql);
    void closeCursor();
    bool readRows(const RowHandler& onRow);
    // Each result set of a batch of queries, in order.
    bool queryResults(const QString& sql, QList<TextTable>& results);
    const QList<LiveColumn>* probeColumns(const QString& tableName);
    bool readCodePages(const QString& tableName, QList<LiveColumn>& columns);
    struct RowsInsert;
    bool planInsert(const QString& tableName, const QList<int>& skip, const QString& keyColumn, RowsInsert& insert);
    struct RowLiterals;
    RowLiterals rowLiterals(const RowsInsert& insert, const QList<int>& skip) const;
    bool sendRows(RowsInsert& insert, const QList<int>& skip);
    struct RowsStatement;
    bool sendTogether(const QString& stopIfFound, bool oneBatch, const QList<RowsStatement>& statements,
                      InsertedTables& inserted);
    bool sendRoundTrip(const QString& batch, bool guard, const QList<RowsStatement>& statements,
                       InsertedTables& inserted);
    bool writeLongBinaries(RowsInsert& insert);
    bool insertBatch(RowsInsert& insert, qsizetype firstRow, const QStringList& rows);
    bool insertOneByOne(RowsInsert& insert, qsizetype firstRow, const QStringList& rows);
    bool transactionStillOpen();
    bool takeNewKeys(RowsInsert& insert, qsizetype firstRow, qsizetype rows, const QStringList& keys);
    bool takeNewKey(RowsInsert& insert, qsizetype row, const QString& key);
    bool insertReadingKey(const QString& insert, const QString& tableName, const QString& keyColumn, QString& key);
    bool writeBlob(const QString& tableName, const QString& column, const QString& keyColumn, const QString& keyLiteral,
                   const QByteArray& bytes);
    // The open connection for one request, counted as sent; none after a cancel.
    DbClient* connectedClient(DbError& error);
    // The same also after a cancel, for what takes the work back.
    DbClient* openClient(DbError& error);
    enum class AfterCancel { Refused, Runs };
    bool runOnClient(bool (DbClient::*operation)(DbError&), AfterCancel afterCancel = AfterCancel::Refused);
    void releaseClient();

    DbClientFactory m_factory;
    std::unique_ptr<DbCursor> m_cursor;
    std::unique_ptr<DbClient> m_client;
    CancellableWork* m_work = nullptr;
    std::unique_ptr<CancellableWork::Registration> m_cancelRegistration;
    bool m_closed = false; // after Close the object holds nothing and cannot open again
    bool m_connectionLost = false;
    DbError m_lostError; // the failure that lost the connection
    bool m_inTransaction = false;
    qint64 m_batches = 0; // each batch's savepoint is named by its number
    qint64 m_statementsSent = 0;
    QString m_lastError;
    // The columns of the tables, and their code pages, as the server gave them on this
    // connection.
    QHash<QString, QList<LiveColumn>> m_liveColumns;
    QHash<QString, TextTable> m_codePages;
};

} // namespace korvel
