#include "attributes/AttributeWrites.h"
#include "attributes/Cascades.h"
#include "attributes/LeadingInteger.h"
#include "attributes/NumberLists.h"

#include "demodata/DemoDatabase.h"
#include "tests/support/OutcomeChecks.h"
#include "tests/support/EmbeddedTestDatabase.h"
#include "tests/support/QtPrinting.h"

#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace korvel;

namespace {


// The demo database, read and changed through the rules; checked with plain SQLite.
class DemoAttributesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString path = dir.filePath(QStringLiteral("demo.db"));
        ASSERT_TRUE(succeeded(createDemoDatabase(path, DemoOptions())));
        plain.emplace(ExistingFile{path});
        ASSERT_TRUE(database.open(plain->connectionString())) << database.lastError().toStdString();
    }

    QStringList firstColumn(const QString& sql) const
    {
        QStringList values;
        for (const QStringList& row : plain->rows(sql))
            values.append(row.value(0));
        return values;
    }

    QTemporaryDir dir;
    std::optional<EmbeddedTestDatabase> plain;
    Database database;
};

bool isInListOrder(const QStringList& texts)
{
    for (qsizetype i = 1; i < texts.size(); ++i) {
        if (texts[i].toCaseFolded() < texts[i - 1].toCaseFolded())
            return false;
    }
    return true;
}

QSet<QString> setOf(const QStringList& texts)
{
    return QSet<QString>(texts.cbegin(), texts.cend());
}

} // namespace

TEST_F(DemoAttributesTest, ListsHoldTheNumbersSortedAsTheWindowListsThem)
{
    const struct
    {
        Result<QStringList> (*list)(Database&);
        const char* sql;
    } lists[] = {
        {harnessNumbers, "select HarnessNo from tblHarnessInfo"},
        {jobNumbers, "select JobNo from tblJobInfo"},
        {activeLabelNumbers, "select LabelNo from tblLabelInfo where LabelStatus=1"},
    };
    // Stored last, listed among the others: the window's order ignores case.
    plain->exec(QStringLiteral("INSERT INTO tblHarnessInfo (HarnessNo) VALUES ('wh-2024-0002a')"));
    for (const auto& list : lists) {
        SCOPED_TRACE(list.sql);
        const Result<QStringList> numbers = list.list(database);
        const QStringList stored = firstColumn(QString::fromUtf8(list.sql));
        EXPECT_TRUE(numbers.ok()) << numbers.message().toStdString();
        EXPECT_EQ(numbers.value.size(), stored.size());
        EXPECT_EQ(setOf(numbers.value), setOf(stored));
        EXPECT_TRUE(isInListOrder(numbers.value));
    }
    EXPECT_LT(activeLabelNumbers(database).value.size(),
              plain->count(QStringLiteral("select count(*) from tblLabelInfo")))
        << "only active labels";
}

TEST_F(DemoAttributesTest, CascadesListTheChildrenOfTheRecordWithTheNumber)
{
    const struct
    {
        const Cascade& cascade;
        const char* record;   // its number and id
        const char* children; // %1 the id
    } cascades[] = {
        {kWiresOfHarness, "select HarnessNo, HarnessID from tblHarnessInfo where HarnessID=2",
         "select WireNo from tblHarnessWireInfo where HarnessID=%1"},
        {kStepsOfJob, "select JobNo, JobID from tblJobInfo where JobID=2",
         "select LineID from tblJobStepInfo where JobID=%1"},
    };
    for (const auto& cascade : cascades) {
        const QStringList record = plain->rows(QString::fromUtf8(cascade.record)).value(0);
        const Result<Children> children = childrenOf(database, cascade.cascade, record.value(0));
        EXPECT_TRUE(children.ok()) << children.message().toStdString();
        EXPECT_EQ(children.value.recordId, record.value(1));
        const QStringList stored = firstColumn(QString::fromUtf8(cascade.children).arg(record.value(1)));
        EXPECT_FALSE(stored.isEmpty());
        EXPECT_EQ(setOf(children.value.numbers), setOf(stored));
        EXPECT_TRUE(isInListOrder(children.value.numbers));

        const Result<Children> none = childrenOf(database, cascade.cascade, QStringLiteral("NO-SUCH"));
        EXPECT_EQ(none.message(), QString::fromUtf8(cascade.cascade.idFailure)) << "the fixed text alone";
    }
}

TEST_F(DemoAttributesTest, EachWriteChangesExactlyItsRowOrSaysNoneMatched)
{
    // The demo's wire and step numbers recur under every harness and job.
    const char* const wire = "select h.HarnessNo, w.WireNo from tblHarnessWireInfo w join tblHarnessInfo h"
                             " on h.HarnessID=w.HarnessID where h.HarnessID=3 order by w.WireNo limit 1";
    const char* const step = "select j.JobNo, s.LineID from tblJobStepInfo s join tblJobInfo j"
                             " on j.JobID=s.JobID where j.JobID=3 order by s.LineID limit 1";
    const struct
    {
        const AttributeWrite& write;
        const char* target; // the record's number and the child's
        const char* value;
        const char* stored; // the column of the target row as SQLite gives it back
    } writes[] = {
        {kConnectionTypeWrite, wire, " 99abc", "99"},
        {kTestGroupWrite, wire, "组'G", "组'G"},
        {kTestModeWrite, step, "-3", "-3"},
        {kTestGroup2Write, step, "", ""},
    };
    for (const auto& write : writes) {
        SCOPED_TRACE(write.write.column);
        const QStringList target = plain->rows(QString::fromUtf8(write.target)).value(0);
        const QString table = QStringLiteral("select * from %1").arg(QString::fromUtf8(write.write.table));
        const QList<QStringList> before = plain->rows(table);
        const Result<QString> id = recordId(database, *write.write.cascade, target.value(0));
        ASSERT_TRUE(id.ok()) << id.message().toStdString();

        const Outcome written =
            writeAttribute(database, write.write, id.value, target.value(1), QString::fromUtf8(write.value));
        EXPECT_TRUE(written.ok()) << written.message().toStdString();
        const QList<QStringList> after = plain->rows(table);
        qsizetype changed = 0;
        for (qsizetype row = 0; row < before.size(); ++row)
            changed += before[row] != after.value(row) ? 1 : 0;
        EXPECT_EQ(changed, 1);
        EXPECT_EQ(plain->scalar(QStringLiteral("select %1 from %2 where %3='%4' and %5=%6")
                                    .arg(QString::fromUtf8(write.write.column), QString::fromUtf8(write.write.table),
                                         QString::fromUtf8(write.write.childKey), target.value(1),
                                         QString::fromUtf8(write.write.recordKey), id.value)),
                  QString::fromUtf8(write.stored));

        const Outcome none = writeAttribute(database, write.write, id.value, QStringLiteral("99999"),
                                                            QString::fromUtf8(write.value));
        EXPECT_EQ(none.message(), QStringLiteral("没有找到要写入的记录，") + QString::fromUtf8(write.write.failure));
        EXPECT_EQ(plain->rows(table), after);
    }
}

TEST(LeadingInteger, ReadsAsWtoiDoes)
{
    EXPECT_EQ(leadingInteger(QStringLiteral("3")), 3);
    EXPECT_EQ(leadingInteger(QStringLiteral(" -7")), -7);
    EXPECT_EQ(leadingInteger(QStringLiteral("\t+12abc")), 12);
    EXPECT_EQ(leadingInteger(QStringLiteral("abc")), 0);
    EXPECT_EQ(leadingInteger(QString()), 0);
    EXPECT_EQ(leadingInteger(QStringLiteral("- 5")), 0);
    EXPECT_EQ(leadingInteger(QStringLiteral("９")), 0) << "only ASCII digits";
    EXPECT_EQ(leadingInteger(QStringLiteral("99999999999")), 2147483647);
    EXPECT_EQ(leadingInteger(QStringLiteral("-2147483648")), -2147483647 - 1);
    EXPECT_EQ(leadingInteger(QStringLiteral("-99999999999")), -2147483647 - 1);
}
