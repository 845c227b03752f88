#include "config/ValueLists.h"

#include "tests/support/QtPrinting.h"
#include "tests/support/RecordingMessageSink.h"
#include "tests/support/ResourceUsage.h"
#include "tests/support/TestFiles.h"
#include "util/FileCipher.h"
#include "util/TextConversions.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace korvel;

namespace {

ValueList listOf(std::initializer_list<std::pair<QString, QString>> entries)
{
    ValueList list;
    for (const auto& [key, value] : entries)
        list.insert(key, value);
    return list;
}

QByteArray gbk(const QString& text)
{
    QByteArray bytes;
    EXPECT_TRUE(wideToAnsi(text, bytes));
    return bytes;
}

} // namespace

TEST(ValueLists, EachLineFeedsTheListItNames)
{
    const ValueLists lists = parseValueListText(
        QStringLiteral("联线类型&导通&1;测试组&A组&GA;测试模式&快速&2;测试组2&B组&GB;联线类型&绝缘&2"));
    EXPECT_EQ(lists[kConnectTypeList], listOf({{"导通", "1"}, {"绝缘", "2"}}));
    EXPECT_EQ(lists[kTestGroupList], listOf({{"A组", "GA"}}));
    EXPECT_EQ(lists[kTestGroup2List], listOf({{"B组", "GB"}}));
    EXPECT_EQ(lists[kTestModeList], listOf({{"快速", "2"}}));
}

TEST(ValueLists, FieldsAreTakenAsTheyStand)
{
    EXPECT_EQ(parseValueListText(QStringLiteral("联线类型&A&1;联线类型&A&2"))[kConnectTypeList], listOf({{"A", "1"}}))
        << "the first line of an entry wins";
    EXPECT_EQ(parseValueListText(QStringLiteral("测试组&X&;"))[kTestGroupList], listOf({{"X", ""}}));
    EXPECT_EQ(parseValueListText(QStringLiteral("测试组&&Y"))[kTestGroupList], listOf({{"", "Y"}}));
    EXPECT_EQ(parseValueListText(QStringLiteral("测试组2&X&Y&Z"))[kTestGroup2List], listOf({{"X", "Y"}}));
    EXPECT_EQ(parseValueListText(QStringLiteral("测试组&X\r\n&1 ;"))[kTestGroupList], listOf({{"X\r\n", "1 "}}));
    const ValueLists ignored = parseValueListText(QStringLiteral("联线类型 &A&1;测试组&B;其他&C&3;;测试模式"));
    for (const ValueList& list : ignored)
        EXPECT_TRUE(list.isEmpty());
}

TEST(ValueLists, OneEntryPerPhysicalLineKeepsOnlyTheFirst)
{
    const ValueLists lists = parseValueListText(QStringLiteral("联线类型&A&1;\r\n联线类型&B&2;\r\n联线类型&C&3"));
    EXPECT_EQ(lists[kConnectTypeList], listOf({{"A", "1"}}));
}

TEST(ValueLists, EntriesAreInCodeUnitOrder)
{
    const ValueLists lists = parseValueListText(QStringLiteral("测试组&a&1;测试组&B&2;测试组&9&3;测试组&10&4;测试组&中&5"));
    EXPECT_EQ(lists[kTestGroupList].keys(), QStringList({"10", "9", "B", "a", "中"}));
}

class ValueListFileTest : public ::testing::Test
{
protected:
    QString path() const { return dir.filePath(kValueListFileName); }
    void write(const QByteArray& plaintext) { writeTestFile(path(), cryptFileData(plaintext)); }

    // The lists read, or four empty ones; a failure's message joins the warnings.
    bool load()
    {
        Result<ValueLists> read = readValueListFile(path());
        if (!read)
            messages.showWarning(read.message());
        lists = std::move(read.value);
        return read.ok();
    }

    QTemporaryDir dir;
    RecordingMessageSink messages;
    ValueLists lists;
};

TEST_F(ValueListFileTest, ReadsTheEncipheredGbkFile)
{
    write(gbk(QStringLiteral("联线类型&导通&1;测试组&A组&GA;")));
    ASSERT_TRUE(load());
    EXPECT_EQ(lists[kConnectTypeList], listOf({{"导通", "1"}}));
    EXPECT_EQ(lists[kTestGroupList], listOf({{"A组", "GA"}}));
    EXPECT_TRUE(messages.warnings.isEmpty());
}

TEST_F(ValueListFileTest, ThePlaintextEndsAtItsFirstNul)
{
    write(gbk(QStringLiteral("测试组&A&1;")) + QByteArray("\0", 1) + gbk(QStringLiteral("测试组&B&2;")));
    ASSERT_TRUE(load());
    EXPECT_EQ(lists[kTestGroupList], listOf({{"A", "1"}}));
}

TEST_F(ValueListFileTest, AMissingFileIsReported)
{
    EXPECT_FALSE(load());
    EXPECT_EQ(messages.warnings, QStringList(QStringLiteral("配置文件不存在")));
}

TEST_F(ValueListFileTest, FilesWithoutUsableLinesGiveEmptyListsQuietly)
{
    const QList<QByteArray> unusable = {
        QByteArray(),                                          // empty
        gbk(QStringLiteral("联线类型&A&1;")),                  // not enciphered
        cryptFileData(QStringLiteral("联线类型&A&1;").toUtf8()), // wrong code page
        QByteArray(100000, '\xA5'),                            // garbage
    };
    for (const QByteArray& content : unusable) {
        writeTestFile(path(), content);
        ASSERT_TRUE(load());
        for (const ValueList& list : lists)
            EXPECT_TRUE(list.isEmpty());
    }
    EXPECT_TRUE(messages.warnings.isEmpty());
}

TEST_F(ValueListFileTest, AnUnreadableFileShowsTheReadersMessageAndGivesEmptyLists)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir(kValueListFileName));
    EXPECT_FALSE(load());
    for (const ValueList& list : lists)
        EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(messages.warnings, QStringList(QStringLiteral("读文件错误：21\n")));
}

TEST_F(ValueListFileTest, TruncatedAndHugeFilesLoadWhatTheyHold)
{
    const QByteArray whole = gbk(QStringLiteral("测试组&A&1;测试组&B&组"));
    write(whole.left(whole.size() - 1)); // cut inside the last character
    ASSERT_TRUE(load());
    EXPECT_EQ(lists[kTestGroupList].value(QStringLiteral("A")), QStringLiteral("1"));
    EXPECT_TRUE(lists[kTestGroupList].contains(QStringLiteral("B")));

    // 100 MB (10 MB where the sanitizers multiply every allocation): 5,000 entries said
    // over and over, the first saying of each counting.
    QByteArray entries;
    for (int i = 0; i < 5000; ++i)
        entries += gbk(QStringLiteral("联线类型&条目%1&%1;").arg(i));
    const qsizetype size = (kSanitizedBuild ? 10 : 100) * 1024 * 1024;
    write(entries.repeated(size / entries.size() + 1) + gbk(QStringLiteral("测试组&最后&1;")));
    ASSERT_TRUE(load());
    EXPECT_EQ(lists[kConnectTypeList].size(), 5000);
    EXPECT_EQ(lists[kConnectTypeList].value(QStringLiteral("条目4999")), QStringLiteral("4999"));
    EXPECT_EQ(lists[kTestGroupList].value(QStringLiteral("最后")), QStringLiteral("1"));
    EXPECT_TRUE(messages.warnings.isEmpty());
    if (!kSanitizedBuild) {
        EXPECT_LT(peakResidentMegabytes(), 800) << "megabytes at the peak: a few times the file, no more";
    }
}

TEST(splitText, KeepsEveryEmptyPiece)
{
    EXPECT_EQ(splitText(QStringLiteral("a;;b;"), QLatin1Char(';')),
              QStringList({QStringLiteral("a"), QString(), QStringLiteral("b"), QString()}));
    EXPECT_EQ(splitText(QString(), QLatin1Char(';')), QStringList(QString()));
    EXPECT_EQ(splitText(QStringLiteral(";"), QLatin1Char(';')), QStringList({QString(), QString()}));
    EXPECT_EQ(splitText(QStringLiteral("no separator"), QLatin1Char('&')), QStringList(QStringLiteral("no separator")));
}
