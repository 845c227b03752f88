// The main window's label band: export the chosen label, import a bundle, through the
// file dialogs and the duplicate-label dialog.

#include "gui/MainWindow.h"

#include "demodata/DemoDatabase.h"
#include "gui/DuplicateLabelDialog.h"
#include "gui/DialogTemplate.h"
#include "gui/SortedCombo.h"
#include "tests/labels/LabelTestSupport.h"
#include "tests/support/OutcomeChecks.h"
#include "tests/support/DialogControls.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/RecordingMessageSink.h"
#include "tests/support/ScriptedFileDialogs.h"

#include <QApplication>
#include <QFile>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace korvel;

namespace {

class LabelBandTest : public ::testing::Test
{
protected:
    LabelBandTest() : folder("")
    {
        // The demo database, made afresh in place of the empty one.
        QFile::remove(database());
        const DemoOptions demo;
        EXPECT_TRUE(succeeded(createDemoDatabase(database(), demo)));
        folder.writeEmbeddedSettings();
        dialog = std::make_unique<MainWindow>(ProgramContext{folder.directory(), messages, fileDialogs});
        dialog->load();
        dialog->show();
        messages.warnings.clear(); // no value-list file: the window says so
    }

    QString database() const { return folder.filePath(QStringLiteral("korvel.db")); }
    QString bundle() const { return folder.filePath(QStringLiteral("LB-00003.bq")); }
    int labelsNumbered(const QString& number)
    {
        return folder.database().scalar(QStringLiteral("select count(*) from tblLabelInfo where LabelNo='%1'").arg(number)).toInt();
    }

    ProgramFolder folder;
    RecordingMessageSink messages;
    ScriptedFileDialogs fileDialogs;
    std::unique_ptr<MainWindow> dialog;
};

} // namespace

TEST_F(LabelBandTest, ExportNeedsALabelAndAFile)
{
    press(*dialog, "exportButton");
    EXPECT_EQ(messages.warnings, QStringList(QStringLiteral("标签不能为空")));
    EXPECT_TRUE(fileDialogs.asked.isEmpty());

    choose(*dialog, "labelNumberList", QStringLiteral("LB-00003"));
    press(*dialog, "exportButton"); // the save dialog is cancelled
    EXPECT_EQ(fileDialogs.asked, QStringList(QStringLiteral("save|标签文件(*.bq)|*.bq||bq")));
    EXPECT_TRUE(messages.informations.isEmpty());

    fileDialogs.answers = {bundle()};
    press(*dialog, "exportButton");
    EXPECT_EQ(messages.informations, QStringList(QStringLiteral("导出成功")));
    EXPECT_TRUE(QFileInfo(bundle()).size() > 0);
}

TEST_F(LabelBandTest, ImportingBackAsksForANewNumberAndAddsASecondLabel)
{
    choose(*dialog, "labelNumberList", QStringLiteral("LB-00003"));
    fileDialogs.answers = {bundle()};
    press(*dialog, "exportButton");

    // The duplicate-label dialog comes up over the window; the user refuses the old
    // number once, then gives a free one.
    QStringList shown;
    whenModalShows(QStringLiteral("Label重复"), [&shown](QWidget& duplicate) {
        shown.append(textOf(duplicate, "oldLabelNumberEdit"));
        for (const QString& number : {QStringLiteral("LB-00003"), QStringLiteral("LB-90003")}) {
            typeInto(duplicate, "newLabelNumberEdit", number);
            QTest::keyClick(&editOf(duplicate, "newLabelNumberEdit"), Qt::Key_Return);
        }
    });
    fileDialogs.answers = {bundle()};
    press(*dialog, "importButton");
    EXPECT_EQ(shown, QStringList({"LB-00003"}));
    EXPECT_EQ(messages.warnings, QStringList(QStringLiteral("LB-00003已经存在")));
    EXPECT_EQ(messages.informations, QStringList({"导出成功", "导入成功"}));
    EXPECT_EQ(labelsNumbered(QStringLiteral("LB-90003")), 1);
    EXPECT_EQ(labelsNumbered(QStringLiteral("LB-00003")), 1);
    EXPECT_TRUE(entriesOf(*dialog, "labelNumberList").contains(QStringLiteral("LB-90003"))) << "listed at once";
    EXPECT_EQ(selectedText(comboOf(*dialog, "labelNumberList")), QStringLiteral("LB-00003")) << "still chosen";
}

TEST_F(LabelBandTest, GivingUpInTheDuplicateDialogImportsNothing)
{
    choose(*dialog, "labelNumberList", QStringLiteral("LB-00003"));
    fileDialogs.answers = {bundle()};
    press(*dialog, "exportButton");
    const QStringList before = labelTableContents(database());

    whenModalShows(QStringLiteral("Label重复"), [](QWidget& duplicate) { QTest::keyClick(&duplicate, Qt::Key_Escape); });
    fileDialogs.answers = {bundle()};
    press(*dialog, "importButton");
    EXPECT_EQ(labelTableContents(database()), before);
    EXPECT_EQ(messages.informations, QStringList(QStringLiteral("导出成功")));
    EXPECT_TRUE(messages.warnings.isEmpty());

    press(*dialog, "importButton"); // the open dialog is cancelled: nothing at all
    EXPECT_EQ(fileDialogs.asked.last(), QStringLiteral("open|标签文件(*.bq)|*.bq||bq"));
    EXPECT_EQ(labelTableContents(database()), before);
}
