#pragma once

#include "db/CAdoDatabase.h"

#include <QTextStream>

// One line per row, the values tab-separated, each escaped for display.
void PrintTextRows(const TextTable& rows, QTextStream& out);
