#include "labels/LabelExport.h"

#include "labels/LabelBundle.h"
#include "tests/labels/LabelTestSupport.h"
#include "tests/support/EmbeddedTestDatabase.h"
#include "tests/support/FaultInjectingClient.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/RecordingMessageSink.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

using namespace korvel;

namespace {

// Label 标签-1 has three controls, two of which share the item 项目一; the item 孤立 is
// used by no control and "other" only by the label LB-2. The GUIDs of 标签-1 are stored
// in lower case without braces, as another program may have written them.
const char* const kLabels =
    "INSERT INTO tblLabelInfo VALUES ('0f8fad5b-d9cb-469f-a165-70867728950e', '标签-1', 1),"
    " ('{22222222-2222-4222-8222-222222222222}', 'LB-2', 0);"
    "INSERT INTO tblLabelControls VALUES"
    " ('0f8fad5b-d9cb-469f-a165-70867728950e', '{11111111-AAAA-4AAA-8AAA-111111111111}', '品名'),"
    " ('0f8fad5b-d9cb-469f-a165-70867728950e', '{11111111-BBBB-4BBB-8BBB-222222222222}', NULL),"
    " ('{22222222-2222-4222-8222-222222222222}', '{11111111-CCCC-4CCC-8CCC-333333333333}', 'x'),"
    " ('0f8fad5b-d9cb-469f-a165-70867728950e', '{11111111-AAAA-4AAA-8AAA-111111111111}', 'Щ');"
    "INSERT INTO tblLabelControlItem (ItemID, ItemName) VALUES"
    " ('{11111111-BBBB-4BBB-8BBB-222222222222}', 'Größe'), ('{11111111-CCCC-4CCC-8CCC-333333333333}', 'other'),"
    " ('{11111111-AAAA-4AAA-8AAA-111111111111}', '项目一'), ('{11111111-DDDD-4DDD-8DDD-444444444444}', '孤立');";

class LabelExportTest : public ::testing::Test
{
protected:
    LabelExportTest() : database(kCompactLabelSchema) { database.exec(QString::fromUtf8(kLabels)); }

    bool runExport(const QString& labelNo) { return shownIn(messages, exportLabel(database.connectionString(), labelNo, out)); }

    EmbeddedTestDatabase database;
    QTemporaryDir dir;
    QString out = dir.filePath(QStringLiteral("label.bq"));
    RecordingMessageSink messages;
};

} // namespace

TEST_F(LabelExportTest, TheFileIsTheEncipheredBundleOfTheLabelItsControlsAndTheItemsTheyUse)
{
    ASSERT_TRUE(runExport(QStringLiteral("标签-1"))) << messages.warnings.join('\n').toStdString();
    EXPECT_TRUE(messages.informations.isEmpty()) << "the caller says that it worked";
    EXPECT_TRUE(messages.warnings.isEmpty());
    // Written and enciphered by a Python RC4 from the text below: GUIDs braced and in upper
    // case, NULL as an empty last field, the shared item once, the items in table order.
    //   表名:tblLabelInfo / 列名:LabelID,LabelNo,LabelStatus / {0F8FAD5B-…},标签-1,1
    //   表名:tblLabelControls / 列名:LabelID,ItemID,Caption / {0F8F…},{1111…1111},品名
    //   {0F8F…},{1111…2222}, / {0F8F…},{1111…1111},Щ
    //   表名:tblLabelControlItem / 列名:LineID,ItemID,ItemName / 1,{1111…2222},Größe / 3,{1111…1111},项目一
    EXPECT_EQ(readTestFile(out),
              hex("4fb449503e59540ada995e77512bd1004c35a7db6b0b56dc3984b63fb35186e599bd1173d3ca47c36dba128757b7c43424c8"
                  "388db34cfd3c6212be433699a835be52c2c21aa97dca80d1c5857abc8bf84030b1b810628c14fccd5b73ab5e29dd677d2fb9"
                  "50a1271f3558d3d60972d8764887e026bb746aaff8d78aeba949b006d6f55c749896bb7cb5311c5416cc420ace933c634f9c"
                  "0cd624d1364cf25c3c89e48cdaf789f9eb6ac214830c4f087fd1e6a733a3a75b8d83d2a8ce43bd76206610840762378ea2ef"
                  "51ebe746873e18b59d79c9a25cc725d7d3c842b3e31528652251fe97fcc5ef118f7cd6f40748411247f9cc7cc3d701920bc8"
                  "e04d8c9246fac9613666dcf4cd860ae8887793716b2807eacc9cbb59a7e35802e46ece73f75aa439ed6984eff716f60a6b8d"
                  "2a51e04761af7d6d8f74e332cface76fd4fa955ccd94fb22de1e9e38cdbc32c56b5dee87028f8edf77315092d53a93dca15d"
                  "0ebbd687f4312028ca8ef28719d28f36bf76c9a68877df3b446e2c0367efa8140c3fd6d3ad26f4dc8376c6d297c26db1aa33"
                  "732e9ab6da12d93499487d49946da9b0720e7eb7f1351575119e54f3520044499ba7e4e8620cb01e9682fff30fad52d4e851"
                  "c3ee4209ac4d7a78e416a1ce382b642ca12a3d551f78bd55be4c3a09b5cefa6bc60bbd3b541e031a43b5f467367abf8bba01"
                  "b5e5f689cdc7ed6c0bda48af0141fc7cf1110b7358ea0acd2bc3540452eae776cc98b394b22d7c4713a7337ef78a3c288d73"
                  "b3faeb3c7eeb9950729b8723"));
}

TEST_F(LabelExportTest, ALabelNumberIsALiteralAndOneThatNoLabelHasIsRefusedWithoutAFile)
{
    for (const QString& labelNo : {QStringLiteral("LB-9"), QStringLiteral("x' or '1'='1")}) {
        messages = RecordingMessageSink();
        EXPECT_FALSE(runExport(labelNo));
        EXPECT_EQ(messages.warnings, QStringList(QStringLiteral("标签 %1 不存在").arg(labelNo)));
        EXPECT_TRUE(messages.informations.isEmpty());
        EXPECT_FALSE(QFileInfo::exists(out)) << labelNo.toStdString();
    }

    database.exec(QStringLiteral("UPDATE tblLabelInfo SET LabelNo='O''Neil' WHERE LabelNo='LB-2'"));
    ASSERT_TRUE(runExport(QStringLiteral("O'Neil"))) << messages.warnings.join('\n').toStdString();
    EXPECT_TRUE(
        decodeBundle(readTestFile(out)).contains(QStringLiteral("{22222222-2222-4222-8222-222222222222},O'Neil,0\n")));
}

TEST_F(LabelExportTest, ValuesTheBundleCannotCarryAreRefusedAndNothingIsWritten)
{
    // A comma in a label that is not exported does not matter.
    database.exec(QStringLiteral("UPDATE tblLabelControls SET Caption='x,y' WHERE Caption='x'"));
    const struct
    {
        const char* sql;
        const char* message;
    } cases[] = {
        {"UPDATE tblLabelControls SET Caption='a,b' WHERE Caption='品名'",
         "标签数据无法导出：表 tblLabelControls 列 Caption 的值含有逗号或换行"},
        {"UPDATE tblLabelControlItem SET ItemName='two' || char(10) || 'lines' WHERE ItemName='项目一'",
         "标签数据无法导出：表 tblLabelControlItem 列 ItemName 的值含有逗号或换行"},
        {"UPDATE tblLabelControlItem SET ItemName='a' || char(0) || 'b' WHERE ItemName='Größe'",
         "标签数据无法导出：表 tblLabelControlItem 列 ItemName 的值含有空字符"},
        {"UPDATE tblLabelInfo SET LabelID='列名:1' WHERE LabelNo='标签-1';"
         "UPDATE tblLabelControls SET LabelID='列名:1' WHERE LabelID LIKE '0f8fad5b%'",
         "标签数据无法导出：表 tblLabelInfo 列 LabelID 的值以“列名:”开头"},
        {"ALTER TABLE tblLabelControls ADD COLUMN \"Note,1\" int",
         "标签数据无法导出：表 tblLabelControls 的列名 Note,1 含有逗号或换行"},
    };
    for (const auto& refused : cases) {
        EmbeddedTestDatabase copy(kCompactLabelSchema);
        copy.exec(QString::fromUtf8(kLabels));
        copy.exec(QString::fromUtf8(refused.sql));
        writeTestFile(out, "old file");
        messages = RecordingMessageSink();
        EXPECT_FALSE(shownIn(messages, exportLabel(copy.connectionString(), QStringLiteral("标签-1"), out))) << refused.sql;
        EXPECT_EQ(messages.warnings, QStringList{QString::fromUtf8(refused.message)});
        EXPECT_TRUE(messages.informations.isEmpty());
        EXPECT_EQ(readTestFile(out), QByteArray("old file"));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"label.bq"});
    }
}

TEST_F(LabelExportTest, FailuresShowTheirMessageOnceAndNeverSayExported)
{
    EXPECT_FALSE(shownIn(messages, exportLabel(database.connectionString(), QStringLiteral("标签-1"),
                             dir.filePath(QStringLiteral("missing/label.bq")))));
    EXPECT_EQ(messages.warnings, QStringList{"打开文件失败：2"});
    EXPECT_TRUE(messages.informations.isEmpty());

    messages = RecordingMessageSink();
    database.exec(QStringLiteral("DROP TABLE tblLabelControlItem"));
    EXPECT_FALSE(runExport(QStringLiteral("标签-1")));
    ASSERT_EQ(messages.warnings.size(), 1);
    EXPECT_EQ(messages.warnings[0], QStringLiteral("ADO 错误：0x80004005，no such table: tblLabelControlItem"));
    EXPECT_FALSE(QFileInfo::exists(out));

    messages = RecordingMessageSink();
    EXPECT_FALSE(shownIn(messages, exportLabel(QStringLiteral("Provider=sqlite;Data Source=%1;").arg(dir.filePath("none.db")),
                             QStringLiteral("标签-1"), out)));
    ASSERT_EQ(messages.warnings.size(), 1);
    EXPECT_TRUE(messages.warnings[0].startsWith(QStringLiteral("ADO 错误：0x80004005，数据库文件不存在")));
    EXPECT_TRUE(messages.informations.isEmpty());
}

// Export under faults: a database call failing at any point, a target that is full or
// read-only. An existing file always stays as it was, and success is said only after a
// complete write.

namespace {

const QByteArray kOldBundle = "the bundle that was there before";

// A small file system mounted for one test; skipped where mounting is not allowed.
class Mount
{
public:
    Mount(const QString& path, const char* options) : m_path(QFile::encodeName(path))
    {
        m_mounted = ::mount("tmpfs", m_path.constData(), "tmpfs", 0, options) == 0;
    }
    bool remountReadOnly()
    {
        return ::mount("tmpfs", m_path.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }
    ~Mount()
    {
        if (m_mounted)
            ::umount2(m_path.constData(), MNT_DETACH);
    }
    bool mounted() const { return m_mounted; }

private:
    QByteArray m_path;
    bool m_mounted = false;
};

} // namespace

TEST_F(LabelExportTest, AFailureAtAnyDatabaseCallWritesNothing)
{
    static FaultPlan plan; // the provider stays registered for the rest of the process
    registerFaultInjectingProvider(plan);
    const QString faulty = QStringLiteral("Provider=faulty;Data Source=%1;").arg(database.path());

    const QList<FaultedRun> runs = runFailingAtEveryCall(plan, [&](MessageSink& sink) {
        writeTestFile(out, kOldBundle);
        if (shownIn(sink, exportLabel(faulty, QStringLiteral("标签-1"), out)))
            return true;
        EXPECT_EQ(readTestFile(out), kOldBundle) << "failure at call " << plan.failAt;
        return false;
    });
    ASSERT_GT(runs.size(), 10);
    for (const FaultedRun& run : runs) {
        EXPECT_FALSE(run.succeeded) << "failure at call " << run.failAt;
        EXPECT_EQ(run.messages.warnings.size(), 1) << "failure at call " << run.failAt;
        EXPECT_TRUE(run.messages.warnings.value(0).startsWith(QStringLiteral("ADO 错误：0x80004005，injected failure")))
            << "failure at call " << run.failAt << ": " << run.messages.warnings.value(0).toStdString();
        EXPECT_TRUE(run.messages.informations.isEmpty()) << "failure at call " << run.failAt;
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList(QStringLiteral("label.bq")));
}

TEST_F(LabelExportTest, AFullTargetKeepsTheOldFileAndShowsNoSuccess)
{
    const QString target = dir.filePath(QStringLiteral("small"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("small")));
    Mount small(target, "size=8k");
    if (!small.mounted())
        GTEST_SKIP() << "mounting a file system needs root";
    const QString file = target + QStringLiteral("/label.bq");
    writeTestFile(file, kOldBundle);
    writeTestFile(target + QStringLiteral("/filler"), QByteArray(4096, 'f')); // leaves too little room

    database.exec(QStringLiteral("UPDATE tblLabelControls SET Caption = '%1'").arg(QString(3000, QLatin1Char('x'))));
    EXPECT_FALSE(shownIn(messages, exportLabel(database.connectionString(), QStringLiteral("标签-1"), file)));
    EXPECT_EQ(messages.warnings, QStringList(QStringLiteral("写文件错误：28\n")));
    EXPECT_TRUE(messages.informations.isEmpty());
    EXPECT_EQ(readTestFile(file), kOldBundle);
}

TEST_F(LabelExportTest, AReadOnlyTargetKeepsTheOldFileAndShowsNoSuccess)
{
    const QString target = dir.filePath(QStringLiteral("readonly"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("readonly")));
    Mount mounted(target, "size=64k");
    if (!mounted.mounted())
        GTEST_SKIP() << "mounting a file system needs root";
    const QString file = target + QStringLiteral("/label.bq");
    writeTestFile(file, kOldBundle);
    ASSERT_TRUE(mounted.remountReadOnly());
    EXPECT_FALSE(shownIn(messages, exportLabel(database.connectionString(), QStringLiteral("标签-1"), file)));
    EXPECT_EQ(messages.warnings, QStringList(QStringLiteral("打开文件失败：30")));
    EXPECT_TRUE(messages.informations.isEmpty());
    EXPECT_EQ(readTestFile(file), kOldBundle);
    EXPECT_FALSE(shownIn(messages, exportLabel(database.connectionString(), QStringLiteral("标签-1"), target + QStringLiteral("/new.bq"))));
    EXPECT_EQ(messages.warnings.value(1), QStringLiteral("打开文件失败：30")) << "no new file either";
}

TEST_F(LabelExportTest, TheColumnNamesAreAskedInTheTablesOrder)
{
    static FaultPlan plan;
    registerFaultInjectingProvider(plan);
    plan = FaultPlan();
    ASSERT_TRUE(shownIn(messages, exportLabel(QStringLiteral("Provider=faulty;Data Source=%1;").arg(database.path()),
                            QStringLiteral("标签-1"), out)))
        << messages.warnings.join('\n').toStdString();
    const QStringList catalogue = plan.statements.filter(QStringLiteral("syscolumns"));
    ASSERT_EQ(catalogue.size(), 3);
    for (const QString& statement : catalogue)
        EXPECT_TRUE(statement.endsWith(QLatin1String(" order by colid"))) << statement.toStdString();
}
