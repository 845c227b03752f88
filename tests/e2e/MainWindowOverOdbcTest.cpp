// The login, the main window's cascades and writes, and korvelctl's writes, against a server
// database reached through an ODBC data source named in the settings file.

#include "app/korvelctl/Korvelctl.h"
#include "demodata/DemoDatabase.h"
#include "gui/CKorvelDlg.h"
#include "gui/ShellDialogs.h"
#include "tests/app/korvelctl/KorvelctlRun.h"
#include "tests/e2e/KorvelServerTest.h"
#include "tests/support/DialogControls.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/RecordingMessageSink.h"
#include "tests/support/ScriptedFileDialogs.h"
#include "tests/support/TestFiles.h"

#include <QSet>

namespace {

class MainWindowOverOdbcTest : public KorvelServerTest
{
protected:
    void SetUp() override
    {
        KorvelServerTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        CopyDemoDatabase();
        m_folder.writeValueLists(DemoValueListText().replace(QLatin1Char('\n'), QLatin1Char(';')));
    }

    CKorvelDlg& OpenMainWindow()
    {
        m_dialog = std::make_unique<CKorvelDlg>(ProgramContext{m_folder.directory(), m_messages, m_fileDialogs});
        EXPECT_TRUE(m_dialog->OnInitDialog());
        m_dialog->show();
        return *m_dialog;
    }

    // The first entry of a parent list whose child list is not empty, chosen.
    QString ChooseParentWithChildren(int parent, int child)
    {
        for (const QString& number : EntriesOf(*m_dialog, parent)) {
            Choose(*m_dialog, parent, number);
            if (ComboOf(*m_dialog, child).count() > 0)
                return number;
        }
        ADD_FAILURE() << "no entry of " << parent << " has children";
        return QString();
    }

    RecordingMessageSink m_messages;
    ScriptedFileDialogs m_fileDialogs;
    std::unique_ptr<CKorvelDlg> m_dialog;
};

QStringList Sorted(QStringList texts)
{
    texts.sort();
    return texts;
}

} // namespace

TEST_F(MainWindowOverOdbcTest, TheLoginComparesWithAdminsStoredPassword)
{
    const QString stored = Scalar(QStringLiteral("select Password from tblUserInfo where UserID='Admin'"));
    Cdlg_Login login(ProgramContext{m_folder.directory(), m_messages, m_fileDialogs});
    login.show();

    ConnectionSettings refused = Settings();
    refused.password += QLatin1Char('x');
    m_folder.writeSettings(refused);
    Type(login, Cdlg_Login::kPasswordEdit, stored);
    Press(login, Cdlg_Login::kOkButton);
    m_folder.writeSettings(Settings());
    Type(login, Cdlg_Login::kPasswordEdit, stored.toUpper());
    Press(login, Cdlg_Login::kOkButton);
    EXPECT_EQ(m_messages.warnings, QStringList({"连接数据库失败", "密码错误"}));
    EXPECT_EQ(login.m_bLoggedIn, 0);

    Type(login, Cdlg_Login::kPasswordEdit, stored);
    Press(login, Cdlg_Login::kOkButton);
    EXPECT_EQ(login.m_bLoggedIn, 1);
    EXPECT_EQ(login.result(), QDialog::Accepted);
    EXPECT_EQ(m_messages.warnings.size(), 2);
}

TEST_F(MainWindowOverOdbcTest, EachCascadeListsTheChildrenOfTheChosenParentOnly)
{
    const CKorvelDlg& dialog = OpenMainWindow();
    EXPECT_TRUE(m_messages.warnings.isEmpty()) << m_messages.warnings.join('\n').toStdString();
    EXPECT_EQ(Sorted(EntriesOf(dialog, CKorvelDlg::kHarnessNoCombo)),
              Sorted(FirstColumnOf(QStringLiteral("select HarnessNo from tblHarnessInfo"))));
    EXPECT_EQ(Sorted(EntriesOf(dialog, CKorvelDlg::kLabelNoCombo)),
              Sorted(FirstColumnOf(QStringLiteral("select LabelNo from tblLabelInfo where LabelStatus=1"))));

    const struct
    {
        int parent;
        int child;
        const char* children; // %1: the parent's number
    } cascades[] = {
        {CKorvelDlg::kHarnessNoCombo, CKorvelDlg::kWireNoCombo,
         "select w.WireNo from tblHarnessWireInfo w join tblHarnessInfo h on h.HarnessID = w.HarnessID"
         " where h.HarnessNo = '%1'"},
        {CKorvelDlg::kJobNoCombo, CKorvelDlg::kStepCombo,
         "select s.LineID from tblJobStepInfo s join tblJobInfo j on j.JobID = s.JobID where j.JobNo = '%1'"},
    };
    for (const auto& cascade : cascades) {
        const QStringList parents = EntriesOf(dialog, cascade.parent);
        ASSERT_GE(parents.size(), 2);
        for (const QString& parent : parents.mid(0, 2)) {
            Choose(dialog, cascade.parent, parent);
            const QStringList children = FirstColumnOf(QString::fromUtf8(cascade.children).arg(parent));
            EXPECT_FALSE(children.isEmpty()) << parent.toStdString();
            EXPECT_EQ(Sorted(EntriesOf(dialog, cascade.child)), Sorted(children)) << parent.toStdString();
        }
    }
    EXPECT_TRUE(m_messages.warnings.isEmpty()) << m_messages.warnings.join('\n').toStdString();
}

TEST_F(MainWindowOverOdbcTest, EachWriteChangesExactlyTheChosenRow)
{
    const CKorvelDlg& dialog = OpenMainWindow();
    // The demo's wire and step numbers recur under every harness and job: a write keyed by
    // the number alone would change many rows.
    const struct
    {
        int parent;
        int child;
        int picker;
        int valueBox;
        int button;
        const char* table;
        const char* written; // the written column of the chosen row; %1 the parent's number, %2 the child
    } writes[] = {
        {CKorvelDlg::kHarnessNoCombo, CKorvelDlg::kWireNoCombo, CKorvelDlg::kConnectTypeCombo,
         CKorvelDlg::kConnectTypeValue, CKorvelDlg::kWriteConnectTypeButton, "tblHarnessWireInfo",
         "select w.HarnessType from tblHarnessWireInfo w join tblHarnessInfo h on h.HarnessID = w.HarnessID"
         " where h.HarnessNo = '%1' and w.WireNo = '%2'"},
        {CKorvelDlg::kHarnessNoCombo, CKorvelDlg::kWireNoCombo, CKorvelDlg::kTestGroupCombo,
         CKorvelDlg::kTestGroupValue, CKorvelDlg::kWriteTestGroupButton, "tblHarnessWireInfo",
         "select w.WireGroup from tblHarnessWireInfo w join tblHarnessInfo h on h.HarnessID = w.HarnessID"
         " where h.HarnessNo = '%1' and w.WireNo = '%2'"},
        {CKorvelDlg::kJobNoCombo, CKorvelDlg::kStepCombo, CKorvelDlg::kTestModeCombo,
         CKorvelDlg::kTestModeValue, CKorvelDlg::kWriteTestModeButton, "tblJobStepInfo",
         "select s.TestMode from tblJobStepInfo s join tblJobInfo j on j.JobID = s.JobID"
         " where j.JobNo = '%1' and s.LineID = %2"},
        {CKorvelDlg::kJobNoCombo, CKorvelDlg::kStepCombo, CKorvelDlg::kTestGroup2Combo,
         CKorvelDlg::kTestGroup2Value, CKorvelDlg::kWriteTestGroup2Button, "tblJobStepInfo",
         "select s.TestGroup from tblJobStepInfo s join tblJobInfo j on j.JobID = s.JobID"
         " where j.JobNo = '%1' and s.LineID = %2"},
    };
    for (const auto& write : writes) {
        SCOPED_TRACE(write.button);
        const QString parent = ChooseParentWithChildren(write.parent, write.child);
        const QString child = EntriesOf(dialog, write.child).value(0);
        Choose(dialog, write.child, child);
        const QString chosenRow = QString::fromUtf8(write.written).arg(parent, child);
        const QString old = Scalar(chosenRow);
        for (const QString& entry : EntriesOf(dialog, write.picker)) {
            Choose(dialog, write.picker, entry);
            if (TextOf(dialog, write.valueBox) != old)
                break;
        }
        const QString value = TextOf(dialog, write.valueBox);
        ASSERT_NE(value, old);

        const QStringList before = Contents({QString::fromUtf8(write.table)});
        m_messages = RecordingMessageSink();
        Press(dialog, write.button);
        EXPECT_EQ(m_messages.informations, QStringList(QStringLiteral("写入成功")));
        EXPECT_TRUE(m_messages.warnings.isEmpty()) << m_messages.warnings.join('\n').toStdString();
        EXPECT_EQ(Scalar(chosenRow), value);
        const QStringList after = Contents({QString::fromUtf8(write.table)});
        const QSet<QString> was(before.cbegin(), before.cend());
        const QSet<QString> is(after.cbegin(), after.cend());
        EXPECT_EQ(after.size(), before.size());
        EXPECT_EQ((was - is).size(), 1) << "rows changed";
        EXPECT_EQ((is - was).size(), 1) << "rows changed";
    }
}

TEST_F(MainWindowOverOdbcTest, KorvelctlWritesAFileOfValuesWholeOrNotAtAll)
{
    // A wire and a step, each to get an entry whose value it does not hold yet.
    const QString wire =
        Scalar(QStringLiteral("select HarnessType from tblHarnessWireInfo where HarnessID=1 and WireNo='W001'"));
    const QString step = Scalar(QStringLiteral("select TestMode from tblJobStepInfo where JobID=1 and LineID=10"));
    const auto otherEntry = [](ValueListIndex list, const QString& value) {
        for (const DemoValueEntry& entry : DemoValueList(list)) {
            if (QString::fromUtf8(entry.value) != value)
                return QString::fromUtf8(entry.entry);
        }
        return QString();
    };
    const QString writes = QStringLiteral("connection-type\t%1\tW001\t%2\ntest-mode\t%3\t10\t%4\n")
                               .arg(Scalar(QStringLiteral("select HarnessNo from tblHarnessInfo where HarnessID=1")),
                                    otherEntry(kConnectTypeList, wire),
                                    Scalar(QStringLiteral("select JobNo from tblJobInfo where JobID=1")),
                                    otherEntry(kTestModeList, step));
    const QStringList tables = {"tblHarnessWireInfo", "tblJobStepInfo"};
    const QStringList before = Contents(tables);
    const QString file = m_folder.filePath(QStringLiteral("writes.tsv"));

    WriteTestFile(file, (writes + QStringLiteral("test-mode\tNO-SUCH-JOB\t10\t快速\n")).toUtf8());
    const KorvelctlRun refused = RunKorvelctlInProcess({"write", SettingsPath(), "--from", file});
    EXPECT_EQ(refused.exitCode, kExitFailure);
    EXPECT_EQ(refused.err, QStringLiteral("第3行：获取JobID信息失败\n"));
    EXPECT_EQ(Contents(tables), before) << "the lines before the refused one are rolled back";

    WriteTestFile(file, (writes + QStringLiteral("test-mode\t%1\t99999\t快速\n")
                                      .arg(Scalar(QStringLiteral("select JobNo from tblJobInfo where JobID=1"))))
                            .toUtf8());
    EXPECT_EQ(RunKorvelctlInProcess({"write", SettingsPath(), "--from", file}).err,
              QStringLiteral("第3行：没有找到要写入的记录，写入测试模式失败\n"))
        << "the server counts the rows a write changes";
    EXPECT_EQ(Contents(tables), before);

    WriteTestFile(file, writes.toUtf8());
    const KorvelctlRun written = RunKorvelctlInProcess({"write", SettingsPath(), "--from", file});
    EXPECT_EQ(written.exitCode, kExitOk) << written.err.toStdString();
    EXPECT_EQ(written.out, QStringLiteral("写入 2 个值：成功 2 个\n"));
    const QStringList after = Contents(tables);
    const QSet<QString> was(before.cbegin(), before.cend());
    const QSet<QString> is(after.cbegin(), after.cend());
    EXPECT_EQ((was - is).size(), 2) << "rows changed";
}
