#include "labels/LabelImport.h"

#include "db/Database.h"
#include "db/client/ValueText.h"
#include "tests/labels/LabelTestSupport.h"
#include "tests/support/EmbeddedTestDatabase.h"
#include "tests/support/FaultInjectingClient.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/RecordingMessageSink.h"
#include "tests/support/TestFiles.h"

#include <QFile>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace korvel;

namespace {

const QString kLabelHeader = QStringLiteral("表名:tblLabelInfo\n列名:LabelID,LabelNo,LabelStatus\n");
const QString kLabelRow = QStringLiteral("{AAAAAAAA-0000-4000-8000-000000000001},导入-1,1\n");
const QString kControlsHeader = QStringLiteral("表名:tblLabelControls\n列名:LabelID,ItemID,Caption\n");
const QString kItemsHeader = QStringLiteral("表名:tblLabelControlItem\n列名:LineID,ItemID,ItemName\n");

class LabelImportTest : public ::testing::Test
{
protected:
    LabelImportTest() : database(kCompactLabelSchema) {}

    bool runImport(ScriptedResolver& resolver)
    {
        return shownIn(messages, importLabel(database.connectionString(), bundle, resolver));
    }
    // An import that must fail with the message and leave the database as it was.
    void expectRefused(const QString& message, const char* what)
    {
        const QStringList before = labelTableContents(database.path());
        messages = RecordingMessageSink();
        ScriptedResolver resolver(QStringLiteral("never used"));
        EXPECT_FALSE(runImport(resolver)) << what;
        EXPECT_EQ(messages.warnings, QStringList{message}) << what;
        EXPECT_TRUE(messages.informations.isEmpty()) << what;
        EXPECT_EQ(labelTableContents(database.path()), before) << what;
    }

    EmbeddedTestDatabase database;
    QTemporaryDir dir;
    QString bundle = dir.filePath(QStringLiteral("label.bq"));
    RecordingMessageSink messages;
};

} // namespace

TEST_F(LabelImportTest, EveryIdentifierIsNewAndEveryReferenceKept)
{
    // Enciphered by a Python RC4 from this text (the bundle's LineIDs must not be used):
    //   表名:tblLabelInfo / 列名:LabelID,LabelNo,LabelStatus / {AAAAAAAA-…0001},导入-1,1
    //   表名:tblLabelControls / 列名:LabelID,ItemID,Caption
    //   {A…1},{BBBBBBBB-…0001},甲 / {A…1},{B…2},乙 / {A…1},{B…1},丙 / {A…1},,空
    //   表名:tblLabelControlItem / 列名:LineID,ItemID,ItemName
    //   99,{B…1},第一项 / 100,{B…2},第二项 / 101,{B…3},孤立项 / 102,,空项
    writeTestFile(
        bundle,
        hex("4fb449503e59540ada995e77512bd1004c35a7db6b0b56dc3984b63fb35186e599bd1173d3ca47c36dba128757b7c43424c8"
            "388db34cfd3c1315c744369cdc36be26cbb168a97dcc89a7c5fc7bba8ef84730b9be17658e1cf5c85b07ab5e2ad25c7f07a2"
            "50a1271f3558d3d60972d8764887e026bb746aaff8d78aeba949b006d6f55c749896bb7cb5311c5416cc420ace933c634f9c"
            "0cd624d1364cf25c3c89958ba3f089fc9f69c2608a7f3d087fd7efd133daa65d8883d5a8c645ba71226e19810716378ea29c"
            "22989435f44d6bb5ec08b8d35cc754a6a2c842c2926428642350ff96fdc4ee108e7dd6f4074a4621a8120037f9a606eb0cc8"
            "8948fe8f32eebe132b62c7f5bb9b7bf48e728e766b2001edcb9eb351efff663d8a57bd008429d725ec68999d986084176fe2"
            "5023fd4f0edd0f708d76e130cdaee56dd4b58b8a0921fb22af19e73fcdb946c66b29e7f4708f8ed97e4750ebd43c96dca65d"
            "06bdd180f639292dcafaf28719a1fc45cc05bad5fb77ae4a351f2c03169ed9140c4ea7a2ad27f5dd8277c7d396c36cb0aa33"
            "731a8b2538c830904884067cb740c8e1205b22d9aa6b513753ca2db707407e9c23003148df06cc47c8d6cb9b0f038f0b8ff0"
            "266aeeed441a407be53fca9d713c1672fe6f7e0b4200e47291049dac166928a4d17f9617737a750438f3a3384d0ca1f0fc56"
            "a587d0966b7b17ca42ab39c138328f0f8262177259f77ba15eb249003e93966bc4f4c2e5af2c7d4612a6327ff68a70355ba2"
            "33f7f20570d18ebefb2bbd0f4cca998039a4703b3b246a3eb496e49af9ad75ec4637a6b190a68e1bc450961d4edcb933ce31"
            "b622381c9185377167875b1e15e9b8ae1800131796c11989435b4519559101963a59f20a3fbc7d047b848169af025f82d198"
            "cab62055c0b573f23293f7ea695443bb55f911adbe50104717f0a8"));
    ScriptedResolver resolver;
    ASSERT_TRUE(runImport(resolver)) << messages.warnings.join('\n').toStdString();
    EXPECT_TRUE(messages.informations.isEmpty()) << "the caller says that it worked";
    EXPECT_TRUE(resolver.asked.isEmpty()) << "a free label number asks nothing";

    const TextTable labels = database.programRows(QStringLiteral("select * from tblLabelInfo"));
    ASSERT_EQ(labels.size(), 1);
    const QString labelId = labels[0][0];
    EXPECT_TRUE(isGuidText(labelId));
    EXPECT_NE(labelId, QStringLiteral("{AAAAAAAA-0000-4000-8000-000000000001}"));
    EXPECT_EQ(labels[0].mid(1), TextRow({"导入-1", "1"}));

    // Each control joined with its item: a shared item is one item, an empty ItemID an
    // identifier like any other.
    EXPECT_EQ(database.programRows(QStringLiteral("select c.Caption, i.ItemName, i.LineID from tblLabelControls c"
                                                  " join tblLabelControlItem i on i.ItemID = c.ItemID"
                                                  " where c.LabelID = '%1' order by c.rowid")
                                       .arg(labelId)),
              TextTable({{"甲", "第一项", "1"}, {"乙", "第二项", "2"}, {"丙", "第一项", "1"}, {"空", "空项", "4"}}));
    const TextTable items =
        database.programRows(QStringLiteral("select ItemID, ItemName from tblLabelControlItem order by LineID"));
    ASSERT_EQ(items.size(), 4);
    QSet<QString> itemIds;
    for (const TextRow& item : items) {
        EXPECT_TRUE(isGuidText(item[0])) << item[1].toStdString();
        EXPECT_FALSE(item[0].startsWith(QStringLiteral("{BBBBBBBB"))) << item[1].toStdString();
        itemIds.insert(item[0]);
    }
    EXPECT_EQ(itemIds.size(), 4) << "the item no control uses has an identifier of its own";
}

TEST_F(LabelImportTest, BundlesThatAreNotWhatTheImportNeedsAreRefusedBeforeAnythingChanges)
{
    // The reader's refusals are the bundle checks' (LabelBundleTest): one stands for them
    // here, beside what only the import finds.
    database.exec(QStringLiteral("CREATE TABLE tblUserInfo (UserID nvarchar(20));"));
    const struct
    {
        QByteArray file;
        const char* message;
    } cases[] = {
        {bundleBytes(kLabelHeader + kLabelRow + "表名:tblUserInfo\n列名:UserID\nintruder\n" + kControlsHeader +
                     kItemsHeader),
         "标签文件含有标签以外的表 tblUserInfo，未导入任何数据"},
        {bundleBytes("表名:tblLabelInfo\n列名:LabelID,LabelNo,LabelStatus\r\n{A},甲,1\r\n" + kControlsHeader +
                     kItemsHeader),
         "ADO 错误：0x80004005，列名 'LabelStatus\r' 无效。导入表 tblLabelInfo 失败，未导入任何数据"},
        {bundleBytes("表名:tblLabelInfo\n列名:LabelID,LabelStatus\n{A},1\n" + kControlsHeader + kItemsHeader),
         "标签文件中表 tblLabelInfo 没有 LabelNo 列，未导入任何数据"},
        {bundleBytes(kLabelHeader + kControlsHeader + kItemsHeader), "标签文件中没有标签，未导入任何数据"},
    };
    for (const auto& refused : cases) {
        writeTestFile(bundle, refused.file);
        expectRefused(QString::fromUtf8(refused.message), refused.message);
    }
    EXPECT_EQ(database.scalar(QStringLiteral("select count(*) from tblUserInfo")), QStringLiteral("0"));

    // Enciphered by a Python RC4 with the key MD5("label") instead of MD5("qkd"): our key
    // turns it into noise that does not end in the NUL.
    writeTestFile(
        bundle,
        hex("219c3cc8867e0f281e2e8090d20281cc827bdd6910159863a3354ec71ef94ddada77dbafbbcea909280cf54aad3981bc7f9e"
            "c24b1667d6df9f0e69e509784d0698927d9784dc211ae7c4a360e9f01e546166d12b67a876e7d69e0221596452328479a894"
            "5db250b662ff"));
    expectRefused(QStringLiteral("不是完整的标签文件：末尾没有结束标记，未导入任何数据"), "another key");
}

TEST_F(LabelImportTest, AFailureInTheLastBlockLeavesNothingBehind)
{
    database.exec(QStringLiteral("INSERT INTO tblLabelInfo VALUES ('{C0000000-0000-4000-8000-000000000000}', 'old', 1);"
                                 "CREATE TRIGGER refuse BEFORE INSERT ON tblLabelControlItem WHEN NEW.ItemName = '坏'"
                                 " BEGIN SELECT RAISE(ABORT, '此项被拒绝'); END;"));
    writeBundleFile(bundle, kLabelHeader + kLabelRow +
                                "表名:tblLabelControls\n列名:LabelID,ItemID,Caption\n"
                                "{AAAAAAAA-0000-4000-8000-000000000001},{B1},甲\n"
                                "表名:tblLabelControlItem\n列名:LineID,ItemID,ItemName\n1,{B1},好\n2,{B2},坏\n");
    expectRefused(
        QStringLiteral("ADO 错误：0x80004005，此项被拒绝，导入表 tblLabelControlItem 失败（标签文件第 10 行），"
                       "未导入任何数据"),
        "trigger");
}

TEST_F(LabelImportTest, TheImportTellsHowFarEachTableHasCome)
{
    writeBundleFile(bundle, kLabelHeader + kLabelRow +
                                "表名:tblLabelControls\n列名:LabelID,ItemID,Caption\n"
                                "{AAAAAAAA-0000-4000-8000-000000000001},{B1},甲\n"
                                "{AAAAAAAA-0000-4000-8000-000000000001},{B2},乙\n"
                                "表名:tblLabelControlItem\n列名:LineID,ItemID,ItemName\n1,{B1},一\n2,{B2},二\n");
    QStringList told;
    ScriptedResolver resolver;
    ASSERT_TRUE(shownIn(messages, importLabel(database.connectionString(), bundle, resolver,
                                              [&told](const QString& table, qsizetype done, qsizetype rows) {
                                                  told.append(
                                                      QStringLiteral("%1 %2/%3").arg(table).arg(done).arg(rows));
                                              })));
    EXPECT_EQ(told, QStringList({"tblLabelInfo 0/1", "tblLabelInfo 1/1", "tblLabelControls 0/2", "tblLabelControls 1/2",
                                 "tblLabelControls 2/2", "tblLabelControlItem 0/2", "tblLabelControlItem 1/2",
                                 "tblLabelControlItem 2/2"}));
}

TEST_F(LabelImportTest, AFailureAtAnyCallOfTheImportLeavesTheDatabaseAsItWas)
{
    static FaultPlan plan; // the provider stays registered for the rest of the process
    registerFaultInjectingProvider(plan);
    const QString faulty = QStringLiteral("Provider=faulty;Data Source=%1;").arg(database.path());
    writeBundleFile(
        bundle, kLabelHeader + kLabelRow +
                    "表名:tblLabelControls\n列名:LabelID,ItemID,Caption\n"
                    "{AAAAAAAA-0000-4000-8000-000000000001},{B1},甲\n{AAAAAAAA-0000-4000-8000-000000000001},{B1},乙\n"
                    "表名:tblLabelControlItem\n列名:LineID,ItemID,ItemName\n1,{B1},项\n");
    const QString pristine = dir.filePath(QStringLiteral("pristine.db"));
    ASSERT_TRUE(QFile::copy(database.path(), pristine));
    const QStringList before = labelTableContents(pristine);

    expectImportFailuresSayNothingWasImported(runFailingAtEveryCall(plan, [&](MessageSink& sink) {
        ScriptedResolver resolver;
        if (!shownIn(sink, importLabel(faulty, bundle, resolver))) {
            EXPECT_EQ(labelTableContents(database.path()), before) << "failure at call " << plan.failAt;
            return false;
        }
        // The label that went in is taken out again for the next run.
        return QFile::remove(database.path()) && QFile::copy(pristine, database.path());
    }));
}

TEST_F(LabelImportTest, AClashingLabelNumberIsReplacedByTheResolversOrTheImportGivesUp)
{
    database.exec(
        QStringLiteral("INSERT INTO tblLabelInfo VALUES ('{C0000000-0000-4000-8000-000000000000}', '导入-1', 1)"));
    writeBundleFile(bundle, kLabelHeader + kLabelRow + kControlsHeader +
                                "{AAAAAAAA-0000-4000-8000-000000000001},{B1},甲\n" + kItemsHeader);
    const QStringList before = labelTableContents(database.path());
    ScriptedResolver givesUp;
    EXPECT_FALSE(runImport(givesUp));
    EXPECT_EQ(givesUp.asked, QStringList{"导入-1"});
    EXPECT_TRUE(messages.warnings.isEmpty()) << "giving up shows nothing more";
    EXPECT_TRUE(messages.informations.isEmpty());
    EXPECT_EQ(labelTableContents(database.path()), before);

    ScriptedResolver renames(QStringLiteral("导入-2"));
    ASSERT_TRUE(runImport(renames)) << messages.warnings.join('\n').toStdString();
    EXPECT_EQ(renames.asked, QStringList{"导入-1"});
    EXPECT_EQ(
        database.programRows(QStringLiteral("select i.LabelNo, c.Caption from tblLabelInfo i"
                                            " left join tblLabelControls c on c.LabelID = i.LabelID order by i.rowid")),
        TextTable({{"导入-1", ""}, {"导入-2", "甲"}}));
}

TEST_F(LabelImportTest, TheUserIsAskedWithNothingLockedAndANumberTakenMeanwhileIsRefused)
{
    database.exec(
        QStringLiteral("INSERT INTO tblLabelInfo VALUES ('{C0000000-0000-4000-8000-000000000000}', '导入-1', 1)"));
    writeBundleFile(bundle, kLabelHeader + kLabelRow + kControlsHeader + kItemsHeader);
    // Another program takes the number while the user types it: it must not find the label
    // table locked, and the import must not take the number a second time.
    ScriptedResolver resolver(QStringLiteral("导入-2"));
    resolver.whileAsked = [this] {
        database.exec(
            QStringLiteral("INSERT INTO tblLabelInfo VALUES ('{C0000000-0000-4000-8000-000000000002}', '导入-2', 1)"));
    };
    EXPECT_FALSE(runImport(resolver));
    EXPECT_EQ(messages.warnings, QStringList{"导入-2已经存在，未导入任何数据"});
    EXPECT_EQ(database.count(QStringLiteral("select count(*) from tblLabelInfo")), 2);
}

TEST_F(LabelImportTest, AnImportWaitsForTheTransactionOfAnotherWriter)
{
    writeBundleFile(bundle, kLabelHeader + kLabelRow + kControlsHeader + kItemsHeader);
    Database writer;
    ASSERT_TRUE(writer.open(database.connectionString()) && writer.beginTransaction() &&
                writer.execute(QStringLiteral(
                    "insert into tblLabelInfo values ('{C0000000-0000-4000-8000-000000000000}', 'other', 1)")))
        << writer.lastError().toStdString();
    bool imported = false;
    std::thread other([&] {
        ScriptedResolver resolver;
        imported = runImport(resolver);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_TRUE(writer.commitTransaction()) << writer.lastError().toStdString();
    other.join();
    EXPECT_TRUE(imported) << messages.warnings.join('\n').toStdString();
    EXPECT_EQ(database.count(QStringLiteral("select count(*) from tblLabelInfo")), 2);
}

TEST_F(LabelImportTest, RowExistsComparesALiteralOfTheColumnsType)
{
    database.exec(
        QStringLiteral("INSERT INTO tblLabelInfo VALUES ('{C0000000-0000-4000-8000-000000000000}', 'O''Neil', 7),"
                       " ('{C0000000-0000-4000-8000-000000000001}', 'Провод', 1)"));
    Database connection;
    ASSERT_TRUE(connection.open(database.connectionString()));
    const QString table = QStringLiteral("tblLabelInfo");
    EXPECT_TRUE(rowExists(connection, table, QStringLiteral("O'Neil"), QStringLiteral("LabelNo")));
    EXPECT_TRUE(rowExists(connection, table, QStringLiteral("7"), QStringLiteral("LabelStatus")));
    EXPECT_TRUE(
        rowExists(connection, table, QStringLiteral("c0000000-0000-4000-8000-000000000000"), QStringLiteral("LabelID")))
        << "a GUID is compared in the program's form";
    for (const char* same : {"o'neil  ", "ПРОВОД"})
        EXPECT_TRUE(rowExists(connection, table, QString::fromUtf8(same), QStringLiteral("LabelNo")))
            << same << ": texts compare as SQL Server's default collation compares them";
    EXPECT_FALSE(rowExists(connection, table, QStringLiteral(" O'Neil"), QStringLiteral("LabelNo")));
    EXPECT_FALSE(rowExists(connection, table, QStringLiteral("x' or '1'='1"), QStringLiteral("LabelNo")));
    EXPECT_FALSE(rowExists(connection, table, QString(), QStringLiteral("LabelNo")));
    EXPECT_FALSE(rowExists(connection, table, QStringLiteral("8"), QStringLiteral("LabelStatus")));
    EXPECT_FALSE(rowExists(connection, table, QStringLiteral("O'Neil"), QStringLiteral("NoSuchColumn")));
    EXPECT_FALSE(
        rowExists(connection, QStringLiteral("tblNothing"), QStringLiteral("O'Neil"), QStringLiteral("LabelNo")));
}

TEST_F(LabelImportTest, NewIdentifiersComeFromTheServerWithoutBraces)
{
    Database connection;
    ASSERT_TRUE(connection.open(database.connectionString()));
    QString first;
    QString second;
    QString error;
    ASSERT_TRUE(newGuidText(connection, first, error) && newGuidText(connection, second, error));
    EXPECT_EQ(first.size(), 36);
    EXPECT_TRUE(isGuidText(first) && !first.startsWith(QLatin1Char('{'))) << first.toStdString();
    EXPECT_NE(first, second);

    Database closed;
    EXPECT_FALSE(newGuidText(closed, first, error));
    EXPECT_EQ(error, QStringLiteral("ADO 错误：0x80004003，(null)，生成新标识失败"));
}

// A batch's draw brings as many again for each import expected after it: one statement for
// the three imports of a batch, another once they are used up; none is given twice.
TEST_F(LabelImportTest, ABatchsIdentifiersAreDrawnAheadInOneStatement)
{
    Database connection;
    ASSERT_TRUE(connection.open(database.connectionString()));
    GuidSupply supply;
    QSet<QString> given;
    QList<qint64> statements;
    for (qsizetype importsAfter : {2, 1, 0, 0}) {
        supply.setImportsAfter(importsAfter);
        QStringList guids;
        QString error;
        ASSERT_TRUE(supply.take(connection, 3, guids, error)) << error.toStdString();
        EXPECT_EQ(guids.size(), 3);
        given.unite(QSet<QString>(guids.cbegin(), guids.cend()));
        statements.append(connection.statementsSent());
    }
    EXPECT_EQ(statements, QList<qint64>({1, 1, 1, 2}));
    EXPECT_EQ(given.size(), 12);
}
