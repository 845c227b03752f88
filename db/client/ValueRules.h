#pragma once

#include "db/client/DbClient.h"

#include <QString>

namespace korvel {

// The value rules: what SQL Server makes of a value given as text for a column of each kind
// the program's tables use, after its documented conversion rules. Both engines follow
// them: every literal is written from the value a column would store, and the embedded
// engine, which would keep whatever it is given, refuses what SQL Server refuses.

enum class ValueKind { Text, Integer, Decimal, Float, Boolean, Guid, DateTime, Date, Binary, Other };

ValueKind kindOfType(int adoType);

struct StoredValue
{
    bool accepted = false;
    // Accepted: the value as the column holds it, in the program's text form (what a query
    // gives back; empty for NULL). Refused: empty.
    QString text;
    // Refused: why, as the end of a sentence ("超过 50 个字符").
    QString refusal;
};

// An empty text is NULL for every kind but text. Blanks around a number, a bit or a moment
// are ignored, as SQL Server ignores them.
StoredValue storeValue(const ColumnType& type, const QString& text);

// char, varchar and text: the types whose text is kept in a code page.
bool isNarrowText(int adoType);

// Why the column would keep the text changed instead of refusing it: SQL Server stores a
// character that the code page of a narrow text column lacks as "?", without a word. Empty
// when the column keeps every character. The program refuses such a text itself, also on a
// server, which otherwise decides on a value.
QString silentChangeRefusal(const ColumnType& type, const QString& text);

// Why a column of an integer type cannot hold a whole number (as storeValue says it); empty
// when it can. Read without a text, since the embedded engine checks one in nearly every row.
QString integerRangeRefusal(int adoType, qint64 value);

// The message of a refused value, naming the table and the column.
QString refusedValueText(const QString& table, const QString& column, const QString& value, const QString& refusal);

} // namespace korvel
