// Hostile values in databases and bundles: quotes, semicolons, comment markers, 0x
// prefixes, control characters, broken UTF-8 and UTF-16, very long values, very many rows.
// None changes the meaning of a statement: the statements the server receives are
// compared with the ones the values call for.

#include "labels/LabelBundle.h"
#include "labels/LabelExport.h"
#include "labels/LabelImport.h"

#include "tests/labels/LabelTestSupport.h"
#include "tests/support/EmbeddedTestDatabase.h"
#include "tests/support/FaultInjectingClient.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/RecordingMessageSink.h"
#include "tests/support/ResourceUsage.h"
#include "tests/support/TestFiles.h"

#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace korvel;

namespace {

const QString kLabelId = QStringLiteral("{AAAAAAAA-0000-4000-8000-000000000001}");
const QString kItemId = QStringLiteral("{BBBBBBBB-0000-4000-8000-000000000001}");

// Everything a value may hold that the bundle can carry (no comma, no line feed, no NUL).
const QStringList kHostileCaptions = {
    QStringLiteral("O'Brien"),
    QStringLiteral("'); DELETE FROM tblLabelInfo; --"),
    QStringLiteral("/* comment */ -- line"),
    QStringLiteral("0x41424344"),
    QStringLiteral("N'inner' ; select 1"),
    QStringLiteral("tab\tcr\rbell\x07 esc\x1b"),
    QStringLiteral("线束 'Провод' ;"),
    QStringLiteral("\\' backslash"),
};

QString quoted(const QString& text)
{
    return QLatin1Char('\'') + QString(text).replace(QLatin1Char('\''), QLatin1String("''")) + QLatin1Char('\'');
}

class HostileValuesTest : public ::testing::Test
{
protected:
    HostileValuesTest() : source(kCompactLabelSchema), target(kCompactLabelSchema)
    {
        static FaultPlan registered;
        registerFaultInjectingProvider(registered);
        plan = &registered;
        *plan = FaultPlan();
    }

    QString faulty(const EmbeddedTestDatabase& database) const
    {
        return QStringLiteral("Provider=faulty;Data Source=%1;").arg(database.path());
    }

    EmbeddedTestDatabase source;
    EmbeddedTestDatabase target;
    QTemporaryDir dir;
    QString bundle = dir.filePath(QStringLiteral("hostile.bq"));
    RecordingMessageSink messages;
    FaultPlan* plan = nullptr;
};

} // namespace

TEST_F(HostileValuesTest, TheServerReceivesExactlyTheStatementsTheValuesCallFor)
{
    source.exec(QStringLiteral("INSERT INTO tblLabelInfo VALUES ('%1', 'it''s; --', 1);").arg(kLabelId));
    for (const QString& caption : kHostileCaptions)
        source.exec(QStringLiteral("INSERT INTO tblLabelControls VALUES ('%1', '%2', %3);")
                        .arg(kLabelId, kItemId, quoted(caption)));
    source.exec(QStringLiteral("INSERT INTO tblLabelControlItem (ItemID, ItemName) VALUES ('%1', '0x00; DROP TABLE x');")
                    .arg(kItemId));

    ASSERT_TRUE(shownIn(messages, exportLabel(faulty(source), QStringLiteral("it's; --"), bundle)));
    EXPECT_TRUE(plan->statements.contains(QStringLiteral("select * from tblLabelInfo where LabelNo='it''s; --'")))
        << "the label number is a literal of its own";

    ScriptedResolver resolver;
    *plan = FaultPlan();
    ASSERT_TRUE(shownIn(messages, importLabel(faulty(target), bundle, resolver))) << messages.warnings.join('|').toStdString();

    // The new identifiers come from the server; everything else is the bundle's text.
    const QRegularExpression guid(QStringLiteral("\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}"));
    QStringList inserts;
    for (const QString& statement : plan->statements) {
        if (statement.startsWith(QLatin1String("insert into")))
            inserts.append(QString(statement).replace(guid, QStringLiteral("{GUID}")));
    }
    QStringList expected = {QStringLiteral("insert into tblLabelInfo (LabelID,LabelNo,LabelStatus)  values('{GUID}','it''s; --',1)")};
    for (const QString& caption : kHostileCaptions)
        expected.append(QStringLiteral("insert into tblLabelControls (LabelID,ItemID,Caption)  values('{GUID}','{GUID}',%1)")
                            .arg(quoted(caption)));
    // The new row's key is read back in the same batch as its insert.
    expected.append(QStringLiteral("insert into tblLabelControlItem (ItemID,ItemName)  values('{GUID}','0x00; DROP "
                                   "TABLE x');select last_insert_rowid()"));
    EXPECT_EQ(inserts, expected);

    const TextTable captions = target.programRows(QStringLiteral("select Caption from tblLabelControls"));
    QStringList arrived;
    for (const TextRow& row : captions)
        arrived.append(row.value(0));
    EXPECT_EQ(arrived, kHostileCaptions);
}

TEST_F(HostileValuesTest, BrokenUnicodeInTheDatabaseTravelsAsReplacementCharacters)
{
    // Bytes that are not UTF-8, stored as text by another program.
    source.exec(QStringLiteral("INSERT INTO tblLabelInfo VALUES ('%1', 'LB-1', 1);"
                               "INSERT INTO tblLabelControls VALUES ('%1', '%2', CAST(X'41FF42EDA08043' AS TEXT));")
                    .arg(kLabelId, kItemId));
    ASSERT_TRUE(shownIn(messages, exportLabel(source.connectionString(), QStringLiteral("LB-1"), bundle)));
    ScriptedResolver resolver;
    ASSERT_TRUE(shownIn(messages, importLabel(target.connectionString(), bundle, resolver)));
    const QString caption =
        target.programRows(QStringLiteral("select Caption from tblLabelControls")).value(0).value(0);
    EXPECT_TRUE(caption.startsWith(QLatin1Char('A')) && caption.endsWith(QLatin1Char('C'))) << caption.toStdString();
    EXPECT_TRUE(caption.contains(QChar(0xFFFD)));
    for (const QChar c : caption)
        EXPECT_FALSE(c.isSurrogate()) << "no lone surrogate reaches the target";
}

TEST_F(HostileValuesTest, ATenMegabyteValueTravelsWithBoundedMemory)
{
    const QString huge = QString(10 * 1024 * 1024, QLatin1Char('x')) + QStringLiteral("'; --");
    source.exec(QStringLiteral("INSERT INTO tblLabelInfo VALUES ('%1', 'LB-1', 1);"
                               "INSERT INTO tblLabelControls VALUES ('%1', '%2', %3);")
                    .arg(kLabelId, kItemId, quoted(huge)));
    ASSERT_TRUE(shownIn(messages, exportLabel(source.connectionString(), QStringLiteral("LB-1"), bundle)));
    ScriptedResolver resolver;
    ASSERT_TRUE(shownIn(messages, importLabel(target.connectionString(), bundle, resolver)));
    EXPECT_EQ(target.scalar(QStringLiteral("select length(Caption) from tblLabelControls")),
              QString::number(huge.size()));
    if (!kSanitizedBuild) {
        EXPECT_LT(peakResidentMegabytes(), 600) << "a 10 MB value is held a few times over, not hundreds";
    }
}

TEST_F(HostileValuesTest, AMillionRowBundleWithAForeignTableIsRefusedBeforeAnyInsert)
{
    QString text = QStringLiteral("表名:tblLabelInfo\n列名:LabelID,LabelNo,LabelStatus\n%1,LB-M,1\n"
                                  "表名:tblLabelControls\n列名:LabelID,ItemID,Caption\n")
                       .arg(kLabelId);
    const QString row = kLabelId + QLatin1Char(',') + kItemId + QStringLiteral(",c\n");
    const int rows = kSanitizedBuild ? 100000 : 1000000;
    text.reserve(text.size() + row.size() * rows + 64);
    for (int i = 0; i < rows; ++i)
        text += row;
    text += QStringLiteral("表名:tblUserInfo\n列名:UserID,Password\nAdmin,x\n");
    writeBundleFile(bundle, text);

    *plan = FaultPlan();
    ScriptedResolver resolver;
    EXPECT_FALSE(shownIn(messages, importLabel(faulty(target), bundle, resolver)));
    EXPECT_EQ(messages.warnings.size(), 1);
    EXPECT_TRUE(messages.warnings.value(0).contains(QStringLiteral("tblUserInfo")));
    for (const QString& statement : plan->statements)
        EXPECT_FALSE(statement.startsWith(QLatin1String("insert"))) << statement.left(80).toStdString();
    EXPECT_EQ(target.scalar(QStringLiteral("select count(*) from tblLabelControls")), QStringLiteral("0"));
    if (!kSanitizedBuild) {
        EXPECT_LT(peakResidentMegabytes(), 1200) << "a million rows of 80 characters: a few times the file, no more";
    }
}
