#pragma once

#include <QStringList>

class QComboBox;
class QWidget;

namespace korvel {

// The program's drop-down lists keep their entries sorted by text, ignoring case, as the
// list controls it was made with do, and stay quick with a hundred thousand entries: the
// entries live in a plain string list model and are sorted once per change. The closed box
// is at least as wide as its widest entry needs, so that a choice shows whole, and the open
// list as wide as its widest entry, even where the closed box is held narrower.
QComboBox* createSortedCombo(QWidget* parent);

// Adding keeps the current selection on the entry it was on; replacing clears it;
// refilling keeps it when the entry is among the new ones.
void addSortedEntries(QComboBox& combo, QStringList entries);
void replaceSortedEntries(QComboBox& combo, QStringList entries);
void refillSortedEntries(QComboBox& combo, QStringList entries);
// Fills the list, selecting nothing, with entries already in its order, as the number
// lists of the database come (inListOrder): sorting them again would cost the window's
// thread as much as it took the worker.
void fillWithEntriesInListOrder(QComboBox& combo, QStringList entries);

// The selected entry's text, or "" when nothing is selected.
QString selectedText(const QComboBox& combo);

} // namespace korvel
