#include "gui/SortedCombo.h"

#include <QComboBox>
#include <QListView>
#include <QStringListModel>

#include <algorithm>
#include <numeric>
#include <optional>
#include <vector>

namespace {

QStringListModel& Model(QComboBox& combo)
{
    return *static_cast<QStringListModel*>(combo.model());
}

// Folding each text once makes the sort a plain ordinal one.
QStringList SortedIgnoringCase(const QStringList& entries)
{
    std::vector<QString> keys;
    keys.reserve(entries.size());
    for (const QString& entry : entries)
        keys.push_back(entry.toCaseFolded());
    std::vector<qsizetype> order(entries.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&keys](qsizetype a, qsizetype b) { return keys[a] < keys[b]; });
    QStringList sorted;
    sorted.reserve(entries.size());
    for (qsizetype index : order)
        sorted.append(entries[index]);
    return sorted;
}

void SetEntries(QComboBox& combo, const QStringList& entries, const std::optional<QString>& selected)
{
    const QStringList sorted = SortedIgnoringCase(entries);
    Model(combo).setStringList(sorted);
    combo.setCurrentIndex(selected ? static_cast<int>(sorted.indexOf(*selected)) : -1);
}

} // namespace

QComboBox* CreateSortedCombo(QWidget* parent)
{
    auto* combo = new QComboBox(parent);
    combo->setModel(new QStringListModel(combo));
    combo->setEditable(false);
    // Measuring every entry for the width would take seconds on long lists; the template
    // fixes the width anyway.
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    // A list of ten entries under the box, as the dropped lists of the templates are, not
    // one that fills the screen.
    combo->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    combo->setMaxVisibleItems(10);
    auto* view = new QListView(combo);
    view->setUniformItemSizes(true);
    combo->setView(view);
    combo->setCurrentIndex(-1);
    return combo;
}

void AddSortedEntries(QComboBox& combo, const QStringList& entries)
{
    std::optional<QString> selected;
    if (combo.currentIndex() >= 0)
        selected = combo.currentText();
    SetEntries(combo, Model(combo).stringList() + entries, selected);
}

void ReplaceSortedEntries(QComboBox& combo, const QStringList& entries)
{
    SetEntries(combo, entries, std::nullopt);
}

QString SelectedText(const QComboBox& combo)
{
    return combo.currentIndex() >= 0 ? combo.currentText() : QString();
}

void SelectEntryStartingWith(QComboBox& combo, const QString& text)
{
    // With "A1" and "a1" listed, the search would move a choice of "a1" to "A1".
    if (text.isEmpty() || SelectedText(combo) == text)
        return;
    const QStringList entries = Model(combo).stringList();
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (entries[i].startsWith(text, Qt::CaseInsensitive)) {
            combo.setCurrentIndex(static_cast<int>(i));
            return;
        }
    }
}
