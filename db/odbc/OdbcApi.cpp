#include "db/odbc/OdbcApi.h"

#include <QStringList>

#include <vector>

namespace korvel {

namespace {

// A failure can pile up many records (one per statement of a batch); the first ones say
// what went wrong.
constexpr SQLSMALLINT kMaxRecords = 10;

bool diagnosticMessage(SQLSMALLINT handleType, SQLHANDLE handle, SQLSMALLINT record, QString& message)
{
    SQLWCHAR state[6] = {};
    SQLINTEGER nativeError = 0;
    std::vector<SQLWCHAR> text(512);
    SQLSMALLINT length = 0;
    SQLRETURN result = SQLGetDiagRecW(handleType, handle, record, state, &nativeError, text.data(),
                                      static_cast<SQLSMALLINT>(text.size()), &length);
    if (result == SQL_SUCCESS_WITH_INFO && length >= static_cast<SQLSMALLINT>(text.size())) {
        text.resize(static_cast<std::size_t>(length) + 1);
        result = SQLGetDiagRecW(handleType, handle, record, state, &nativeError, text.data(),
                                static_cast<SQLSMALLINT>(text.size()), &length);
    }
    if (!SQL_SUCCEEDED(result))
        return false;
    message = fromOdbcText(text.data(), qMin<qsizetype>(length, static_cast<qsizetype>(text.size()) - 1));
    return true;
}

} // namespace

OdbcHandle::~OdbcHandle()
{
    free();
}

SQLRETURN OdbcHandle::allocate(SQLHANDLE parent)
{
    free();
    const SQLRETURN result = SQLAllocHandle(m_type, parent, &m_handle);
    if (!SQL_SUCCEEDED(result))
        m_handle = SQL_NULL_HANDLE;
    return result;
}

void OdbcHandle::free()
{
    if (m_handle == SQL_NULL_HANDLE)
        return;
    // Closing first is not needed by the standard, but psqlODBC leaks what a failed execution
    // of a prepared statement left behind unless the statement is closed before it is freed.
    if (m_type == SQL_HANDLE_STMT)
        SQLFreeStmt(m_handle, SQL_CLOSE);
    SQLFreeHandle(m_type, m_handle);
    m_handle = SQL_NULL_HANDLE;
}

SQLWCHAR* odbcInput(const QString& text)
{
    return const_cast<SQLWCHAR*>(reinterpret_cast<const SQLWCHAR*>(text.utf16()));
}

QString fromOdbcText(const SQLWCHAR* text, qsizetype units)
{
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(text), units);
}

QString odbcDiagnosticText(SQLSMALLINT handleType, SQLHANDLE handle)
{
    if (handle == SQL_NULL_HANDLE)
        return QString();
    QStringList messages;
    QString message;
    for (SQLSMALLINT record = 1; record <= kMaxRecords && diagnosticMessage(handleType, handle, record, message);
         ++record) {
        message = message.trimmed();
        if (!message.isEmpty() && !messages.contains(message))
            messages.append(message);
    }
    return messages.join(QLatin1Char('\n'));
}

QString odbcSqlState(SQLSMALLINT handleType, SQLHANDLE handle)
{
    SQLWCHAR state[6] = {};
    SQLINTEGER nativeError = 0;
    SQLSMALLINT length = 0;
    if (handle == SQL_NULL_HANDLE ||
        !SQL_SUCCEEDED(SQLGetDiagRecW(handleType, handle, 1, state, &nativeError, nullptr, 0, &length)))
        return QString();
    return fromOdbcText(state, 5);
}

DbError odbcFailure(SQLSMALLINT handleType, SQLHANDLE handle, const char* call)
{
    const QString text = odbcDiagnosticText(handleType, handle);
    DbError error = DbError::driverFailure(
        text.isEmpty() ? QStringLiteral("ODBC 调用 %1 失败，驱动没有给出原因").arg(QLatin1String(call)) : text);
    // Class 08 is the connection's: 08S01 the link failed, 08003 it is not open, 08001 it
    // could not be made. PostgreSQL's 57P (57P01 administrator command, 57P02 crash…) says
    // that the server ended the session, which psqlODBC passes on for the statement it hit.
    const QString state = odbcSqlState(handleType, handle);
    error.connectionLost = state.startsWith(QLatin1String("08")) || state.startsWith(QLatin1String("57P"));
    return error;
}

bool nextOdbcResult(SQLHSTMT statement, bool& more, DbError& error)
{
    const SQLRETURN result = SQLMoreResults(statement);
    more = result != SQL_NO_DATA;
    if (!more || SQL_SUCCEEDED(result))
        return true;
    error = odbcFailure(SQL_HANDLE_STMT, statement, "SQLMoreResults");
    return false;
}

} // namespace korvel
