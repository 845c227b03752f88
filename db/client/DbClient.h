#pragma once

#include "db/client/AdoTypes.h"
#include "db/client/DbError.h"

#include <QByteArray>
#include <QString>

#include <memory>

class SqlDialect;

// One value of a result row, as the client delivers it. Clients give the program's text
// forms: bit as "-1"/"0", uniqueidentifier as a braced upper-case GUID, date-time as
// "YYYY-MM-DD HH:MM:SS" (the time left out at midnight, milliseconds kept when not zero),
// decimals with a point. Binary columns come as bytes.
struct DbValue
{
    enum class Kind { Null, Bytes, Text };
    Kind kind = Kind::Null;
    QByteArray bytes;
    QString text;

    static DbValue Null() { return {}; }
    static DbValue FromBytes(QByteArray bytes) { return {Kind::Bytes, std::move(bytes), QString()}; }
    static DbValue FromText(QString text) { return {Kind::Text, QByteArray(), std::move(text)}; }
};

// A forward-only result, positioned on its first row when it is opened. A statement that
// returns no result set gives a cursor without fields and rows.
class DbCursor
{
public:
    virtual ~DbCursor() = default;

    virtual int FieldCount() const = 0;
    virtual QString FieldName(int field) const = 0;
    // The field's type: its ADO data type code (3 int, 202 nvarchar, 205 image, …) with the
    // size and scale it was declared with.
    virtual ColumnType FieldColumnType(int field) const = 0;
    int FieldType(int field) const { return FieldColumnType(field).adoType; }

    virtual bool AtEnd() const = 0;
    // The value of a field of the current row; each field is read at most once per row.
    [[nodiscard]] virtual bool ReadValue(int field, DbValue& value, DbError& error) = 0;
    [[nodiscard]] virtual bool MoveNext(DbError& error) = 0;
};

// The few operations the program needs from a database engine.
class DbClient
{
public:
    virtual ~DbClient() = default;

    [[nodiscard]] virtual bool Open(const QString& connectionString, DbError& error) = 0;
    virtual bool IsOpen() const = 0;
    // Closing what is not open does nothing and succeeds.
    [[nodiscard]] virtual bool Close(DbError& error) = 0;

    // Runs a statement (or a batch) that returns no rows; gives the number of rows it
    // changed, or -1 when the server does not count them.
    [[nodiscard]] virtual bool Execute(const QString& sql, qint64& rowsChanged, DbError& error) = 0;
    [[nodiscard]] virtual std::unique_ptr<DbCursor> OpenCursor(const QString& sql, DbError& error) = 0;
    // Runs a statement with one '?' parameter bound to the bytes as long binary data; gives
    // the number of rows it changed.
    [[nodiscard]] virtual bool ExecuteWithBinary(const QString& sql, const QByteArray& bytes, qint64& rowsChanged,
                                                 DbError& error) = 0;

    [[nodiscard]] virtual bool BeginTransaction(DbError& error) = 0;
    [[nodiscard]] virtual bool CommitTransaction(DbError& error) = 0;
    [[nodiscard]] virtual bool RollbackTransaction(DbError& error) = 0;

    virtual const SqlDialect& Dialect() const = 0;
};
