// The main window over a database that makes it wait: the work runs off the GUI thread, a
// progress dialog tells the step, and its cancel leaves the database as it was.

#include "gui/MainWindow.h"

#include "config/ConnectionSettings.h"
#include "demodata/DemoDatabase.h"
#include "tests/labels/LabelTestSupport.h"
#include "tests/support/DialogControls.h"
#include "tests/support/FaultInjectingClient.h"
#include "tests/support/OutcomeChecks.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/RecordingMessageSink.h"
#include "tests/support/ScriptedFileDialogs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace korvel;

namespace {

using namespace std::chrono_literals;

class SlowDatabaseTest : public ::testing::Test
{
protected:
    SlowDatabaseTest() : folder("")
    {
        QFile::remove(database());
        const DemoOptions demo;
        EXPECT_TRUE(succeeded(createDemoDatabase(database(), demo)));
        registerFaultInjectingProvider(plan);
        plan = FaultPlan();
        ConnectionSettings settings;
        settings.hostName = database();
        settings.provider = QStringLiteral("faulty");
        folder.writeSettings(settings);
        window = std::make_unique<MainWindow>(ProgramContext{folder.directory(), messages, fileDialogs});
    }

    QString database() const { return folder.filePath(QStringLiteral("korvel.db")); }

    static FaultPlan plan;
    ProgramFolder folder;
    RecordingMessageSink messages;
    ScriptedFileDialogs fileDialogs;
    std::unique_ptr<MainWindow> window;
};

FaultPlan SlowDatabaseTest::plan;

const QString kCancelled = QStringLiteral("ADO 错误：0x80004004，操作已取消");

} // namespace

TEST_F(SlowDatabaseTest, AWaitingFillShowsItsStepAndACancelLeavesTheListsNotReadEmpty)
{
    plan.statementDelay = 5s;
    QString shown;
    cancelWhenProgressShows(QRegularExpression(QStringLiteral("^")), shown, CancelBy::Escape);
    QElapsedTimer waited;
    waited.start();
    window->load();
    EXPECT_LT(waited.elapsed(), 3000) << "the cancel ended the wait";
    EXPECT_EQ(shown, QStringLiteral("获取HarnessNo信息"));
    EXPECT_EQ(messages.warnings, QStringList({kCancelled, QStringLiteral("配置文件不存在")}))
        << "the cancel once, and the value lists, which are no database work";
    for (const char* list : {"harnessNumberList", "jobNumberList", "labelNumberList"})
        EXPECT_EQ(comboOf(*window, list).count(), 0) << list;
}

TEST_F(SlowDatabaseTest, ASlowImportShowsHowFarItHasComeAndItsCancelTakesEverythingBack)
{
    window->load();
    window->show();
    const QString bundle = folder.filePath(QStringLiteral("LB-00003.bq"));
    choose(*window, "labelNumberList", QStringLiteral("LB-00003"));
    fileDialogs.answers = {bundle};
    press(*window, "exportButton");
    const QStringList before = labelTableContents(database());
    const QStringList listed = entriesOf(*window, "labelNumberList");
    messages = RecordingMessageSink();

    plan.statementDelay = 40ms;
    whenModalShows(QStringLiteral("Label重复"), [](QWidget& duplicate) {
        typeInto(duplicate, "newLabelNumberEdit", QStringLiteral("LB-90003"));
        QTest::keyClick(&editOf(duplicate, "newLabelNumberEdit"), Qt::Key_Return);
    });
    QString shown;
    const qsizetype dialogsAsked = fileDialogs.asked.size() + 1;
    // Cancelled once rows go in: the statement cut short is a row's, which is no fault of the
    // file, whose line is not named.
    cancelWhenProgressShows(QRegularExpression(QStringLiteral("^导入表 tblLabelControls ([1-9]|1\\d|2[0-2])/23$")), shown,
                            CancelBy::Button,
                            [this, &bundle] {
                                // The window ignores the user meanwhile, as under a modal dialog.
                                fileDialogs.answers = {bundle};
                                QTest::mouseClick(&controlOf<QPushButton>(*window, "exportButton"), Qt::LeftButton);
                                QTest::keyClick(window.get(), Qt::Key_Escape);
                            });
    fileDialogs.answers = {bundle};
    press(*window, "importButton");

    EXPECT_FALSE(shown.isEmpty());
    EXPECT_EQ(messages.warnings, QStringList(kCancelled + QStringLiteral("，导入表 tblLabelControls 失败，未导入任何数据")));
    EXPECT_TRUE(messages.informations.isEmpty());
    EXPECT_EQ(labelTableContents(database()), before);
    EXPECT_EQ(entriesOf(*window, "labelNumberList"), listed);
    EXPECT_EQ(fileDialogs.asked.size(), dialogsAsked) << "the click on 导出 went nowhere";
    EXPECT_TRUE(window->isVisible()) << "and so did Escape";
}
