#include "util/FileIO.h"

#include "tests/support/QtPrinting.h"
#include "tests/support/RecordingMessageSink.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace korvel;

namespace {

class FileIOTest : public ::testing::Test
{
protected:
    QString path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
    QStringList entries() const { return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot); }

    // The file functions only say why they failed; the tests keep what they said in order.
    std::optional<QByteArray> readFile(const QString& file)
    {
        Result<QByteArray> read = readWholeFile(file);
        if (!read) {
            messages.showWarning(read.message());
            return std::nullopt;
        }
        return std::move(read.value);
    }
    bool writeFile(const QString& file, const QByteArray& bytes)
    {
        const Outcome written = writeWholeFile(file, bytes);
        if (!written)
            messages.showWarning(written.message());
        return written.ok();
    }

    QTemporaryDir dir;
    RecordingMessageSink messages;
};

// Makes every write beyond `limit` bytes fail with EFBIG, like a disk that fills up.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t limit)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_savedHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = m_saved;
        limited.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_savedHandler);
    }

private:
    rlimit m_saved{};
    void (*m_savedHandler)(int);
};

} // namespace

TEST_F(FileIOTest, ReadsEveryByteOfAFile)
{
    const QByteArray content("\0\x01\xff text\r\n\0", 11);
    writeTestFile(path("data.bin"), content);
    const std::optional<QByteArray> read = readFile(path("data.bin"));
    ASSERT_TRUE(read);
    EXPECT_EQ(*read, content);
    EXPECT_TRUE(messages.warnings.isEmpty());
}

TEST_F(FileIOTest, AnEmptyFileIsAnEmptyBufferNotAFailure)
{
    writeTestFile(path("empty"), QByteArray());
    const std::optional<QByteArray> read = readFile(path("empty"));
    ASSERT_TRUE(read);
    EXPECT_TRUE(read->isEmpty());
    EXPECT_TRUE(messages.warnings.isEmpty());
}

TEST_F(FileIOTest, ReadFailuresShowTheirMessageWithTheErrorNumber)
{
    EXPECT_FALSE(readFile(path("missing")));
    EXPECT_FALSE(readFile(dir.path()));
    EXPECT_EQ(messages.warnings, QStringList({QStringLiteral("打开文件失败：2"), QStringLiteral("读文件错误：21\n")}));
}

TEST_F(FileIOTest, AnUnreadableFileFailsToOpen)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    writeTestFile(path("secret"), "x");
    ASSERT_EQ(chmod(QFile::encodeName(path("secret")).constData(), 0), 0);
    EXPECT_FALSE(readFile(path("secret")));
    EXPECT_EQ(messages.warnings, QStringList(QStringLiteral("打开文件失败：13")));
}

TEST_F(FileIOTest, AFifoWithoutWriterDoesNotHang)
{
    ASSERT_EQ(mkfifo(QFile::encodeName(path("fifo")).constData(), 0600), 0);
    const std::optional<QByteArray> read = readFile(path("fifo"));
    ASSERT_TRUE(read);
    EXPECT_TRUE(read->isEmpty());
}

TEST_F(FileIOTest, FilesBeyondThirtyTwoBitCountsAreRefusedNotCut)
{
    // A sparse file: 4 GiB of size, no disk space.
    {
        QFile big(path("big"));
        ASSERT_TRUE(big.open(QIODevice::WriteOnly));
        ASSERT_TRUE(big.resize(kMaxWholeFileSize + 2));
    }
    EXPECT_FALSE(readFile(path("big")));
    EXPECT_EQ(messages.warnings, QStringList(QStringLiteral("读文件错误：27\n")));

    writeTestFile(path("small"), "12345");
    QByteArray bytes("kept");
    FileReadFailure failure;
    EXPECT_FALSE(readFileBytes(path("small"), bytes, failure, 4));
    EXPECT_EQ(failure.code, EFBIG);
    EXPECT_EQ(bytes, QByteArray("kept"));
    EXPECT_TRUE(readFileBytes(path("small"), bytes, failure, 5));
    EXPECT_EQ(bytes, QByteArray("12345"));
}

TEST_F(FileIOTest, WritingReplacesTheWholeContent)
{
    ASSERT_TRUE(writeFile(path("out"), QByteArray("a much longer old content")));
    ASSERT_TRUE(writeFile(path("out"), QByteArray("new", 3)));
    EXPECT_EQ(readTestFile(path("out")), QByteArray("new"));
    ASSERT_TRUE(writeFile(path("out"), QByteArray()));
    EXPECT_EQ(QFileInfo(path("out")).size(), 0);
    EXPECT_TRUE(messages.warnings.isEmpty());
    EXPECT_EQ(entries(), QStringList(QStringLiteral("out"))) << "no temporary file is left behind";
}

TEST_F(FileIOTest, ANewFileGetsTheUsualModeAndAReplacedOneKeepsItsOwn)
{
    const mode_t mask = umask(022);
    ASSERT_TRUE(writeFile(path("new"), "x"));
    struct stat status {};
    ASSERT_EQ(stat(QFile::encodeName(path("new")).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0644u);

    ASSERT_EQ(chmod(QFile::encodeName(path("new")).constData(), 0640), 0);
    ASSERT_TRUE(writeFile(path("new"), "y"));
    ASSERT_EQ(stat(QFile::encodeName(path("new")).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0640u);
    umask(mask);
}

TEST_F(FileIOTest, WritingThroughASymbolicLinkChangesTheFileItNames)
{
    writeTestFile(path("real"), "old");
    ASSERT_TRUE(QFile::link(path("real"), path("link")));
    ASSERT_TRUE(writeFile(path("link"), "new"));
    EXPECT_TRUE(QFileInfo(path("link")).isSymLink());
    EXPECT_EQ(readTestFile(path("real")), QByteArray("new"));
}

TEST_F(FileIOTest, WhatCannotBeCreatedShowsTheOpenFailure)
{
    EXPECT_FALSE(writeFile(path("no/such/dir/file"), "x"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    EXPECT_FALSE(writeFile(path("sub"), "x"));
    EXPECT_EQ(messages.warnings, QStringList({QStringLiteral("打开文件失败：2"), QStringLiteral("打开文件失败：21")}));
    EXPECT_TRUE(QFileInfo(path("sub")).isDir());
}

TEST_F(FileIOTest, AReadOnlyTargetIsNotReplaced)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root may write every file";
    writeTestFile(path("locked"), "old");
    ASSERT_EQ(chmod(QFile::encodeName(path("locked")).constData(), 0444), 0);
    EXPECT_FALSE(writeFile(path("locked"), "new"));
    EXPECT_EQ(messages.warnings, QStringList(QStringLiteral("打开文件失败：13")));
    EXPECT_EQ(readTestFile(path("locked")), QByteArray("old"));
}

TEST_F(FileIOTest, AFailedWriteLeavesTheOldFileIntactAndReportsFailure)
{
    writeTestFile(path("bundle.bq"), "the old bundle");
    {
        FileSizeLimit diskFull(4);
        EXPECT_FALSE(writeFile(path("bundle.bq"), QByteArray(64, 'n')));
    }
    EXPECT_EQ(messages.warnings, QStringList(QStringLiteral("写文件错误：27\n")));
    EXPECT_EQ(readTestFile(path("bundle.bq")), QByteArray("the old bundle"));
    EXPECT_EQ(entries(), QStringList(QStringLiteral("bundle.bq"))) << "the temporary file is removed";
}

TEST_F(FileIOTest, ANameAsLongAsNamesMayBeIsWrittenAndReplaced)
{
    for (const int length : {249, 255}) {
        const QString name = QString(length - 3, QLatin1Char('n')) + QStringLiteral(".bq");
        ASSERT_TRUE(writeFile(dir.filePath(name), "old")) << length;
        ASSERT_TRUE(writeFile(dir.filePath(name), "new")) << length;
        EXPECT_EQ(readTestFile(dir.filePath(name)), QByteArray("new")) << length;
        EXPECT_TRUE(QFile::remove(dir.filePath(name)));
    }
    EXPECT_TRUE(messages.warnings.isEmpty()) << messages.warnings.join('\n').toStdString();
    EXPECT_EQ(entries(), QStringList()) << "no temporary file is left behind";
}
