#pragma once

#include <QByteArray>
#include <QString>

struct sqlite3;
struct sqlite3_stmt;

// One prepared INSERT, run row after row: bind every column in order, then Insert.
// Calls chain in column order (C++17 evaluates each call of a chain, arguments included,
// before the next), so values drawn from a generator in the chain come in column order.
class RowInserter
{
public:
    RowInserter() = default;
    ~RowInserter();
    RowInserter(const RowInserter&) = delete;
    RowInserter& operator=(const RowInserter&) = delete;

    // Prepares "INSERT INTO table (columns) VALUES (?, …)" with one parameter per column;
    // `columns` is the comma-separated column list.
    [[nodiscard]] bool Prepare(sqlite3* db, const char* table, const char* columns, QString& error);

    RowInserter& Null();
    RowInserter& Int(qint64 value);
    // UTF-8 text. A null pointer or a null QByteArray binds NULL; an empty text does not.
    RowInserter& Text(const char* utf8);
    RowInserter& Text(const QByteArray& utf8);
    // A null QByteArray binds NULL.
    RowInserter& Blob(const QByteArray& bytes);

    // Inserts the bound row and starts the next one. Fails, naming the table, when the
    // database refuses the row or not every column was bound.
    [[nodiscard]] bool Insert(QString& error);

private:
    RowInserter& Bound(int result);

    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_statement = nullptr;
    QByteArray m_table;
    int m_next = 1; // SQLite numbers parameters from 1
    int m_bindResult = 0;
};
