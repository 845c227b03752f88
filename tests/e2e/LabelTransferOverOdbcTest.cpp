// Label export and import against a server database reached through an ODBC data source,
// held against the embedded engine doing the same.

#include "app/korvelctl/Korvelctl.h"
#include "db/schema/EmbeddedSchema.h"
#include "labels/LabelBatch.h"
#include "labels/LabelBundle.h"
#include "labels/LabelExport.h"
#include "labels/LabelImport.h"
#include "tests/app/korvelctl/KorvelctlRun.h"
#include "tests/e2e/KorvelServerTest.h"
#include "tests/labels/BundleComparison.h"
#include "tests/labels/LabelTestSupport.h"
#include "tests/support/EmbeddedTestDatabase.h"
#include "tests/support/FaultInjectingClient.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/RecordingMessageSink.h"
#include "tests/support/TestFiles.h"

#include <QDir>

#include <thread>

using namespace korvel;

namespace {

const QStringList kLabelTables = {"tblLabelInfo", "tblLabelControls", "tblLabelControlItem"};

// Two labels of one control and its item each, in the embedded engine's SQL: 满 with a value
// in every column (long binary, GUIDs, bit, date-times with milliseconds, decimals, texts in
// several scripts with quotes and a carriage return, Chinese in a varchar), 空 with NULL in
// every column that may hold one.
const char* const kEveryColumnKind =
    "INSERT INTO tblLabelInfo VALUES"
    " ('{5A1B0C2D-3E4F-4A5B-8C6D-7E8F9A0B1C2D}', 'E2E-满', 'Этикетка 梱包ラベル 포장', 1, 101.6, 25.4, 300, 255,"
    " '斑马ZT410', '说明 \"quoted\" and ''single'' 𠮷' || char(13) || 'Ω', X'424D0000FF00',"
    " X'00112233445566778899AABBCCDDEEFF', 1, '管理员', '2023-11-30 23:59:58.500', '2024-02-29'),"
    " ('{6B000000-0000-4000-8000-000000000000}', 'E2E-空', NULL, 0, 40, 20, 203, NULL, NULL, NULL, NULL, NULL, 0,"
    " NULL, '2020-01-01', NULL);"
    "INSERT INTO tblLabelControls VALUES"
    " ('{5A1B0C2D-3E4F-4A5B-8C6D-7E8F9A0B1C2D}', 1, '{11111111-0000-4000-8000-000000000001}', 3, -5, 20, 300, 40,"
    " 270, '微软雅黑', 10.5, 1, 0, 16711680, 'CODE128', '品名：O''Neil', X'AA55AA55AA55AA55', X'89504E470D0A1A0A00FF'),"
    " ('{6B000000-0000-4000-8000-000000000000}', 1, '{22222222-0000-4000-8000-000000000002}', 0, 0, 0, 1, 1, 0,"
    " NULL, NULL, 0, 0, 0, NULL, NULL, NULL, NULL);"
    "INSERT INTO tblLabelControlItem (ItemID, ItemName, SourceType, FieldName, DefaultValue, FormatString, MaxLength,"
    " CounterStart, ModifiedAt) VALUES"
    " ('{11111111-0000-4000-8000-000000000001}', '批次号', 2, 'JobNo', '默认', 'yyyy年MM月dd日', 32, 202400000001,"
    " '2024-02-29 08:00:00.250'),"
    " ('{22222222-0000-4000-8000-000000000002}', '空项', 0, NULL, NULL, NULL, NULL, NULL, NULL);";

class LabelTransferOverOdbcTest : public KorvelServerTest
{
protected:
    LabelTransferOverOdbcTest() : m_source(embeddedSchemaSql().toUtf8().constData())
    {
        m_source.exec(QString::fromUtf8(kEveryColumnKind));
    }

    QString filePath(const QString& name) const { return m_folder.filePath(name); }

    // Exports a label of an embedded database into a bundle file, with the program's export.
    void exportEmbedded(const EmbeddedTestDatabase& database, const QString& labelNo, const QString& path)
    {
        RecordingMessageSink messages;
        EXPECT_TRUE(shownIn(messages, exportLabel(database.connectionString(), labelNo, path)))
            << messages.warnings.join('\n').toStdString();
    }
    // korvelctl with the test's settings file after the command.
    KorvelctlRun korvelctl(const QString& command, QStringList arguments)
    {
        arguments.prepend(settingsPath());
        arguments.prepend(command);
        return runKorvelctlInProcess(arguments);
    }
    void expectSucceeds(const KorvelctlRun& run) { EXPECT_EQ(run.exitCode, kExitOk) << run.err.toStdString(); }

    // The T-SQL server of the tests gives the catalogue's column names in lower case (its
    // README lists this among its differences from SQL Server), and so does every export
    // from it; elsewhere they are as declared.
    bool catalogueLowersNames()
    {
        if (!m_catalogueLowersNames) {
            m_catalogueLowersNames =
                onSqlServer() &&
                firstColumnOf(QStringLiteral("select name from syscolumns where id=object_id('tblLabelInfo')"))
                    .contains(QStringLiteral("labelid"));
        }
        return *m_catalogueLowersNames;
    }
    // The lines of a bundle file, sorted, the column-name lines in lower case where the
    // catalogue lowers them: that difference is compared around, everything else must be
    // equal.
    QStringList sortedLines(const QString& path)
    {
        const bool lowered = catalogueLowersNames();
        QStringList lines = decodeBundle(readTestFile(path)).split(QLatin1Char('\n'));
        for (QString& line : lines) {
            if (lowered && line.startsWith(kColumnNamePrefix))
                line = line.toLower();
        }
        lines.sort();
        return lines;
    }
    // The blocks of a bundle exported here, with the column names as the source bundle has
    // them where they differ only in case (the same difference).
    QList<BundleBlock> exportedBundle(const QString& path, const QList<BundleBlock>& source)
    {
        QList<BundleBlock> blocks = bundleOf(path);
        if (!catalogueLowersNames())
            return blocks;
        for (qsizetype b = 0; b < blocks.size() && b < source.size(); ++b) {
            TextRow& header = blocks[b].rows[0];
            const TextRow& declared = source[b].rows.value(0);
            for (qsizetype j = 0; j < header.size() && j < declared.size(); ++j) {
                EXPECT_EQ(header[j], declared[j].toLower());
                header[j] = declared[j];
            }
        }
        return blocks;
    }

    // A bundle of the label E2E-空 with as many controls, each with an item of its own: its
    // control and item repeated, each pair with a number and an identifier of its own. The
    // item rows of the written file, from 1.
    QList<BundleBlock> writeLabelOfControls(const QString& path, int controls,
                                            const std::function<void(BundleBlock& items)>& change = {})
    {
        exportEmbedded(m_source, QStringLiteral("E2E-空"), path);
        QList<BundleBlock> blocks = bundleOf(path);
        BundleBlock& controlBlock = blocks[1];
        BundleBlock& itemBlock = blocks[2];
        const qsizetype controlNo = controlBlock.rows[0].indexOf(QStringLiteral("ControlNo"));
        const qsizetype itemOfControl = controlBlock.rows[0].indexOf(QStringLiteral("ItemID"));
        const qsizetype itemId = itemBlock.rows[0].indexOf(QStringLiteral("ItemID"));
        const TextRow control = controlBlock.rows[1];
        const TextRow item = itemBlock.rows[1];
        for (int i = 2; i <= controls; ++i) {
            const QString id = QStringLiteral("{%1-0000-4000-8000-000000000000}").arg(i, 8, 16, QLatin1Char('0'));
            controlBlock.rows.append(control);
            controlBlock.rows.last()[controlNo] = QString::number(i);
            controlBlock.rows.last()[itemOfControl] = id;
            itemBlock.rows.append(item);
            itemBlock.rows.last()[itemId] = id;
        }
        if (change)
            change(itemBlock);
        QStringList lines;
        for (const BundleBlock& block : blocks)
            appendBundleBlock(block, &lines);
        writeTestFile(path, encodeBundle(lines));
        return bundleOf(path);
    }

    // The labels of kEveryColumnKind.
    EmbeddedTestDatabase m_source;
    std::optional<bool> m_catalogueLowersNames;
};

// What only the PostgreSQL stand-in can show.
class LabelTransferOnPostgreSqlTest : public LabelTransferOverOdbcTest
{
};

// What only SQL Server has: a code page for each varchar column, its collation's.
class LabelTransferOnSqlServerTest : public LabelTransferOverOdbcTest
{
};

} // namespace

// On SQL Server the rows of a select without "order by" come in an order of the server's
// choosing (the T-SQL server of the tests gives them as its tables store them): there each
// demo label's export is compared line by line by LabelsGoBetweenPlantsByTheHundredOverTheServer.
TEST_P(LabelTransferOnPostgreSqlTest, EveryDemoLabelExportsByteForByteAsFromTheEmbeddedDatabase)
{
    // The embedded engine gives the rows of "in (select …)" in the order of the index that it
    // looks each value up in; so does PostgreSQL with the plan it makes before it has
    // statistics of the tables, unless it gathers the values in a hash table first. Each is
    // a legitimate order, and only one can match the other's bytes: the statistics that
    // autovacuum would gather half-way through the test are kept away from the tables.
    for (const QString& table : kLabelTables)
        runSql(QStringLiteral("alter table %1 set (autovacuum_enabled = false)").arg(table));
    copyDemoDatabase();
    runSql(QStringLiteral("alter database %1 set enable_hashagg = off").arg(m_databaseName));
    const EmbeddedTestDatabase demo(ExistingFile{demoPath()});
    const QStringList labelNos = firstColumnOf(QStringLiteral("select LabelNo from tblLabelInfo"));
    ASSERT_EQ(labelNos.size(), 40);
    for (const QString& labelNo : labelNos) {
        exportEmbedded(demo, labelNo, filePath(QStringLiteral("embedded.bq")));
        expectSucceeds(korvelctl(QStringLiteral("export"), {labelNo, filePath(QStringLiteral("server.bq"))}));
        EXPECT_EQ(readTestFile(filePath(QStringLiteral("server.bq"))),
                  readTestFile(filePath(QStringLiteral("embedded.bq"))))
            << labelNo.toStdString();
    }
}

TEST_P(LabelTransferOverOdbcTest, TheCatalogueFindsATableAsSqlServerAndTheEmbeddedEngineDo)
{
    const QString table = scalar(QStringLiteral("select object_id('tblLabelInfo')"));
    EXPECT_NE(table, QStringLiteral("NULL"));
    for (const char* name : {"TBLLABELINFO", "dbo.tblLabelInfo", "[tblLabelInfo]", "DBO.[tbllabelinfo] "})
        EXPECT_EQ(scalar(QStringLiteral("select object_id('%1')").arg(QString::fromUtf8(name))), table) << name;
    // A blank before a name is part of it on the T-SQL server of the tests; the embedded
    // engine and the PostgreSQL stand-in trim it.
    if (!onSqlServer()) {
        EXPECT_EQ(scalar(QStringLiteral("select object_id(' tblLabelInfo')")), table);
    }
    EXPECT_EQ(scalar(QStringLiteral("select object_id('tblLabel')")), QStringLiteral("NULL"));
}

TEST_P(LabelTransferOverOdbcTest, AnErrorAfterAFirstResultFailsTheQuery)
{
    const KorvelctlRun run = korvelctl(QStringLiteral("query"), {QStringLiteral("select 1; select 1/0")});
    EXPECT_EQ(run.exitCode, kExitFailure);
    EXPECT_TRUE(run.err.startsWith(QStringLiteral("ADO 错误：0x80004005，"))) << run.err.toStdString();
}

TEST_P(LabelTransferOverOdbcTest, ALabelOfEveryColumnKindArrivesWithNewIdentifiersOnly)
{
    // The kinds that Korvel's tables lack: money and smalldatetime (PostgreSQL's nearest),
    // named in lower case, as the PostgreSQL stand-in's catalogue gives names it does not know.
    runSql(onSqlServer() ? QStringLiteral("alter table tblLabelControlItem add price money;"
                                          "alter table tblLabelControlItem add expiry smalldatetime")
                         : QStringLiteral("alter table tblLabelControlItem add column price numeric(19,4),"
                                          " add column expiry timestamp(0)"));
    m_source.exec(QStringLiteral("ALTER TABLE tblLabelControlItem ADD COLUMN price money;"
                                 "ALTER TABLE tblLabelControlItem ADD COLUMN expiry smalldatetime;"
                                 "UPDATE tblLabelControlItem SET price = '-12345.6789', expiry = '2024-02-29 08:01:00'"
                                 " WHERE ItemName = '批次号';"
                                 // A picture that goes to the driver in several pieces.
                                 "UPDATE tblLabelControls SET Picture = randomblob(600000) WHERE ControlType = 3;"));
    for (const QString& labelNo : {QStringLiteral("E2E-满"), QStringLiteral("E2E-空")}) {
        SCOPED_TRACE(labelNo.toStdString());
        exportEmbedded(m_source, labelNo, filePath(QStringLiteral("source.bq")));
        expectSucceeds(korvelctl(QStringLiteral("import"), {filePath(QStringLiteral("source.bq"))}));
        expectSucceeds(korvelctl(QStringLiteral("export"), {labelNo, filePath(QStringLiteral("server.bq"))}));
        const QList<BundleBlock> source = bundleOf(filePath(QStringLiteral("source.bq")));
        expectSameLabelWithNewIdentifiers(source, exportedBundle(filePath(QStringLiteral("server.bq")), source));
    }
    // The bundle writes NULL as an empty value; in a column that is not text it is NULL again.
    const QList<QList<DbValue>> empty =
        queryRows(QStringLiteral("select i.Darkness, i.Logo, i.Checksum, i.ModifiedAt, c.FontSize, c.FillPattern,"
                                 " c.Picture, t.MaxLength, t.CounterStart, t.ModifiedAt, t.price, t.expiry"
                                 " from tblLabelInfo i join tblLabelControls c on c.LabelID = i.LabelID"
                                 " join tblLabelControlItem t on t.ItemID = c.ItemID where i.LabelNo = N'E2E-空'"));
    ASSERT_EQ(empty.size(), 1);
    for (const DbValue& value : empty[0])
        EXPECT_EQ(value.kind, DbValue::Kind::Null) << value.text.toStdString();
}

TEST_P(LabelTransferOverOdbcTest, ALabelImportedIntoItsOwnDatabaseNeedsANumberThatIsFree)
{
    copyDemoDatabase();
    const QString bundle = filePath(QStringLiteral("LB-00001.bq"));
    expectSucceeds(korvelctl(QStringLiteral("export"), {QStringLiteral("LB-00001"), bundle}));
    const QStringList before = contents(kLabelTables);

    const struct
    {
        QStringList options;
        const char* refusal;
    } refused[] = {
        {{}, "LB-00001已经存在\n"},
        {{"--label-no", "LB-00002"}, "LB-00002已经存在\n"},
        {{"--label-no", "lb-00002 "}, "lb-00002 已经存在\n"}, // compared as SQL Server's collation compares
    };
    for (const auto& attempt : refused) {
        const KorvelctlRun run = korvelctl(QStringLiteral("import"), QStringList{bundle} + attempt.options);
        EXPECT_EQ(run.exitCode, kExitFailure);
        EXPECT_EQ(run.err, QString::fromUtf8(attempt.refusal));
        EXPECT_EQ(contents(kLabelTables), before);
    }

    // The new items are numbered after the demo's own.
    const QString copy = filePath(QStringLiteral("copy.bq"));
    expectSucceeds(korvelctl(QStringLiteral("import"), {bundle, "--label-no", "LB-00001-B"}));
    expectSucceeds(korvelctl(QStringLiteral("export"), {QStringLiteral("LB-00001-B"), copy}));
    QList<BundleBlock> expected = bundleOf(bundle);
    expected[0].rows[1][1] = QStringLiteral("LB-00001-B");
    expectSameLabelWithNewIdentifiers(expected, exportedBundle(copy, expected));
    EXPECT_EQ(contents({QStringLiteral("tblLabelInfo")}).size(),
              before.filter(QStringLiteral("tblLabelInfo:")).size() + 1);
}

// The label's number exists: the attempt to send the label at once finds it, and the import
// goes step by step, asking for a new number. A failure at any call of either way leaves
// the database as it was (one of the attempt's is made good by the steps).
TEST_P(LabelTransferOverOdbcTest, AFailureAtAnyCallOfAnImportLeavesTheDatabaseAsItWas)
{
    const QString bundle = filePath(QStringLiteral("source.bq"));
    exportEmbedded(m_source, QStringLiteral("E2E-满"), bundle);
    expectSucceeds(korvelctl(QStringLiteral("import"), {bundle}));
    const QStringList before = contents(kLabelTables);

    static FaultPlan plan; // the provider stays registered for the rest of the process
    registerFaultInjectingProvider(plan, settingsProvider());
    const QString faulty = connectionString(QStringLiteral("faulty"));
    expectImportFailuresSayNothingWasImported(runFailingAtEveryCall(plan, [&](MessageSink& messages) {
        ScriptedResolver resolver(QStringLiteral("E2E-满-B"));
        if (!shownIn(messages, importLabel(faulty, bundle, resolver))) {
            EXPECT_EQ(contents(kLabelTables), before) << "failure at call " << plan.failAt;
            return false;
        }
        EXPECT_EQ(resolver.asked, QStringList{"E2E-满"}) << "failure at call " << plan.failAt;
        // The label that went in is taken out again for the next run.
        runSql(QStringLiteral("delete from tblLabelControlItem where ItemID in (select c.ItemID from tblLabelControls c"
                              " join tblLabelInfo i on i.LabelID = c.LabelID where i.LabelNo = N'E2E-满-B');"
                              "delete from tblLabelControls where LabelID in"
                              " (select LabelID from tblLabelInfo where LabelNo = N'E2E-满-B');"
                              "delete from tblLabelInfo where LabelNo = N'E2E-满-B'"));
        return true;
    }));
    EXPECT_EQ(contents(kLabelTables), before);
}

TEST_P(LabelTransferOverOdbcTest, TwoImportsAtOnceEachLandWholeWithKeysOfTheirOwn)
{
    // Items with a long binary column: the import writes it through the key it reads
    // back, which must be its own row's even when another import has just added rows.
    runSql(onSqlServer() ? QStringLiteral("alter table tblLabelControlItem add Icon image")
                         : QStringLiteral("alter table tblLabelControlItem add column Icon bytea"));
    m_source.exec(QStringLiteral("ALTER TABLE tblLabelControlItem ADD COLUMN Icon image;"
                                 "UPDATE tblLabelControlItem SET Icon = CAST(ItemName AS BLOB);"));
    const QString first = filePath(QStringLiteral("first.bq"));
    const QString second = filePath(QStringLiteral("second.bq"));
    exportEmbedded(m_source, QStringLiteral("E2E-满"), first);
    exportEmbedded(m_source, QStringLiteral("E2E-空"), second);

    // The second import runs on a thread of its own, whole, while the first has just
    // inserted its item and holds its transaction open.
    static FaultPlan plan;
    registerFaultInjectingProvider(plan, settingsProvider());
    plan = FaultPlan();
    bool secondImported = false;
    RecordingMessageSink secondMessages;
    plan.afterStatement = [&](const QString& statement) {
        if (secondImported || !statement.contains(QLatin1String("insert into tblLabelControlItem")))
            return;
        std::thread other([&] {
            ScriptedResolver resolver;
            secondImported = shownIn(secondMessages, importLabel(connectionString(), second, resolver));
        });
        other.join();
    };
    RecordingMessageSink firstMessages;
    ScriptedResolver resolver;
    EXPECT_TRUE(shownIn(firstMessages, importLabel(connectionString(QStringLiteral("faulty")), first, resolver)))
        << firstMessages.warnings.join('\n').toStdString();
    EXPECT_TRUE(secondImported) << secondMessages.warnings.join('\n').toStdString();
    plan = FaultPlan();

    const QList<QList<DbValue>> items = queryRows(QStringLiteral("select Icon, ItemName from tblLabelControlItem"));
    ASSERT_EQ(items.size(), 2);
    for (const QList<DbValue>& item : items)
        EXPECT_EQ(QString::fromUtf8(item[0].bytes), item[1].text) << "each item's own bytes";
    EXPECT_EQ(firstColumnOf(QStringLiteral("select count(*) from tblLabelControls c join tblLabelInfo i"
                                           " on i.LabelID = c.LabelID join tblLabelControlItem t on t.ItemID = c.ItemID"
                                           " group by i.LabelNo")),
              QStringList({"1", "1"}));
}

TEST_P(LabelTransferOverOdbcTest, LabelsGoBetweenPlantsByTheHundredOverTheServer)
{
    copyDemoDatabase();
    QDir().mkpath(filePath(QStringLiteral("demo")));
    writeTestFile(filePath(QStringLiteral("demo/frmConnect")),
                  "<NewDataSet><frmConnect><ParaName>txtHostName</ParaName><ParaValue>../demo.db</ParaValue>"
                  "</frmConnect><frmConnect><ParaName>txtProvider</ParaName><ParaValue>sqlite</ParaValue>"
                  "</frmConnect></NewDataSet>");
    const QString embedded = filePath(QStringLiteral("demo/frmConnect"));
    const KorvelctlRun labels = korvelctl(QStringLiteral("labels"), {});
    expectSucceeds(labels);
    EXPECT_EQ(labels.out, runKorvelctlInProcess({"labels", embedded}).out);

    // Every label out of the server, each file holding what the embedded database's export
    // of it holds (rows in whatever order each engine gives them).
    expectSucceeds(korvelctl(QStringLiteral("export"), {"--all", filePath(QStringLiteral("server"))}));
    ASSERT_EQ(runKorvelctlInProcess({"export", embedded, "--all", filePath(QStringLiteral("embedded"))}).exitCode,
              kExitOk);
    const QStringList files = QDir(filePath(QStringLiteral("server"))).entryList(QDir::Files);
    ASSERT_EQ(files.size(), 40);
    EXPECT_EQ(files, QDir(filePath(QStringLiteral("embedded"))).entryList(QDir::Files));
    QStringList paths;
    for (const QString& file : files) {
        paths.append(filePath(QStringLiteral("server/") + file));
        EXPECT_EQ(sortedLines(paths.last()), sortedLines(filePath(QStringLiteral("embedded/") + file)))
            << file.toStdString();
    }

    // Into the server again, now without labels: each file checked, then imported whole.
    runSql(QStringLiteral("delete from tblLabelControlItem; delete from tblLabelControls; delete from tblLabelInfo"));
    const KorvelctlRun checked = korvelctl(QStringLiteral("check"), paths);
    expectSucceeds(checked);
    EXPECT_TRUE(checked.out.endsWith(QStringLiteral("检查 40 个文件：可以导入 40 个，不能导入 0 个\n")));
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from tblLabelInfo")), QStringLiteral("0"))
        << "a check changes nothing";
    const KorvelctlRun imported = korvelctl(QStringLiteral("import"), paths);
    expectSucceeds(imported);
    EXPECT_EQ(imported.out, QStringLiteral("导入 40 个文件：成功 40 个，拒绝 0 个\n"));
    EXPECT_EQ(korvelctl(QStringLiteral("labels"), {}).out, labels.out);

    // Now that their numbers exist, check and import refuse the same files.
    const QStringList again = paths.mid(0, 2);
    const KorvelctlRun rechecked = korvelctl(QStringLiteral("check"), again);
    EXPECT_EQ(rechecked.exitCode, kExitFailure);
    EXPECT_TRUE(rechecked.out.endsWith(QStringLiteral("检查 2 个文件：可以导入 0 个，不能导入 2 个\n")))
        << rechecked.out.toStdString();
    const KorvelctlRun reimported = korvelctl(QStringLiteral("import"), again);
    EXPECT_EQ(reimported.exitCode, kExitFailure);
    EXPECT_TRUE(reimported.out.startsWith(QStringLiteral("导入 2 个文件：成功 0 个，拒绝 2 个")))
        << reimported.out.toStdString();
    EXPECT_EQ(korvelctl(QStringLiteral("labels"), {}).out, labels.out);
}

TEST_P(LabelTransferOverOdbcTest, AConnectionLostMidImportLeavesNothingWritten)
{
    const QString bundle = filePath(QStringLiteral("source.bq"));
    exportEmbedded(m_source, QStringLiteral("E2E-满"), bundle);
    const QStringList before = contents(kLabelTables);
    static FaultPlan plan;
    registerFaultInjectingProvider(plan, settingsProvider());
    plan = FaultPlan();
    // Once the label's rows are in, before their commit, the server ends the import's
    // session, as it does when it stops; on PostgreSQL, which takes the rows and their commit
    // in one statement, once the identifiers are drawn.
    bool ended = false;
    const QString cue = onSqlServer() ? QStringLiteral("insert into tblLabelControlItem") : QStringLiteral("newid()");
    plan.afterStatement = [&](const QString& statement) {
        if (ended || !statement.contains(cue))
            return;
        ended = true;
        endOtherSessions();
    };
    RecordingMessageSink messages;
    ScriptedResolver resolver;
    EXPECT_FALSE(shownIn(messages, importLabel(connectionString(QStringLiteral("faulty")), bundle, resolver)));
    plan = FaultPlan();
    EXPECT_TRUE(ended);
    ASSERT_FALSE(messages.warnings.isEmpty());
    EXPECT_TRUE(messages.warnings.last().endsWith(QStringLiteral("，未导入任何数据")))
        << messages.warnings.join('\n').toStdString();
    EXPECT_EQ(contents(kLabelTables), before);
}

// A bundle whose column names differ from the tables' only in case, as a server whose
// catalogue gives them in lower case exports it, imports as SQL Server matches names:
// ignoring case, its LabelIDs and ItemIDs replaced.
TEST_P(LabelTransferOverOdbcTest, AColumnNameIsFoundWhateverItsCase)
{
    const QString bundle = filePath(QStringLiteral("source.bq"));
    exportEmbedded(m_source, QStringLiteral("E2E-满"), bundle);
    QStringList lines = decodeBundle(readTestFile(bundle)).split(QLatin1Char('\n'));
    lines.removeLast();
    for (QString& line : lines)
        line = (line.startsWith(kColumnNamePrefix) ? line.toLower() : line) + QLatin1Char('\n');
    writeTestFile(bundle, encodeBundle(lines));
    expectSucceeds(korvelctl(QStringLiteral("import"), {bundle}));
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from tblLabelInfo where LabelID = '%1'")
                         .arg(bundleOf(bundle)[0].rows[1][0])),
              QStringLiteral("0"))
        << "the label has an identifier of its own";
}

TEST_P(LabelTransferOverOdbcTest, ABatchImportStopsAtALostConnectionAndKeepsWhatWentIn)
{
    const QStringList files = {filePath(QStringLiteral("a.bq")), filePath(QStringLiteral("b.bq")),
                               filePath(QStringLiteral("c.bq"))};
    exportEmbedded(m_source, QStringLiteral("E2E-满"), files[0]);
    exportEmbedded(m_source, QStringLiteral("E2E-空"), files[1]);
    exportEmbedded(m_source, QStringLiteral("E2E-满"), files[2]);
    // The server ends the import's session while the second file goes in: once its rows are
    // sent, or on PostgreSQL, which takes a file's rows and their commit in one statement,
    // once the first file's are.
    static FaultPlan plan;
    registerFaultInjectingProvider(plan, settingsProvider());
    plan = FaultPlan();
    plan.afterStatement = [this, labels = 0, last = onSqlServer() ? 2 : 1](const QString& statement) mutable {
        if (statement.contains(QLatin1String("insert into tblLabelInfo")) && ++labels == last)
            endOtherSessions();
    };
    m_folder.writeSettings(serverSettings(QStringLiteral("faulty")));
    const KorvelctlRun run = korvelctl(QStringLiteral("import"), files);
    plan = FaultPlan();

    EXPECT_EQ(run.exitCode, kExitFailure);
    EXPECT_EQ(run.out, QStringLiteral("导入 2 个文件：成功 1 个，拒绝 1 个（%1）\n").arg(files[1]));
    // The driver's one error for the file it hit, then the files left, on a line of their own.
    EXPECT_TRUE(run.err.startsWith(files[1] + QStringLiteral("：ADO 错误："))) << run.err.toStdString();
    EXPECT_EQ(run.err.count(QStringLiteral("ADO 错误：")), 1) << run.err.toStdString();
    EXPECT_TRUE(run.err.endsWith(QStringLiteral("\n与数据库的连接已断开，1 个文件未导入：%1\n").arg(files[2])))
        << run.err.toStdString();
    EXPECT_EQ(firstColumnOf(QStringLiteral("select LabelNo from tblLabelInfo")), QStringList({"E2E-满"}));
}

// Across a plant's network an action costs its round trips: a label of a thousand controls
// goes in, is checked, exported and listed in about as many statements as a label of one.
// The trial adds a batch of rows per 500 to each of the two large tables; the import sends
// the label in one statement, on SQL Server in one more for the second 500 items (each
// statement gathers one batch's keys).
TEST_P(LabelTransferOverOdbcTest, AnActionSendsAboutAsManyStatementsForALargeLabelAsForASmallOne)
{
    const QString bundle = filePath(QStringLiteral("label.bq"));
    const auto succeeds = [](bool done, const RecordingMessageSink& messages) {
        EXPECT_TRUE(done) << messages.warnings.join('\n').toStdString();
        return done;
    };
    const struct
    {
        const char* action;
        std::function<bool(Database& database)> run;
        qint64 moreBatches; // for a thousand controls than for one
    } actions[] = {
        {"import",
         [&](Database& database) {
             RecordingMessageSink messages;
             ScriptedResolver resolver;
             return succeeds(shownIn(messages, importBundleFile(database, bundle, resolver, ImportTransaction::Own)),
                             messages);
         },
         onSqlServer() ? 1 : 0},
        {"check",
         [&](Database& database) {
             return checkBundles(database, {bundle}, [](qsizetype, qsizetype, const QString&) {}).ok();
         },
         2},
        {"export",
         [&](Database& database) {
             return exportLabelTo(database, QStringLiteral("E2E-空"), filePath(QStringLiteral("out.bq")),
                                  LinkAtTarget::WriteThrough)
                 .ok();
         },
         0},
        {"labels", [](Database& database) { return listLabels(database).value.size() == 1; }, 0},
    };
    QMap<QString, qint64> forOne;
    for (const int controls : {1, 1000}) {
        runSql(
            QStringLiteral("delete from tblLabelControlItem; delete from tblLabelControls; delete from tblLabelInfo"));
        writeLabelOfControls(bundle, controls);
        for (const auto& action : actions) {
            Database database;
            ASSERT_TRUE(database.open(connectionString())) << database.lastError().toStdString();
            EXPECT_TRUE(action.run(database)) << action.action;
            if (controls == 1)
                forOne[action.action] = database.statementsSent();
            else
                EXPECT_EQ(database.statementsSent(), forOne[action.action] + action.moreBatches) << action.action;
        }
    }
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from tblLabelControlItem")), QStringLiteral("1000"));
}

// The rows go in by the hundred, and the server refuses one in the middle of its batch: it is
// still named by its line, with the server's reason, and nothing of the label stays.
TEST_P(LabelTransferOverOdbcTest, ARowRefusedInTheMiddleOfABatchIsNamedByItsLineAndNothingStays)
{
    const QString bundle = filePath(QStringLiteral("label.bq"));
    // An item's SourceType out of its column's range, which the server refuses for itself.
    const QList<BundleBlock> blocks = writeLabelOfControls(bundle, 1000, [](BundleBlock& items) {
        items.rows[600][items.rows[0].indexOf(QStringLiteral("SourceType"))] = QStringLiteral("300");
    });
    const QStringList before = contents(kLabelTables);
    const KorvelctlRun run = korvelctl(QStringLiteral("import"), {bundle});
    EXPECT_EQ(run.exitCode, kExitFailure);
    EXPECT_TRUE(run.err.startsWith(QStringLiteral("ADO 错误：0x80004005，"))) << run.err.toStdString();
    EXPECT_TRUE(
        run.err.endsWith(QStringLiteral("，导入表 tblLabelControlItem 失败（标签文件第 %1 行），未导入任何数据\n")
                             .arg(lineOfRow(blocks[2], 600))))
        << run.err.toStdString();
    EXPECT_EQ(contents(kLabelTables), before);
}

TEST_P(LabelTransferOnPostgreSqlTest, TheChecksVerdictOnEachFileIsTheImportsOnTheServer)
{
    // The server takes "yes" for a bit, which the value rules cannot read (SQL Server refuses
    // it as they do); the second file carries the number the first one brings.
    const QStringList files = {filePath(QStringLiteral("a.bq")), filePath(QStringLiteral("b.bq"))};
    exportEmbedded(m_source, QStringLiteral("E2E-空"), files[1]);
    QList<BundleBlock> blocks = bundleOf(files[1]);
    blocks[0].rows[1][blocks[0].rows[0].indexOf(QStringLiteral("IsLocked"))] = QStringLiteral("yes");
    QStringList lines;
    for (const BundleBlock& block : blocks)
        appendBundleBlock(block, &lines);
    writeTestFile(files[0], encodeBundle(lines));

    const KorvelctlRun checked = korvelctl(QStringLiteral("check"), files);
    EXPECT_EQ(checked.exitCode, kExitFailure);
    EXPECT_EQ(checked.out, QStringLiteral("%1：可以导入\n%2：标签文件第 3 行：E2E-空已经存在\n"
                                          "检查 2 个文件：可以导入 1 个，不能导入 1 个\n")
                               .arg(files[0], files[1]));
    const KorvelctlRun imported = korvelctl(QStringLiteral("import"), files);
    EXPECT_EQ(imported.out, QStringLiteral("导入 2 个文件：成功 1 个，拒绝 1 个（%1）\n").arg(files[1]));
    EXPECT_EQ(scalar(QStringLiteral("select IsLocked from tblLabelInfo")), QStringLiteral("-1"));
}

// SQL Server stores a character that the code page of a varchar column's collation lacks as
// "?", without a word: such a text is refused, and one its code page has goes in.
TEST_P(LabelTransferOnSqlServerTest, TextTheCodePageOfItsColumnLacksIsRefusedWithItsLine)
{
    runSql(
        QStringLiteral("alter table tblLabelControlItem add Latin varchar(20) collate sql_latin1_general_cp1_ci_as"));
    m_source.exec(QStringLiteral("ALTER TABLE tblLabelControlItem ADD COLUMN Latin varchar(20);"
                                 "UPDATE tblLabelControlItem SET FieldName = '批次' WHERE ItemName = '批次号';"));
    const QString bundle = filePath(QStringLiteral("source.bq"));
    const QStringList before = contents(kLabelTables);
    const struct
    {
        const char* latin;
        const char* refusal; // nullptr: imported
    } cases[] = {
        {"Numéro", nullptr},
        {"批次号", "表 tblLabelControlItem 列 Latin 的值“批次号”含有代码页 1252 无法表示的字符“批”"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.latin);
        m_source.exec(QStringLiteral("UPDATE tblLabelControlItem SET Latin = '%1' WHERE ItemName = '批次号'")
                          .arg(QString::fromUtf8(c.latin)));
        exportEmbedded(m_source, QStringLiteral("E2E-满"), bundle);
        const KorvelctlRun checked = korvelctl(QStringLiteral("check"), {bundle});
        const KorvelctlRun imported = korvelctl(QStringLiteral("import"), {bundle});
        if (!c.refusal) {
            expectSucceeds(checked);
            expectSucceeds(imported);
            const QList<DbValue> item =
                queryRows(QStringLiteral("select FieldName, Latin from tblLabelControlItem")).value(0);
            EXPECT_EQ(item.value(0).text, QStringLiteral("批次")) << "the Chinese collation's code page has it";
            EXPECT_EQ(item.value(1).text, QString::fromUtf8(c.latin));
            runSql(QStringLiteral(
                "delete from tblLabelControlItem; delete from tblLabelControls; delete from tblLabelInfo"));
            continue;
        }
        const QString failure =
            QStringLiteral("ADO 错误：0x80004005，%1，导入表 tblLabelControlItem 失败（标签文件第 9 行），"
                           "未导入任何数据\n")
                .arg(QString::fromUtf8(c.refusal));
        EXPECT_EQ(checked.exitCode, kExitFailure);
        EXPECT_TRUE(checked.out.startsWith(bundle + QStringLiteral("：") + failure)) << checked.out.toStdString();
        EXPECT_EQ(imported.exitCode, kExitFailure);
        EXPECT_EQ(imported.err, failure);
        EXPECT_EQ(contents(kLabelTables), before);
    }
}

INSTANTIATE_TEST_SUITE_P(, LabelTransferOnSqlServerTest, ::testing::Values(TestServerKind::SqlServer), testServerName);
INSTANTIATE_TEST_SUITE_P(, LabelTransferOnPostgreSqlTest, ::testing::Values(TestServerKind::PostgreSql),
                         testServerName);
INSTANTIATE_TEST_SUITE_P(, LabelTransferOverOdbcTest,
                         ::testing::Values(TestServerKind::PostgreSql, TestServerKind::SqlServer), testServerName);
