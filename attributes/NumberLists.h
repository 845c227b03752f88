#pragma once

#include "util/Outcome.h"

#include <QStringList>

namespace korvel {

class Database;

// The texts in the order the window lists them: ignoring case, texts that fold alike in
// their given order.
QStringList inListOrder(QStringList texts);

// The numbers the main window offers to choose from, sorted as it lists them (ignoring
// case). A query that fails gives the database's error with the numbers it read before
// failing, which the window still lists.
Result<QStringList> harnessNumbers(Database& database);
Result<QStringList> jobNumbers(Database& database);
// Only the labels in use (LabelStatus 1).
Result<QStringList> activeLabelNumbers(Database& database);

} // namespace korvel
