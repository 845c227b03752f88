#include "labels/LabelBundle.h"
#include "labels/BundleLimits.h"

#include "tests/support/QtPrinting.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

namespace {

const QString kGuid = QStringLiteral("{AAAAAAAA-0000-4000-8000-000000000001}");

} // namespace

TEST(LabelBundle, TheReaderTakesLinesApartAsTheImportDoes)
{
    const QList<BundleBlock> blocks = ReadBundleText(QStringLiteral("表名:tblLabelInfo\n列名:LabelID,LabelNo\n{A},甲\n"
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

    EXPECT_TRUE(ReadBundleText(QStringLiteral("表名:tblLabelInfo")).isEmpty()) << "without a line feed nothing is read";
    EXPECT_TRUE(ReadBundleText(QString()).isEmpty());
    const QList<BundleBlock> stray = ReadBundleText(QStringLiteral("a,b\n表名:tblLabelInfo\r\n"));
    ASSERT_EQ(stray.size(), 2);
    EXPECT_EQ(stray[0].tableName, QString()) << "rows before any table name form a block without a name";
    EXPECT_EQ(stray[0].rows, TextTable({{"a", "b"}}));
    EXPECT_EQ(stray[1].tableName, QStringLiteral("tblLabelInfo\r"));
}

TEST(LabelBundle, WrittenBlocksAreEncipheredUtf8EndingWithALineFeedAndANul)
{
    QStringList lines;
    AppendBundleBlock({QStringLiteral("tblLabelInfo"), {{"LabelID", "LabelNo"}, {kGuid, "标签"}}}, &lines);
    AppendBundleBlock({QStringLiteral("tblLabelControls"), {{}}}, &lines);
    EXPECT_EQ(lines, QStringList({"表名:tblLabelInfo\n", "列名:LabelID,LabelNo\n", kGuid + ",标签\n",
                                  "表名:tblLabelControls\n", "列名:\n"}));
    // The plaintext below, enciphered by a Python RC4 keyed with MD5("qkd").
    const QByteArray plaintext = QStringLiteral("表名:T\n列名:A,B\n1,\n").toUtf8() + '\0';
    const QByteArray file = Hex("4fb449503e59542ab2109a81d6de3073637f8adbbfafcb39");
    EXPECT_EQ(EncodeBundle({"表名:T\n", "列名:A,B\n", "1,\n"}), file);
    EXPECT_EQ(file.size(), plaintext.size());
    EXPECT_EQ(DecodeBundle(file), QStringLiteral("表名:T\n列名:A,B\n1,\n"));
    EXPECT_EQ(DecodeBundle(Hex("4fb449503e59542ab2109a81d6de3073637f8adbbfafcb39f1")),
              QStringLiteral("表名:T\n列名:A,B\n1,\n"))
        << "the text ends at the first NUL";
}

TEST(LabelBundle, ACarriageReturnAndAHeaderPrefixAfterTheFirstValueTravelUnchanged)
{
    // What is refused is shown with the export (LabelExportTest); these lines read back as written.
    const BundleBlock block{"tblLabelControls", {{"LabelID", "Caption"}, {kGuid, "line\r"}, {"", "表名:later"}}};
    QString error;
    EXPECT_TRUE(CheckBlockFitsBundle(block, error)) << error.toStdString();
    QStringList lines;
    AppendBundleBlock(block, &lines);
    const QList<BundleBlock> read = ReadBundleText(lines.join(QString()));
    ASSERT_EQ(read.size(), 1);
    EXPECT_EQ(read[0].rows, block.rows);
}
