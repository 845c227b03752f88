#include "gui/DialogTemplate.h"
#include "gui/ProgramContext.h"
#include "gui/SortedCombo.h"

#include "tests/support/QtPrinting.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace korvel;

namespace {

QStringList comboEntries(const QComboBox& combo)
{
    QStringList texts;
    for (int i = 0; i < combo.count(); ++i)
        texts.append(combo.itemText(i));
    return texts;
}

struct SeenBox
{
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QList<QAbstractButton*> buttons;
};

// Shows a message through the sink and looks at the box while it waits for the user.
SeenBox seenBoxOf(void (QtMessageSink::*show)(const QString&), const QString& text)
{
    SeenBox seen;
    QTimer::singleShot(0, [&seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        seen = {box->windowTitle(), box->text(), box->icon(), box->buttons()};
        box->button(QMessageBox::Ok)->click();
    });
    QtMessageSink sink;
    (sink.*show)(text);
    return seen;
}

// A dialog that counts its OK commands.
class CountingDialog : public TemplateDialog
{
public:
    CountingDialog() : TemplateDialog(nullptr, shellDialogFont(), QStringLiteral("test"), 100, 50) {}
    void accept() override { ++oks; }

    int oks = 0;
};

} // namespace

TEST(QtMessageSink, BoxesHaveTheProgramsCaptionAnOkButtonAndTheirIcon)
{
    QCoreApplication::setApplicationName(QStringLiteral("korvel"));
    const SeenBox warning = seenBoxOf(&QtMessageSink::showWarning, QStringLiteral("读文件错误：2\n"));
    EXPECT_EQ(warning.caption, QStringLiteral("korvel"));
    EXPECT_EQ(warning.text, QStringLiteral("读文件错误：2\n"));
    EXPECT_EQ(warning.icon, QMessageBox::Warning);
    EXPECT_EQ(warning.buttons.size(), 1);
    const SeenBox success = seenBoxOf(&QtMessageSink::showInformation, QStringLiteral("写入成功"));
    EXPECT_EQ(success.icon, QMessageBox::Information);
    EXPECT_EQ(success.buttons.size(), 1);
    EXPECT_EQ(seenBoxOf(&QtMessageSink::showWarning, QStringLiteral("表 tblLabelInfo\r")).text,
              QStringLiteral("表 tblLabelInfo\\r"))
        << "a carriage return from a file shows";
}

TEST(SortedCombo, EntriesStaySortedIgnoringCaseAndTheChoiceStaysPut)
{
    QWidget parent;
    QComboBox* combo = createSortedCombo(&parent);
    addSortedEntries(*combo, {"wh-b", "WH-A", "wh-c"});
    EXPECT_EQ(comboEntries(*combo), QStringList({"WH-A", "wh-b", "wh-c"}));
    EXPECT_EQ(combo->currentIndex(), -1) << "filling selects nothing";
    EXPECT_FALSE(combo->isEditable());

    combo->setCurrentIndex(1);
    addSortedEntries(*combo, {"WH-0", "wh-b"});
    EXPECT_EQ(comboEntries(*combo), QStringList({"WH-0", "WH-A", "wh-b", "wh-b", "wh-c"}));
    EXPECT_EQ(combo->currentText(), QStringLiteral("wh-b")) << "adding keeps the choice";
    EXPECT_EQ(selectedText(*combo), QStringLiteral("wh-b"));

    replaceSortedEntries(*combo, {"b", "A"});
    EXPECT_EQ(comboEntries(*combo), QStringList({"A", "b"}));
    EXPECT_EQ(selectedText(*combo), QString()) << "replacing clears the choice";
}

TEST(SortedCombo, TheOpenListShowsItsWidestEntryWholeWhereTheBoxIsNarrow)
{
    // The widest entry need not have the most characters: wide characters take two.
    const QString chinese = QStringLiteral("一条很长的线束编号");
    const QStringList latin(20, QStringLiteral("abcdefghijkl"));
    const struct
    {
        QStringList entries;
        QString widest;
    } lists[] = {{{"A", chinese + "-0000000001", "B"}, chinese + "-0000000001"}, {latin + QStringList(chinese), chinese}};
    for (const auto& list : lists) {
        QWidget parent;
        QComboBox* combo = createSortedCombo(&parent);
        combo->setFixedWidth(40);
        replaceSortedEntries(*combo, list.entries);
        parent.show();
        combo->showPopup();
        EXPECT_GE(combo->view()->viewport()->width(), combo->view()->fontMetrics().horizontalAdvance(list.widest))
            << list.widest.toStdString();
        combo->hidePopup();
    }
}

TEST(DialogTemplate, RectanglesScaleWithTheDialogFont)
{
    QFont small = shellDialogFont();
    QFont large = small;
    large.setPointSize(small.pointSize() * 2);
    const QRect smallRect = DialogUnits(small).toPixels(64, 23, 102, 14);
    const QRect largeRect = DialogUnits(large).toPixels(64, 23, 102, 14);
    EXPECT_GT(smallRect.width(), 0);
    EXPECT_GT(largeRect.width(), smallRect.width() * 3 / 2);
    EXPECT_GT(largeRect.height(), smallRect.height() * 3 / 2);

    QDialog dialog;
    applyTemplate(dialog, small, QStringLiteral("登录界面"), 186, 66);
    EXPECT_EQ(dialog.size(), DialogUnits(small).toPixels(186, 66));
    QPushButton button(&dialog);
    placeControl(button, DialogUnits(small), {64, 42, 50, 14});
    identifyControl(button, 1003, QStringLiteral("okButton"));
    EXPECT_EQ(button.geometry(), DialogUnits(small).toPixels(64, 42, 50, 14));
    EXPECT_EQ(dialog.findChild<QPushButton*>(QStringLiteral("okButton")), &button);
    EXPECT_EQ(button.property("controlId").toInt(), 1003);
}

namespace {

// The filters a file dialog shows, read while it waits for the user, who then cancels.
QStringList shownFilters(const QString& filter)
{
    QStringList shown;
    QTimer::singleShot(0, [&shown] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        shown = dialog->nameFilters();
        dialog->reject();
    });
    QtFileDialogs dialogs;
    EXPECT_EQ(dialogs.getOpenFileName(nullptr, filter, QStringLiteral("bq")), QString()) << "cancelled";
    return shown;
}

} // namespace

TEST(FileDialogs, TheProgramsFiltersBecomeQtFilters)
{
    EXPECT_EQ(shownFilters(QStringLiteral("标签文件(*.bq)|*.bq|")), QStringList(QStringLiteral("标签文件(*.bq)")));
    EXPECT_EQ(shownFilters(QStringLiteral("Labels|*.bq;*.bak|All|*.*|")),
              QStringList({QStringLiteral("Labels (*.bq *.bak)"), QStringLiteral("All (*.*)")}));
}

TEST(TemplateDialog, EnterIsTheOkCommandExceptOnAButtonWhichItPresses)
{
    CountingDialog dialog;
    auto* edit = new QLineEdit(&dialog);
    auto* button = new QPushButton(&dialog);
    button->setAutoDefault(false); // as the dialogs have them: Enter reaches the dialog
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&clicks] { ++clicks; });
    dialog.show();

    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClick(edit, Qt::Key_Enter);
    EXPECT_EQ(dialog.oks, 2) << "both Enter keys";
    EXPECT_EQ(clicks, 0);

    button->setFocus();
    QTest::keyClick(button, Qt::Key_Return);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(dialog.oks, 2);

    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible()) << "Escape gives up";
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}
