#include "gui/FindAsYouType.h"

#include "gui/ScreenRoom.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QItemDelegate>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QSignalBlocker>
#include <QStringListModel>
#include <QVBoxLayout>

#include <algorithm>
#include <initializer_list>

namespace korvel {

namespace {

constexpr int kVisibleRows = 10;

// A key that types text into the drop-down, as opposed to one that moves in it or commands.
bool isTypedText(const QKeyEvent& event)
{
    const Qt::KeyboardModifiers commands = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    return !event.text().isEmpty() && event.text().front().isPrint() && !(event.modifiers() & commands);
}

QStringList entriesOf(const QComboBox& combo)
{
    if (const auto* model = qobject_cast<const QStringListModel*>(combo.model()))
        return model->stringList();
    QStringList entries;
    for (int row = 0; row < combo.count(); ++row)
        entries.append(combo.itemText(row));
    return entries;
}

} // namespace

void enableFindAsYouType(QComboBox& combo)
{
    auto* popup = new FindPopup(combo);
    combo.installEventFilter(popup);
    combo.view()->installEventFilter(popup);
}

FindPopup::FindPopup(QComboBox& combo)
    : QFrame(&combo, Qt::Popup),
      m_combo(combo),
      m_filter(new QLineEdit(this)),
      m_list(new QListView(this)),
      m_matches(new QStringListModel(this))
{
    setFrameShape(QFrame::StyledPanel);
    auto* prompt = new QLabel(QStringLiteral("查找："), this);
    // Everything in the drop-down's font, as its own list: a popup is a window, which takes
    // no font from its parent, and under the drop-down's style sheet no part of it would.
    for (QWidget* part : std::initializer_list<QWidget*>{this, prompt, m_filter, m_list})
        part->setFont(combo.font());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    auto* line = new QHBoxLayout;
    line->addWidget(prompt);
    line->addWidget(m_filter);
    layout->addLayout(line);
    layout->addWidget(m_list);

    m_list->setModel(m_matches);
    // Rows drawn and sized as the drop-down's own list draws its rows.
    m_list->setItemDelegate(new QItemDelegate(m_list));
    m_list->setUniformItemSizes(true);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setFocusPolicy(Qt::NoFocus);
    m_filter->installEventFilter(this);
    connect(m_filter, &QLineEdit::textChanged, this, &FindPopup::setFilter);
    connect(m_list, &QListView::clicked, this, [this](const QModelIndex& index) { pick(index.row()); });

    // Folding a hundred thousand entries takes longer than a key may: it is done at the
    // first search after the entries change, not at every one.
    const QAbstractItemModel* entries = combo.model();
    const auto changed = [this] { m_entriesChanged = true; };
    connect(entries, &QAbstractItemModel::modelReset, this, changed);
    connect(entries, &QAbstractItemModel::layoutChanged, this, changed);
    connect(entries, &QAbstractItemModel::rowsInserted, this, changed);
    connect(entries, &QAbstractItemModel::rowsRemoved, this, changed);
    connect(entries, &QAbstractItemModel::rowsMoved, this, changed);
    connect(entries, &QAbstractItemModel::dataChanged, this, changed);
}

void FindPopup::open(const QString& typed)
{
    if (m_entriesChanged)
        takeEntries();
    // Ten rows, each as high as a row of the drop-down's own list.
    const int rowHeight = std::max(m_combo.view()->sizeHintForRow(0), m_list->fontMetrics().height());
    const int listHeight = rowHeight * kVisibleRows + 2 * m_list->frameWidth();
    m_list->setFixedHeight(listHeight);
    // As wide as the drop-down's own open list, which fits its widest entry.
    m_list->setMinimumWidth(m_combo.view()->minimumWidth());
    const QSize wanted(qMax(m_combo.width(), sizeHint().width()), sizeHint().height());
    const QRect placed =
        popupGeometry(QRect(m_combo.mapToGlobal(QPoint(0, 0)), m_combo.size()), wanted, availableGeometryOf(m_combo));
    // Where the screen is too low for ten rows, fewer show.
    m_list->setFixedHeight(std::max(listHeight - (wanted.height() - placed.height()), rowHeight));
    setGeometry(placed);
    {
        const QSignalBlocker quiet(m_filter); // one search, also when the text is the last one's
        m_filter->setText(typed);
    }
    setFilter(typed);
    show();
    m_filter->setFocus();
}

void FindPopup::takeEntries()
{
    m_entries = entriesOf(m_combo);
    m_foldedEntries.clear();
    m_foldedEntries.reserve(m_entries.size());
    for (const QString& entry : std::as_const(m_entries))
        m_foldedEntries.append(entry.toCaseFolded());
    m_entriesChanged = false;
}

void FindPopup::setFilter(const QString& text)
{
    const QString folded = text.toCaseFolded();
    QStringList matches;
    m_matchRows.clear();
    for (qsizetype row = 0; row < m_foldedEntries.size(); ++row) {
        if (m_foldedEntries[row].contains(folded)) {
            matches.append(m_entries[row]);
            m_matchRows.append(static_cast<int>(row));
        }
    }
    m_matches->setStringList(matches);
    if (!matches.isEmpty())
        m_list->setCurrentIndex(m_matches->index(0));
}

QStringList FindPopup::matches() const
{
    return m_matches->stringList();
}

void FindPopup::pick(int matchRow)
{
    if (matchRow < 0 || matchRow >= m_matchRows.size())
        return;
    const int row = m_matchRows[matchRow];
    hide();
    m_combo.setFocus();
    m_combo.setCurrentIndex(row);
    emit m_combo.activated(row);
    emit m_combo.textActivated(m_combo.itemText(row));
}

void FindPopup::moveCurrent(int rows)
{
    if (m_matches->rowCount() == 0)
        return;
    const int current = qBound(0, m_list->currentIndex().row() + rows, m_matches->rowCount() - 1);
    m_list->setCurrentIndex(m_matches->index(current));
}

bool FindPopup::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QFrame::eventFilter(watched, event);
    const auto& key = static_cast<const QKeyEvent&>(*event);
    if (watched != m_filter) {
        // The drop-down itself, or its own list: typing starts a search instead of jumping
        // to the first entry that begins with the key, which would run a pick. Space on the
        // closed drop-down opens its list, as it always has.
        if (!isTypedText(key) || (watched == &m_combo && key.key() == Qt::Key_Space))
            return false;
        if (watched == m_combo.view())
            m_combo.hidePopup();
        if (isVisible())
            m_filter->insert(key.text()); // keys that reached the drop-down before the focus moved
        else
            open(key.text());
        return true;
    }
    switch (key.key()) {
    case Qt::Key_Down: moveCurrent(1); return true;
    case Qt::Key_Up: moveCurrent(-1); return true;
    case Qt::Key_PageDown: moveCurrent(kVisibleRows); return true;
    case Qt::Key_PageUp: moveCurrent(-kVisibleRows); return true;
    case Qt::Key_Return:
    case Qt::Key_Enter: pick(m_list->currentIndex().row()); return true;
    case Qt::Key_Escape:
        hide();
        m_combo.setFocus();
        return true;
    default: return false;
    }
}

} // namespace korvel
