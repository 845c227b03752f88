#include "editor/CKorvelDlg.h"

#include "app/widgets/DialogTemplate.h"
#include "tests/editor/EditorTestDatabase.h"
#include "tests/support/DialogControls.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/RecordingMessageSink.h"
#include "tests/support/ScriptedFileDialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class MainWindowTest : public ::testing::Test
{
protected:
    MainWindowTest() : folder(kEditorTestDatabase)
    {
        folder.writeEmbeddedSettings();
        folder.writeValueLists(QString::fromUtf8(kEditorTestValueLists));
    }

    CKorvelDlg& open()
    {
        dialog = std::make_unique<CKorvelDlg>(ProgramContext{folder.directory(), messages, fileDialogs});
        EXPECT_TRUE(dialog->OnInitDialog());
        dialog->show();
        return *dialog;
    }

    QComboBox& combo(int id) { return ComboOf(*dialog, id); }
    QString box(int id) { return TextOf(*dialog, id); }
    QStringList entries(int id) { return EntriesOf(*dialog, id); }
    void choose(int id, const QString& text) { Choose(*dialog, id, text); }
    void press(int id) { Press(*dialog, id); }
    QString scalar(const QString& sql) { return folder.database().scalar(sql); }

    ProgramFolder folder;
    RecordingMessageSink messages;
    ScriptedFileDialogs fileDialogs;
    std::unique_ptr<CKorvelDlg> dialog;
};

const QList<int> kAllCombos = {1004, 1007, 1009, 1012, 1006, 1011, 1015, 1017, 1022};

} // namespace

TEST_F(MainWindowTest, OpensWithEveryListFilledSortedAndNothingSelected)
{
    open();
    EXPECT_TRUE(messages.warnings.isEmpty()) << messages.warnings.join('|').toStdString();
    EXPECT_EQ(entries(1004), QStringList({"WH-A", "wh-b", "wh-c", "WH-D"})) << "sorted ignoring case";
    EXPECT_EQ(entries(1006), QStringList({"JOB-1", "job-2"}));
    EXPECT_EQ(entries(1022), QStringList({"l-1", "L-2"})) << "only labels whose LabelStatus is 1";
    EXPECT_EQ(entries(1009), QStringList({"前缀", "字母", "导通", "负数"}));
    EXPECT_EQ(entries(1012), QStringList({"A组", "空组"}));
    EXPECT_EQ(entries(1015), QStringList({"快速"}));
    EXPECT_EQ(entries(1017), QStringList({"B组"}));
    EXPECT_TRUE(entries(1007).isEmpty());
    EXPECT_TRUE(entries(1011).isEmpty());
    for (int id : kAllCombos)
        EXPECT_EQ(combo(id).currentIndex(), -1) << id;
    EXPECT_EQ(box(1010), QStringLiteral("0"));
    EXPECT_EQ(box(1016), QStringLiteral("0"));
    EXPECT_EQ(box(1013), QString());
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Korvel"));
    EXPECT_TRUE(dialog->m_strConnect.startsWith(QStringLiteral("Provider=sqlite;")));
}

TEST_F(MainWindowTest, MissingOrUnreadableSettingsLeaveEveryListEmpty)
{
    QFile::remove(folder.filePath(QStringLiteral("frmConnect")));
    open();
    EXPECT_EQ(messages.warnings, QStringList(QStringLiteral("获取配置文件失败")));
    for (int id : kAllCombos)
        EXPECT_EQ(combo(id).count(), 0) << id;
    EXPECT_EQ(box(1010), QStringLiteral("0"));
    EXPECT_EQ(dialog->m_strConnect, QString());

    messages.warnings.clear();
    folder.writeSettings("not xml");
    open();
    EXPECT_EQ(messages.warnings, QStringList(QStringLiteral("获取配置数据失败")));
    EXPECT_EQ(combo(1009).count(), 0);
}

TEST_F(MainWindowTest, AFailedConnectionShowsTheErrorAloneAndLoadsNoValueLists)
{
    folder.writeEmbeddedSettings("no-such.db");
    open();
    ASSERT_EQ(messages.warnings.size(), 1);
    EXPECT_TRUE(messages.warnings[0].startsWith(QStringLiteral("ADO 错误：0x80004005，"))) << messages.warnings[0].toStdString();
    for (int id : kAllCombos)
        EXPECT_EQ(combo(id).count(), 0) << id;
    EXPECT_FALSE(dialog->m_strConnect.isEmpty());
}

TEST_F(MainWindowTest, AFailingQueryEmptiesOnlyItsOwnList)
{
    folder.database().exec(QStringLiteral("DROP TABLE tblHarnessInfo"));
    open();
    ASSERT_EQ(messages.warnings.size(), 1);
    EXPECT_TRUE(messages.warnings[0].contains(QStringLiteral("tblHarnessInfo")));
    EXPECT_EQ(combo(1004).count(), 0);
    EXPECT_EQ(combo(1006).count(), 2);
    EXPECT_EQ(combo(1009).count(), 4);
    EXPECT_EQ(combo(1022).count(), 2);
}

TEST_F(MainWindowTest, AMissingValueListFileIsReportedAndTheRestFills)
{
    QFile::remove(folder.filePath(QStringLiteral("SQL配置.ini")));
    open();
    EXPECT_EQ(messages.warnings, QStringList(QStringLiteral("配置文件不存在")));
    EXPECT_EQ(combo(1009).count(), 0);
    EXPECT_EQ(combo(1004).count(), 4);
}

TEST_F(MainWindowTest, ChoosingAHarnessListsItsWiresOnly)
{
    open();
    choose(1004, QStringLiteral("wh-b"));
    EXPECT_EQ(entries(1007), QStringList({"w1", "W2"}));
    choose(1004, QStringLiteral("WH-A"));
    EXPECT_EQ(entries(1007), QStringList({"w1", "W3"})) << "the list is replaced, not added to";
    EXPECT_EQ(combo(1007).currentIndex(), -1);
    choose(1004, QStringLiteral("wh-c"));
    EXPECT_TRUE(entries(1007).isEmpty()) << "a harness without wires";
    EXPECT_TRUE(messages.warnings.isEmpty());

    folder.database().exec(QStringLiteral("DELETE FROM tblHarnessInfo WHERE HarnessNo='WH-D'"));
    choose(1004, QStringLiteral("WH-D"));
    EXPECT_EQ(messages.warnings, QStringList(QStringLiteral("获取HarnessID信息失败")));
    EXPECT_TRUE(entries(1007).isEmpty());
}

TEST_F(MainWindowTest, ArrowKeysOnTheHarnessListRunTheCascade)
{
    open();
    combo(1004).setFocus();
    QTest::keyClick(&combo(1004), Qt::Key_Down);
    EXPECT_EQ(combo(1004).currentText(), QStringLiteral("WH-A"));
    EXPECT_EQ(entries(1007), QStringList({"w1", "W3"}));
}

TEST_F(MainWindowTest, ChoosingAJobListsItsSteps)
{
    open();
    choose(1006, QStringLiteral("job-2"));
    EXPECT_EQ(entries(1011), QStringList({"15", "16"}));
    choose(1006, QStringLiteral("JOB-1"));
    EXPECT_EQ(entries(1011), QStringList({"15", "17"}));
    folder.database().exec(QStringLiteral("DROP TABLE tblJobStepInfo"));
    choose(1006, QStringLiteral("JOB-1"));
    ASSERT_EQ(messages.warnings.size(), 1);
    EXPECT_TRUE(messages.warnings[0].endsWith(QStringLiteral("获取LineID信息失败")));
    EXPECT_TRUE(messages.warnings[0].startsWith(QStringLiteral("ADO 错误：")));
}

TEST_F(MainWindowTest, PickersShowTheEntrysValueAndChangeNothingElse)
{
    open();
    choose(1004, QStringLiteral("wh-b"));
    choose(1007, QStringLiteral("W2"));
    const QString connect = dialog->m_strConnect;
    const struct
    {
        const char* entry;
        const char* shown;
    } connectTypes[] = {{"导通", "3"}, {"负数", "-7"}, {"字母", "0"}, {"前缀", "12"}};
    for (const auto& type : connectTypes) {
        choose(1009, QString::fromUtf8(type.entry));
        EXPECT_EQ(box(1010), QString::fromUtf8(type.shown)) << type.entry;
    }
    choose(1012, QStringLiteral("A组"));
    EXPECT_EQ(box(1013), QStringLiteral("GA"));
    choose(1012, QStringLiteral("空组"));
    EXPECT_EQ(box(1013), QString());
    choose(1015, QStringLiteral("快速"));
    EXPECT_EQ(box(1016), QStringLiteral("1"));
    choose(1017, QStringLiteral("B组"));
    EXPECT_EQ(box(1018), QStringLiteral("GB"));

    EXPECT_EQ(combo(1004).currentText(), QStringLiteral("wh-b"));
    EXPECT_EQ(combo(1007).currentText(), QStringLiteral("W2"));
    EXPECT_EQ(entries(1007), QStringList({"w1", "W2"})) << "the refresh ran no cascade";
    EXPECT_TRUE(messages.warnings.isEmpty());
}

TEST_F(MainWindowTest, WritesNeedEveryChoiceAndOpenNoConnectionOtherwise)
{
    open();
    QFile::remove(folder.filePath(QStringLiteral("korvel.db"))); // a connection would fail loudly
    press(1005);
    press(1014);
    press(1008);
    press(1019);
    EXPECT_EQ(messages.warnings, QStringList({"harnessno,wireno,联线类型不能为空", "harnessno,wireno,测试组不能为空",
                                              "harnessno,wireno,测试模式不能为空", "harnessno,wireno,测试组2不能为空"}))
        << "nothing chosen at all";
    choose(1004, QStringLiteral("wh-b"));
    messages.warnings.clear();
    press(1005);
    EXPECT_EQ(messages.warnings,
              QStringList({"harnessno,wireno,联线类型不能为空"}));
    messages.warnings.clear();
    press(1014);
    press(1008);
    press(1019);
    EXPECT_EQ(messages.warnings, QStringList({"harnessno,wireno,测试组不能为空", "harnessno,wireno,测试模式不能为空",
                                              "harnessno,wireno,测试组2不能为空"}));
}

TEST_F(MainWindowTest, WireWritesChangeTheChosenWireOfTheChosenHarness)
{
    open();
    choose(1004, QStringLiteral("WH-A"));
    choose(1007, QStringLiteral("w1"));
    choose(1009, QStringLiteral("导通"));
    press(1005);
    choose(1012, QStringLiteral("A组"));
    press(1014);
    EXPECT_EQ(messages.informations, QStringList({"写入成功", "写入成功"}));
    EXPECT_TRUE(messages.warnings.isEmpty());
    EXPECT_EQ(scalar(QStringLiteral("select HarnessType || WireGroup from tblHarnessWireInfo where HarnessID=2 and WireNo='w1'")),
              QStringLiteral("3GA"));
    EXPECT_EQ(scalar(QStringLiteral("select HarnessType || WireGroup from tblHarnessWireInfo where HarnessID=1 and WireNo='w1'")),
              QStringLiteral("0")) << "harness wh-b's wire w1 is another wire";
    EXPECT_EQ(combo(1007).currentText(), QStringLiteral("w1")) << "a write changes nothing in the window";

    choose(1012, QStringLiteral("空组"));
    press(1014);
    EXPECT_EQ(scalar(QStringLiteral("select quote(WireGroup) from tblHarnessWireInfo where HarnessID=2 and WireNo='w1'")),
              QStringLiteral("''")) << "an empty value is an empty text";
}

TEST_F(MainWindowTest, StepWritesChangeTheChosenStepOfTheChosenJob)
{
    open();
    choose(1006, QStringLiteral("job-2"));
    choose(1011, QStringLiteral("15"));
    choose(1015, QStringLiteral("快速"));
    press(1008);
    choose(1017, QStringLiteral("B组"));
    press(1019);
    EXPECT_EQ(messages.informations, QStringList({"写入成功", "写入成功"}));
    EXPECT_EQ(scalar(QStringLiteral("select TestMode || TestGroup from tblJobStepInfo where JobID=10 and LineID=15")),
              QStringLiteral("1GB"));
    EXPECT_EQ(scalar(QStringLiteral("select TestMode || TestGroup from tblJobStepInfo where JobID=11 and LineID=15")),
              QStringLiteral("0")) << "step 15 of JOB-1 is another step";
    EXPECT_EQ(scalar(QStringLiteral("select TestMode || TestGroup from tblJobStepInfo where LineID=16")), QStringLiteral("0"));

    // The step went after the list was filled: a write that changes no row is no success.
    folder.database().exec(QStringLiteral("DELETE FROM tblJobStepInfo WHERE JobID=10 AND LineID=15"));
    press(1008);
    EXPECT_EQ(messages.informations.size(), 2);
    EXPECT_EQ(messages.warnings, QStringList(QStringLiteral("没有找到要写入的记录，写入测试模式失败")));
    EXPECT_EQ(combo(1011).currentText(), QStringLiteral("15")) << "and changes nothing in the window";
}

TEST_F(MainWindowTest, AFailedWriteShowsTheErrorAndItsOwnText)
{
    open();
    choose(1006, QStringLiteral("job-2"));
    choose(1011, QStringLiteral("16"));
    choose(1017, QStringLiteral("B组"));
    folder.database().exec(QStringLiteral("ALTER TABLE tblJobStepInfo RENAME TO tblGone"));
    press(1019);
    ASSERT_EQ(messages.warnings.size(), 1);
    EXPECT_TRUE(messages.warnings[0].startsWith(QStringLiteral("ADO 错误：0x80004005，")));
    EXPECT_TRUE(messages.warnings[0].endsWith(QStringLiteral("写入测试组2失败")));

    // Each write opens its own connection: a database that has gone fails with its error alone.
    QFile::remove(folder.filePath(QStringLiteral("korvel.db")));
    messages.warnings.clear();
    press(1019);
    ASSERT_EQ(messages.warnings.size(), 1);
    EXPECT_TRUE(messages.warnings[0].startsWith(QStringLiteral("ADO 错误：0x80004005，")));
    EXPECT_FALSE(messages.warnings[0].endsWith(QStringLiteral("失败")));
}

TEST_F(MainWindowTest, EnterAndEscapeCloseTheWindow)
{
    open();
    combo(1004).setFocus();
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
    choose(1004, QStringLiteral("wh-b"));
    ASSERT_TRUE(QFile::remove(folder.filePath(QStringLiteral("korvel.db"))));
    choose(1004, QStringLiteral("WH-A"));
    ASSERT_EQ(messages.warnings.size(), 1);
    EXPECT_TRUE(messages.warnings[0].startsWith(QStringLiteral("ADO 错误：0x80004005，"))) << "the error alone";
    EXPECT_TRUE(entries(1007).isEmpty()) << "no wires of another harness stay listed";
    choose(1006, QStringLiteral("job-2"));
    EXPECT_EQ(messages.warnings.size(), 2);
    EXPECT_FALSE(QFileInfo::exists(folder.filePath(QStringLiteral("korvel.db"))));
}
