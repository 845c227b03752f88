#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

namespace korvel {

// The ADO data type codes that SQL Server's OLE DB provider reports, the only ones that
// decide how a value is written into a statement.
enum AdoType : int {
    adEmpty = 0,
    adSmallInt = 2,
    adInteger = 3,
    adSingle = 4,
    adDouble = 5,
    adCurrency = 6,
    adDate = 7,
    adBoolean = 11,
    adVariant = 12,
    adDecimal = 14,
    adTinyInt = 16,
    adUnsignedTinyInt = 17,
    adUnsignedSmallInt = 18,
    adUnsignedInt = 19,
    adBigInt = 20,
    adUnsignedBigInt = 21,
    adGUID = 72,
    adBinary = 128,
    adChar = 129,
    adWChar = 130,
    adNumeric = 131,
    adDBDate = 133,
    adDBTime = 134,
    adDBTimeStamp = 135,
    adVarNumeric = 139,
    adVarChar = 200,
    adLongVarChar = 201,
    adVarWChar = 202,
    adLongVarWChar = 203,
    adVarBinary = 204,
    adLongVarBinary = 205,
};

// What a column holds, as far as the values it takes go: its ADO type code and the limits
// of its declaration.
struct ColumnType
{
    int adoType = adEmpty;
    // Text: the characters (wide types) or bytes (narrow types) it holds; binary: its bytes;
    // decimal: its precision. 0 when the declaration sets no limit ((max), text, image).
    int size = 0;
    // Decimal: the digits after the point; date-time: the fraction digits it keeps.
    int scale = 0;
    // Narrow text (char, varchar, text): the Windows code page its characters are kept in,
    // as the collation of the column gives it (936 GBK, 1252 Latin-1, …), in whose bytes the
    // size counts. 0 when any character goes (a UTF-8 collation, a server that keeps text in
    // Unicode; the size then counts UTF-8 bytes), and for any other type.
    int codePage = 0;
};

// What a database client reports when a call fails: an HRESULT-style code, as the program
// shows it, and the driver's own text when there is one.
struct DbError
{
    std::uint32_t code = 0;
    std::optional<QString> description; // none for a missing object
    // The link to the server broke (ODBC's SQLSTATE class 08): nothing more can run on the
    // connection, and a batch must not go on trying.
    bool connectionLost = false;

    static DbError driverFailure(const QString& text) { return {kFail, text}; }
    static DbError missingObject() { return {kPointer, std::nullopt}; }
    // What a call of cancelled work fails with, whatever the driver said.
    static DbError cancelled() { return {kAbort, QStringLiteral("操作已取消")}; }

    static constexpr std::uint32_t kFail = 0x80004005;       // E_FAIL: the driver or server refused
    static constexpr std::uint32_t kPointer = 0x80004003;    // E_POINTER: no such object (closed, never opened)
    static constexpr std::uint32_t kAbort = 0x80004004;      // E_ABORT: the user cancelled
    static constexpr std::uint32_t kNoProvider = 0x800A0E7A; // the provider of the connection string is unknown
};

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

    static DbValue null() { return {}; }
    static DbValue fromBytes(QByteArray bytes) { return {Kind::Bytes, std::move(bytes), QString()}; }
    static DbValue fromText(QString text) { return {Kind::Text, QByteArray(), std::move(text)}; }
};

// A forward-only result, positioned on its first row when it is opened. A statement that
// returns no result set gives a cursor without fields and rows.
class DbCursor
{
public:
    virtual ~DbCursor() = default;

    virtual int fieldCount() const = 0;
    virtual QString fieldName(int field) const = 0;
    // The field's type: its ADO data type code (3 int, 202 nvarchar, 205 image, …) with the
    // size and scale it was declared with.
    virtual ColumnType fieldColumnType(int field) const = 0;
    int fieldType(int field) const { return fieldColumnType(field).adoType; }

    virtual bool atEnd() const = 0;
    // The value of a field of the current row; each field is read at most once per row.
    [[nodiscard]] virtual bool readValue(int field, DbValue& value, DbError& error) = 0;
    [[nodiscard]] virtual bool moveNext(DbError& error) = 0;
    // The batch's next result set that has columns, for a batch of several queries; none
    // after the last, and from a client that runs no statement after a result set.
    virtual std::unique_ptr<DbCursor> takeNextResult() { return nullptr; }
};

// The few operations the program needs from a database engine.
class DbClient
{
public:
    virtual ~DbClient() = default;

    [[nodiscard]] virtual bool open(const QString& connectionString, DbError& error) = 0;
    virtual bool isOpen() const = 0;
    // Closing what is not open does nothing and succeeds.
    [[nodiscard]] virtual bool close(DbError& error) = 0;

    // Runs a statement (or a batch) that returns no rows; gives the number of rows it
    // changed, or -1 when the server does not count them.
    [[nodiscard]] virtual bool execute(const QString& sql, qint64& rowsChanged, DbError& error) = 0;
    [[nodiscard]] virtual std::unique_ptr<DbCursor> openCursor(const QString& sql, DbError& error) = 0;
    // Runs a statement with one '?' parameter bound to the bytes as long binary data; gives
    // the number of rows it changed.
    [[nodiscard]] virtual bool executeWithBinary(const QString& sql, const QByteArray& bytes, qint64& rowsChanged,
                                                 DbError& error) = 0;

    [[nodiscard]] virtual bool beginTransaction(DbError& error) = 0;
    [[nodiscard]] virtual bool commitTransaction(DbError& error) = 0;
    [[nodiscard]] virtual bool rollbackTransaction(DbError& error) = 0;

    // From any other thread, at any time while the client exists: asks the call running on
    // the connection, or the connection being made, to end at once with an error. A client
    // that cannot cancel lets the call run to its end.
    virtual void cancel() {}

    virtual const SqlDialect& dialect() const = 0;
};

} // namespace korvel
