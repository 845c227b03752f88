#include "gui/SortedCombo.h"

#include "util/TextConversions.h"

#include <QComboBox>
#include <QListView>
#include <QStringListModel>
#include <QStyle>
#include <QStyleOptionComboBox>

#include <algorithm>
#include <numeric>
#include <optional>

namespace korvel {

namespace {

QStringListModel& entriesModel(QComboBox& combo)
{
    return *static_cast<QStringListModel*>(combo.model());
}

QStringList sortedIgnoringCase(QStringList entries)
{
    QStringList sorted;
    sorted.reserve(entries.size());
    for (qsizetype index : orderIgnoringCase(entries))
        sorted.append(std::move(entries[index]));
    return sorted;
}

// How wide a text is on screen, told from its characters alone: the wide (East Asian)
// characters take about two narrow ones.
qsizetype displayLength(const QString& text)
{
    qsizetype length = text.size();
    for (const QChar character : text) {
        if (character.unicode() >= 0x1100)
            ++length;
    }
    return length;
}

// Measuring every entry would take seconds on long lists; the widest is among those with
// the most characters.
constexpr qsizetype kEntriesMeasured = 8;

QList<qsizetype> longestEntries(const QStringList& entries)
{
    QList<qsizetype> rows(entries.size());
    std::iota(rows.begin(), rows.end(), 0);
    QList<qsizetype> lengths(entries.size());
    std::transform(entries.begin(), entries.end(), lengths.begin(), displayLength);
    const qsizetype measured = std::min(kEntriesMeasured, rows.size());
    std::partial_sort(rows.begin(), rows.begin() + measured, rows.end(),
                      [&lengths](qsizetype a, qsizetype b) { return lengths[a] > lengths[b]; });
    rows.resize(measured);
    return rows;
}

// The widest of the entries measured, in the closed box's font and in the open list's rows.
struct WidestEntry
{
    int text = 0;
    int row = 0;
};

WidestEntry measureWidestEntry(QComboBox& combo)
{
    const QAbstractItemView& view = *combo.view();
    const QStringList entries = entriesModel(combo).stringList();
    WidestEntry widest;
    for (qsizetype row : longestEntries(entries)) {
        widest.text = std::max(widest.text, combo.fontMetrics().horizontalAdvance(entries[row]));
        widest.row =
            std::max(widest.row, view.sizeHintForIndex(combo.model()->index(static_cast<int>(row), 0)).width());
    }
    return widest;
}

// The closed box takes the width its widest entry needs, so that the entry chosen shows
// whole, whatever its font makes of it.
void widenBoxForEntries(QComboBox& combo, int widestText)
{
    QStyleOptionComboBox option;
    option.initFrom(&combo);
    option.editable = combo.isEditable();
    const QSize contents(widestText, combo.fontMetrics().height());
    combo.setMinimumWidth(
        widestText > 0 ? combo.style()->sizeFromContents(QStyle::CT_ComboBox, &option, contents, &combo).width() : 0);
}

// The open list takes the width of its widest entry, with the scroll bar beside it.
void widenListForEntries(QComboBox& combo, int widestRow)
{
    QAbstractItemView& view = *combo.view();
    const int scrollBar = view.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &view);
    view.setMinimumWidth(widestRow > 0 ? widestRow + scrollBar + 2 * view.frameWidth() : 0);
}

std::optional<QString> selection(const QComboBox& combo)
{
    if (combo.currentIndex() < 0)
        return std::nullopt;
    return combo.currentText();
}

void showSortedEntries(QComboBox& combo, const QStringList& sorted, const std::optional<QString>& selected)
{
    entriesModel(combo).setStringList(sorted);
    const WidestEntry widest = measureWidestEntry(combo);
    widenBoxForEntries(combo, widest.text);
    widenListForEntries(combo, widest.row);
    combo.setCurrentIndex(selected ? static_cast<int>(sorted.indexOf(*selected)) : -1);
}

void setEntries(QComboBox& combo, QStringList entries, const std::optional<QString>& selected)
{
    showSortedEntries(combo, sortedIgnoringCase(std::move(entries)), selected);
}

} // namespace

QComboBox* createSortedCombo(QWidget* parent)
{
    auto* combo = new QComboBox(parent);
    combo->setModel(new QStringListModel(combo));
    combo->setEditable(false);
    // Measuring every entry for the width would take seconds on long lists: the widest
    // entries set the box's minimum width instead.
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

void addSortedEntries(QComboBox& combo, QStringList entries)
{
    const QStringList listed = entriesModel(combo).stringList();
    setEntries(combo, listed.isEmpty() ? std::move(entries) : listed + entries, selection(combo));
}

void fillWithEntriesInListOrder(QComboBox& combo, QStringList entries)
{
    showSortedEntries(combo, entries, std::nullopt);
}

void replaceSortedEntries(QComboBox& combo, QStringList entries)
{
    setEntries(combo, std::move(entries), std::nullopt);
}

void refillSortedEntries(QComboBox& combo, QStringList entries)
{
    setEntries(combo, std::move(entries), selection(combo));
}

QString selectedText(const QComboBox& combo)
{
    return combo.currentIndex() >= 0 ? combo.currentText() : QString();
}

} // namespace korvel
