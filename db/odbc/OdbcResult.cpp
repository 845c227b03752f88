#include "db/odbc/OdbcResult.h"

#include "db/odbc/OdbcApi.h"
#include "db/odbc/OdbcTypes.h"

#include <QStringList>

#include <optional>
#include <vector>

namespace korvel {

namespace {

constexpr SQLLEN kChunkBytes = 64 * 1024;

// The whole value of a character (SQL_C_WCHAR) or binary (SQL_C_BINARY) column. The
// indicator gives the bytes still to come or SQL_NO_TOTAL; a piece that does not fit fills
// the buffer (less the terminator for text) and the next call goes on where it stopped.
bool readLongData(SQLHSTMT statement, SQLUSMALLINT column, SQLSMALLINT cType, QByteArray& data, bool& isNull,
                  DbError& error)
{
    const SQLLEN terminator = cType == SQL_C_WCHAR ? static_cast<SQLLEN>(sizeof(SQLWCHAR)) : 0;
    const SQLLEN room = kChunkBytes - terminator;
    QByteArray chunk(kChunkBytes, Qt::Uninitialized);
    data.clear();
    isNull = false;
    for (;;) {
        SQLLEN indicator = 0;
        const SQLRETURN result = SQLGetData(statement, column, cType, chunk.data(), kChunkBytes, &indicator);
        if (result == SQL_NO_DATA)
            return true;
        if (!SQL_SUCCEEDED(result)) {
            error = odbcFailure(SQL_HANDLE_STMT, statement, "SQLGetData");
            return false;
        }
        if (indicator == SQL_NULL_DATA) {
            isNull = true;
            return true;
        }
        const bool last = indicator != SQL_NO_TOTAL && indicator <= room;
        data.append(chunk.constData(), last ? indicator : room);
        if (last)
            return true;
    }
}

template<typename Fixed>
bool readFixed(SQLHSTMT statement, SQLUSMALLINT column, SQLSMALLINT cType, Fixed& fixed, bool& isNull, DbError& error)
{
    SQLLEN indicator = 0;
    if (!SQL_SUCCEEDED(SQLGetData(statement, column, cType, &fixed, sizeof fixed, &indicator))) {
        error = odbcFailure(SQL_HANDLE_STMT, statement, "SQLGetData");
        return false;
    }
    isNull = indicator == SQL_NULL_DATA;
    return true;
}

QString textFromUtf16Bytes(const QByteArray& bytes)
{
    return fromOdbcText(reinterpret_cast<const SQLWCHAR*>(bytes.constData()),
                        bytes.size() / static_cast<qsizetype>(sizeof(SQLWCHAR)));
}

bool readValueOfKind(SQLHSTMT statement, SQLUSMALLINT column, OdbcValueKind kind, DbValue& value, DbError& error)
{
    bool isNull = false;
    switch (kind) {
    case OdbcValueKind::Bit: {
        SQLCHAR bit = 0;
        if (!readFixed(statement, column, SQL_C_BIT, bit, isNull, error))
            return false;
        value = isNull ? DbValue::null() : DbValue::fromText(bit ? QStringLiteral("-1") : QStringLiteral("0"));
        return true;
    }
    case OdbcValueKind::Timestamp: {
        SQL_TIMESTAMP_STRUCT timestamp = {};
        if (!readFixed(statement, column, SQL_C_TYPE_TIMESTAMP, timestamp, isNull, error))
            return false;
        value = isNull ? DbValue::null() : DbValue::fromText(timestampText(timestamp));
        return true;
    }
    case OdbcValueKind::Bytes: {
        QByteArray bytes;
        if (!readLongData(statement, column, SQL_C_BINARY, bytes, isNull, error))
            return false;
        value = isNull ? DbValue::null() : DbValue::fromBytes(bytes);
        return true;
    }
    case OdbcValueKind::Guid:
    case OdbcValueKind::Text: {
        QByteArray utf16;
        if (!readLongData(statement, column, SQL_C_WCHAR, utf16, isNull, error))
            return false;
        QString text = textFromUtf16Bytes(utf16);
        if (kind == OdbcValueKind::Guid)
            text = bracedGuid(text);
        value = isNull ? DbValue::null() : DbValue::fromText(text);
        return true;
    }
    }
    return false;
}

// Moves to the first result that has columns; false with columns = 0 when there is none.
bool findColumns(SQLHSTMT statement, SQLSMALLINT& columns, DbError& error)
{
    for (;;) {
        columns = 0;
        if (!SQL_SUCCEEDED(SQLNumResultCols(statement, &columns))) {
            error = odbcFailure(SQL_HANDLE_STMT, statement, "SQLNumResultCols");
            return false;
        }
        if (columns > 0)
            return true;
        bool more = false;
        if (!nextOdbcResult(statement, more, error))
            return false;
        if (!more)
            return true;
    }
}

// A column is described from what the driver has with the result. psqlODBC looks a column's
// table up in the catalogue (three round trips, the first time a table appears on a
// connection) when asked for the column's concise type, nullability or type name, but not
// for its verbose type or local type name: those are asked instead, the others only where
// they alone tell.

bool numericAttribute(SQLHSTMT statement, SQLUSMALLINT column, SQLUSMALLINT attribute, SQLLEN& value, DbError& error)
{
    if (!SQL_SUCCEEDED(SQLColAttributeW(statement, column, attribute, nullptr, 0, nullptr, &value))) {
        error = odbcFailure(SQL_HANDLE_STMT, statement, "SQLColAttributeW");
        return false;
    }
    return true;
}

bool textAttribute(SQLHSTMT statement, SQLUSMALLINT column, SQLUSMALLINT attribute, QString& text, DbError& error)
{
    SQLWCHAR buffer[128] = {};
    SQLSMALLINT bytes = 0;
    if (!SQL_SUCCEEDED(SQLColAttributeW(statement, column, attribute, buffer, sizeof buffer, &bytes, nullptr))) {
        error = odbcFailure(SQL_HANDLE_STMT, statement, "SQLColAttributeW");
        return false;
    }
    const qsizetype capacity = static_cast<qsizetype>(sizeof buffer / sizeof buffer[0]) - 1;
    text = fromOdbcText(buffer, qMin<qsizetype>(bytes / static_cast<qsizetype>(sizeof(SQLWCHAR)), capacity));
    return true;
}

// The local type name is the type name where a driver gives one; some give none.
bool readTypeName(SQLHSTMT statement, SQLUSMALLINT column, QString& name, DbError& error)
{
    DbError localError;
    if (textAttribute(statement, column, SQL_DESC_LOCAL_TYPE_NAME, name, localError) && !name.isEmpty())
        return true;
    return textAttribute(statement, column, SQL_DESC_TYPE_NAME, name, error);
}

// The concise type that a date-time's column size tells by ODBC's definition: a date 10, a
// time 8, or 9 and its fraction digits, a timestamp 19, or 20 and its fraction digits;
// none at 16, a timestamp without seconds or a time of 7 fraction digits.
std::optional<SQLSMALLINT> dateTimeTypeOfSize(SQLULEN columnSize)
{
    if (columnSize == 10)
        return SQL_TYPE_DATE;
    if (columnSize >= 8 && columnSize < 16)
        return SQL_TYPE_TIME;
    if (columnSize > 16)
        return SQL_TYPE_TIMESTAMP;
    return std::nullopt;
}

bool conciseType(SQLHSTMT statement, SQLUSMALLINT column, SQLULEN columnSize, SQLSMALLINT& type, DbError& error)
{
    SQLLEN verbose = 0;
    if (!numericAttribute(statement, column, SQL_DESC_TYPE, verbose, error))
        return false;
    std::optional<SQLSMALLINT> concise;
    if (verbose == SQL_DATETIME)
        concise = dateTimeTypeOfSize(columnSize);
    else if (verbose != SQL_INTERVAL)
        concise = static_cast<SQLSMALLINT>(verbose);
    if (concise) {
        type = *concise;
        return true;
    }
    if (!SQL_SUCCEEDED(SQLDescribeColW(statement, column, nullptr, 0, nullptr, &type, nullptr, nullptr, nullptr))) {
        error = odbcFailure(SQL_HANDLE_STMT, statement, "SQLDescribeColW");
        return false;
    }
    return true;
}

bool describeField(SQLHSTMT statement, SQLUSMALLINT column, BufferedCursor::Field& field, OdbcValueKind& kind,
                   DbError& error)
{
    std::vector<SQLWCHAR> name(256);
    SQLSMALLINT nameLength = 0;
    SQLULEN columnSize = 0;
    SQLSMALLINT decimalDigits = 0;
    for (;;) {
        if (!SQL_SUCCEEDED(SQLDescribeColW(statement, column, name.data(), static_cast<SQLSMALLINT>(name.size()),
                                           &nameLength, nullptr, &columnSize, &decimalDigits, nullptr))) {
            error = odbcFailure(SQL_HANDLE_STMT, statement, "SQLDescribeColW");
            return false;
        }
        if (nameLength < static_cast<SQLSMALLINT>(name.size()))
            break;
        name.resize(static_cast<std::size_t>(nameLength) + 1);
    }
    SQLSMALLINT sqlType = 0;
    QString typeName;
    if (!conciseType(statement, column, columnSize, sqlType, error) ||
        !readTypeName(statement, column, typeName, error))
        return false;
    field.name = fromOdbcText(name.data(), nameLength);
    field.type = columnTypeOfOdbcColumn(sqlType, columnSize, decimalDigits, typeName);
    kind = valueKindOfAdoType(field.type.adoType);
    return true;
}

bool readRow(SQLHSTMT statement, const std::vector<OdbcValueKind>& kinds, BufferedCursor::Row& row, DbError& error)
{
    row.clear();
    row.reserve(static_cast<qsizetype>(kinds.size()));
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        DbValue value;
        if (!readOdbcValue(statement, static_cast<SQLUSMALLINT>(i + 1), kinds[i], value, error))
            return false;
        row.append(std::move(value));
    }
    return true;
}

// One result set read whole. An error before its first row fails the reading; one after it
// keeps the rows before it, as the failure.
struct ResultSet
{
    QList<BufferedCursor::Field> fields;
    QList<BufferedCursor::Row> rows;
    std::optional<DbError> failure;
};

bool readResultSet(SQLHSTMT statement, SQLSMALLINT columns, OdbcWatchdog::Wait& wait, ResultSet& set, DbError& error)
{
    std::vector<OdbcValueKind> kinds(static_cast<std::size_t>(columns));
    for (SQLSMALLINT column = 1; column <= columns; ++column) {
        BufferedCursor::Field field;
        if (!describeField(statement, static_cast<SQLUSMALLINT>(column), field, kinds[column - 1], error))
            return false;
        set.fields.append(field);
    }
    while (columns > 0) {
        const SQLRETURN result = SQLFetch(statement);
        if (result == SQL_NO_DATA)
            break;
        BufferedCursor::Row row;
        DbError rowError;
        if (!SQL_SUCCEEDED(result)) {
            rowError = odbcFailure(SQL_HANDLE_STMT, statement, "SQLFetch");
        } else if (readRow(statement, kinds, row, rowError)) {
            set.rows.append(std::move(row));
            wait.progress();
            continue;
        }
        if (set.rows.isEmpty()) {
            error = rowError;
            return false;
        }
        set.failure = rowError;
        break;
    }
    return true;
}

// Every further result of the batch that has columns, each whole; the error of any later
// statement fails the reading, so that it is not lost.
bool readLaterResults(SQLHSTMT statement, OdbcWatchdog::Wait& wait, QList<ResultSet>& sets, DbError& error)
{
    for (;;) {
        bool more = false;
        SQLSMALLINT columns = 0;
        if (!nextOdbcResult(statement, more, error) || (more && !findColumns(statement, columns, error)))
            return false;
        if (columns == 0)
            return true;
        ResultSet set;
        if (!readResultSet(statement, columns, wait, set, error))
            return false;
        if (set.failure) {
            error = *set.failure;
            return false;
        }
        sets.append(std::move(set));
    }
}

} // namespace

bool endsTheQuery(const QString& sqlState)
{
    static const QStringList whole = {QStringLiteral("HYT00"), QStringLiteral("HYT01"), QStringLiteral("HY008"),
                                      QStringLiteral("HY001"), QStringLiteral("HY010")};
    return sqlState.startsWith(QLatin1String("08")) || whole.contains(sqlState);
}

BufferedCursor::BufferedCursor(QList<Field> fields, QList<Row> rows, std::optional<DbError> failure,
                               std::unique_ptr<BufferedCursor> next)
    : m_fields(std::move(fields)), m_rows(std::move(rows)), m_failure(std::move(failure)), m_next(std::move(next))
{
}

std::unique_ptr<DbCursor> BufferedCursor::takeNextResult()
{
    return std::move(m_next);
}

int BufferedCursor::fieldCount() const
{
    return static_cast<int>(m_fields.size());
}

QString BufferedCursor::fieldName(int field) const
{
    return field >= 0 && field < m_fields.size() ? m_fields[field].name : QString();
}

ColumnType BufferedCursor::fieldColumnType(int field) const
{
    return field >= 0 && field < m_fields.size() ? m_fields[field].type : ColumnType();
}

bool BufferedCursor::atEnd() const
{
    return m_row >= m_rows.size();
}

bool BufferedCursor::readValue(int field, DbValue& value, DbError& error)
{
    if (atEnd() || field < 0 || field >= m_fields.size()) {
        error = DbError::missingObject();
        return false;
    }
    value = m_rows[m_row][field]; // shares the data: a long value is not copied
    return true;
}

bool BufferedCursor::moveNext(DbError& error)
{
    if (atEnd()) {
        error = DbError::missingObject();
        return false;
    }
    m_rows[m_row].clear(); // a row once left is not wanted again
    ++m_row;
    if (atEnd() && m_failure) {
        error = *m_failure;
        return false;
    }
    return true;
}

bool readOdbcValue(SQLHSTMT statement, SQLUSMALLINT column, OdbcValueKind kind, DbValue& value, DbError& error)
{
    if (readValueOfKind(statement, column, kind, value, error))
        return true;
    // A value the driver cannot give (a date beyond its range, a text it cannot decode) is
    // an empty cell, and the row and the rows after it are read on, as the embedded engine
    // does; a connection that has gone ends the query.
    if (endsTheQuery(odbcSqlState(SQL_HANDLE_STMT, statement)))
        return false;
    value = DbValue::null();
    return true;
}

bool readOdbcResult(SQLHSTMT statement, OdbcWatchdog::Wait& wait, std::unique_ptr<DbCursor>& cursor, DbError& error)
{
    SQLSMALLINT columns = 0;
    ResultSet first;
    if (!findColumns(statement, columns, error) || !readResultSet(statement, columns, wait, first, error))
        return false;
    QList<ResultSet> later;
    DbError laterError;
    if (!first.failure && !readLaterResults(statement, wait, later, laterError)) {
        if (first.rows.isEmpty()) {
            error = laterError;
            return false;
        }
        first.failure = laterError;
    }
    std::unique_ptr<BufferedCursor> next;
    while (!later.isEmpty()) {
        ResultSet set = later.takeLast();
        next =
            std::make_unique<BufferedCursor>(std::move(set.fields), std::move(set.rows), std::nullopt, std::move(next));
    }
    cursor = std::make_unique<BufferedCursor>(std::move(first.fields), std::move(first.rows), std::move(first.failure),
                                              std::move(next));
    return true;
}

} // namespace korvel
