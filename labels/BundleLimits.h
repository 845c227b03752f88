#pragma once

#include "labels/LabelBundle.h"

#include <QString>

// Whether a block can travel in a bundle unchanged. The reader splits at every comma and
// line feed, the text ends at the first NUL, and a row whose first value opens with
// "表名:" or "列名:" would be taken for a header: any of these would put the later values
// of the row into the wrong columns of the target. False with a message naming the table
// and the column when a column name or a value holds such a character or prefix. A
// carriage return is carried as it stands.
[[nodiscard]] bool CheckBlockFitsBundle(const BundleBlock& block, QString& error);
