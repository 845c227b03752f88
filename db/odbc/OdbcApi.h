#pragma once

// What every ODBC call of the client needs: handles that free themselves, UTF-16 text in and
// out, and the driver's diagnostics as the program's errors.

#include "db/client/DbClient.h"

#include <QString>

#include <sqlext.h>

namespace korvel {

// Owns one ODBC handle (environment, connection or statement) and frees it, so that no
// path out of a call leaks one.
class OdbcHandle
{
public:
    explicit OdbcHandle(SQLSMALLINT type) : m_type(type) {}
    ~OdbcHandle();
    OdbcHandle(const OdbcHandle&) = delete;
    OdbcHandle& operator=(const OdbcHandle&) = delete;

    // Allocates under the parent (SQL_NULL_HANDLE for an environment); the result of
    // SQLAllocHandle. A handle held before is freed first.
    SQLRETURN allocate(SQLHANDLE parent);
    void free();

    SQLHANDLE get() const { return m_handle; }
    SQLSMALLINT type() const { return m_type; }
    bool isNull() const { return m_handle == SQL_NULL_HANDLE; }

private:
    SQLSMALLINT m_type;
    SQLHANDLE m_handle = SQL_NULL_HANDLE;
};

// The driver manager's wide strings are UTF-16, as QString is; wchar_t is UTF-32 here and
// never used.
static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "SQLWCHAR must be a UTF-16 code unit");

// The text as an input argument of a wide ODBC call. The calls declare their input strings
// non-const but do not write to them; the pointer lives as long as the QString.
SQLWCHAR* odbcInput(const QString& text);

// A wide ODBC output of `units` UTF-16 code units.
QString fromOdbcText(const SQLWCHAR* text, qsizetype units);

// The diagnostic messages that the driver (or the driver manager) left on a handle, first
// record first, one per line, repeats left out. Empty when there are none.
QString odbcDiagnosticText(SQLSMALLINT handleType, SQLHANDLE handle);

// The SQLSTATE of the first diagnostic record on a handle ("22018"), empty when there is none.
QString odbcSqlState(SQLSMALLINT handleType, SQLHANDLE handle);

// The error of a failed ODBC call: the handle's diagnostics, or, when the driver gave none,
// a text that names the call.
DbError odbcFailure(SQLSMALLINT handleType, SQLHANDLE handle, const char* call);

// Moves a statement on to the next result of its batch; `more` tells whether there was
// one. False with the driver's error.
[[nodiscard]] bool nextOdbcResult(SQLHSTMT statement, bool& more, DbError& error);

} // namespace korvel
