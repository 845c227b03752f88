#include "labels/BundleImportChecks.h"
#include "labels/LabelExport.h"

#include "tests/labels/LabelTestSupport.h"
#include "tests/support/EmbeddedTestDatabase.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/RecordingMessageSink.h"
#include "tests/support/TestFiles.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

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
    // The shapes the original tool writes: a label with controls and items (an empty last
    // value, a header prefix after the first value, a carriage return in a value), a label
    // without controls, controls whose items are gone, a number no label had.
    for (const QString& text : {kWholeLabel, kInfo + kLabelRow + kControls + kItems,
                                kInfo + kLabelRow + kControls + "{A1},{B9},甲\n" + kItems, kInfo + kControls + kItems})
        EXPECT_EQ(ReadCheckedBundle(BundleBytes(text)).problems, QStringList()) << text.toStdString();

    // The same shapes from Korvel's export.
    EmbeddedTestDatabase database(kCompactLabelSchema);
    database.exec(QStringLiteral(
        "INSERT INTO tblLabelInfo VALUES ('{A0000000-0000-4000-8000-000000000001}', 'LB-1', 1),"
        " ('{A0000000-0000-4000-8000-000000000002}', 'LB-2', 1), ('{A0000000-0000-4000-8000-000000000003}', 'LB-3', 1);"
        "INSERT INTO tblLabelControls VALUES ('{A0000000-0000-4000-8000-000000000001}', '{B1}', '甲'),"
        " ('{A0000000-0000-4000-8000-000000000001}', '{B2}', NULL), ('{A0000000-0000-4000-8000-000000000003}', '{B9}', '乙');"
        "INSERT INTO tblLabelControlItem (ItemID, ItemName) VALUES ('{B1}', '第一项'), ('{B2}', '第二项');"));
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("label.bq"));
    for (const char* labelNo : {"LB-1", "LB-2", "LB-3", "LB-none"}) {
        RecordingMessageSink messages;
        ASSERT_TRUE(ExportLabel(database.connectionString(), QString::fromUtf8(labelNo), file, messages)) << labelNo;
        EXPECT_EQ(ReadCheckedBundle(ReadTestFile(file)).problems, QStringList()) << labelNo;
    }
}

TEST(BundleChecks, EveryCutOfABundleIsRefused)
{
    const QByteArray whole = BundleBytes(kWholeLabel);
    for (qsizetype size = 0; size < whole.size(); ++size)
        EXPECT_FALSE(ReadCheckedBundle(whole.left(size)).problems.isEmpty()) << "cut at " << size;
}

TEST(BundleChecks, EveryProblemIsNamedWithItsLine)
{
    const struct
    {
        QByteArray file;
        QStringList problems;
    } cases[] = {
        {QByteArray(), {"不是完整的标签文件：文件是空的", kBlockOrder + "一个也没有"}},
        {BundleBytes(kWholeLabel).chopped(1), {"不是完整的标签文件：末尾没有结束标记"}},
        {BundleBytes(kWholeLabel + QChar(u'\0') + "7,{B3},more\n"), {"不是完整的标签文件：结束标记之后还有数据"}},
        {BundleBytes(kWholeLabel.chopped(1)), {"不是完整的标签文件：最后一行没有换行"}},
        {BundleBytes("stray\n" + kInfo + kLabelRow + kControls + "表名:tblUserInfo\n列名:UserID\n" + kItems),
         {"标签文件含有不属于任何表的数据", "标签文件含有标签以外的表 tblUserInfo"}},
        {BundleBytes(QString(kInfo + kLabelRow + kControls + kItems).replace("\n", "\r\n")),
         {"标签文件含有标签以外的表 tblLabelInfo\\r", "标签文件含有标签以外的表 tblLabelControls\\r",
          "标签文件含有标签以外的表 tblLabelControlItem\\r", kBlockOrder + "一个也没有"}},
        {BundleBytes(kInfo + kItems + kControls + kInfo),
         {kBlockOrder + "实际含有 tblLabelInfo、tblLabelControlItem、tblLabelControls、tblLabelInfo"}},
        {BundleBytes("表名:tblLabelInfo\n" + kLabelRow + kControls + "表名:tblLabelControlItem\n"),
         {"标签文件第 2 行应是表 tblLabelInfo 的列名行", "标签文件第 6 行应是表 tblLabelControlItem 的列名行"}},
        {BundleBytes(kInfo + "{A1},LB-1\n" + kControls + "{A1},{B1},甲\n{A1},{B1},甲,乙\n" + kItems),
         {"标签文件第 3 行有 2 个值，而表 tblLabelInfo 有 3 个列名",
          "标签文件第 7 行有 4 个值，而表 tblLabelControls 有 3 个列名"}},
    };
    for (const auto& bundle : cases)
        EXPECT_EQ(ReadCheckedBundle(bundle.file).problems, bundle.problems) << bundle.problems.value(0).toStdString();
}

TEST(BundleChecks, AWholeBundleImportsOnlyWithALabelThatHasANumber)
{
    const auto problems = [](const QString& text) { return LabelProblems(ReadCheckedBundle(BundleBytes(text)).blocks); };
    EXPECT_EQ(problems(kWholeLabel), QStringList());
    EXPECT_EQ(problems(kInfo + kControls + kItems), QStringList({"标签文件中没有标签"}));
    EXPECT_EQ(problems(kInfo + "{A1},,1\n" + kControls + kItems), QStringList({"标签文件第 3 行：标签不能为空"}));
}
