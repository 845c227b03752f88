#include "db/odbc/OdbcValueReader.h"

#include "db/odbc/OdbcDiagnostics.h"
#include "db/odbc/OdbcText.h"
#include "db/odbc/OdbcValueText.h"

#include <QStringList>

namespace {

constexpr SQLLEN kChunkBytes = 64 * 1024;

// The whole value of a character (SQL_C_WCHAR) or binary (SQL_C_BINARY) column. The
// indicator gives the bytes still to come or SQL_NO_TOTAL; a piece that does not fit fills
// the buffer (less the terminator for text) and the next call goes on where it stopped.
bool ReadLongData(SQLHSTMT statement, SQLUSMALLINT column, SQLSMALLINT cType, QByteArray& data, bool& isNull,
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
            error = OdbcFailure(SQL_HANDLE_STMT, statement, "SQLGetData");
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

template <typename Fixed>
bool ReadFixed(SQLHSTMT statement, SQLUSMALLINT column, SQLSMALLINT cType, Fixed& fixed, bool& isNull,
               DbError& error)
{
    SQLLEN indicator = 0;
    if (!SQL_SUCCEEDED(SQLGetData(statement, column, cType, &fixed, sizeof fixed, &indicator))) {
        error = OdbcFailure(SQL_HANDLE_STMT, statement, "SQLGetData");
        return false;
    }
    isNull = indicator == SQL_NULL_DATA;
    return true;
}

QString TextFromUtf16Bytes(const QByteArray& bytes)
{
    return FromOdbcText(reinterpret_cast<const SQLWCHAR*>(bytes.constData()),
                        bytes.size() / static_cast<qsizetype>(sizeof(SQLWCHAR)));
}

// The failures that are the connection's or the statement's, not one value's.
bool EndsTheQuery(const QString& sqlState)
{
    static const QStringList whole = {QStringLiteral("HYT00"), QStringLiteral("HYT01"), QStringLiteral("HY008"),
                                      QStringLiteral("HY001"), QStringLiteral("HY010")};
    return sqlState.startsWith(QLatin1String("08")) || whole.contains(sqlState);
}

bool ReadValueOfKind(SQLHSTMT statement, SQLUSMALLINT column, OdbcValueKind kind, DbValue& value, DbError& error)
{
    bool isNull = false;
    switch (kind) {
    case OdbcValueKind::Bit: {
        SQLCHAR bit = 0;
        if (!ReadFixed(statement, column, SQL_C_BIT, bit, isNull, error))
            return false;
        value = isNull ? DbValue::Null() : DbValue::FromText(bit ? QStringLiteral("-1") : QStringLiteral("0"));
        return true;
    }
    case OdbcValueKind::Timestamp: {
        SQL_TIMESTAMP_STRUCT timestamp = {};
        if (!ReadFixed(statement, column, SQL_C_TYPE_TIMESTAMP, timestamp, isNull, error))
            return false;
        value = isNull ? DbValue::Null() : DbValue::FromText(TimestampText(timestamp));
        return true;
    }
    case OdbcValueKind::Bytes: {
        QByteArray bytes;
        if (!ReadLongData(statement, column, SQL_C_BINARY, bytes, isNull, error))
            return false;
        value = isNull ? DbValue::Null() : DbValue::FromBytes(bytes);
        return true;
    }
    case OdbcValueKind::Guid:
    case OdbcValueKind::Text: {
        QByteArray utf16;
        if (!ReadLongData(statement, column, SQL_C_WCHAR, utf16, isNull, error))
            return false;
        QString text = TextFromUtf16Bytes(utf16);
        if (kind == OdbcValueKind::Guid)
            text = BracedGuid(text);
        value = isNull ? DbValue::Null() : DbValue::FromText(text);
        return true;
    }
    }
    return false;
}

} // namespace

bool ReadOdbcValue(SQLHSTMT statement, SQLUSMALLINT column, OdbcValueKind kind, DbValue& value, DbError& error)
{
    if (ReadValueOfKind(statement, column, kind, value, error))
        return true;
    // A value the driver cannot give (a date beyond its range, a text it cannot decode) is
    // an empty cell, and the row and the rows after it are read on, as the embedded engine
    // does; a connection that has gone ends the query.
    if (EndsTheQuery(OdbcSqlState(SQL_HANDLE_STMT, statement)))
        return false;
    value = DbValue::Null();
    return true;
}
