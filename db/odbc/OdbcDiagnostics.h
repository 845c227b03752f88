#pragma once

#include "db/client/DbClient.h"

#include <QString>

#include <sqlext.h>

// The diagnostic messages that the driver (or the driver manager) left on a handle, first
// record first, one per line, repeats left out. Empty when there are none.
QString OdbcDiagnosticText(SQLSMALLINT handleType, SQLHANDLE handle);

// The SQLSTATE of the first diagnostic record on a handle ("22018"), empty when there is none.
QString OdbcSqlState(SQLSMALLINT handleType, SQLHANDLE handle);

// The error of a failed ODBC call: the handle's diagnostics, or, when the driver gave none,
// a text that names the call.
DbError OdbcFailure(SQLSMALLINT handleType, SQLHANDLE handle, const char* call);
