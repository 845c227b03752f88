#pragma once

#include "db/client/DbClient.h"

#include <QString>

// The type of a column declared with a SQL Server type name ("nvarchar(50)",
// "varbinary(max)", "decimal(6,2)", "int", …): the ADO type code SQL Server's provider
// reports for it, with the limits the declaration sets, as SQL Server reads them (a
// length left out is 1, a decimal without arguments is decimal(18,0)). Type code 0 when
// the declaration names no type we know.
ColumnType ColumnTypeOfDeclaration(const QString& declaredType);
