// Export under faults: a database call failing at any point, a target that is full or
// read-only. An existing file always stays as it was, and success is said only after a
// complete write.

#include "labels/LabelExport.h"

#include "labels/LabelBundle.h"
#include "tests/labels/LabelTestSupport.h"
#include "tests/support/EmbeddedTestDatabase.h"
#include "tests/support/FaultInjectingClient.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/RecordingMessageSink.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <unistd.h>

namespace {

const char* const kLabel =
    "INSERT INTO tblLabelInfo VALUES ('{22222222-2222-4222-8222-222222222222}', 'LB-1', 1);"
    "INSERT INTO tblLabelControls VALUES ('{22222222-2222-4222-8222-222222222222}',"
    " '{11111111-AAAA-4AAA-8AAA-111111111111}', '品名'),"
    " ('{22222222-2222-4222-8222-222222222222}', '{11111111-BBBB-4BBB-8BBB-222222222222}', NULL);"
    "INSERT INTO tblLabelControlItem (ItemID, ItemName) VALUES ('{11111111-AAAA-4AAA-8AAA-111111111111}', 'a'),"
    " ('{11111111-BBBB-4BBB-8BBB-222222222222}', 'b');";

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

class LabelExportFaultTest : public ::testing::Test
{
protected:
    LabelExportFaultTest() : database(kCompactLabelSchema) { database.exec(QString::fromUtf8(kLabel)); }

    EmbeddedTestDatabase database;
    QTemporaryDir dir;
    RecordingMessageSink messages;
};

} // namespace

TEST_F(LabelExportFaultTest, AFailureAtAnyDatabaseCallWritesNothing)
{
    static FaultPlan plan; // the provider stays registered for the rest of the process
    RegisterFaultInjectingProvider(plan);
    const QString faulty = QStringLiteral("Provider=faulty;Data Source=%1;").arg(database.path());
    const QString out = dir.filePath(QStringLiteral("label.bq"));

    plan = FaultPlan();
    ASSERT_TRUE(ExportLabel(faulty, QStringLiteral("LB-1"), out, messages));
    const QByteArray complete = ReadTestFile(out);
    const int calls = plan.calls;
    ASSERT_GT(calls, 10);
    for (int failAt = 1; failAt <= calls; ++failAt) {
        WriteTestFile(out, kOldBundle);
        plan = FaultPlan::FailingAt(failAt);
        RecordingMessageSink sink;
        EXPECT_FALSE(ExportLabel(faulty, QStringLiteral("LB-1"), out, sink)) << "failure at call " << failAt;
        EXPECT_EQ(sink.warnings.size(), 1) << "failure at call " << failAt;
        EXPECT_TRUE(sink.warnings.value(0).startsWith(QStringLiteral("ADO 错误：0x80004005，injected failure")))
            << "failure at call " << failAt << ": " << sink.warnings.value(0).toStdString();
        EXPECT_TRUE(sink.informations.isEmpty()) << "failure at call " << failAt;
        EXPECT_EQ(ReadTestFile(out), kOldBundle) << "failure at call " << failAt;
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList(QStringLiteral("label.bq")));
    plan = FaultPlan();
    ASSERT_TRUE(ExportLabel(faulty, QStringLiteral("LB-1"), out, messages));
    EXPECT_EQ(ReadTestFile(out), complete);
}

TEST_F(LabelExportFaultTest, AFullTargetKeepsTheOldFileAndShowsNoSuccess)
{
    const QString target = dir.filePath(QStringLiteral("small"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("small")));
    Mount small(target, "size=8k");
    if (!small.mounted())
        GTEST_SKIP() << "mounting a file system needs root";
    const QString out = target + QStringLiteral("/label.bq");
    WriteTestFile(out, kOldBundle);
    WriteTestFile(target + QStringLiteral("/filler"), QByteArray(4096, 'f')); // leaves too little room

    database.exec(QStringLiteral("UPDATE tblLabelControls SET Caption = '%1'").arg(QString(3000, QLatin1Char('x'))));
    EXPECT_FALSE(ExportLabel(database.connectionString(), QStringLiteral("LB-1"), out, messages));
    EXPECT_EQ(messages.warnings, QStringList(QStringLiteral("写文件错误：28\n")));
    EXPECT_TRUE(messages.informations.isEmpty());
    EXPECT_EQ(ReadTestFile(out), kOldBundle);
}

TEST_F(LabelExportFaultTest, AReadOnlyTargetKeepsTheOldFileAndShowsNoSuccess)
{
    const QString target = dir.filePath(QStringLiteral("readonly"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("readonly")));
    Mount mounted(target, "size=64k");
    if (!mounted.mounted())
        GTEST_SKIP() << "mounting a file system needs root";
    const QString out = target + QStringLiteral("/label.bq");
    WriteTestFile(out, kOldBundle);
    ASSERT_TRUE(mounted.remountReadOnly());
    EXPECT_FALSE(ExportLabel(database.connectionString(), QStringLiteral("LB-1"), out, messages));
    EXPECT_EQ(messages.warnings, QStringList(QStringLiteral("打开文件失败：30")));
    EXPECT_TRUE(messages.informations.isEmpty());
    EXPECT_EQ(ReadTestFile(out), kOldBundle);
    EXPECT_FALSE(ExportLabel(database.connectionString(), QStringLiteral("LB-1"), target + QStringLiteral("/new.bq"),
                             messages));
    EXPECT_EQ(messages.warnings.value(1), QStringLiteral("打开文件失败：30")) << "no new file either";
}
