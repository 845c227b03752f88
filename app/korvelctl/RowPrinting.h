#pragma once

#include "db/TextTable.h"

#include <QTextStream>

// One line per row, the values tab-separated, each escaped for display.
void PrintTextRows(const TextTable& rows, QTextStream& out);
