#include "db/odbc/OdbcText.h"

SQLWCHAR* OdbcInput(const QString& text)
{
    return const_cast<SQLWCHAR*>(reinterpret_cast<const SQLWCHAR*>(text.utf16()));
}

QString FromOdbcText(const SQLWCHAR* text, qsizetype units)
{
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(text), units);
}
