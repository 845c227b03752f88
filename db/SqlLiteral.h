#pragma once

#include "db/client/DbClient.h"

#include <QString>

class SqlDialect;

// The literal of a value for a column of the given type: the value the column would store
// under the value rules, written as the dialect writes its kind (text as the dialect's text
// literal, bit as its bit, a moment in a form no server setting can misread, binary data as
// its binary literal of the hexadecimal text, numbers as they stand); an empty value for any
// column that is not text is NULL. A value the rules refuse goes quoted as it stands, for
// the server (or the embedded engine, which follows the same rules) to refuse. Quotes inside
// a value are always doubled.
QString SqlLiteralForType(const ColumnType& type, const QString& value, const SqlDialect& dialect);
