#pragma once

#include <QString>

class CAdoDatabase;

// Whether at least one row of the table holds the value in the column, the value written
// as the literal of the column's type. A query that fails counts as no row and shows
// nothing.
[[nodiscard]] bool RowExists(CAdoDatabase& database, const QString& tableName, const QString& value,
                             const QString& columnName);
