#include "app/korvelctl/Korvelctl.h"

#include "tests/app/korvelctl/KorvelctlRun.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

using namespace korvel;

namespace {

// Harnesses, jobs and their children stored out of the window's order, in mixed case.
const char* const kAttributeDatabase =
    "CREATE TABLE tblHarnessInfo (HarnessID int, HarnessNo nvarchar(50));"
    "INSERT INTO tblHarnessInfo VALUES (1, 'wh-b'), (2, 'WH-A'), (3, 'wh-c'), (4, 'WH-D');"
    "CREATE TABLE tblHarnessWireInfo (HarnessID int, WireNo nvarchar(20), HarnessType int, WireGroup nvarchar(20));"
    "INSERT INTO tblHarnessWireInfo VALUES (1, 'W2', 0, ''), (1, 'w1', 0, ''), (1, 'tab\tin', 0, ''),"
    " (2, 'w1', 0, ''), (4, 'W9', 0, '');"
    "CREATE TABLE tblJobInfo (JobID int, JobNo nvarchar(50));"
    "INSERT INTO tblJobInfo VALUES (10, 'job-2'), (11, 'JOB-1');"
    "CREATE TABLE tblJobStepInfo (JobID int, LineID int, TestMode int, TestGroup nvarchar(20));"
    "INSERT INTO tblJobStepInfo VALUES (10, 16, 0, ''), (10, 15, 0, ''), (11, 15, 0, '');";

class AttributeCommandsTest : public ::testing::Test
{
protected:
    AttributeCommandsTest() : folder(kAttributeDatabase) { folder.writeEmbeddedSettings(); }

    QString settings() const { return folder.filePath(QStringLiteral("frmConnect")); }

    ProgramFolder folder;
};

} // namespace

TEST_F(AttributeCommandsTest, ListsPrintTheNumbersAsTheWindowListsThem)
{
    const struct
    {
        QStringList words; // the settings go after the command
        int exitCode;
        const char* out;
        const char* err;
    } runs[] = {
        {{"harnesses"}, kExitOk, "WH-A\nwh-b\nwh-c\nWH-D\n", ""},
        {{"jobs"}, kExitOk, "JOB-1\njob-2\n", ""},
        {{"wires", "wh-b"}, kExitOk, "tab\\tin\nw1\nW2\n", ""},
        {{"steps", "job-2"}, kExitOk, "15\n16\n", ""},
        {{"wires", "wh-c"}, kExitOk, "", ""},
        {{"wires", "WH-X"}, kExitFailure, "", "获取HarnessID信息失败\n"},
        {{"steps", "JOB-X"}, kExitFailure, "", "获取JobID信息失败\n"},
        {{"wires"}, kExitUsage, "", "usage: korvelctl wires SETTINGS HARNESSNO\n"},
        {{"steps", ""}, kExitUsage, "", "usage: korvelctl steps SETTINGS JOBNO\n"},
        {{"jobs", "x"}, kExitUsage, "", "usage: korvelctl jobs SETTINGS\n"},
    };
    for (const auto& run : runs) {
        const KorvelctlRun result = runKorvelctlInProcess(QStringList{run.words[0], settings()} + run.words.mid(1));
        EXPECT_EQ(result.exitCode, run.exitCode) << run.words.join(' ').toStdString();
        EXPECT_EQ(result.out, QString::fromUtf8(run.out)) << run.words.join(' ').toStdString();
        EXPECT_EQ(result.err, QString::fromUtf8(run.err)) << run.words.join(' ').toStdString();
    }
}

TEST_F(AttributeCommandsTest, WriteChangesOnlyTheNamedRowsAndAllOrNone)
{
    folder.writeValueLists(QStringLiteral("联线类型&导通&3;联线类型&前缀&12abc;测试组&A组&GA;测试模式&快速&1;测试组2&B组&GB;"));
    const QString state = QStringLiteral(
        "select group_concat(v, ' ') from (select HarnessID || WireNo || '=' || HarnessType || WireGroup v"
        " from tblHarnessWireInfo union all select JobID || '/' || LineID || '=' || TestMode || TestGroup"
        " from tblJobStepInfo)");
    const char* const usage = "usage: korvelctl write SETTINGS --harness H --wire W --connection-type|--test-group NAME"
                              " | write SETTINGS --job J --step S --test-mode|--test-group-2 NAME"
                              " | write SETTINGS --from FILE\n";
    const char* const untouched = "1W2=0 1w1=0 1tab\tin=0 2w1=0 4W9=0 10/16=0 10/15=0 11/15=0";
    const struct
    {
        QStringList options;
        const char* file; // the --from file's text, when given
        int exitCode;
        const char* out;
        const char* err;
        const char* state;
    } runs[] = {
        {{"--harness", "WH-A", "--wire", "w1", "--connection-type", "前缀"}, nullptr, kExitOk,
         "写入 1 个值：成功 1 个\n", "", "1W2=0 1w1=0 1tab\tin=0 2w1=12 4W9=0 10/16=0 10/15=0 11/15=0"},
        {{"--step", "15", "--test-group-2", "B组", "--job", "job-2"}, nullptr, kExitOk, "写入 1 个值：成功 1 个\n", "",
         "1W2=0 1w1=0 1tab\tin=0 2w1=0 4W9=0 10/16=0 10/15=0GB 11/15=0"},
        {{}, "connection-type\twh-b\tW2\t导通\r\ntest-group\twh-b\tW2\tA组\n\ntest-mode\tJOB-1\t15\t快速\n"
             "test-group-2\tJOB-1\t15\tB组",
         kExitOk, "写入 4 个值：成功 4 个\n", "", "1W2=3GA 1w1=0 1tab\tin=0 2w1=0 4W9=0 10/16=0 10/15=0 11/15=1GB"},
        {{}, "connection-type\twh-b\tw1\t导通\ntest-group\tWH-D\tw1\tA组\n", kExitFailure,
         "写入 2 个值：成功 0 个，全部拒绝（第2行）\n", "第2行：没有找到要写入的记录，写入测试组失败\n", untouched},
        {{}, "test-mode\tjob-2\t16\t慢\\速\n", kExitFailure, "写入 1 个值：成功 0 个，全部拒绝（第1行）\n",
         "第1行：测试模式中没有“慢\\\\速”\n", untouched}, // the entry quoted escaped once
        {{}, "test-mode\tJOB-9\t16\t快速\n", kExitFailure, "写入 1 个值：成功 0 个，全部拒绝（第1行）\n",
         "第1行：获取JobID信息失败\n", untouched},
        {{"--harness", "wh-b", "--wire", "", "--test-group", "A组"}, nullptr, kExitFailure,
         "写入 1 个值：成功 0 个，全部拒绝\n", "harnessno,wireno,测试组不能为空\n", untouched},
        {{}, "connection-type\twh-b\tW2\n", kExitFailure, "", "第1行：应为以制表符分隔的四列：属性、编号、子项、条目\n",
         untouched},
        {{}, "\ncolour\twh-b\tW2\t导通\n", kExitFailure, "", "第2行：属性无效：colour\n", untouched},
        {{}, "\r\n", kExitFailure, "", "文件中没有要写入的值\n", untouched},
        {{"--harness", "wh-b"}, "connection-type\twh-b\tW2\t导通\n", kExitUsage, "", usage, untouched},
        {{"--job", "job-2", "--step", "15", "--connection-type", "导通"}, nullptr, kExitUsage, "", usage, untouched},
        {{"--harness", "wh-b", "--wire", "W2", "--connection-type", "导通", "--test-group", "A组"}, nullptr, kExitUsage,
         "", usage, untouched},
    };
    for (const auto& run : runs) {
        QStringList words = QStringList{"write", settings()} + run.options;
        if (run.file) {
            writeTestFile(folder.filePath(QStringLiteral("writes.tsv")), run.file);
            words += {"--from", folder.filePath(QStringLiteral("writes.tsv"))};
        }
        SCOPED_TRACE(words.join(' ').toStdString());
        const KorvelctlRun result = runKorvelctlInProcess(words);
        EXPECT_EQ(result.exitCode, run.exitCode);
        EXPECT_EQ(result.out, QString::fromUtf8(run.out));
        EXPECT_EQ(result.err, QString::fromUtf8(run.err));
        EXPECT_EQ(folder.database().scalar(state), QString::fromUtf8(run.state));
        folder.database().exec(QStringLiteral("update tblHarnessWireInfo set HarnessType=0, WireGroup='';"
                                              "update tblJobStepInfo set TestMode=0, TestGroup=''"));
    }
}
