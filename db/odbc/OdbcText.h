#pragma once

#include <QString>

#include <sqlext.h>

// The driver manager's wide strings are UTF-16, as QString is; wchar_t is UTF-32 here and
// never used.
static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "SQLWCHAR must be a UTF-16 code unit");

// The text as an input argument of a wide ODBC call. The calls declare their input strings
// non-const but do not write to them; the pointer lives as long as the QString.
SQLWCHAR* OdbcInput(const QString& text);

// A wide ODBC output of `units` UTF-16 code units.
QString FromOdbcText(const SQLWCHAR* text, qsizetype units);
