#include "app/korvelctl/Korvelctl.h"

#include "tests/app/korvelctl/KorvelctlRun.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/QtPrinting.h"

#include <gtest/gtest.h>

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
        const KorvelctlRun result = RunKorvelctlInProcess(QStringList{run.words[0], settings()} + run.words.mid(1));
        EXPECT_EQ(result.exitCode, run.exitCode) << run.words.join(' ').toStdString();
        EXPECT_EQ(result.out, QString::fromUtf8(run.out)) << run.words.join(' ').toStdString();
        EXPECT_EQ(result.err, QString::fromUtf8(run.err)) << run.words.join(' ').toStdString();
    }
}
