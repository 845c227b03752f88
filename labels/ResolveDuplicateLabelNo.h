#pragma once

#include "labels/LabelBundle.h"

#include <QString>

class CAdoDatabase;
class DuplicateLabelResolver;

// For each row of a tblLabelInfo block (rows as wide as the column-name row) whose label
// number (the last LabelNo column) exists in the target, asks the resolver for a new one
// and puts it in the row. False with a message when the block has no LabelNo column;
// false with an empty message when the user gave up.
[[nodiscard]] bool ResolveDuplicateLabelNo(CAdoDatabase& database, BundleBlock& block, DuplicateLabelResolver& resolver,
                                           QString& error);
