#pragma once

#include "labels/LabelBundle.h"

#include <QList>

namespace korvel {

// Expects `after` to hold the label of `before` with new identifiers: the same tables,
// columns and values cell by cell, except that every LabelID and ItemID value has been
// replaced, by one new value per old one across all tables (so every reference between
// the tables holds), never by an old value, and that LineID, which the database gives, is
// not compared. Item rows come in the order of their ItemID, which the import changes: they
// are paired through the replacement that the controls before them have fixed.
void expectSameLabelWithNewIdentifiers(const QList<BundleBlock>& before, const QList<BundleBlock>& after);

} // namespace korvel
