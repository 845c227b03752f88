#pragma once

// Reading what an executed statement gives: each of its result sets whole, value by value,
// and the errors of every result.

#include "db/client/DbClient.h"
#include "db/odbc/OdbcTypes.h"
#include "db/odbc/OdbcWatchdog.h"

#include <QList>
#include <QString>

#include <memory>
#include <optional>

#include <sqlext.h>

namespace korvel {

// A result held whole in memory, as ADO's client-side cursor holds it. Reading the rows at
// once frees the statement and so the connection: SQL Server connections (without MARS)
// run one statement at a time, and the program keeps a result open while it executes others.
class BufferedCursor : public DbCursor
{
public:
    struct Field
    {
        QString name;
        ColumnType type;
    };
    using Row = QList<DbValue>;

    // `failure`, when given, is the error that stopped reading after the rows given: moving
    // past the last of them reports it. `next` is the batch's result set after this one.
    BufferedCursor(QList<Field> fields, QList<Row> rows, std::optional<DbError> failure,
                   std::unique_ptr<BufferedCursor> next = nullptr);

    int fieldCount() const override;
    QString fieldName(int field) const override;
    ColumnType fieldColumnType(int field) const override;

    bool atEnd() const override;
    [[nodiscard]] bool readValue(int field, DbValue& value, DbError& error) override;
    [[nodiscard]] bool moveNext(DbError& error) override;
    std::unique_ptr<DbCursor> takeNextResult() override;

private:
    QList<Field> m_fields;
    QList<Row> m_rows;
    std::optional<DbError> m_failure;
    qsizetype m_row = 0;
    std::unique_ptr<BufferedCursor> m_next;
};

// The failures that are the connection's or the statement's, not one value's. A value that
// fails to read with another SQLSTATE is an empty cell.
bool endsTheQuery(const QString& sqlState);

// Fetches one column of the current row with SQLGetData (columns from 1, in ascending
// order) and gives it in the program's form for its kind. Long values arrive in chunks that
// are joined as bytes before they are decoded, since a chunk may end inside a character. A
// value the driver cannot give is NULL; false only when the connection or statement fails.
[[nodiscard]] bool readOdbcValue(SQLHSTMT statement, SQLUSMALLINT column, OdbcValueKind kind, DbValue& value,
                                 DbError& error);

// Reads the result sets of an executed statement whole into a cursor, each after the first
// behind the one before it (results without columns, such as the row counts of a batch, are
// passed over); each row read is progress for the wait. A statement without a result set
// gives a cursor without fields.
// An error before the first row fails; an error on a later row, or in a later result of the
// batch, keeps the rows of the first result before it and is reported when the cursor moves
// past them.
[[nodiscard]] bool readOdbcResult(SQLHSTMT statement, OdbcWatchdog::Wait& wait, std::unique_ptr<DbCursor>& cursor,
                                  DbError& error);

} // namespace korvel
