#pragma once

// A large label for the benchmarks, seeded into an embedded database with plain SQLite.

#include <QString>

struct sqlite3;

namespace korvel {

// Adds the label `labelNo` with `controls` controls, each with an item of `linesPerItem`
// lines (rows of tblLabelControlItem of one ItemID), texts in several scripts, binary
// values on some controls. The tables must be there; a failure ends the run.
void seedLargeLabel(sqlite3* db, const QString& labelNo, int controls, int linesPerItem);

} // namespace korvel
