#include "app/korvelctl/Korvelctl.h"

#include "tests/app/korvelctl/KorvelctlRun.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <utility>

using namespace korvel;

namespace {

class LabelCommandsTest : public ::testing::Test
{
protected:
    QString path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }

    // The demo database and settings that select it, as the program finds them.
    void createDemoWithSettings()
    {
        const KorvelctlRun create = runKorvelctlInProcess({"create-db", path("demo.db"), "--demo"});
        ASSERT_EQ(create.exitCode, kExitOk) << create.err.toStdString();
        writeTestFile(path("frmConnect"),
                      "<NewDataSet><frmConnect><ParaName>txtHostName</ParaName><ParaValue>demo.db</ParaValue>"
                      "</frmConnect><frmConnect><ParaName>txtProvider</ParaName><ParaValue>sqlite</ParaValue>"
                      "</frmConnect></NewDataSet>");
    }
    QString scalar(const QString& sql) const
    {
        return runKorvelctlInProcess({"query", path("frmConnect"), sql}).out.trimmed();
    }
    void expectUsage(const QStringList& arguments, const char* synopsis)
    {
        const KorvelctlRun run = runKorvelctlInProcess(arguments);
        EXPECT_EQ(run.exitCode, kExitUsage) << arguments.join(' ').toStdString();
        EXPECT_EQ(run.err, QStringLiteral("usage: korvelctl ") + QString::fromUtf8(synopsis) + QLatin1Char('\n'));
    }

    QTemporaryDir dir;
};

// The kind of what stands at a name, the name itself looked at, not what a link names.
mode_t kindAt(const QString& path)
{
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & S_IFMT : 0;
}

} // namespace

TEST_F(LabelCommandsTest, EveryCommandThatWritesAFileLeavesWhatIsNoRegularFileAsItIs)
{
    createDemoWithSettings();
    writeTestFile(path("plain"), "x");
    writeTestFile(path("lists.txt"), "测试组&A&1\n");
    // A FIFO, a device node like /dev/null (where privileges allow) and a link to the FIFO;
    // never a link to a system file, which a fault would replace.
    QStringList targets;
    for (const auto& [name, kind] : {std::pair{"fifo", S_IFIFO}, std::pair{"device", S_IFCHR}}) {
        if (::mknod(QFile::encodeName(path(name)).constData(), kind | 0600, makedev(1, 3)) == 0)
            targets.append(path(name));
    }
    ASSERT_TRUE(QFile::link(path("fifo"), path("link")));
    for (const QString& out : targets + QStringList{path("link")}) {
        const mode_t kind = kindAt(out);
        for (const QStringList& command :
             {QStringList{"encrypt", path("plain"), out}, QStringList{"decrypt", path("plain"), out},
              QStringList{"values", "--build", path("lists.txt"), out}, QStringList{"demo-values", out},
              QStringList{"export", path("frmConnect"), "LB-00001", out}}) {
            const KorvelctlRun run = runKorvelctlInProcess(command);
            EXPECT_EQ(run.exitCode, kExitFailure) << command.join(' ').toStdString();
            EXPECT_EQ(run.err, out + QStringLiteral(" 不是普通文件，不能写入\n"));
            EXPECT_EQ(kindAt(out), kind) << command.join(' ').toStdString();
        }
    }
}

TEST_F(LabelCommandsTest, BundlePrintsTheBlocksAsTheImportReadsThem)
{
    // Enciphered by a Python RC4 from "stray\n表名:tblLabelInfo\n列名:LabelID,LabelNo\n
    // {AAAAAAAA-0000-4000-8000-000000000001},tab<TAB>here\back<CR>\n表名:tblLabelControls\n".
    writeTestFile(
        path("label.bq"),
        hex("d46193d4d7de86df1010829b093adf256e32aab4e2caaf5fc60369fb45d67304eab55c5dd7c46beb0f995fa953b9ef377dc7"
            "18b8877eb6061315ab3547edad5aa726cbb175bc79cc89bad8f47bba8ee54730b9be1764c300b199093fbe17bd18bcf8e364"
            "169d01c69e1897ee61d8212e50a9ed08bf7a4cacd5cc96f0b755d675"));
    const KorvelctlRun run = runKorvelctlInProcess({"bundle", path("label.bq")});
    EXPECT_EQ(run.exitCode, kExitOk) << run.err.toStdString();
    EXPECT_EQ(run.out,
              QStringLiteral("\nstray\ntblLabelInfo\nLabelID\tLabelNo\n"
                             "{AAAAAAAA-0000-4000-8000-000000000001}\ttab\\there\\\\back\\r\ntblLabelControls\n"));
    EXPECT_TRUE(run.err.isEmpty());

    const KorvelctlRun missing = runKorvelctlInProcess({"bundle", path("missing.bq")});
    EXPECT_EQ(missing.exitCode, kExitFailure);
    EXPECT_EQ(missing.err, QStringLiteral("打开文件失败：2\n"));
    for (const QStringList& arguments :
         {QStringList{"bundle"}, QStringList{"bundle", "a", "b"}, QStringList{"bundle", "--x"}})
        expectUsage(arguments, "bundle FILE");
}

TEST_F(LabelCommandsTest, ExportAndImportWorkAsTheButtonsAndTheOptionAnswersTheDialog)
{
    createDemoWithSettings();
    const KorvelctlRun exported = runKorvelctlInProcess({"export", path("frmConnect"), "LB-00001", path("l.bq")});
    EXPECT_EQ(exported.exitCode, kExitOk) << exported.err.toStdString();
    EXPECT_TRUE(exported.out.isEmpty() && exported.err.isEmpty()) << "success prints nothing";
    EXPECT_TRUE(
        runKorvelctlInProcess({"bundle", path("l.bq")}).out.startsWith(QStringLiteral("tblLabelInfo\nLabelID\t")));

    const struct
    {
        QStringList options;
        const char* refusal;
    } clashes[] = {{{}, "LB-00001已经存在\n"}, {{"--label-no", "LB-00002"}, "LB-00002已经存在\n"}};
    for (const auto& clash : clashes) {
        const KorvelctlRun run =
            runKorvelctlInProcess(QStringList{"import", path("frmConnect"), path("l.bq")} + clash.options);
        EXPECT_EQ(run.exitCode, kExitFailure);
        EXPECT_EQ(run.err, QString::fromUtf8(clash.refusal));
        EXPECT_EQ(scalar(QStringLiteral("select count(*) from tblLabelInfo")), QStringLiteral("40"));
    }

    const KorvelctlRun imported =
        runKorvelctlInProcess({"import", "--label-no", "新标签", path("frmConnect"), path("l.bq")});
    EXPECT_EQ(imported.exitCode, kExitOk) << imported.err.toStdString();
    EXPECT_TRUE(imported.out.isEmpty() && imported.err.isEmpty());
    const QString controlsOf = QStringLiteral(
        "select count(*) from tblLabelControls c join tblLabelInfo i on i.LabelID = c.LabelID where i.LabelNo = '%1'");
    EXPECT_EQ(scalar(controlsOf.arg(QStringLiteral("新标签"))), scalar(controlsOf.arg(QStringLiteral("LB-00001"))));
    EXPECT_NE(scalar(controlsOf.arg(QStringLiteral("新标签"))), QStringLiteral("0"));
}

TEST_F(LabelCommandsTest, FailuresPrintTheProgramsMessageAndUsageErrorsExitTwo)
{
    const KorvelctlRun noSettings = runKorvelctlInProcess({"export", path("frmConnect"), "LB-00001", path("l.bq")});
    EXPECT_EQ(noSettings.exitCode, kExitFailure);
    EXPECT_EQ(noSettings.err, QStringLiteral("获取配置文件失败\n"));

    createDemoWithSettings();
    runKorvelctlInProcess({"query", path("frmConnect"),
                           "update tblLabelControls set PrintText='a,b' where ControlNo=1 and LabelID in"
                           " (select LabelID from tblLabelInfo where LabelNo='LB-00001')"});
    const KorvelctlRun refused = runKorvelctlInProcess({"export", path("frmConnect"), "LB-00001", path("l.bq")});
    EXPECT_EQ(refused.exitCode, kExitFailure);
    EXPECT_EQ(refused.err, QStringLiteral("标签数据无法导出：表 tblLabelControls 列 PrintText 的值含有逗号或换行\n"));
    EXPECT_FALSE(QFileInfo::exists(path("l.bq")));

    writeTestFile(path("plain"), "not a bundle\n\n");
    ASSERT_EQ(runKorvelctlInProcess({"encrypt", path("plain"), path("l.bq")}).exitCode, kExitOk);
    const KorvelctlRun garbage = runKorvelctlInProcess({"import", path("frmConnect"), path("l.bq")});
    EXPECT_EQ(garbage.exitCode, kExitFailure);
    EXPECT_EQ(garbage.err, QStringLiteral("不是完整的标签文件：末尾没有结束标记，未导入任何数据\n"));

    // No label without a number, whether exported or given to an imported one.
    for (const QStringList& arguments : {QStringList{"export", path("frmConnect"), "", path("empty.bq")},
                                         QStringList{"import", path("frmConnect"), path("l.bq"), "--label-no", ""}}) {
        const KorvelctlRun empty = runKorvelctlInProcess(arguments);
        EXPECT_EQ(empty.exitCode, kExitFailure) << arguments[0].toStdString();
        EXPECT_EQ(empty.err, QStringLiteral("标签不能为空\n")) << arguments[0].toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(path("empty.bq"))) << "the refused export wrote nothing";

    for (const QStringList& arguments :
         {QStringList{"export"}, QStringList{"export", "s", "l"}, QStringList{"export", "s", "l", "o", "x"},
          QStringList{"export", "--x", "l", "o"}, QStringList{"export", "s", "--all"},
          QStringList{"export", "s", "l", "--all", "d"}, QStringList{"export", "s", "--to", "d"},
          QStringList{"export", "s", "--all", "d", "--to", "d"}})
        expectUsage(arguments, "export SETTINGS LABELNO OUT | export SETTINGS --all DIR | "
                               "export SETTINGS LABELNO... --to DIR");
    for (const QStringList& arguments : {QStringList{"import", "s"}, QStringList{"import", "s", "f", "g", "--label-no", "n"},
                                         QStringList{"import", "s", "f", "--label-no"},
                                         QStringList{"import", "s", "f", "--label-no", "a", "--label-no", "b"},
                                         QStringList{"import", "--x", "s", "f"}})
        expectUsage(arguments, "import SETTINGS FILE [--label-no NEW] | import SETTINGS FILE...");
    for (const QStringList& arguments : {QStringList{"check", "s"}, QStringList{"labels"}, QStringList{"labels", "s", "t"}})
        expectUsage(arguments, arguments[0] == QLatin1String("check") ? "check SETTINGS FILE..." : "labels SETTINGS");

    const KorvelctlRun help = runKorvelctlInProcess({"--help"});
    for (const char* synopsis : {"bundle FILE", "export SETTINGS LABELNO OUT", "import SETTINGS FILE [--label-no NEW]"})
        EXPECT_TRUE(help.out.contains(QString::fromUtf8(synopsis))) << synopsis;
}

TEST_F(LabelCommandsTest, LabelsGoBetweenPlantsByTheHundred)
{
    createDemoWithSettings();
    const KorvelctlRun labels = runKorvelctlInProcess({"labels", path("frmConnect")});
    EXPECT_EQ(labels.exitCode, kExitOk) << labels.err.toStdString();
    const QStringList lines = labels.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 40);
    EXPECT_EQ(lines.mid(0, 3), QStringList({"LB-00001\t19\t12", "LB-00002\t13\t8", "LB-00003\t23\t14"}));

    // Every label out, then into an empty database of their own: each file its own import.
    const KorvelctlRun exported = runKorvelctlInProcess({"export", path("frmConnect"), "--all", path("out")});
    EXPECT_EQ(exported.exitCode, kExitOk) << exported.err.toStdString();
    EXPECT_EQ(exported.out, QStringLiteral("导出 40 个标签到 %1：成功 40 个，失败 0 个\n").arg(path("out")));
    ASSERT_EQ(runKorvelctlInProcess({"create-db", path("empty.db")}).exitCode, kExitOk);
    QDir().mkpath(path("plant"));
    writeTestFile(path("plant/frmConnect"), readTestFile(path("frmConnect")).replace("demo.db", "../empty.db"));
    const QStringList files = {path("out/LB-00001.bq"), path("out/LB-00002.bq")};
    const KorvelctlRun checked = runKorvelctlInProcess(QStringList{"check", path("plant/frmConnect")} + files);
    EXPECT_EQ(checked.exitCode, kExitOk) << checked.out.toStdString();
    const KorvelctlRun imported = runKorvelctlInProcess(QStringList{"import", path("plant/frmConnect")} + files);
    EXPECT_EQ(imported.exitCode, kExitOk) << imported.err.toStdString();
    EXPECT_EQ(imported.out, QStringLiteral("导入 2 个文件：成功 2 个，拒绝 0 个\n"));

    // Again: both numbers exist now, and every file after a refused one still runs.
    writeTestFile(path("cut.bq"), readTestFile(files[0]).chopped(1)); // the copy that lost its last byte
    const KorvelctlRun again =
        runKorvelctlInProcess({"import", path("plant/frmConnect"), files[0], path("cut.bq"), files[1]});
    EXPECT_EQ(again.exitCode, kExitFailure);
    EXPECT_EQ(again.out, QStringLiteral("导入 3 个文件：成功 0 个，拒绝 3 个（%1、%2、%3）\n").arg(files[0], path("cut.bq"), files[1]));
    EXPECT_EQ(again.err, QStringLiteral("%1：LB-00001已经存在\n%2：不是完整的标签文件：末尾没有结束标记，未导入任何数据\n"
                                        "%3：LB-00002已经存在\n")
                             .arg(files[0], path("cut.bq"), files[1]));
    const QString before = runKorvelctlInProcess({"query", path("plant/frmConnect"), "select * from tblLabelInfo"}).out;
    const KorvelctlRun check = runKorvelctlInProcess({"check", path("plant/frmConnect"), files[0], path("cut.bq")});
    EXPECT_EQ(check.exitCode, kExitFailure);
    EXPECT_EQ(check.out, QStringLiteral("%1：标签文件第 3 行：LB-00001已经存在\n%2：不是完整的标签文件：末尾没有结束标记\n"
                                        "检查 2 个文件：可以导入 0 个，不能导入 2 个\n")
                             .arg(files[0], path("cut.bq")));
    EXPECT_EQ(runKorvelctlInProcess({"query", path("plant/frmConnect"), "select * from tblLabelInfo"}).out, before);
}

TEST_F(LabelCommandsTest, ABatchThatCannotBeWrittenWholeIsRefusedAndAFailedLabelIsNamed)
{
    createDemoWithSettings();
    const KorvelctlRun clash =
        runKorvelctlInProcess({"export", path("frmConnect"), "LB-00001", "lb-00001", "--to", path("out")});
    EXPECT_EQ(clash.exitCode, kExitFailure);
    EXPECT_EQ(clash.err, QStringLiteral("标签 LB-00001 和 lb-00001 的文件名相同（lb-00001.bq），未导出任何标签\n"));

    runKorvelctlInProcess({"query", path("frmConnect"),
                           "update tblLabelControls set PrintText='a,b' where ControlNo=1 and LabelID in"
                           " (select LabelID from tblLabelInfo where LabelNo='LB-00002')"});
    const KorvelctlRun some =
        runKorvelctlInProcess({"export", path("frmConnect"), "LB-00001", "LB-00002", "A/B", "--to", path("out")});
    EXPECT_EQ(some.exitCode, kExitFailure);
    EXPECT_EQ(some.out, QStringLiteral("导出 3 个标签到 %1：成功 1 个，失败 2 个（LB-00002、A/B）\n").arg(path("out")));
    EXPECT_EQ(some.err, QStringLiteral("LB-00002：标签数据无法导出：表 tblLabelControls 列 PrintText 的值含有逗号或换行\n"
                                       "A/B：标签 A/B 不存在\n"));
    EXPECT_EQ(QDir(path("out")).entryList(QDir::Files), QStringList(QStringLiteral("LB-00001.bq")));
}

TEST_F(LabelCommandsTest, TextsFromADatabaseOrAFileNameCannotDriveTheTerminal)
{
    createDemoWithSettings();
    // A bundle edited into CR LF line ends: the CR at the end of its names is shown once.
    writeTestFile(path("crlf.txt"), QByteArray("表名:tblLabelInfo\r\n列名:LabelID\r\n") + '\0');
    ASSERT_EQ(runKorvelctlInProcess({"encrypt", path("crlf.txt"), path("crlf.bq")}).exitCode, kExitOk);
    writeTestFile(path("settings"), "<NewDataSet><frmConnect><ParaName>txtHostName</ParaName><ParaValue>srv\x1b[2J"
                                    "</ParaValue></frmConnect></NewDataSet>");
    const struct
    {
        QStringList arguments;
        QString out;
        QString err;
    } runs[] = {
        {{"export", path("frmConnect"), "LB\x1b]0;t\a", "--to", path("out\n2")},
         QStringLiteral("导出 1 个标签到 %1：成功 0 个，失败 1 个（LB\\x1B]0;t\\x07）\n").arg(path("out\\n2")),
         QStringLiteral("LB\\x1B]0;t\\x07：标签 LB\\x1B]0;t\\x07 不存在\n")},
        {{"check", path("frmConnect"), path("crlf.bq")},
         path("crlf.bq") + QStringLiteral("：标签文件含有标签以外的表 tblLabelInfo\\r\n"), ""},
        {{"settings", path("settings")}, "Provider=sqloledb;Data Source=srv\\x1B[2J;Initial Catalog=;User Id=;Password=;\n",
         ""},
    };
    for (const auto& run : runs) {
        const KorvelctlRun printed = runKorvelctlInProcess(run.arguments);
        EXPECT_TRUE(printed.out.startsWith(run.out)) << printed.out.toStdString();
        EXPECT_EQ(printed.err, run.err);
    }
}

TEST_F(LabelCommandsTest, BatchesShowHowFarTheyHaveComeOnlyOnATerminal)
{
    createDemoWithSettings();
    const QString file = path("out/LB-00001.bq");
    const struct
    {
        QStringList arguments;
        QString progress;
    } batches[] = {
        {{"export", path("frmConnect"), "LB-00001", "--to", path("out")}, "导出 1/1 LB-00001"},
        {{"import", path("frmConnect"), file, file}, "导入 2/2 " + file},
        {{"check", path("frmConnect"), file}, "检查 1/1 " + file},
    };
    for (const auto& batch : batches) {
        const KorvelctlRun terminal = runKorvelctlInProcess(batch.arguments, true);
        EXPECT_TRUE(terminal.err.contains("\r\x1b[K" + batch.progress)) << terminal.err.toStdString();
        // A file or a pipe gets what it would get anyway, and nothing more.
        const KorvelctlRun pipe = runKorvelctlInProcess(batch.arguments);
        EXPECT_EQ(pipe.out, terminal.out);
        EXPECT_FALSE(pipe.err.contains(batch.progress) || pipe.err.contains(QLatin1Char('\x1b')))
            << pipe.err.toStdString();
    }
}
