#pragma once

#include <QList>
#include <QString>

// Query results travel through the program as text only: one text per field, NULL as an
// empty text, binary data as upper-case hexadecimal.
using TextRow = QList<QString>;
using TextTable = QList<TextRow>;

// The first field of every row, in row order ("" for an empty row).
inline TextRow FirstColumn(const TextTable& table)
{
    TextRow fields;
    fields.reserve(table.size());
    for (const TextRow& row : table)
        fields.append(row.value(0));
    return fields;
}
