#include "gui/FindAsYouType.h"
#include "gui/DialogTemplate.h"
#include "gui/ScreenRoom.h"
#include "gui/SortedCombo.h"

#include "tests/support/QtPrinting.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFontInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace korvel;

namespace {

class FindAsYouTypeTest : public ::testing::Test
{
protected:
    FindAsYouTypeTest() : combo(createSortedCombo(&dialog))
    {
        replaceSortedEntries(*combo, {"WH-0001", "WH-0010", "AB-100", "wh-0100", "线束-01"});
        enableFindAsYouType(*combo);
        dialog.show();
        combo->setFocus();
    }

    FindPopup* popup() const { return combo->findChild<FindPopup*>(); }

    QDialog dialog;
    QComboBox* combo;
};

} // namespace

TEST_F(FindAsYouTypeTest, TypingNarrowsTheListAndOnlyAPickRunsTheHandler)
{
    QSignalSpy picks(combo, &QComboBox::activated);
    combo->setCurrentIndex(0);
    QTest::keyClick(combo, '0');
    ASSERT_TRUE(popup()->isVisible());
    ASSERT_EQ(QApplication::focusWidget(), &popup()->filterLine()) << "the search takes the keys that follow";
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("1"));
    EXPECT_EQ(popup()->filterLine().text(), QStringLiteral("01"));
    EXPECT_EQ(popup()->matches(), QStringList({"WH-0001", "WH-0010", "wh-0100", "线束-01"})) << "any part, any case";
    EXPECT_EQ(picks.count(), 0);
    EXPECT_EQ(combo->currentText(), QStringLiteral("AB-100")) << "typing chooses nothing";

    QTest::keyClicks(&popup()->filterLine(), QStringLiteral("0"));
    EXPECT_EQ(popup()->matches(), QStringList({"WH-0010", "wh-0100"}));
    QTest::keyClick(&popup()->filterLine(), Qt::Key_Down);
    QTest::keyClick(&popup()->filterLine(), Qt::Key_Return);
    EXPECT_FALSE(popup()->isVisible());
    ASSERT_EQ(picks.count(), 1);
    EXPECT_EQ(combo->currentText(), QStringLiteral("wh-0100"));
    EXPECT_EQ(picks[0][0].toInt(), combo->currentIndex());
}

TEST_F(FindAsYouTypeTest, EscapeAndASearchWithoutMatchLeaveTheChoiceAlone)
{
    QSignalSpy picks(combo, &QComboBox::activated);
    combo->setCurrentIndex(2);
    QTest::keyClicks(combo, QStringLiteral("zz"));
    EXPECT_TRUE(popup()->matches().isEmpty());
    QTest::keyClick(&popup()->filterLine(), Qt::Key_Return);
    QTest::keyClick(&popup()->filterLine(), Qt::Key_Escape);
    EXPECT_FALSE(popup()->isVisible());
    EXPECT_EQ(picks.count(), 0);
    EXPECT_EQ(combo->currentIndex(), 2);

    // Space on the closed drop-down opens its own list, not a search for a blank.
    QTest::keyClick(combo, Qt::Key_Space);
    EXPECT_FALSE(popup()->isVisible());
    EXPECT_TRUE(combo->view()->isVisible());
    combo->hidePopup();

    // Typing into the drop-down's own open list searches as well.
    combo->showPopup();
    // QTest types ASCII only; an input method hands a widget its text in a key event.
    QKeyEvent typed(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("线"));
    QApplication::sendEvent(combo->view(), &typed);
    EXPECT_TRUE(popup()->isVisible());
    EXPECT_EQ(popup()->matches(), QStringList({"线束-01"}));
    EXPECT_EQ(picks.count(), 0);
}

TEST_F(FindAsYouTypeTest, ASearchAfterTheEntriesChangedFindsTheNewOnesAndAClickPicksOne)
{
    QTest::keyClick(combo, 'w');
    QTest::keyClick(&popup()->filterLine(), Qt::Key_Escape);
    addSortedEntries(*combo, {"WH-9999"});
    QTest::keyClick(combo, '9');
    EXPECT_EQ(popup()->matches(), QStringList({"WH-9999"}));

    QSignalSpy picks(combo, &QComboBox::activated);
    const QListView& list = *popup()->findChild<QListView*>();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualRect(list.model()->index(0, 0)).center());
    ASSERT_EQ(picks.count(), 1);
    EXPECT_EQ(picks[0][0].toInt(), combo->findText(QStringLiteral("WH-9999")));
    EXPECT_EQ(combo->currentText(), QStringLiteral("WH-9999"));
}

TEST_F(FindAsYouTypeTest, TheMatchesShowTheWidestEntryWhole)
{
    const QString wide = QStringLiteral("一条很长的线束编号-").repeated(4);
    combo->setFixedWidth(40);
    // More matches than the list shows: its scroll bar takes room too.
    addSortedEntries(*combo, QStringList(10, QStringLiteral("WH-2000")) << wide);
    QTest::keyClick(combo, '-');
    const QListView& list = *popup()->findChild<QListView*>();
    EXPECT_GE(list.viewport()->width(), list.fontMetrics().horizontalAdvance(wide));
}

TEST(FindPopup, OpensAboveADropDownAtTheFootOfTheScreenInTheFontAndRowsOfItsList)
{
    QDialog dialog;
    dialog.setFont(songTiFont());
    QComboBox* combo = createSortedCombo(&dialog);
    QStringList entries;
    for (int i = 0; i < 30; ++i)
        entries.append(QStringLiteral("WH-%1").arg(i, 4, 10, QLatin1Char('0')));
    replaceSortedEntries(*combo, entries);
    enableFindAsYouType(*combo);
    const QRect screen = availableGeometryOf(dialog);
    dialog.resize(combo->sizeHint());
    dialog.move(screen.left(), screen.bottom() + 1 - dialog.height());
    dialog.show();
    combo->setFocus();
    QTest::keyClick(combo, 'w');

    const FindPopup& popup = *combo->findChild<FindPopup*>();
    ASSERT_TRUE(popup.isVisible());
    const QRect placed = popup.geometry();
    EXPECT_TRUE(screen.contains(placed)) << placed.y() << ".." << placed.bottom() << " on " << screen.height();
    EXPECT_LT(placed.bottom(), combo->mapToGlobal(QPoint(0, 0)).y()) << "above the drop-down";
    const QListView& matches = *popup.findChild<QListView*>();
    EXPECT_EQ(QFontInfo(matches.font()).family(), QFontInfo(combo->view()->font()).family());
    EXPECT_EQ(matches.sizeHintForRow(0), combo->view()->sizeHintForRow(0));
}
