#include "labels/LabelBundle.h"

#include "labels/LabelExport.h"
#include "tests/labels/LabelTestSupport.h"
#include "tests/support/EmbeddedTestDatabase.h"
#include "tests/support/OutcomeChecks.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/RecordingMessageSink.h"
#include "tests/support/TestFiles.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace korvel;

namespace {

const QString kGuid = QStringLiteral("{AAAAAAAA-0000-4000-8000-000000000001}");

} // namespace

TEST(LabelBundle, TheReaderTakesLinesApartAsTheImportDoes)
{
    const QList<BundleBlock> blocks = readBundleText(QStringLiteral("表名:tblLabelInfo\n列名:LabelID,LabelNo\n{A},甲\n"
                                                                    "表名:tblLabelControls\n列名:Caption\n\nlast,\n"
                                                                    "表名:tblLabelControlItem\n"
                                                                    "列名:LineID\n表名：full-width colon\r\n1,x列名:\n"
                                                                    "表名:tblX\nlost without its line feed"));
    ASSERT_EQ(blocks.size(), 4);
    EXPECT_EQ(blocks[0].tableName, QStringLiteral("tblLabelInfo"));
    EXPECT_EQ(blocks[0].rows, TextTable({{"LabelID", "LabelNo"}, {"{A}", "甲"}}));
    EXPECT_EQ(blocks[1].rows, TextTable({{"Caption"}, {""}, {"last", ""}}))
        << "an empty line is one empty field, a trailing comma an empty last field";
    EXPECT_EQ(blocks[2].rows, TextTable({{"LineID"}, {"表名：full-width colon\r"}, {"1", "x列名:"}}))
        << "only the ASCII colon makes a header, and a carriage return stays in the value";
    EXPECT_EQ(blocks[3].tableName, QStringLiteral("tblX"));
    EXPECT_TRUE(blocks[3].rows.isEmpty());

    EXPECT_TRUE(readBundleText(QStringLiteral("表名:tblLabelInfo")).isEmpty()) << "without a line feed nothing is read";
    EXPECT_TRUE(readBundleText(QString()).isEmpty());
    const QList<BundleBlock> stray = readBundleText(QStringLiteral("a,b\n表名:tblLabelInfo\r\n"));
    ASSERT_EQ(stray.size(), 2);
    EXPECT_EQ(stray[0].tableName, QString()) << "rows before any table name form a block without a name";
    EXPECT_EQ(stray[0].rows, TextTable({{"a", "b"}}));
    EXPECT_EQ(stray[1].tableName, QStringLiteral("tblLabelInfo\r"));
}

TEST(LabelBundle, WrittenBlocksAreEncipheredUtf8EndingWithALineFeedAndANul)
{
    QStringList lines;
    appendBundleBlock({QStringLiteral("tblLabelInfo"), {{"LabelID", "LabelNo"}, {kGuid, "标签"}}}, &lines);
    appendBundleBlock({QStringLiteral("tblLabelControls"), {{}}}, &lines);
    EXPECT_EQ(lines, QStringList({"表名:tblLabelInfo\n", "列名:LabelID,LabelNo\n", kGuid + ",标签\n",
                                  "表名:tblLabelControls\n", "列名:\n"}));
    // The plaintext below, enciphered by a Python RC4 keyed with MD5("qkd").
    const QByteArray plaintext = QStringLiteral("表名:T\n列名:A,B\n1,\n").toUtf8() + '\0';
    const QByteArray file = hex("4fb449503e59542ab2109a81d6de3073637f8adbbfafcb39");
    EXPECT_EQ(encodeBundle({"表名:T\n", "列名:A,B\n", "1,\n"}), file);
    EXPECT_EQ(file.size(), plaintext.size());
    EXPECT_EQ(decodeBundle(file), QStringLiteral("表名:T\n列名:A,B\n1,\n"));
    EXPECT_EQ(decodeBundle(hex("4fb449503e59542ab2109a81d6de3073637f8adbbfafcb39f1")),
              QStringLiteral("表名:T\n列名:A,B\n1,\n"))
        << "the text ends at the first NUL";
}

TEST(LabelBundle, ACarriageReturnAndAHeaderPrefixAfterTheFirstValueTravelUnchanged)
{
    // What is refused is shown with the export (LabelExportTest); these lines read back as written.
    const BundleBlock block{"tblLabelControls", {{"LabelID", "Caption"}, {kGuid, "line\r"}, {"", "表名:later"}}};
    EXPECT_TRUE(succeeded(checkBlockFitsBundle(block)));
    QStringList lines;
    appendBundleBlock(block, &lines);
    const QList<BundleBlock> read = readBundleText(lines.join(QString()));
    ASSERT_EQ(read.size(), 1);
    EXPECT_EQ(read[0].rows, block.rows);
}

namespace {

const QString kInfo = QStringLiteral("表名:tblLabelInfo\n列名:LabelID,LabelNo,LabelStatus\n");
const QString kControls = QStringLiteral("表名:tblLabelControls\n列名:LabelID,ItemID,Caption\n");
const QString kItems = QStringLiteral("表名:tblLabelControlItem\n列名:LineID,ItemID,ItemName\n");
const QString kLabelRow = QStringLiteral("{A1},LB-1,1\n");
const QString kWholeLabel = kInfo + kLabelRow + kControls + "{A1},{B1},甲\n{A1},{B2},\n{A1},{B1},表名:x\n" + kItems +
                            "7,{B1},第一项\n8,{B2},第二\r项\n";
const QString kBlockOrder = QStringLiteral("标签文件应依次含有表 tblLabelInfo、tblLabelControls、tblLabelControlItem，");

} // namespace

TEST(BundleChecks, BundlesOfEveryShapeAsTheirWritersMakeThemAreWhole)
{
    // The shapes of bundles written by earlier installations: a label with controls and
    // items (an empty last value, a header prefix after the first value, a carriage return
    // in a value), a label without controls, controls whose items are gone, a number no
    // label had.
    for (const QString& text : {kWholeLabel, kInfo + kLabelRow + kControls + kItems,
                                kInfo + kLabelRow + kControls + "{A1},{B9},甲\n" + kItems, kInfo + kControls + kItems})
        EXPECT_EQ(readCheckedBundle(bundleBytes(text)).problems, QStringList()) << text.toStdString();

    // The same shapes from Korvel's export, which refuses a number no label has.
    EmbeddedTestDatabase database(kCompactLabelSchema);
    database.exec(QStringLiteral(
        "INSERT INTO tblLabelInfo VALUES ('{A0000000-0000-4000-8000-000000000001}', 'LB-1', 1),"
        " ('{A0000000-0000-4000-8000-000000000002}', 'LB-2', 1), ('{A0000000-0000-4000-8000-000000000003}', 'LB-3', 1);"
        "INSERT INTO tblLabelControls VALUES ('{A0000000-0000-4000-8000-000000000001}', '{B1}', '甲'),"
        " ('{A0000000-0000-4000-8000-000000000001}', '{B2}', NULL), ('{A0000000-0000-4000-8000-000000000003}', '{B9}', '乙');"
        "INSERT INTO tblLabelControlItem (ItemID, ItemName) VALUES ('{B1}', '第一项'), ('{B2}', '第二项');"));
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("label.bq"));
    for (const char* labelNo : {"LB-1", "LB-2", "LB-3"}) {
        RecordingMessageSink messages;
        ASSERT_TRUE(shownIn(messages, exportLabel(database.connectionString(), QString::fromUtf8(labelNo), file))) << labelNo;
        EXPECT_EQ(readCheckedBundle(readTestFile(file)).problems, QStringList()) << labelNo;
    }
}

TEST(BundleChecks, EveryCutOfABundleIsRefused)
{
    const QByteArray whole = bundleBytes(kWholeLabel);
    for (qsizetype size = 0; size < whole.size(); ++size)
        EXPECT_FALSE(readCheckedBundle(whole.left(size)).problems.isEmpty()) << "cut at " << size;
}

TEST(BundleChecks, EveryProblemIsNamedWithItsLine)
{
    const struct
    {
        QByteArray file;
        QStringList problems;
    } cases[] = {
        {QByteArray(), {"不是完整的标签文件：文件是空的", kBlockOrder + "一个也没有"}},
        {bundleBytes(kWholeLabel).chopped(1), {"不是完整的标签文件：末尾没有结束标记"}},
        {bundleBytes(kWholeLabel + QChar(u'\0') + "7,{B3},more\n"), {"不是完整的标签文件：结束标记之后还有数据"}},
        {bundleBytes(kWholeLabel.chopped(1)), {"不是完整的标签文件：最后一行没有换行"}},
        {bundleBytes("stray\n" + kInfo + kLabelRow + kControls + "表名:tblUserInfo\n列名:UserID\n" + kItems),
         {"标签文件含有不属于任何表的数据", "标签文件含有标签以外的表 tblUserInfo"}},
        {bundleBytes(QString(kInfo + kLabelRow + kControls + kItems).replace("\n", "\r\n")),
         {"标签文件含有标签以外的表 tblLabelInfo\r", "标签文件含有标签以外的表 tblLabelControls\r",
          "标签文件含有标签以外的表 tblLabelControlItem\r", kBlockOrder + "一个也没有"}},
        {bundleBytes(kInfo + kItems + kControls + kInfo),
         {kBlockOrder + "实际含有 tblLabelInfo、tblLabelControlItem、tblLabelControls、tblLabelInfo"}},
        {bundleBytes("表名:tblLabelInfo\n" + kLabelRow + kControls + "表名:tblLabelControlItem\n"),
         {"标签文件第 2 行应是表 tblLabelInfo 的列名行", "标签文件第 6 行应是表 tblLabelControlItem 的列名行"}},
        {bundleBytes(kInfo + "{A1},LB-1\n" + kControls + "{A1},{B1},甲\n{A1},{B1},甲,乙\n" + kItems),
         {"标签文件第 3 行有 2 个值，而表 tblLabelInfo 有 3 个列名",
          "标签文件第 7 行有 4 个值，而表 tblLabelControls 有 3 个列名"}},
    };
    for (const auto& bundle : cases)
        EXPECT_EQ(readCheckedBundle(bundle.file).problems, bundle.problems) << bundle.problems.value(0).toStdString();
}

TEST(BundleChecks, AWholeBundleImportsOnlyWithALabelThatHasANumber)
{
    const auto problems = [](const QString& text) { return labelProblemsOf(readCheckedBundle(bundleBytes(text)).blocks); };
    EXPECT_EQ(problems(kWholeLabel), QStringList());
    EXPECT_EQ(problems(kInfo + kControls + kItems), QStringList({"标签文件中没有标签"}));
    EXPECT_EQ(problems(kInfo + "{A1},,1\n" + kControls + kItems), QStringList({"标签文件第 3 行：标签不能为空"}));
}
