#include "app/korvelctl/Korvelctl.h"

#include "demodata/DemoDatabase.h"

#include "tests/app/korvelctl/KorvelctlRun.h"
#include "tests/support/EmbeddedTestDatabase.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace korvel;

namespace {

// Settings for the embedded engine, the database file named relative to the settings.
QByteArray embeddedSettingsXml(const QByteArray& databaseFile)
{
    return "<NewDataSet>"
           "<frmConnect><ParaName>txtHostName</ParaName><ParaValue>" +
           databaseFile +
           "</ParaValue></frmConnect>"
           "<frmConnect><ParaName>txtProvider</ParaName><ParaValue>sqlite</ParaValue></frmConnect>"
           "</NewDataSet>";
}

class DatabaseCommandsTest : public ::testing::Test
{
protected:
    QString path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
    QStringList files() const
    {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }

    // A demo database and settings that select it, as the program finds them.
    void createDemoWithSettings()
    {
        const KorvelctlRun create = runKorvelctlInProcess({"create-db", path("demo.db"), "--demo"});
        ASSERT_EQ(create.exitCode, kExitOk) << create.err.toStdString();
        writeTestFile(path("frmConnect"), embeddedSettingsXml("demo.db"));
    }
    KorvelctlRun query(const QString& sql) const { return runKorvelctlInProcess({"query", path("frmConnect"), sql}); }

    QTemporaryDir dir;
};

} // namespace

TEST_F(DatabaseCommandsTest, CreateDbMakesADatabaseQuietlyAndNeverOverwrites)
{
    const KorvelctlRun empty = runKorvelctlInProcess({"create-db", path("empty.db")});
    EXPECT_EQ(empty.exitCode, kExitOk);
    EXPECT_TRUE(empty.out.isEmpty());
    EXPECT_TRUE(empty.err.isEmpty());
    const KorvelctlRun demo = runKorvelctlInProcess({"create-db", "--demo", "--scale", "1", path("demo.db")});
    EXPECT_EQ(demo.exitCode, kExitOk) << demo.err.toStdString();
    EXPECT_GT(QFileInfo(path("demo.db")).size(), QFileInfo(path("empty.db")).size());

    const QByteArray before = readTestFile(path("empty.db"));
    const KorvelctlRun again = runKorvelctlInProcess({"create-db", path("empty.db"), "--demo"});
    EXPECT_EQ(again.exitCode, kExitFailure);
    EXPECT_EQ(again.err, QStringLiteral("文件已存在，未作任何改动：") + path("empty.db") + QLatin1Char('\n'));
    EXPECT_EQ(readTestFile(path("empty.db")), before);
    EXPECT_EQ(files(), (QStringList{"demo.db", "empty.db"}));
}

TEST_F(DatabaseCommandsTest, CreateDbUsageErrorsExitTwoAndCreateNothing)
{
    const QStringList cases[] = {
        {"create-db"},
        {"create-db", "a.db", "b.db"},
        {"create-db", "a.db", "--scale", "2"},
        {"create-db", "a.db", "--demo", "--scale"},
        {"create-db", "a.db", "--demo", "--demo"},
        {"create-db", "a.db", "--demo", "--scale", "2", "--scale", "3"},
        {"create-db", "--bogus", "a.db"},
        {"create-db", ""},
    };
    for (const QStringList& arguments : cases) {
        const KorvelctlRun run = runKorvelctlInProcess(arguments);
        EXPECT_EQ(run.exitCode, kExitUsage) << arguments.join(' ').toStdString();
        EXPECT_EQ(run.err, QStringLiteral("usage: korvelctl create-db FILE [--demo [--scale N]]\n"));
    }
    for (const char* scale : {"0", "1001", "two", "1.5", ""}) {
        const KorvelctlRun run = runKorvelctlInProcess({"create-db", path("a.db"), "--demo", "--scale", scale});
        EXPECT_EQ(run.exitCode, kExitUsage) << scale;
        EXPECT_TRUE(run.err.startsWith(QStringLiteral("korvelctl: --scale takes a whole number from 1 to 1000\n")))
            << run.err.toStdString();
    }
    EXPECT_EQ(files(), QStringList());
}

TEST_F(DatabaseCommandsTest, LoadDemoFillsEmptyTablesWithTheDemosRowsWholeOrNotAtAll)
{
    createDemoWithSettings();
    ASSERT_EQ(runKorvelctlInProcess({"create-db", path("empty.db")}).exitCode, kExitOk);
    writeTestFile(path("empty"), embeddedSettingsXml("empty.db"));
    // The tables by their keys: each engine keeps rows in an order of its own.
    const QStringList tables = {"tblUserInfo order by UserID", "tblHarnessInfo order by HarnessID",
                                "tblHarnessWireInfo order by HarnessID, WireNo", "tblJobInfo order by JobID",
                                "tblJobStepInfo order by JobID, LineID", "tblLabelInfo order by LabelID",
                                "tblLabelControls order by LabelID, ControlNo", "tblLabelControlItem order by LineID"};
    const auto contents = [&tables](const QString& database) {
        const EmbeddedTestDatabase file{ExistingFile{database}};
        QByteArray dump;
        for (const QString& table : tables)
            dump += file.dump(QStringLiteral("select * from ") + table);
        return dump;
    };

    // A table that holds rows already refuses the demo, and what went in before it goes.
    EmbeddedTestDatabase{ExistingFile{path("empty.db")}}.exec(QStringLiteral(
        "INSERT INTO tblLabelControlItem (ItemID, ItemName) VALUES ('{11111111-0000-4000-8000-000000000001}', 'x')"));
    const QByteArray before = contents(path("empty.db"));
    const KorvelctlRun refused = runKorvelctlInProcess({"load-demo", path("empty")});
    EXPECT_EQ(refused.exitCode, kExitFailure);
    EXPECT_EQ(refused.err, QStringLiteral("表 tblLabelControlItem 已有数据：演示数据只能装入没有数据的表\n"));
    EXPECT_EQ(contents(path("empty.db")), before);

    EmbeddedTestDatabase{ExistingFile{path("empty.db")}}.exec(QStringLiteral("DELETE FROM tblLabelControlItem"));
    const KorvelctlRun loaded = runKorvelctlInProcess({"load-demo", path("empty")});
    EXPECT_EQ(loaded.exitCode, kExitOk) << loaded.err.toStdString();
    EXPECT_TRUE(loaded.out.isEmpty());
    EXPECT_EQ(contents(path("empty.db")), contents(path("demo.db")));

    for (const QStringList& arguments :
         {QStringList{"load-demo"}, QStringList{"load-demo", path("empty"), "--scale", "0"}})
        EXPECT_EQ(runKorvelctlInProcess(arguments).exitCode, kExitUsage) << arguments.join(' ').toStdString();
}

TEST_F(DatabaseCommandsTest, QueryPrintsTheRowsAsTheProgramReadsThem)
{
    createDemoWithSettings();
    const KorvelctlRun password = query(QStringLiteral("select Password from tblUserInfo where UserID='Admin'"));
    EXPECT_EQ(password.exitCode, kExitOk) << password.err.toStdString();
    EXPECT_EQ(password.out, QStringLiteral("korvel\n"));
    EXPECT_TRUE(password.err.isEmpty());

    EXPECT_EQ(query(QStringLiteral("select HarnessNo, UserName from tblHarnessInfo, tblUserInfo "
                                   "where HarnessID <= 2 and UserID = 'Admin' order by HarnessID"))
                  .out,
              QStringLiteral("WH-2024-0001\t系统管理员\nWH-2024-0002\t系统管理员\n"));
    // Cells are escaped so that every row stays one line of tab-separated cells.
    EXPECT_EQ(query(QStringLiteral("select 'a' || char(9) || 'b', 'c\\d', NULL, X'0AFF', 'x' || char(13, 10)")).out,
              QStringLiteral("a\\tb\tc\\\\d\t\t0AFF\tx\\r\\n\n"));

    const KorvelctlRun update = query(QStringLiteral("update tblUserInfo set Department='x' where UserID='nobody'"));
    EXPECT_EQ(update.exitCode, kExitOk) << update.err.toStdString();
    EXPECT_TRUE(update.out.isEmpty());
}

TEST_F(DatabaseCommandsTest, QueryFailuresPrintTheMessageAndExitOne)
{
    const KorvelctlRun noSettings = query(QStringLiteral("select 1"));
    EXPECT_EQ(noSettings.exitCode, kExitFailure);
    EXPECT_EQ(noSettings.err, QStringLiteral("获取配置文件失败\n"));

    writeTestFile(path("frmConnect"), embeddedSettingsXml("missing.db"));
    const KorvelctlRun noDatabase = query(QStringLiteral("select 1"));
    EXPECT_EQ(noDatabase.exitCode, kExitFailure);
    EXPECT_TRUE(noDatabase.err.startsWith(QStringLiteral("ADO 错误：0x80004005，"))) << noDatabase.err.toStdString();
    EXPECT_TRUE(noDatabase.err.contains(path("missing.db"))) << noDatabase.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(path("missing.db"))) << "opening creates no database";

    createDemoWithSettings();
    const KorvelctlRun badSql = query(QStringLiteral("select Password from tblNothing"));
    EXPECT_EQ(badSql.exitCode, kExitFailure);
    EXPECT_TRUE(badSql.out.isEmpty());
    EXPECT_TRUE(badSql.err.startsWith(QStringLiteral("ADO 错误：0x80004005，"))) << badSql.err.toStdString();
    EXPECT_TRUE(badSql.err.contains(QStringLiteral("tblNothing"))) << badSql.err.toStdString();

    // A failure while reading: the rows handed over before it are printed as they came; the
    // row whose next step failed is dropped, as the program drops it.
    const KorvelctlRun midway =
        query(QStringLiteral("select 'a' union all select 'b' union all select abs(-9223372036854775807 - 1)"));
    EXPECT_EQ(midway.exitCode, kExitFailure);
    EXPECT_EQ(midway.out, QStringLiteral("a\n"));
    EXPECT_EQ(midway.err, QStringLiteral("ADO 错误：0x80004005，integer overflow\n"));

    for (const QStringList& arguments : {QStringList{"query"}, QStringList{"query", path("frmConnect")},
                                         QStringList{"query", path("frmConnect"), "select 1", "select 2"},
                                         QStringList{"query", "--verbose", "select 1"}}) {
        const KorvelctlRun run = runKorvelctlInProcess(arguments);
        EXPECT_EQ(run.exitCode, kExitUsage) << arguments.join(' ').toStdString();
        EXPECT_EQ(run.err, QStringLiteral("usage: korvelctl query SETTINGS SQL\n"));
    }
}

TEST_F(DatabaseCommandsTest, DemoValuesMakeTheValueListsOfTheDemoData)
{
    const KorvelctlRun text = runKorvelctlInProcess({"demo-values", path("values.txt")});
    ASSERT_EQ(text.exitCode, kExitOk) << text.err.toStdString();
    const KorvelctlRun build = runKorvelctlInProcess({"values", "--build", path("values.txt"), path("SQL配置.ini")});
    ASSERT_EQ(build.exitCode, kExitOk) << build.err.toStdString();

    const KorvelctlRun values = runKorvelctlInProcess({"values", path("SQL配置.ini")});
    EXPECT_EQ(values.exitCode, kExitOk);
    qsizetype entries = 0;
    for (int list = 0; list < kValueListCount; ++list)
        entries += demoValueList(static_cast<ValueListIndex>(list)).size();
    EXPECT_EQ(values.out.count(QLatin1Char('\n')), entries) << "every entry survives, none is a duplicate";
    EXPECT_TRUE(values.out.startsWith(QStringLiteral("联线类型\t二极管\t4\n"))) << values.out.toStdString();
    EXPECT_TRUE(values.out.contains(QStringLiteral("\n测试组2\t功能测试组\tFT\n")));
    EXPECT_TRUE(values.out.endsWith(QStringLiteral("测试模式\t高压\t3\n")));

    EXPECT_EQ(runKorvelctlInProcess({"demo-values"}).exitCode, kExitUsage);
}
