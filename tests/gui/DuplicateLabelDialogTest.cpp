#include "gui/DuplicateLabelDialog.h"

#include "db/Database.h"
#include "gui/DialogTemplate.h"
#include "tests/support/DialogControls.h"
#include "tests/support/EmbeddedTestDatabase.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/RecordingMessageSink.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace korvel;

namespace {

class DuplicateLabelDialogTest : public ::testing::Test
{
protected:
    DuplicateLabelDialogTest()
        : file("CREATE TABLE tblLabelInfo (LabelID uniqueidentifier, LabelNo nvarchar(20), LabelStatus int);"
               "INSERT INTO tblLabelInfo VALUES ('{00000000-0000-0000-0000-000000000001}', 'LB-1', 1),"
               " ('{00000000-0000-0000-0000-000000000002}', 'it''s', 0);"),
          dialog(
              QStringLiteral("LB-1"),
              [this](const QString& number) { return rowExists(database, kLabelInfoTable, number, kLabelNoColumn); },
              messages)
    {
        EXPECT_TRUE(database.open(file.connectionString()));
        dialog.show();
    }

    void typeAndConfirm(const QString& number)
    {
        typeInto(dialog, "newLabelNumberEdit", number);
        press(dialog, "okButton");
    }

    EmbeddedTestDatabase file;
    Database database;
    RecordingMessageSink messages;
    DuplicateLabelDialog dialog;
};

} // namespace

TEST_F(DuplicateLabelDialogTest, ShowsTheClashingNumberAndRefusesEveryNumberThatExists)
{
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Label重复"));
    EXPECT_EQ(textOf(dialog, "oldLabelNumberEdit"), QStringLiteral("LB-1"));
    EXPECT_TRUE(editOf(dialog, "oldLabelNumberEdit").isReadOnly());
    EXPECT_EQ(textOf(dialog, "newLabelNumberEdit"), QString());
    EXPECT_TRUE(dialog.focusWidget() == &editOf(dialog, "newLabelNumberEdit")) << "the new number takes the focus";

    typeAndConfirm(QStringLiteral("LB-1"));
    typeAndConfirm(QStringLiteral("it's"));
    EXPECT_EQ(messages.warnings, QStringList({"LB-1已经存在", "it's已经存在"}));
    EXPECT_TRUE(dialog.isVisible());

    typeAndConfirm(QStringLiteral("LB-2"));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.newLabelNumber(), QStringLiteral("LB-2"));
    EXPECT_EQ(messages.warnings.size(), 2);
}

TEST_F(DuplicateLabelDialogTest, AnEmptyNumberIsRefused)
{
    typeAndConfirm(QString());
    EXPECT_EQ(messages.warnings, QStringList(QStringLiteral("标签不能为空")));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_NE(dialog.result(), QDialog::Accepted);
}

TEST_F(DuplicateLabelDialogTest, EscapeAbandonsEvenWithAFreeNumberTyped)
{
    typeInto(dialog, "newLabelNumberEdit", QStringLiteral("LB-9"));
    QTest::keyClick(&editOf(dialog, "newLabelNumberEdit"), Qt::Key_Escape);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(messages.warnings.isEmpty());
}

TEST_F(DuplicateLabelDialogTest, EnterConfirmsLikeTheButton)
{
    typeInto(dialog, "newLabelNumberEdit", QStringLiteral("LB-1"));
    QTest::keyClick(&editOf(dialog, "newLabelNumberEdit"), Qt::Key_Return);
    EXPECT_EQ(messages.warnings, QStringList(QStringLiteral("LB-1已经存在")));
    typeInto(dialog, "newLabelNumberEdit", QStringLiteral("LB-3"));
    QTest::keyClick(&editOf(dialog, "newLabelNumberEdit"), Qt::Key_Enter);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}
