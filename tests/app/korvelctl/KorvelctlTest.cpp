#include "app/korvelctl/CommandSupport.h"
#include "app/korvelctl/Korvelctl.h"
#include "tests/app/korvelctl/KorvelctlRun.h"

#include "config/ValueLists.h"
#include "util/FileCipher.h"

#include "tests/support/QtPrinting.h"
#include "tests/support/TestFiles.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string_view>

using namespace korvel;

namespace {

QByteArray settingsXml(const QByteArray& password)
{
    return "<NewDataSet>"
           "<frmConnect><ParaName>txtHostName</ParaName><ParaValue>srv</ParaValue></frmConnect>"
           "<frmConnect><ParaName>txtDataName</ParaName><ParaValue>db</ParaValue></frmConnect>"
           "<frmConnect><ParaName>txtUserName</ParaName><ParaValue>sa</ParaValue></frmConnect>"
           "<frmConnect><ParaName>txtPasswd</ParaName><ParaValue>" +
           password + "</ParaValue></frmConnect></NewDataSet>";
}

class KorvelctlTest : public ::testing::Test
{
protected:
    QString path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }

    QTemporaryDir dir;
};

} // namespace

TEST_F(KorvelctlTest, EncryptAndDecryptAreTheFileCipher)
{
    const QByteArray plaintext("any bytes\0\xff at all", 19);
    writeTestFile(path("plain"), plaintext);
    EXPECT_EQ(runKorvelctlInProcess({"encrypt", path("plain"), path("cipher")}).exitCode, kExitOk);
    EXPECT_EQ(readTestFile(path("cipher")), cryptFileData(plaintext));
    EXPECT_EQ(runKorvelctlInProcess({"decrypt", path("cipher"), path("back")}).exitCode, kExitOk);
    EXPECT_EQ(readTestFile(path("back")), plaintext);
    EXPECT_EQ(runKorvelctlInProcess({"decrypt", path("back"), path("back")}).exitCode, kExitOk) << "in place";
    EXPECT_EQ(readTestFile(path("back")), cryptFileData(plaintext));
}

TEST_F(KorvelctlTest, FailuresPrintTheProgramsMessageAndExitOne)
{
    const KorvelctlRun missing = runKorvelctlInProcess({"encrypt", path("missing"), path("out")});
    EXPECT_EQ(missing.exitCode, kExitFailure);
    EXPECT_EQ(missing.err, QStringLiteral("打开文件失败：2\n"));
    EXPECT_FALSE(QFileInfo::exists(path("out")));

    const KorvelctlRun noValues = runKorvelctlInProcess({"values", path("SQL配置.ini")});
    EXPECT_EQ(noValues.exitCode, kExitFailure);
    EXPECT_EQ(noValues.err, QStringLiteral("配置文件不存在\n"));

    const KorvelctlRun directory = runKorvelctlInProcess({"values", dir.path()});
    EXPECT_EQ(directory.exitCode, kExitFailure);
    EXPECT_EQ(directory.err, QStringLiteral("读文件错误：21\n")) << "a text with its own line feed gets no second";
}

TEST_F(KorvelctlTest, UsageErrorsExitTwo)
{
    for (const QStringList& arguments :
         {QStringList{}, QStringList{"frobnicate"}, QStringList{"encrypt", "one"}, QStringList{"values"},
          QStringList{"values", "--build", "x"}, QStringList{"values", "--bogus"}, QStringList{"settings"},
          QStringList{"settings", "--show-passwords", "f"}, QStringList{"settings", "--show-password"}}) {
        const KorvelctlRun run = runKorvelctlInProcess(arguments);
        EXPECT_EQ(run.exitCode, kExitUsage) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("usage"))) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
    const KorvelctlRun help = runKorvelctlInProcess({"--help"});
    EXPECT_EQ(help.exitCode, kExitOk);
    EXPECT_TRUE(help.out.contains(QStringLiteral("values --build TEXT OUT")));
}

TEST_F(KorvelctlTest, EveryCommandDescribesItselfAndTheProgramGivesItsVersion)
{
    const struct
    {
        const char* command;
        const char* shown; // a synopsis and an option the help must show
        const char* option; // none for a command without an option of its own
    } commands[] = {
        {"create-db", "korvelctl create-db FILE [--demo [--scale N]]", "--scale N"},
        {"values", "korvelctl values --build TEXT OUT", "--build"},
        {"import", "korvelctl import SETTINGS FILE [--label-no NEW]", "--label-no NEW"},
        {"bundle", "korvelctl bundle FILE", nullptr},
        {"write", "korvelctl write SETTINGS --from FILE", "--values FILE"},
    };
    for (const auto& command : commands) {
        const KorvelctlRun help = runKorvelctlInProcess({command.command, "--help"});
        EXPECT_EQ(help.exitCode, kExitOk) << command.command;
        EXPECT_TRUE(help.out.contains(QString::fromUtf8(command.shown))) << help.out.toStdString();
        EXPECT_FALSE(help.out.contains(QLatin1String("korvelctl --version"))) << "its own help, not the program's";
        if (command.option) {
            EXPECT_TRUE(help.out.contains(QString::fromUtf8(command.option))) << help.out.toStdString();
        }
        EXPECT_TRUE(help.err.isEmpty());
    }
    const KorvelctlRun version = runKorvelctlInProcess({"--version"});
    EXPECT_EQ(version.exitCode, kExitOk);
    EXPECT_EQ(version.out, QStringLiteral("korvelctl 1.0\n"));
}

TEST(escapeForDisplay, NothingATerminalWouldActOnIsPrintedAsItIs)
{
    using namespace std::string_view_literals;
    const struct
    {
        std::u16string_view text;
        const char* shown;
    } cases[] = {
        {u"LB-00001 标签 Größe", "LB-00001 标签 Größe"},
        {u"a\\b\tc\rd\ne", "a\\\\b\\tc\\rd\\ne"},
        {u"\x1b[2J\x1b]0;title\x07", "\\x1B[2J\\x1B]0;title\\x07"},
        {u"nul\0 del\x7f"sv, "nul\\x00 del\\x7F"},
        {u"csi\u009b nel\u0085", "csi\\x9B nel\\x85"},
        {u"abc\u202Edcb\u2066x\u2069\u200F\u061C", "abc\\u202Edcb\\u2066x\\u2069\\u200F\\u061C"},
        {u"line\u2028paragraph\u2029", "line\\u2028paragraph\\u2029"},
        {u"joined\u200D and not\u200C", "joined\u200D and not\u200C"}, // needed by some scripts
    };
    for (const auto& c : cases)
        EXPECT_EQ(escapeForDisplay(QStringView(c.text).toString()), QString::fromUtf8(c.shown)) << c.shown;
}

TEST_F(KorvelctlTest, ValuesPrintsTheFourListsInOrderWithEscapes)
{
    // Written the way a person would: one entry per line, lists in any order.
    writeTestFile(path("lists.txt"), "\xEF\xBB\xBF"
                                     "测试模式&快速&2\r\n"
                                     "测试组&back\\slash&v\tt;\n"
                                     "\n"
                                     "联线类型&b&1\n"
                                     "联线类型&A&10\n"
                                     "测试组2&B组&GB\n");
    const KorvelctlRun build = runKorvelctlInProcess({"values", "--build", path("lists.txt"), path("SQL配置.ini")});
    ASSERT_EQ(build.exitCode, kExitOk) << build.err.toStdString();

    const KorvelctlRun values = runKorvelctlInProcess({"values", path("SQL配置.ini")});
    EXPECT_EQ(values.exitCode, kExitOk);
    EXPECT_EQ(values.out, QStringLiteral("联线类型\tA\t10\n"
                                         "联线类型\tb\t1\n"
                                         "测试组\tback\\\\slash\tv\\tt\n"
                                         "测试组2\tB组\tGB\n"
                                         "测试模式\t快速\t2\n"));
    EXPECT_TRUE(values.err.isEmpty());
}

TEST_F(KorvelctlTest, ValuesReadsAFileExactlyAsTheProgramDoes)
{
    // A plaintext in the file's own syntax, with the pitfalls a hand-made file has.
    const QByteArray plaintext = "\xc1\xaa\xcf\xdf\xc0\xe0\xd0\xcd&A&1;\r\n"                  // 联线类型&A&1; then CRLF
                                 "\xc1\xaa\xcf\xdf\xc0\xe0\xd0\xcd&B&2;"                      // lost behind the line break
                                 "\xb2\xe2\xca\xd4\xd7\xe9&X\r\n&;";                          // 测试组&X\r\n&;
    writeTestFile(path("SQL配置.ini"), cryptFileData(plaintext));
    const KorvelctlRun values = runKorvelctlInProcess({"values", path("SQL配置.ini")});
    EXPECT_EQ(values.out, QStringLiteral("联线类型\tA\t1\n测试组\tX\\r\\n\t\n"));
}

TEST_F(KorvelctlTest, BuildingRefusesLinesTheFileCannotHold)
{
    writeTestFile(path("bad.txt"), "联线类型&A&1\n测试组&only two\n");
    const KorvelctlRun run = runKorvelctlInProcess({"values", "--build", path("bad.txt"), path("out.ini")});
    EXPECT_EQ(run.exitCode, kExitFailure);
    EXPECT_EQ(run.err, QStringLiteral("第2行格式错误，应为：列表名&条目&值\n"));
    EXPECT_FALSE(QFileInfo::exists(path("out.ini")));

    writeTestFile(path("latin1.txt"), "\xe9t\xe9");
    EXPECT_EQ(runKorvelctlInProcess({"values", "--build", path("latin1.txt"), path("out.ini")}).err, QStringLiteral("文本不是有效的UTF-8\n"));
}

TEST_F(KorvelctlTest, SettingsPrintsTheConnectionStringWithThePasswordMasked)
{
    writeTestFile(path("frmConnect"), settingsXml("pa;ss"));
    const KorvelctlRun masked = runKorvelctlInProcess({"settings", path("frmConnect")});
    EXPECT_EQ(masked.exitCode, kExitOk);
    EXPECT_EQ(masked.out, QStringLiteral("Provider=sqloledb;Data Source=srv;Initial Catalog=db;User Id=sa;Password=***;\n"));
    EXPECT_FALSE(masked.out.contains(QStringLiteral("pa;ss")));

    const KorvelctlRun shown = runKorvelctlInProcess({"settings", "--show-password", path("frmConnect")});
    EXPECT_EQ(shown.out,
              QStringLiteral("Provider=sqloledb;Data Source=srv;Initial Catalog=db;User Id=sa;Password=\"pa;ss\";\n"));

    writeTestFile(path("broken"), "<NewDataSet>");
    EXPECT_EQ(runKorvelctlInProcess({"settings", path("broken")}).err, QStringLiteral("获取配置数据失败\n"));
    const KorvelctlRun missing = runKorvelctlInProcess({"settings", path("nothing")});
    EXPECT_EQ(missing.err, QStringLiteral("获取配置文件失败\n"));
    EXPECT_EQ(missing.exitCode, kExitFailure);
}

TEST_F(KorvelctlTest, TheProgramWritesUtf8AndExitsWithTheCommandsCode)
{
    writeTestFile(path("lists.txt"), "测试组&线束&1\n");
    QProcess build;
    build.start(QStringLiteral(KORVELCTL_PATH), {"values", "--build", path("lists.txt"), path("SQL配置.ini")});
    ASSERT_TRUE(build.waitForFinished(30000));
    EXPECT_EQ(build.exitCode(), 0) << build.readAllStandardError().toStdString();

    QProcess values;
    values.start(QStringLiteral(KORVELCTL_PATH), {"values", path("SQL配置.ini")});
    ASSERT_TRUE(values.waitForFinished(30000));
    EXPECT_EQ(values.exitCode(), 0);
    EXPECT_EQ(values.readAllStandardOutput(), QByteArray("\xe6\xb5\x8b\xe8\xaf\x95\xe7\xbb\x84\t\xe7\xba\xbf\xe6\x9d\x9f\t1\n"));

    QProcess missing;
    missing.start(QStringLiteral(KORVELCTL_PATH), {"settings", path("nothing")});
    ASSERT_TRUE(missing.waitForFinished(30000));
    EXPECT_EQ(missing.exitCode(), 1);
    EXPECT_EQ(QString::fromUtf8(missing.readAllStandardError()), QStringLiteral("获取配置文件失败\n"));

    QProcess usage;
    usage.start(QStringLiteral(KORVELCTL_PATH), {});
    ASSERT_TRUE(usage.waitForFinished(30000));
    EXPECT_EQ(usage.exitCode(), 2);
}
