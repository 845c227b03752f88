#pragma once

#include <sqlext.h>

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
    SQLRETURN Allocate(SQLHANDLE parent);
    void Free();

    SQLHANDLE Get() const { return m_handle; }
    SQLSMALLINT Type() const { return m_type; }
    bool IsNull() const { return m_handle == SQL_NULL_HANDLE; }

private:
    SQLSMALLINT m_type;
    SQLHANDLE m_handle = SQL_NULL_HANDLE;
};
