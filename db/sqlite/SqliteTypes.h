#pragma once

#include <QString>

// The ADO type code of a column declared with a SQL Server type name ("nvarchar(50)",
// "varbinary(max)", "int", …); 0 when the declaration names no type we know.
int AdoTypeFromDeclaredType(const QString& declaredType);

// The number of decimal places of a declared decimal, numeric or money type, -1 when the
// declaration does not fix one.
int DeclaredScale(const QString& declaredType);
