#pragma once

#include <QFrame>
#include <QStringList>

class QComboBox;
class QLineEdit;
class QListView;
class QStringListModel;

namespace korvel {

// Finding an entry of a long drop-down list by any part of its text. Typing into the
// drop-down (closed, or with its list open) opens a list of the entries that hold what was
// typed, ignoring case, under a line that shows it; arrow keys move in that list, Enter or
// a click picks, Escape leaves the choice as it was. Only a pick changes the drop-down, and
// it does so as a pick from its own list does: it emits activated. The entries stay those
// of the drop-down; nothing else can be chosen.
void enableFindAsYouType(QComboBox& combo);

// The list of matches, shown under its drop-down, or above it where the screen has more room
// there, and never off the screen.
class FindPopup : public QFrame
{
    Q_OBJECT

public:
    explicit FindPopup(QComboBox& combo);

    // Opens beside the drop-down with the text typed so far.
    void open(const QString& typed);
    // The entries that hold the text, in the drop-down's order.
    void setFilter(const QString& text);
    QStringList matches() const;
    QLineEdit& filterLine() const { return *m_filter; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void takeEntries();
    void pick(int matchRow);
    void moveCurrent(int rows);

    QComboBox& m_combo;
    QLineEdit* m_filter;
    QListView* m_list;
    QStringListModel* m_matches;
    QStringList m_entries; // the drop-down's entries, taken at the first search after a change
    QStringList m_foldedEntries;
    bool m_entriesChanged = true;
    QList<int> m_matchRows; // the drop-down row of each match
};

} // namespace korvel
