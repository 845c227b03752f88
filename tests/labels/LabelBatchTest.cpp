#include "labels/LabelBatch.h"
#include "labels/LabelBundle.h"

#include "tests/labels/LabelTestSupport.h"
#include "tests/support/EmbeddedTestDatabase.h"
#include "tests/support/OutcomeChecks.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace korvel;

namespace {

const char* kLabels =
    "INSERT INTO tblLabelInfo VALUES ('{A0000000-0000-4000-8000-000000000001}', 'lb-2', 1),"
    " ('{A0000000-0000-4000-8000-000000000002}', 'LB-1', 1), ('{A0000000-0000-4000-8000-000000000003}', 'A/B', 1),"
    " ('{A0000000-0000-4000-8000-000000000004}', 'LB-1', 2), ('{A0000000-0000-4000-8000-000000000005}', 'Comma', 1);"
    "INSERT INTO tblLabelControls VALUES ('{A0000000-0000-4000-8000-000000000002}', '{B1}', '甲'),"
    " ('{A0000000-0000-4000-8000-000000000004}', '{B1}', '乙'), ('{A0000000-0000-4000-8000-000000000004}', '{B2}', NULL),"
    " ('{A0000000-0000-4000-8000-000000000005}', '{B3}', 'a,b');"
    "INSERT INTO tblLabelControlItem (ItemID, ItemName) VALUES ('{B1}', '第一项'), ('{B2}', '第二项'), ('{B3}', 'x');";

const QString kBundle = QStringLiteral("表名:tblLabelInfo\n列名:LabelID,LabelNo,LabelStatus\n%1\n"
                                       "表名:tblLabelControls\n列名:LabelID,ItemID,Caption\n{L1},{I1},甲\n"
                                       "表名:tblLabelControlItem\n列名:LineID,ItemID,ItemName\n7,{I1},第一项\n");

class LabelBatchTest : public ::testing::Test
{
protected:
    LabelBatchTest() : database(kCompactLabelSchema)
    {
        database.exec(QString::fromUtf8(kLabels));
        EXPECT_TRUE(open.open(database.connectionString())) << open.lastError().toStdString();
    }

    QString bundle(const QString& name, const QString& labelRow)
    {
        const QString path = dir.filePath(name);
        writeBundleFile(path, kBundle.arg(labelRow));
        return path;
    }

    EmbeddedTestDatabase database;
    Database open; // the batch's connection
    QTemporaryDir dir;
    QStringList progress;
    const BatchProgress record = [this](qsizetype done, qsizetype total, const QString& next) {
        progress.append(QStringLiteral("%1/%2 %3").arg(done).arg(total).arg(next));
    };
};

} // namespace

TEST(bundleFileName, EveryNumberGivesANameEverySystemKeepsAndThatReadsBack)
{
    const struct
    {
        const char* labelNo;
        const char* name;
    } cases[] = {
        {"LB-00001", "LB-00001.bq"},   {"A/B", "A%2FB.bq"},       {"a\\b:c*d?e\"f<g>h|i", "a%5Cb%3Ac%2Ad%3Fe%22f%3Cg%3Eh%7Ci.bq"},
        {"50%", "50%25.bq"},           {" x.", "%20x%2E.bq"},     {".hidden", "%2Ehidden.bq"},
        {"CON", "%43ON.bq"},           {"com1.a", "%63om1.a.bq"}, {"CONSOLE", "CONSOLE.bq"},
        {"线束/1", "线束%2F1.bq"},     {"tab\there", "tab%09here.bq"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(bundleFileName(QString::fromUtf8(c.labelNo)), QString::fromUtf8(c.name)) << c.labelNo;
}

TEST_F(LabelBatchTest, TheListGivesEachNumberWithWhatItsExportCarriesInTheWindowsOrder)
{
    const Result<QList<LabelCounts>> labels = listLabels(open);
    ASSERT_TRUE(succeeded(labels.outcome));
    QStringList lines;
    for (const LabelCounts& label : labels.value)
        lines.append(QStringLiteral("%1 %2 %3").arg(label.labelNo).arg(label.controls).arg(label.items));
    // Both labels numbered LB-1 travel in one bundle; the items of their controls once each.
    EXPECT_EQ(lines, QStringList({"A/B 0 0", "Comma 1 1", "LB-1 3 2", "lb-2 0 0"}));
}

TEST_F(LabelBatchTest, EachLabelGoesToItsOwnFileAndAFailureStopsOnlyItsOwn)
{
    const QString folder = dir.filePath(QStringLiteral("out/new"));
    const auto [exported, outcomes] = exportLabels(open, {"LB-1", "Comma", "A/B"}, folder, record);
    ASSERT_TRUE(succeeded(exported));
    ASSERT_EQ(outcomes.size(), 3);
    EXPECT_EQ(outcomes[0].reason, QString());
    EXPECT_TRUE(outcomes[1].reason.contains(QStringLiteral("tblLabelControls"))) << outcomes[1].reason.toStdString();
    EXPECT_EQ(outcomes[2].reason, QString());
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList({"A%2FB.bq", "LB-1.bq"}));
    EXPECT_EQ(readCheckedBundle(readTestFile(QDir(folder).filePath("LB-1.bq"))).problems, QStringList());
    EXPECT_EQ(progress, QStringList({"0/3 LB-1", "1/3 Comma", "2/3 A/B", "3/3 "}));
}

TEST_F(LabelBatchTest, OnlyRegularFilesInTheFolderAreWrittenAndAnythingElseFailsItsLabel)
{
    const QString folder = dir.filePath(QStringLiteral("out"));
    ASSERT_TRUE(QDir().mkpath(folder));
    writeTestFile(dir.filePath(QStringLiteral("secret.txt")), "secret");
    ASSERT_TRUE(QFile::link(QStringLiteral("../secret.txt"), QDir(folder).filePath("LB-1.bq")));
    ASSERT_TRUE(QFile::link(QStringLiteral("../created"), QDir(folder).filePath("A%2FB.bq")));
    ASSERT_EQ(mkfifo(QFile::encodeName(QDir(folder).filePath("lb-2.bq")).constData(), 0600), 0);
    const auto [exported, outcomes] = exportLabels(open, {"LB-1", "A/B", "lb-2"}, folder, record);
    ASSERT_TRUE(succeeded(exported));
    QStringList reasons;
    for (const BatchOutcome& outcome : outcomes)
        reasons.append(outcome.reason);
    EXPECT_EQ(reasons, QStringList({QDir(folder).filePath("LB-1.bq") + QStringLiteral(" 是符号链接，不能写入"),
                                    QDir(folder).filePath("A%2FB.bq") + QStringLiteral(" 是符号链接，不能写入"),
                                    QDir(folder).filePath("lb-2.bq") + QStringLiteral(" 不是普通文件，不能写入")}));
    EXPECT_EQ(readTestFile(dir.filePath(QStringLiteral("secret.txt"))), QByteArray("secret"));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("created"))));
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList({"A%2FB.bq", "LB-1.bq", "lb-2.bq"}))
        << "nothing written beside them";
}

TEST_F(LabelBatchTest, ALabelTheExportCannotFindFailsInsteadOfGivingAnEmptyBundle)
{
    // A number stored in bytes that are no UTF-8 is listed as the text it reads as, which no
    // label has.
    database.exec(QStringLiteral("INSERT INTO tblLabelInfo VALUES ('{A0000000-0000-4000-8000-000000000006}',"
                                 " CAST(X'4C42FF' AS TEXT), 1)"));
    const Result<QList<LabelCounts>> labels = listLabels(open);
    ASSERT_TRUE(succeeded(labels.outcome));
    QStringList all;
    for (const LabelCounts& label : labels.value)
        all.append(label.labelNo);
    const auto [exported, outcomes] = exportLabels(open, all, dir.filePath(QStringLiteral("out")), record);
    ASSERT_TRUE(succeeded(exported));
    EXPECT_EQ(outcomes.value(all.indexOf(QStringLiteral("LB\uFFFD"))).reason, QStringLiteral("标签 LB\uFFFD 不存在"));
    EXPECT_EQ(QDir(dir.filePath(QStringLiteral("out"))).entryList(QDir::Files),
              QStringList({"A%2FB.bq", "LB-1.bq", "lb-2.bq"}));
}

TEST_F(LabelBatchTest, NumbersThatCannotAllBeWrittenAreRefusedBeforeAnyFile)
{
    const QString folder = dir.filePath(QStringLiteral("out"));
    EXPECT_EQ(exportLabels(open, {"LB-1", "lb-1"}, folder, record).message(),
              QStringLiteral("标签 LB-1 和 lb-1 的文件名相同（lb-1.bq）"));
    EXPECT_EQ(exportLabels(open, {"LB-1", ""}, folder, record).message(), QStringLiteral("标签不能为空"));
    EXPECT_FALSE(QDir(folder).exists()) << "nothing written, no folder made";
    EXPECT_TRUE(progress.isEmpty());
}

TEST_F(LabelBatchTest, EachFileImportsInItsOwnTransactionAndTheRestGoOn)
{
    const QString good = bundle(QStringLiteral("good.bq"), QStringLiteral("{L1},LB-NEW,1"));
    const QString clash = bundle(QStringLiteral("clash.bq"), QStringLiteral("{L1},LB-1,1"));
    const QString cut = dir.filePath(QStringLiteral("cut.bq"));
    writeTestFile(cut, readTestFile(good).left(40));
    const QList<BatchOutcome> outcomes = importLabels(open, {clash, cut, good}, record);
    ASSERT_EQ(outcomes.size(), 3);
    EXPECT_EQ(outcomes[0].reason, QStringLiteral("LB-1已经存在"));
    EXPECT_EQ(outcomes[1].reason, QStringLiteral("不是完整的标签文件：末尾没有结束标记，未导入任何数据"));
    EXPECT_EQ(outcomes[2].reason, QString());
    EXPECT_EQ(database.scalar(QStringLiteral("select count(*) from tblLabelInfo where LabelNo='LB-NEW'")),
              QStringLiteral("1"));
    EXPECT_EQ(database.scalar(QStringLiteral("select count(*) from tblLabelInfo")), QStringLiteral("6"));
}

TEST_F(LabelBatchTest, TheCheckGivesEachFileTheVerdictOfItsImportInTheSameCallAndChangesNothing)
{
    const QStringList before = labelTableContents(database.path());
    const QString colour = QString(kBundle).replace(QStringLiteral("Caption"), QStringLiteral("Colour"));
    writeBundleFile(dir.filePath(QStringLiteral("column.bq")), colour.arg(QStringLiteral("{L1},LB-X,1")));
    const struct
    {
        QString file;
        QStringList problems; // "server": the engine's own refusal of LabelStatus
    } cases[] = {
        // What only the server can tell: a NULL where the table wants a value. Taken back,
        // it must not take the value rules' checks with it.
        {bundle(QStringLiteral("null.bq"), QStringLiteral("{L1},LB-X,")), {"server"}},
        {bundle(QStringLiteral("values.bq"), QStringLiteral("{L1},%1,x").arg(QString(51, 'n'))),
         {QStringLiteral("标签文件第 3 行：表 tblLabelInfo 列 LabelNo 的值“%1…”超过 50 个字符").arg(QString(40, 'n')),
          "标签文件第 3 行：表 tblLabelInfo 列 LabelStatus 的值“x”不是整数"}},
        {bundle(QStringLiteral("good.bq"), QStringLiteral("{L1},LB-NEW,1")), {}},
        // The import of these files would refuse this one: the file before carries its number.
        {bundle(QStringLiteral("again.bq"), QStringLiteral("{L1},LB-NEW,1")), {"标签文件第 3 行：LB-NEW已经存在"}},
        {bundle(QStringLiteral("clash.bq"), QStringLiteral("{L1},LB-1,1")), {"标签文件第 3 行：LB-1已经存在"}},
        {dir.filePath(QStringLiteral("column.bq")), {"标签文件第 5 行：表 tblLabelControls 没有列 Colour"}},
        {bundle(QStringLiteral("short.bq"), QStringLiteral("{L1},LB-X")),
         {"标签文件第 3 行有 2 个值，而表 tblLabelInfo 有 3 个列名"}},
        {dir.filePath(QStringLiteral("missing.bq")), {"打开文件失败：2"}},
    };
    QStringList files;
    for (const auto& c : cases)
        files.append(c.file);
    const auto [checked, checks] = checkBundles(open, files, record);
    ASSERT_TRUE(succeeded(checked));
    ASSERT_EQ(checks.size(), files.size());
    for (qsizetype i = 0; i < checks.size(); ++i) {
        const QStringList& found = checks[i].problems;
        if (cases[i].problems == QStringList{"server"}) {
            ASSERT_EQ(found.size(), 1);
            EXPECT_TRUE(found[0].contains(QStringLiteral("LabelStatus")) &&
                        found[0].endsWith(QStringLiteral("，未导入任何数据")))
                << found[0].toStdString();
        } else {
            EXPECT_EQ(found, cases[i].problems) << files[i].toStdString();
        }
    }
    EXPECT_EQ(labelTableContents(database.path()), before) << "a check changes nothing";
}

TEST_F(LabelBatchTest, ALostConnectionStopsABatchAndKeepsWhatWasImported)
{
    static FaultPlan plan; // the provider stays registered for the rest of the process
    registerFaultInjectingProvider(plan);
    const QStringList files = {bundle(QStringLiteral("a.bq"), QStringLiteral("{L1},LB-A,1")),
                               bundle(QStringLiteral("b.bq"), QStringLiteral("{L1},LB-B,1")),
                               bundle(QStringLiteral("c.bq"), QStringLiteral("{L1},LB-C,1"))};
    // The batch's connection goes while the second file goes in (or is tried); gives how
    // many files the batch came to.
    const auto losingTheConnection = [&](const std::function<qsizetype(Database&)>& batch) {
        plan = FaultPlan();
        plan.afterStatement = [labels = 0](const QString& statement) mutable {
            if (statement.startsWith(QLatin1String("insert into tblLabelInfo")) && ++labels == 2)
                plan.lostFrom = plan.calls + 1;
        };
        Database faulty;
        EXPECT_TRUE(faulty.open(QStringLiteral("Provider=faulty;Data Source=%1;").arg(database.path())));
        const qsizetype done = batch(faulty);
        plan = FaultPlan();
        return done;
    };
    EXPECT_EQ(losingTheConnection([&](Database& faulty) {
                  const Result<QList<FileCheck>> checks = checkBundles(faulty, files, record);
                  EXPECT_TRUE(succeeded(checks.outcome));
                  return checks.value.size();
              }),
              2);
    QList<BatchOutcome> outcomes;
    EXPECT_EQ(losingTheConnection([&](Database& faulty) {
                  outcomes = importLabels(faulty, files, record);
                  return outcomes.size();
              }),
              2);
    EXPECT_TRUE(outcomes.value(1).reason.startsWith(QStringLiteral("ADO 错误：0x80004005，injected lost connection，")))
        << outcomes.value(1).reason.toStdString();
    EXPECT_EQ(database.rows(QStringLiteral("select LabelNo from tblLabelInfo where LabelNo in ('LB-A','LB-B','LB-C')")),
              QList<QStringList>({{"LB-A"}}));
}
