#include "gui/MainWindow.h"

#include "gui/DialogTemplate.h"
#include "gui/FindAsYouType.h"
#include "gui/ScreenRoom.h"
#include "tests/support/DialogControls.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/RecordingMessageSink.h"
#include "tests/support/ScriptedFileDialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace korvel;

namespace {

// The tables the main window reads and writes, with a few rows in deliberately unsorted,
// mixed-case order.
const char* const kMainWindowDatabase =
    "CREATE TABLE tblUserInfo (UserID nvarchar(20), Password nvarchar(50));"
    "INSERT INTO tblUserInfo VALUES ('Admin', 'korvel');"
    "CREATE TABLE tblHarnessInfo (HarnessID int, HarnessNo nvarchar(50));"
    "INSERT INTO tblHarnessInfo VALUES (1, 'wh-b'), (2, 'WH-A'), (3, 'wh-c'), (4, 'WH-D');"
    "CREATE TABLE tblHarnessWireInfo (HarnessID int, WireNo nvarchar(20), HarnessType int, WireGroup nvarchar(20));"
    "INSERT INTO tblHarnessWireInfo VALUES (1, 'W2', 0, ''), (1, 'w1', 0, ''), (2, 'w1', 0, ''), (2, 'W3', 0, ''),"
    " (4, 'W9', 0, '');"
    "CREATE TABLE tblJobInfo (JobID int, JobNo nvarchar(50));"
    "INSERT INTO tblJobInfo VALUES (10, 'job-2'), (11, 'JOB-1');"
    "CREATE TABLE tblJobStepInfo (JobID int, LineID int, TestMode int, TestGroup nvarchar(20));"
    "INSERT INTO tblJobStepInfo VALUES (10, 16, 0, ''), (10, 15, 0, ''), (11, 15, 0, ''), (11, 17, 0, '');"
    "CREATE TABLE tblLabelInfo (LabelID uniqueidentifier, LabelNo nvarchar(20), LabelStatus int);"
    "INSERT INTO tblLabelInfo VALUES ('{00000000-0000-0000-0000-000000000001}', 'L-2', 1),"
    " ('{00000000-0000-0000-0000-000000000002}', 'l-1', 1), ('{00000000-0000-0000-0000-000000000003}', 'L-OFF', 0);";

// The value lists of the main window's tests.
const char* const kMainWindowValueLists = "联线类型&导通&3;联线类型&负数& -7;联线类型&字母&abc;联线类型&前缀&12abc;"
                                          "测试组&A组&GA;测试组&空组&;测试模式&快速&1;测试组2&B组&GB;";

class MainWindowTest : public ::testing::Test
{
protected:
    MainWindowTest() : folder(kMainWindowDatabase)
    {
        folder.writeEmbeddedSettings();
        folder.writeValueLists(QString::fromUtf8(kMainWindowValueLists));
    }

    MainWindow& open()
    {
        dialog = std::make_unique<MainWindow>(ProgramContext{folder.directory(), messages, fileDialogs});
        dialog->load();
        dialog->show();
        return *dialog;
    }

    QString scalar(const QString& sql) { return folder.database().scalar(sql); }

    ProgramFolder folder;
    RecordingMessageSink messages;
    ScriptedFileDialogs fileDialogs;
    std::unique_ptr<MainWindow> dialog;
};

const QStringList kAllCombos = {"harnessNumberList", "wireNumberList",  "connectionTypeList",
                                "testGroupList",     "jobNumberList",   "stepList",
                                "testModeList",      "testGroup2List",  "labelNumberList"};

} // namespace

TEST_F(MainWindowTest, OpensWithEveryListFilledSortedAndNothingSelected)
{
    open();
    EXPECT_TRUE(messages.warnings.isEmpty()) << messages.warnings.join('|').toStdString();
    EXPECT_EQ(entriesOf(*dialog, "harnessNumberList"), QStringList({"WH-A", "wh-b", "wh-c", "WH-D"}))
        << "sorted ignoring case";
    EXPECT_EQ(entriesOf(*dialog, "jobNumberList"), QStringList({"JOB-1", "job-2"}));
    EXPECT_EQ(entriesOf(*dialog, "labelNumberList"), QStringList({"l-1", "L-2"}))
        << "only labels whose LabelStatus is 1";
    EXPECT_EQ(entriesOf(*dialog, "connectionTypeList"), QStringList({"前缀", "字母", "导通", "负数"}));
    EXPECT_EQ(entriesOf(*dialog, "testGroupList"), QStringList({"A组", "空组"}));
    EXPECT_EQ(entriesOf(*dialog, "testModeList"), QStringList({"快速"}));
    EXPECT_EQ(entriesOf(*dialog, "testGroup2List"), QStringList({"B组"}));
    EXPECT_TRUE(entriesOf(*dialog, "wireNumberList").isEmpty());
    EXPECT_TRUE(entriesOf(*dialog, "stepList").isEmpty());
    for (const QString& name : kAllCombos)
        EXPECT_EQ(comboOf(*dialog, name).currentIndex(), -1) << name.toStdString();
    EXPECT_EQ(textOf(*dialog, "connectionTypeValue"), QStringLiteral("0"));
    EXPECT_EQ(textOf(*dialog, "testModeValue"), QStringLiteral("0"));
    EXPECT_EQ(textOf(*dialog, "testGroupValue"), QString());
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Korvel"));
    EXPECT_TRUE(dialog->connectionString().startsWith(QStringLiteral("Provider=sqlite;")));
}

TEST_F(MainWindowTest, MissingOrUnreadableSettingsLeaveEveryListEmpty)
{
    QFile::remove(folder.filePath(QStringLiteral("frmConnect")));
    open();
    EXPECT_EQ(messages.warnings, QStringList(QStringLiteral("获取配置文件失败")));
    for (const QString& name : kAllCombos)
        EXPECT_EQ(comboOf(*dialog, name).count(), 0) << name.toStdString();
    EXPECT_EQ(textOf(*dialog, "connectionTypeValue"), QStringLiteral("0"));
    EXPECT_EQ(dialog->connectionString(), QString());

    messages.warnings.clear();
    folder.writeSettings("not xml");
    open();
    EXPECT_EQ(messages.warnings, QStringList(QStringLiteral("获取配置数据失败")));
    EXPECT_EQ(comboOf(*dialog, "connectionTypeList").count(), 0);
}

TEST_F(MainWindowTest, AFailedConnectionShowsTheErrorAloneAndLoadsNoValueLists)
{
    folder.writeEmbeddedSettings("no-such.db");
    open();
    ASSERT_EQ(messages.warnings.size(), 1);
    EXPECT_TRUE(messages.warnings[0].startsWith(QStringLiteral("ADO 错误：0x80004005，"))) << messages.warnings[0].toStdString();
    for (const QString& name : kAllCombos)
        EXPECT_EQ(comboOf(*dialog, name).count(), 0) << name.toStdString();
    EXPECT_FALSE(dialog->connectionString().isEmpty());
}

TEST_F(MainWindowTest, AFailingQueryEmptiesOnlyItsOwnList)
{
    folder.database().exec(QStringLiteral("DROP TABLE tblHarnessInfo"));
    open();
    ASSERT_EQ(messages.warnings.size(), 1);
    EXPECT_TRUE(messages.warnings[0].contains(QStringLiteral("tblHarnessInfo")));
    EXPECT_EQ(comboOf(*dialog, "harnessNumberList").count(), 0);
    EXPECT_EQ(comboOf(*dialog, "jobNumberList").count(), 2);
    EXPECT_EQ(comboOf(*dialog, "connectionTypeList").count(), 4);
    EXPECT_EQ(comboOf(*dialog, "labelNumberList").count(), 2);
}

TEST_F(MainWindowTest, AMissingValueListFileIsReportedAndTheRestFills)
{
    QFile::remove(folder.filePath(QStringLiteral("SQL配置.ini")));
    open();
    EXPECT_EQ(messages.warnings, QStringList(QStringLiteral("配置文件不存在")));
    EXPECT_EQ(comboOf(*dialog, "connectionTypeList").count(), 0);
    EXPECT_EQ(comboOf(*dialog, "harnessNumberList").count(), 4);
}

TEST_F(MainWindowTest, ChoosingAHarnessListsItsWiresOnly)
{
    open();
    choose(*dialog, "harnessNumberList", QStringLiteral("wh-b"));
    EXPECT_EQ(entriesOf(*dialog, "wireNumberList"), QStringList({"w1", "W2"}));
    choose(*dialog, "harnessNumberList", QStringLiteral("WH-A"));
    EXPECT_EQ(entriesOf(*dialog, "wireNumberList"), QStringList({"w1", "W3"}))
        << "the list is replaced, not added to";
    EXPECT_EQ(comboOf(*dialog, "wireNumberList").currentIndex(), -1);
    choose(*dialog, "harnessNumberList", QStringLiteral("wh-c"));
    EXPECT_TRUE(entriesOf(*dialog, "wireNumberList").isEmpty()) << "a harness without wires";
    EXPECT_TRUE(messages.warnings.isEmpty());

    folder.database().exec(QStringLiteral("DELETE FROM tblHarnessInfo WHERE HarnessNo='WH-D'"));
    choose(*dialog, "harnessNumberList", QStringLiteral("WH-D"));
    EXPECT_EQ(messages.warnings, QStringList(QStringLiteral("获取HarnessID信息失败")));
    EXPECT_TRUE(entriesOf(*dialog, "wireNumberList").isEmpty());
}

TEST_F(MainWindowTest, ArrowKeysOnTheHarnessListRunTheCascade)
{
    open();
    comboOf(*dialog, "harnessNumberList").setFocus();
    QTest::keyClick(&comboOf(*dialog, "harnessNumberList"), Qt::Key_Down);
    EXPECT_EQ(comboOf(*dialog, "harnessNumberList").currentText(), QStringLiteral("WH-A"));
    EXPECT_EQ(entriesOf(*dialog, "wireNumberList"), QStringList({"w1", "W3"}));
}

TEST_F(MainWindowTest, TypingFindsAHarnessAndOnlyEnterOnAMatchRunsTheCascade)
{
    open();
    QComboBox& harnesses = comboOf(*dialog, "harnessNumberList");
    harnesses.setFocus();
    QTest::keyClick(&harnesses, 'w');
    const FindPopup* find = harnesses.findChild<FindPopup*>();
    ASSERT_TRUE(find && find->isVisible());
    QTest::keyClicks(&find->filterLine(), QStringLiteral("h-b"));
    EXPECT_EQ(harnesses.currentIndex(), -1) << "typing chooses no harness";
    EXPECT_TRUE(entriesOf(*dialog, "wireNumberList").isEmpty()) << "and loads no wires";

    QTest::keyClick(&find->filterLine(), Qt::Key_Return);
    EXPECT_TRUE(dialog->isVisible()) << "Enter picks; it does not close the window";
    const QStringList picked = {harnesses.currentText(), dialog->listedHarnessId()};
    const QStringList wires = entriesOf(*dialog, "wireNumberList");
    EXPECT_EQ(picked, QStringList({"wh-b", "1"}));

    choose(*dialog, "harnessNumberList", QStringLiteral("WH-A"));
    choose(*dialog, "harnessNumberList", QStringLiteral("wh-b"));
    EXPECT_EQ(QStringList({harnesses.currentText(), dialog->listedHarnessId()}), picked);
    EXPECT_EQ(entriesOf(*dialog, "wireNumberList"), wires) << "as a pick from the list";
    EXPECT_TRUE(messages.warnings.isEmpty());
}

TEST_F(MainWindowTest, OnlyTheListsOfNumbersAreSearchedAsOneTypes)
{
    open();
    const QStringList numbers = {"harnessNumberList", "jobNumberList", "labelNumberList"};
    for (const QString& name : kAllCombos)
        EXPECT_EQ(comboOf(*dialog, name).findChild<FindPopup*>() != nullptr, numbers.contains(name))
            << name.toStdString();
}

TEST_F(MainWindowTest, ChoosingAJobListsItsSteps)
{
    open();
    choose(*dialog, "jobNumberList", QStringLiteral("job-2"));
    EXPECT_EQ(entriesOf(*dialog, "stepList"), QStringList({"15", "16"}));
    choose(*dialog, "jobNumberList", QStringLiteral("JOB-1"));
    EXPECT_EQ(entriesOf(*dialog, "stepList"), QStringList({"15", "17"}));
    folder.database().exec(QStringLiteral("DROP TABLE tblJobStepInfo"));
    choose(*dialog, "jobNumberList", QStringLiteral("JOB-1"));
    ASSERT_EQ(messages.warnings.size(), 1);
    EXPECT_TRUE(messages.warnings[0].endsWith(QStringLiteral("获取LineID信息失败")));
    EXPECT_TRUE(messages.warnings[0].startsWith(QStringLiteral("ADO 错误：")));
}

TEST_F(MainWindowTest, PickersShowTheEntrysValueAndChangeNothingElse)
{
    open();
    choose(*dialog, "harnessNumberList", QStringLiteral("wh-b"));
    choose(*dialog, "wireNumberList", QStringLiteral("W2"));
    const QString connect = dialog->connectionString();
    const struct
    {
        const char* entry;
        const char* shown;
    } connectTypes[] = {{"导通", "3"}, {"负数", "-7"}, {"字母", "0"}, {"前缀", "12"}};
    for (const auto& type : connectTypes) {
        choose(*dialog, "connectionTypeList", QString::fromUtf8(type.entry));
        EXPECT_EQ(textOf(*dialog, "connectionTypeValue"), QString::fromUtf8(type.shown)) << type.entry;
    }
    choose(*dialog, "testGroupList", QStringLiteral("A组"));
    EXPECT_EQ(textOf(*dialog, "testGroupValue"), QStringLiteral("GA"));
    choose(*dialog, "testGroupList", QStringLiteral("空组"));
    EXPECT_EQ(textOf(*dialog, "testGroupValue"), QString());
    choose(*dialog, "testModeList", QStringLiteral("快速"));
    EXPECT_EQ(textOf(*dialog, "testModeValue"), QStringLiteral("1"));
    choose(*dialog, "testGroup2List", QStringLiteral("B组"));
    EXPECT_EQ(textOf(*dialog, "testGroup2Value"), QStringLiteral("GB"));

    EXPECT_EQ(comboOf(*dialog, "harnessNumberList").currentText(), QStringLiteral("wh-b"));
    EXPECT_EQ(comboOf(*dialog, "wireNumberList").currentText(), QStringLiteral("W2"));
    EXPECT_EQ(entriesOf(*dialog, "wireNumberList"), QStringList({"w1", "W2"})) << "the refresh ran no cascade";
    EXPECT_TRUE(messages.warnings.isEmpty());
}

TEST_F(MainWindowTest, WritesNeedEveryChoiceAndOpenNoConnectionOtherwise)
{
    open();
    QFile::remove(folder.filePath(QStringLiteral("korvel.db"))); // a connection would fail loudly
    press(*dialog, "writeConnectionTypeButton");
    press(*dialog, "writeTestGroupButton");
    press(*dialog, "writeTestModeButton");
    press(*dialog, "writeTestGroup2Button");
    EXPECT_EQ(messages.warnings, QStringList({"harnessno,wireno,联线类型不能为空", "harnessno,wireno,测试组不能为空",
                                              "harnessno,wireno,测试模式不能为空", "harnessno,wireno,测试组2不能为空"}))
        << "nothing chosen at all";
    choose(*dialog, "harnessNumberList", QStringLiteral("wh-b"));
    messages.warnings.clear();
    press(*dialog, "writeConnectionTypeButton");
    EXPECT_EQ(messages.warnings,
              QStringList({"harnessno,wireno,联线类型不能为空"}));
    messages.warnings.clear();
    press(*dialog, "writeTestGroupButton");
    press(*dialog, "writeTestModeButton");
    press(*dialog, "writeTestGroup2Button");
    EXPECT_EQ(messages.warnings, QStringList({"harnessno,wireno,测试组不能为空", "harnessno,wireno,测试模式不能为空",
                                              "harnessno,wireno,测试组2不能为空"}));
}

TEST_F(MainWindowTest, WireWritesChangeTheChosenWireOfTheChosenHarness)
{
    open();
    choose(*dialog, "harnessNumberList", QStringLiteral("WH-A"));
    choose(*dialog, "wireNumberList", QStringLiteral("w1"));
    choose(*dialog, "connectionTypeList", QStringLiteral("导通"));
    press(*dialog, "writeConnectionTypeButton");
    choose(*dialog, "testGroupList", QStringLiteral("A组"));
    press(*dialog, "writeTestGroupButton");
    EXPECT_EQ(messages.informations, QStringList({"写入成功", "写入成功"}));
    EXPECT_TRUE(messages.warnings.isEmpty());
    EXPECT_EQ(scalar(QStringLiteral("select HarnessType || WireGroup from tblHarnessWireInfo where HarnessID=2 and WireNo='w1'")),
              QStringLiteral("3GA"));
    EXPECT_EQ(scalar(QStringLiteral("select HarnessType || WireGroup from tblHarnessWireInfo where HarnessID=1 and WireNo='w1'")),
              QStringLiteral("0")) << "harness wh-b's wire w1 is another wire";
    EXPECT_EQ(comboOf(*dialog, "wireNumberList").currentText(), QStringLiteral("w1"))
        << "a write changes nothing in the window";

    choose(*dialog, "testGroupList", QStringLiteral("空组"));
    press(*dialog, "writeTestGroupButton");
    EXPECT_EQ(scalar(QStringLiteral("select quote(WireGroup) from tblHarnessWireInfo where HarnessID=2 and WireNo='w1'")),
              QStringLiteral("''")) << "an empty value is an empty text";
}

TEST_F(MainWindowTest, StepWritesChangeTheChosenStepOfTheChosenJob)
{
    open();
    choose(*dialog, "jobNumberList", QStringLiteral("job-2"));
    choose(*dialog, "stepList", QStringLiteral("15"));
    choose(*dialog, "testModeList", QStringLiteral("快速"));
    press(*dialog, "writeTestModeButton");
    choose(*dialog, "testGroup2List", QStringLiteral("B组"));
    press(*dialog, "writeTestGroup2Button");
    EXPECT_EQ(messages.informations, QStringList({"写入成功", "写入成功"}));
    EXPECT_EQ(scalar(QStringLiteral("select TestMode || TestGroup from tblJobStepInfo where JobID=10 and LineID=15")),
              QStringLiteral("1GB"));
    EXPECT_EQ(scalar(QStringLiteral("select TestMode || TestGroup from tblJobStepInfo where JobID=11 and LineID=15")),
              QStringLiteral("0")) << "step 15 of JOB-1 is another step";
    EXPECT_EQ(scalar(QStringLiteral("select TestMode || TestGroup from tblJobStepInfo where LineID=16")), QStringLiteral("0"));

    // The step went after the list was filled: a write that changes no row is no success.
    folder.database().exec(QStringLiteral("DELETE FROM tblJobStepInfo WHERE JobID=10 AND LineID=15"));
    press(*dialog, "writeTestModeButton");
    EXPECT_EQ(messages.informations.size(), 2);
    EXPECT_EQ(messages.warnings, QStringList(QStringLiteral("没有找到要写入的记录，写入测试模式失败")));
    EXPECT_EQ(comboOf(*dialog, "stepList").currentText(), QStringLiteral("15"))
        << "and changes nothing in the window";
}

TEST_F(MainWindowTest, AFailedWriteShowsTheErrorAndItsOwnText)
{
    open();
    choose(*dialog, "jobNumberList", QStringLiteral("job-2"));
    choose(*dialog, "stepList", QStringLiteral("16"));
    choose(*dialog, "testGroup2List", QStringLiteral("B组"));
    folder.database().exec(QStringLiteral("ALTER TABLE tblJobStepInfo RENAME TO tblGone"));
    press(*dialog, "writeTestGroup2Button");
    ASSERT_EQ(messages.warnings.size(), 1);
    EXPECT_TRUE(messages.warnings[0].startsWith(QStringLiteral("ADO 错误：0x80004005，")));
    EXPECT_TRUE(messages.warnings[0].endsWith(QStringLiteral("写入测试组2失败")));

    // Each write opens its own connection: a database that has gone fails with its error alone.
    QFile::remove(folder.filePath(QStringLiteral("korvel.db")));
    messages.warnings.clear();
    press(*dialog, "writeTestGroup2Button");
    ASSERT_EQ(messages.warnings.size(), 1);
    EXPECT_TRUE(messages.warnings[0].startsWith(QStringLiteral("ADO 错误：0x80004005，")));
    EXPECT_FALSE(messages.warnings[0].endsWith(QStringLiteral("失败")));
}

TEST_F(MainWindowTest, EnterAndEscapeCloseTheWindow)
{
    open();
    comboOf(*dialog, "harnessNumberList").setFocus();
    QTest::keyClick(dialog.get(), Qt::Key_Return);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);

    open();
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(MainWindowTest, TheAboutBoxOpensModallyAndReturns)
{
    open();
    bool shown = false;
    QTimer::singleShot(0, [&shown] {
        QWidget* about = QApplication::activeModalWidget();
        shown = about && about->windowTitle() == QStringLiteral("关于 Korvel");
        if (about)
            QTest::keyClick(about, Qt::Key_Escape);
    });
    QApplication::setActiveWindow(dialog.get());
    QTest::keyClick(dialog.get(), Qt::Key_F1);
    EXPECT_TRUE(shown);
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(MainWindowTest, ADatabaseThatVanishesAfterStartUpIsReportedByEachAction)
{
    open();
    choose(*dialog, "harnessNumberList", QStringLiteral("wh-b"));
    ASSERT_TRUE(QFile::remove(folder.filePath(QStringLiteral("korvel.db"))));
    choose(*dialog, "harnessNumberList", QStringLiteral("WH-A"));
    ASSERT_EQ(messages.warnings.size(), 1);
    EXPECT_TRUE(messages.warnings[0].startsWith(QStringLiteral("ADO 错误：0x80004005，"))) << "the error alone";
    EXPECT_TRUE(entriesOf(*dialog, "wireNumberList").isEmpty()) << "no wires of another harness stay listed";
    choose(*dialog, "jobNumberList", QStringLiteral("job-2"));
    EXPECT_EQ(messages.warnings.size(), 2);
    EXPECT_FALSE(QFileInfo::exists(folder.filePath(QStringLiteral("korvel.db"))));
}

TEST_F(MainWindowTest, PrefersItsTemplateSizeAndFitsSmallScreens)
{
    open();
    EXPECT_EQ(dialog->sizeHint(), DialogUnits(dialog->font()).toPixels(406, 221));
    EXPECT_EQ(dialog->size(), dialog->sizeHint().boundedTo(roomForWindow(*dialog))) << "as far as the screen has room";
    // Screens in logical pixels: at 200% a pixel of the window takes two of the screen.
    const struct
    {
        const char* name;
        QSize logical;
    } screens[] = {
        {"1024x768 at 100%", {1024, 768}}, {"1366x768 at 200%", {683, 384}}, {"1280x1024 at 200%", {640, 512}}};
    const QSize least = dialog->minimumSize() + frameOf(*dialog);
    for (const auto& screen : screens) {
        EXPECT_LE(least.width(), screen.logical.width()) << screen.name;
        EXPECT_LE(least.height(), screen.logical.height()) << screen.name;
    }
}

TEST_F(MainWindowTest, ALongNumberOrValueShowsWhole)
{
    const QString number = QStringLiteral("WH-2024-0003-线束-000001");
    folder.database().exec(QStringLiteral("INSERT INTO tblHarnessInfo VALUES (5, '%1')").arg(number));
    folder.writeValueLists(QString::fromUtf8(kMainWindowValueLists) +
                           QStringLiteral("测试组&长组&GROUP-0001-0002-0003;"));
    open();
    choose(*dialog, "harnessNumberList", number);
    choose(*dialog, "testGroupList", QStringLiteral("长组"));
    // Also in a window made as small as it goes.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    dialog->resize(dialog->minimumSize());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);

    const QComboBox& harnesses = comboOf(*dialog, "harnessNumberList");
    QStyleOptionComboBox closed;
    closed.initFrom(&harnesses);
    const QRect shown =
        harnesses.style()->subControlRect(QStyle::CC_ComboBox, &closed, QStyle::SC_ComboBoxEditField, &harnesses);
    EXPECT_GE(shown.width(), harnesses.fontMetrics().horizontalAdvance(number));

    const QLineEdit& value = editOf(*dialog, "testGroupValue");
    QStyleOptionFrame box;
    box.initFrom(&value);
    box.lineWidth = value.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &box, &value);
    EXPECT_GE(value.style()->subElementRect(QStyle::SE_LineEditContents, &box, &value).width(),
              value.fontMetrics().horizontalAdvance(value.text()));
}
