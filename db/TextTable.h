#pragma once

#include <QList>
#include <QString>

// Query results travel through the program as text only: one text per field, NULL as an
// empty text, binary data as upper-case hexadecimal.
using TextRow = QList<QString>;
using TextTable = QList<TextRow>;
