#pragma once

#include "labels/LabelBundle.h"
#include "labels/LabelIdentifiers.h"

#include <QString>

class CAdoDatabase;
class DuplicateLabelResolver;

// Inserts one block of a bundle, whose rows have as many values as its column names
// (ReadCheckedBundle): every LabelID and ItemID replaced through the maps, a clashing label
// number of tblLabelInfo replaced through the resolver, and LineID of tblLabelControlItem
// left to the database. A block without rows does nothing. False with a message on
// failure, naming the file's line of a row the database refused; false with an empty
// message when the user gave up. Rows inserted before a failure stay: the caller's
// transaction must take them back.
[[nodiscard]] bool ImportTable(CAdoDatabase& database, BundleBlock& block, IdentifierMaps& maps,
                               DuplicateLabelResolver& resolver, QString& error);
