#pragma once

#include "db/client/DbClient.h"

#include <sqlext.h>

#include <memory>

// Reads the first result set of an executed statement whole into a cursor (results without
// columns, such as the row counts of a batch, are passed over). A statement without a
// result set gives a cursor without fields. An error on the first row fails; an error on a
// later row keeps the rows before it and is reported when the cursor moves past them.
[[nodiscard]] bool ReadOdbcResult(SQLHSTMT statement, std::unique_ptr<DbCursor>& cursor, DbError& error);
