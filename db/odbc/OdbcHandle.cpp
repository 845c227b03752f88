#include "db/odbc/OdbcHandle.h"

OdbcHandle::~OdbcHandle()
{
    Free();
}

SQLRETURN OdbcHandle::Allocate(SQLHANDLE parent)
{
    Free();
    const SQLRETURN result = SQLAllocHandle(m_type, parent, &m_handle);
    if (!SQL_SUCCEEDED(result))
        m_handle = SQL_NULL_HANDLE;
    return result;
}

void OdbcHandle::Free()
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
