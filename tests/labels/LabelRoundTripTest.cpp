#include "labels/LabelBundle.h"
#include "labels/LabelExport.h"
#include "labels/LabelImport.h"

#include "db/schema/EmbeddedSchema.h"
#include "demodata/DemoDatabase.h"
#include "tests/labels/BundleComparison.h"
#include "tests/labels/LabelTestSupport.h"
#include "tests/support/OutcomeChecks.h"
#include "tests/support/EmbeddedTestDatabase.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/RecordingMessageSink.h"
#include "tests/support/TestFiles.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace korvel;

namespace {

// Label RT-1 with every kind of column of the schema: NULLs, bit, date-time with
// milliseconds, decimals, texts in several scripts with quotes and a carriage return,
// binary and long binary values, GUIDs; an item shared by two controls. Label RT-2 and
// its item must stay behind.
const char* const kRoundTripLabels =
    "INSERT INTO tblLabelInfo VALUES ('{5A1B0C2D-3E4F-4A5B-8C6D-7E8F9A0B1C2D}', 'RT-1', 'Этикетка 梱包ラベル 포장',"
    " 1, 101.6, 25.4, 300, NULL, 'ZT410', '说明 \"quoted\" and ''single'' 𠮷' || char(13) || 'Ω',"
    " X'424D0000FF00', X'00112233445566778899AABBCCDDEEFF', 1, '管理员', '2023-11-30 23:59:58.500', NULL),"
    " ('{6B000000-0000-4000-8000-000000000000}', 'RT-2', NULL, 0, 40, 20, 203, 12, NULL, NULL, NULL, NULL, 0,"
    " NULL, '2020-01-01', '2024-02-29 08:00:00');"
    "INSERT INTO tblLabelControls VALUES"
    " ('{5A1B0C2D-3E4F-4A5B-8C6D-7E8F9A0B1C2D}', 1, '{11111111-0000-4000-8000-000000000001}', 0, 10, 20, 300, 40,"
    " 0, '微软雅黑', 10.5, 1, 0, 255, NULL, '品名：O''Neil', NULL, NULL),"
    " ('{5A1B0C2D-3E4F-4A5B-8C6D-7E8F9A0B1C2D}', 2, '{11111111-0000-4000-8000-000000000002}', 3, 0, 0, 128, 96,"
    " 90, NULL, NULL, 0, 0, 0, NULL, NULL, X'AA55AA55AA55AA55', X'89504E470D0A1A0A00FF'),"
    " ('{6B000000-0000-4000-8000-000000000000}', 1, '{11111111-0000-4000-8000-000000000009}', 0, 1, 1, 1, 1,"
    " 0, NULL, NULL, 0, 0, 0, NULL, 'RT-2', NULL, NULL),"
    " ('{5A1B0C2D-3E4F-4A5B-8C6D-7E8F9A0B1C2D}', 3, '{11111111-0000-4000-8000-000000000001}', 1, -5, 5, 200, 50,"
    " 270, 'Arial', 7.5, 0, 1, 16711680, 'CODE128', 'Сделано в Китае', NULL, NULL);"
    "INSERT INTO tblLabelControlItem (ItemID, ItemName, SourceType, FieldName, DefaultValue, FormatString,"
    " MaxLength, CounterStart, ModifiedAt) VALUES"
    " ('{11111111-0000-4000-8000-000000000002}', 'Logo', 0, NULL, NULL, NULL, NULL, NULL, NULL),"
    " ('{11111111-0000-4000-8000-000000000009}', 'RT-2 项', 1, 'HarnessNo', NULL, NULL, NULL, NULL, NULL),"
    " ('{11111111-0000-4000-8000-000000000001}', '批次号', 2, 'JobNo', '', 'yyyy年MM月dd日', 32, 202400000001,"
    " '2024-02-29');";

class LabelRoundTripTest : public ::testing::Test
{
protected:
    LabelRoundTripTest()
        : source(embeddedSchemaSql().toUtf8().constData()), target(embeddedSchemaSql().toUtf8().constData())
    {
        source.exec(QString::fromUtf8(kRoundTripLabels));
    }

    QString file(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
    void runExport(const EmbeddedTestDatabase& database, const QString& labelNo, const QString& path)
    {
        EXPECT_TRUE(shownIn(messages, exportLabel(database.connectionString(), labelNo, path)))
            << messages.warnings.join('\n').toStdString();
    }
    void runImport(const EmbeddedTestDatabase& database, const QString& path, ScriptedResolver& resolver)
    {
        EXPECT_TRUE(shownIn(messages, importLabel(database.connectionString(), path, resolver)))
            << messages.warnings.join('\n').toStdString();
    }

    EmbeddedTestDatabase source;
    EmbeddedTestDatabase target;
    QTemporaryDir dir;
    RecordingMessageSink messages;
};

} // namespace

TEST_F(LabelRoundTripTest, ALabelOfEveryColumnKindArrivesWithNewIdentifiersOnly)
{
    // The target already holds a label and an item, so its LineIDs differ from the source's.
    target.exec(QStringLiteral("INSERT INTO tblLabelInfo (LabelID, LabelNo, PaperWidth, PaperHeight)"
                               " VALUES ('{7C000000-0000-4000-8000-000000000000}', 'other', 1, 1);"
                               "INSERT INTO tblLabelControlItem (ItemID, ItemName) VALUES ('{7C}', 'x');"));
    runExport(source, QStringLiteral("RT-1"), file("source.bq"));
    ScriptedResolver resolver;
    runImport(target, file("source.bq"), resolver);
    EXPECT_TRUE(resolver.asked.isEmpty());
    runExport(target, QStringLiteral("RT-1"), file("target.bq"));

    const QList<BundleBlock> exported = bundleOf(file("source.bq"));
    ASSERT_EQ(exported.size(), 3);
    EXPECT_EQ(exported[1].rows.size(), 4) << "three controls";
    EXPECT_EQ(exported[2].rows.size(), 3) << "two items, the shared one once";
    expectSameLabelWithNewIdentifiers(exported, bundleOf(file("target.bq")));
    EXPECT_TRUE(messages.informations.isEmpty()) << "the callers say that it worked";

    // What the text cannot tell, the stored values show: binary stays binary, an empty
    // number stays NULL, the line numbers are the target's own.
    EXPECT_EQ(target.scalar(QStringLiteral("select typeof(Logo) || hex(Logo) || typeof(Darkness) || IsLocked"
                                           " from tblLabelInfo where LabelNo='RT-1'")),
              QStringLiteral("blob424D0000FF00null1"));
    EXPECT_EQ(target.scalar(QStringLiteral("select group_concat(LineID) from tblLabelControlItem where ItemName<>'x'")),
              QStringLiteral("2,3"));
}

TEST_F(LabelRoundTripTest, ImportingIntoTheSourceMakesASecondLabelBesideTheFirst)
{
    runExport(source, QStringLiteral("RT-1"), file("first.bq"));
    const QStringList before = labelTableContents(source.path());

    ScriptedResolver givesUp;
    EXPECT_FALSE(shownIn(messages, importLabel(source.connectionString(), file("first.bq"), givesUp)));
    EXPECT_EQ(givesUp.asked, QStringList{"RT-1"});
    EXPECT_EQ(labelTableContents(source.path()), before);

    ScriptedResolver renames(QStringLiteral("RT-1 副本"));
    runImport(source, file("first.bq"), renames);
    EXPECT_EQ(renames.asked, QStringList{"RT-1"});
    EXPECT_NE(renames.database, nullptr);
    runExport(source, QStringLiteral("RT-1 副本"), file("copy.bq"));
    runExport(source, QStringLiteral("RT-1"), file("again.bq"));

    QList<BundleBlock> expected = bundleOf(file("first.bq"));
    expected[0].rows[1][1] = QStringLiteral("RT-1 副本");
    expectSameLabelWithNewIdentifiers(expected, bundleOf(file("copy.bq")));
    EXPECT_EQ(readTestFile(file("again.bq")), readTestFile(file("first.bq"))) << "the first label is untouched";
}

TEST_F(LabelRoundTripTest, EveryDemoLabelTravelsIntoAnEmptyDatabase)
{
    const QString demoPath = file("demo.db");
    const DemoOptions options;
    ASSERT_TRUE(succeeded(createDemoDatabase(demoPath, options)));
    const EmbeddedTestDatabase demo(ExistingFile{demoPath});
    const TextTable labelNos = demo.programRows(QStringLiteral("select LabelNo from tblLabelInfo"));
    ASSERT_EQ(labelNos.size(), 40);
    for (const TextRow& labelNo : labelNos) {
        runExport(demo, labelNo[0], file("demo.bq"));
        ScriptedResolver resolver;
        runImport(target, file("demo.bq"), resolver);
        runExport(target, labelNo[0], file("target.bq"));
        expectSameLabelWithNewIdentifiers(bundleOf(file("demo.bq")), bundleOf(file("target.bq")));
    }
    EXPECT_EQ(
        target.programRows(QStringLiteral("select count(*) from tblLabelControls union all"
                                                            " select count(*) from tblLabelControlItem")),
        demo.programRows(QStringLiteral("select count(*) from tblLabelControls union all select count(*)"
                                 " from tblLabelControlItem where ItemID in (select ItemID from tblLabelControls)")));
}
