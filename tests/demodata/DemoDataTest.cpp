#include "demodata/DemoDatabase.h"

#include "tests/support/OutcomeChecks.h"
#include "tests/support/EmbeddedTestDatabase.h"
#include "tests/support/QtPrinting.h"

#include <QDir>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace korvel;

namespace {

const QStringList kLabelTables = {"tblLabelInfo", "tblLabelControls", "tblLabelControlItem"};

// One demo database at scale 1 serves every test that only reads it.
class DemoDataTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_dir = std::make_unique<QTemporaryDir>();
        DemoOptions demo;
        ASSERT_TRUE(succeeded(createDemoDatabase(databasePath(), demo)));
    }
    static void TearDownTestSuite() { s_dir.reset(); }
    static QString databasePath() { return s_dir->filePath(QStringLiteral("demo.db")); }

    QSet<QString> column(const QString& sql) const
    {
        QSet<QString> values;
        for (const QStringList& row : db.rows(sql))
            values.insert(row.front());
        return values;
    }
    static QSet<QString> listValues(ValueListIndex list)
    {
        QSet<QString> values;
        for (const DemoValueEntry& entry : demoValueList(list))
            values.insert(QString::fromUtf8(entry.value));
        return values;
    }

    static std::unique_ptr<QTemporaryDir> s_dir;
    EmbeddedTestDatabase db{ExistingFile{databasePath()}};
};

std::unique_ptr<QTemporaryDir> DemoDataTest::s_dir;

} // namespace

TEST_F(DemoDataTest, TheSameOptionsGiveTheSameTableContents)
{
    QTemporaryDir otherDir;
    const QString otherPath = otherDir.filePath(QStringLiteral("demo.db"));
    DemoOptions demo;
    ASSERT_TRUE(succeeded(createDemoDatabase(otherPath, demo)));

    EmbeddedTestDatabase other(ExistingFile{otherPath});
    ASSERT_EQ(db.tables(), other.tables());
    for (const QString& table : db.tables()) {
        const QByteArray contents = db.dump(QStringLiteral("select * from ") + table);
        EXPECT_FALSE(contents.isEmpty()) << table.toStdString();
        EXPECT_EQ(contents, other.dump(QStringLiteral("select * from ") + table)) << table.toStdString();
    }
}

TEST_F(DemoDataTest, ALargerScaleAddsRowsAndKeepsTheSmallerScalesHarnessesAndLabels)
{
    QTemporaryDir otherDir;
    const QString otherPath = otherDir.filePath(QStringLiteral("demo.db"));
    DemoOptions demo;
    demo.scale = 2;
    ASSERT_TRUE(succeeded(createDemoDatabase(otherPath, demo)));

    EmbeddedTestDatabase twice(ExistingFile{otherPath});
    const DemoCounts counts = demoCountsForScale(2);
    EXPECT_EQ(twice.count(QStringLiteral("select count(*) from tblHarnessInfo")), counts.harnesses);
    EXPECT_EQ(twice.count(QStringLiteral("select count(*) from tblJobInfo")), counts.jobs);
    EXPECT_EQ(twice.count(QStringLiteral("select count(*) from tblLabelInfo")), counts.labels);
    // Each harness and label is generated on its own, so it is the same at every scale.
    const QString selections[] = {
        QStringLiteral("select * from tblHarnessInfo where HarnessID <= %1").arg(demoCountsForScale(1).harnesses),
        QStringLiteral("select * from tblHarnessWireInfo where HarnessID <= %1").arg(demoCountsForScale(1).harnesses),
        QStringLiteral("select * from tblLabelControls where LabelID in (select LabelID from tblLabelInfo "
                       "where LabelNo in ('LB-00001', 'LB-00040'))"),
    };
    for (const QString& selection : selections) {
        const QByteArray contents = db.dump(selection);
        EXPECT_FALSE(contents.isEmpty()) << selection.toStdString();
        EXPECT_EQ(twice.dump(selection), contents) << selection.toStdString();
    }
}

TEST_F(DemoDataTest, EveryReferenceFindsItsRow)
{
    EXPECT_EQ(db.rows(QStringLiteral("select * from pragma_foreign_key_check")), QList<QStringList>());
    EXPECT_EQ(db.rows(QStringLiteral("pragma integrity_check")), (QList<QStringList>{{"ok"}}));
}

TEST_F(DemoDataTest, AdminLogsInWithKorvel)
{
    EXPECT_EQ(db.rows(QStringLiteral("select Password from tblUserInfo where UserID='Admin'")),
              (QList<QStringList>{{"korvel"}}));
    EXPECT_GT(db.count(QStringLiteral("select count(*) from tblUserInfo")), 1);
}

TEST_F(DemoDataTest, HarnessesHaveFiveToFortyWiresOrNone)
{
    EXPECT_EQ(db.count(QStringLiteral("select count(*) from tblHarnessInfo")), demoCountsForScale(1).harnesses);
    EXPECT_EQ(db.count(QStringLiteral("select count(distinct HarnessNo) from tblHarnessInfo")),
              demoCountsForScale(1).harnesses);
    EXPECT_EQ(db.scalar(QStringLiteral("select HarnessNo from tblHarnessInfo where HarnessID=1")),
              QStringLiteral("WH-2024-0001"));
    const QList<QStringList> wireCounts = db.rows(
        QStringLiteral("select min(n), max(n) from (select count(*) as n from tblHarnessWireInfo group by HarnessID)"));
    EXPECT_EQ(wireCounts, (QList<QStringList>{{"5", "40"}}));
    EXPECT_GT(
        db.count(QStringLiteral(
            "select count(*) from tblHarnessInfo where HarnessID not in (select HarnessID from tblHarnessWireInfo)")),
        0);
    EXPECT_EQ(
        db.count(QStringLiteral("select count(*) from tblHarnessInfo as h where WireCount <> "
                                "(select count(*) from tblHarnessWireInfo as w where w.HarnessID = h.HarnessID)")),
        0);
    EXPECT_EQ(
        db.rows(QStringLiteral("select WireNo from tblHarnessWireInfo where HarnessID=1 order by WireNo limit 2")),
        (QList<QStringList>{{"W001"}, {"W002"}}));
}

TEST_F(DemoDataTest, JobsHaveStepsNumberedFromOne)
{
    EXPECT_EQ(db.count(QStringLiteral("select count(*) from tblJobInfo")), demoCountsForScale(1).jobs);
    EXPECT_EQ(db.count(QStringLiteral("select count(distinct JobNo) from tblJobInfo")), demoCountsForScale(1).jobs);
    EXPECT_EQ(db.count(QStringLiteral("select count(*) from (select count(*) as n, min(LineID) as first, "
                                      "max(LineID) as last from tblJobStepInfo group by JobID) "
                                      "where first <> 1 or last <> n")),
              0);
    EXPECT_GT(db.count(QStringLiteral("select count(distinct JobID) from tblJobStepInfo")),
              demoCountsForScale(1).jobs * 9 / 10);
}

TEST_F(DemoDataTest, EveryAttributeIsAValueOfItsDemoValueList)
{
    const QString null = QStringLiteral("<null>");
    EXPECT_EQ(column(QStringLiteral("select distinct HarnessType from tblHarnessWireInfo")),
              listValues(kConnectTypeList));
    EXPECT_EQ(column(QStringLiteral("select distinct WireGroup from tblHarnessWireInfo")),
              listValues(kTestGroupList) + QSet<QString>{null});
    EXPECT_EQ(column(QStringLiteral("select distinct TestMode from tblJobStepInfo")), listValues(kTestModeList));
    EXPECT_EQ(column(QStringLiteral("select distinct TestGroup from tblJobStepInfo")),
              listValues(kTestGroup2List) + QSet<QString>{null});
}

TEST_F(DemoDataTest, MostLabelsAreActiveAndEachHasFiveToThirtyControls)
{
    EXPECT_EQ(db.count(QStringLiteral("select count(*) from tblLabelInfo")), demoCountsForScale(1).labels);
    EXPECT_EQ(db.count(QStringLiteral("select count(distinct LabelNo) from tblLabelInfo")),
              demoCountsForScale(1).labels);
    const qint64 active = db.count(QStringLiteral("select count(*) from tblLabelInfo where LabelStatus=1"));
    const qint64 inactive = db.count(QStringLiteral("select count(*) from tblLabelInfo where LabelStatus=0"));
    EXPECT_GT(inactive, 0);
    EXPECT_GT(active, 2 * inactive);
    EXPECT_EQ(active + inactive, demoCountsForScale(1).labels);
    EXPECT_EQ(db.rows(QStringLiteral("select min(n) >= 5, max(n) <= 30 from "
                                     "(select count(*) as n from tblLabelControls group by LabelID)")),
              (QList<QStringList>{{"1", "1"}}));
}

TEST_F(DemoDataTest, ControlsShareTheItemsOfTheirOwnLabel)
{
    EXPECT_EQ(db.count(QStringLiteral("select count(*) from tblLabelControls "
                                      "where ItemID not in (select ItemID from tblLabelControlItem)")),
              0);
    EXPECT_GT(db.count(QStringLiteral("select count(*) from (select 1 from tblLabelControls "
                                      "group by LabelID, ItemID having count(*) > 1)")),
              demoCountsForScale(1).labels / 2);
    EXPECT_EQ(db.count(QStringLiteral("select count(*) from (select 1 from tblLabelControls "
                                      "group by ItemID having count(distinct LabelID) > 1)")),
              0);
    EXPECT_GT(db.count(QStringLiteral("select count(*) from tblLabelControlItem "
                                      "where ItemID not in (select ItemID from tblLabelControls)")),
              0)
        << "items that no control uses, which an export leaves out";
}

TEST_F(DemoDataTest, IdentifiersAreBracedUpperCaseGuids)
{
    static const QRegularExpression guid(
        QStringLiteral("^\\{[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}\\}$"));
    const QStringList identifiers[] = {{"tblLabelInfo", "LabelID"},
                                       {"tblLabelControls", "LabelID"},
                                       {"tblLabelControls", "ItemID"},
                                       {"tblLabelControlItem", "ItemID"}};
    for (const QStringList& identifier : identifiers) {
        const QList<QStringList> values =
            db.rows(QStringLiteral("select %2 from %1").arg(identifier[0], identifier[1]));
        ASSERT_FALSE(values.isEmpty());
        for (const QStringList& value : values)
            ASSERT_TRUE(guid.match(value.front()).hasMatch())
                << identifier.join('.').toStdString() << " " << value.front().toStdString();
    }
}

TEST_F(DemoDataTest, LabelsCarryEveryKindOfValue)
{
    // Logos and picture controls are real bitmaps of a few KB.
    EXPECT_GT(db.count(QStringLiteral("select count(*) from tblLabelInfo where Logo is not null")), 0);
    EXPECT_EQ(db.count(QStringLiteral("select count(*) from tblLabelInfo where Logo is not null "
                                      "and (substr(Logo, 1, 2) <> X'424D' or length(Logo) not between 2000 and 8000)")),
              0);
    EXPECT_GT(db.count(QStringLiteral("select count(*) from tblLabelControls where typeof(Picture) = 'blob'")), 0);
    EXPECT_EQ(db.rows(QStringLiteral("select distinct length(Checksum) from tblLabelInfo order by 1")),
              (QList<QStringList>{{"<null>"}, {"16"}}));
    EXPECT_EQ(db.rows(QStringLiteral("select distinct length(FillPattern) from tblLabelControls order by 1")),
              (QList<QStringList>{{"<null>"}, {"8"}}));
    // Texts in several scripts, one beyond the Basic Multilingual Plane.
    EXPECT_GT(db.count(QStringLiteral("select count(*) from tblLabelControls where PrintText like '%𠮷%'")), 0);
    EXPECT_GT(db.count(QStringLiteral("select count(*) from tblLabelInfo where LabelName like '%ラベル%'")), 0);
    // Bits are 1 and 0; some date-times fall at midnight and have no time.
    EXPECT_EQ(column(QStringLiteral("select distinct Bold from tblLabelControls")), (QSet<QString>{"0", "1"}));
    EXPECT_GT(db.count(QStringLiteral("select count(*) from tblLabelControlItem where length(ModifiedAt) = 10")), 0);
    // Serial counters beyond 32 bits.
    EXPECT_GT(db.count(QStringLiteral("select count(*) from tblLabelControlItem where CounterStart > 4294967295")), 0);
}

TEST_F(DemoDataTest, DateTimesAreTheProgramsText)
{
    static const QRegularExpression dateTime(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d( \\d\\d:\\d\\d:\\d\\d)?$"));
    const QStringList columns[] = {{"tblUserInfo", "CreatedAt"},   {"tblHarnessInfo", "CreatedAt"},
                                   {"tblJobInfo", "DueDate"},      {"tblJobInfo", "FinishedAt"},
                                   {"tblLabelInfo", "ModifiedAt"}, {"tblLabelControlItem", "ModifiedAt"}};
    for (const QStringList& dateColumn : columns) {
        for (const QString& value :
             column(QStringLiteral("select %2 from %1 where %2 is not null").arg(dateColumn[0], dateColumn[1])))
            ASSERT_TRUE(dateTime.match(value).hasMatch())
                << dateColumn.join('.').toStdString() << " " << value.toStdString();
        const QString midnight = db.scalar(
            QStringLiteral("select count(*) from %1 where %2 like '% 00:00:00'").arg(dateColumn[0], dateColumn[1]));
        EXPECT_EQ(midnight, QStringLiteral("0")) << "midnight is written without a time";
    }
}

TEST_F(DemoDataTest, NoLabelTextHoldsWhatABundleCannotCarry)
{
    for (const QString& table : kLabelTables) {
        for (const QStringList& name : db.rows(QStringLiteral("select name from pragma_table_info('%1')").arg(table))) {
            const qint64 refused =
                db.count(QStringLiteral(
                             "select count(*) from %1 where typeof(%2) = 'text' and "
                             "(instr(%2, ',') > 0 or instr(%2, char(10)) > 0 or %2 like '表名:%' or %2 like '列名:%')")
                             .arg(table, name.front()));
            EXPECT_EQ(refused, 0) << table.toStdString() << "." << name.front().toStdString();
        }
    }
}

TEST(demoScale, AScaleOutsideOneToAThousandIsRefusedAndLeavesNoFile)
{
    QTemporaryDir dir;
    for (const int scale : {0, -1, kMaxDemoScale + 1}) {
        DemoOptions demo;
        demo.scale = scale;
        EXPECT_EQ(createDemoDatabase(dir.filePath(QStringLiteral("korvel.db")), demo).message(),
                  QStringLiteral("演示数据的规模应为1到1000之间的整数"))
            << scale;
    }
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}
