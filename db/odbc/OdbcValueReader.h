#pragma once

#include "db/client/DbClient.h"
#include "db/odbc/OdbcTypes.h"

#include <sqlext.h>

// Fetches one column of the current row with SQLGetData (columns from 1, in ascending
// order) and gives it in the program's form for its kind. Long values arrive in chunks that
// are joined as bytes before they are decoded, since a chunk may end inside a character. A
// value the driver cannot give is NULL; false only when the connection or statement fails.
[[nodiscard]] bool ReadOdbcValue(SQLHSTMT statement, SQLUSMALLINT column, OdbcValueKind kind, DbValue& value,
                                 DbError& error);
