#pragma once

#include "labels/LabelBundle.h"

#include <QMap>
#include <QString>

class CAdoDatabase;

// From an identifier's text in a bundle to the fresh identifier that replaces it, matched
// exactly. One map per identifier column lives for a whole import, across all blocks:
// that is what keeps the three tables referring to each other.
using IdentifierMap = QMap<QString, QString>;

struct IdentifierMaps
{
    IdentifierMap labelIds;
    IdentifierMap itemIds;
};

// A new GUID from the server ("select NEWID()"), without braces: 36 characters. False
// with a message when the query fails or gives no GUID.
[[nodiscard]] bool NewGuidText(CAdoDatabase& database, QString& guid, QString& error);

// Replaces every value of the column (its first occurrence in the column-name row) in the
// block's rows, which are as wide as the column-name row, by its replacement from the map,
// creating one for each identifier met for the first time; an empty value is an
// identifier like any other. A block without the column stays as it is. False with a
// message when no new identifier can be had; rows before that one are already replaced.
[[nodiscard]] bool RemapKeyColumn(CAdoDatabase& database, BundleBlock& block, IdentifierMap& map, const QString& column,
                                  QString& error);
