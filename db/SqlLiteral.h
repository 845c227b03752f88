#pragma once

#include <QString>

class SqlDialect;

// The literal of a value for a column of the given ADO type: text in the dialect's text
// literal, bit as 1 or 0, dates and GUIDs quoted, binary data as the dialect's binary
// literal of its hexadecimal text, numbers as they stand when they are plain numbers; an
// empty value for any column that is not text is NULL, and anything else is quoted.
// Quotes inside a value are always doubled.
QString SqlLiteralForType(int adoType, const QString& value, const SqlDialect& dialect);
