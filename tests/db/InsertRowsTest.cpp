#include "db/Database.h"
#include "db/client/DbClient.h"
#include "db/client/SqlDialect.h"
#include "db/odbc/OdbcResult.h"

#include "tests/support/EmbeddedTestDatabase.h"
#include "tests/support/QtPrinting.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace korvel;

namespace {

const char* kItemSchema =
    "CREATE TABLE tblLabelControlItem (ItemID uniqueidentifier, LineID INTEGER PRIMARY KEY AUTOINCREMENT,"
    " Caption nvarchar(50), Size decimal(5,2), Bold bit, Created datetime, Checksum varbinary(16), Picture image);"
    "CREATE TABLE tblCopy (ItemID uniqueidentifier, LineID int, Caption nvarchar(50), Size decimal(5,2), Bold bit,"
    " Created datetime, Checksum varbinary(16), Picture image);";

const TextRow kHeader = {"ItemID", "LineID", "Caption", "Size", "Bold", "Created", "Checksum", "Picture"};

class InsertRowsTest : public OpenEmbeddedDatabase
{
protected:
    InsertRowsTest() : OpenEmbeddedDatabase(kItemSchema) {}
};

} // namespace

TEST_F(InsertRowsTest, AHeaderAloneInsertsNothing)
{
    TextTable table = {kHeader};
    EXPECT_TRUE(database.insertRows(table, QStringLiteral("tblLabelControlItem")));
    EXPECT_EQ(file.scalar(QStringLiteral("select count(*) from tblLabelControlItem")), QStringLiteral("0"));
}

TEST_F(InsertRowsTest, TheKeyIsReadBackAndLongBinaryIsWritten)
{
    TextTable table = {kHeader,
                       {"{11111111-2222-3333-4444-555555555555}", "9", "首行 'quoted'", "10.50", "是", "2017-04-06",
                        "0AFF", "89504E470D0A1A0A"},
                       {"{66666666-2222-3333-4444-555555555555}", "9", "", "", "0", "", "", ""}};
    const QList<int> skip = {1};
    const Database::InsertedRows inserted =
        database.insertRows(table, QStringLiteral("tblLabelControlItem"), skip, QStringLiteral("LineID"));
    ASSERT_TRUE(inserted) << database.lastError().toStdString();
    EXPECT_EQ(inserted.table[1][1], QStringLiteral("1")) << "the identity the database gave replaces the bundle's";
    EXPECT_EQ(inserted.table[2][1], QStringLiteral("2"));

    const TextTable rows = query(QStringLiteral("select * from tblLabelControlItem order by LineID"));
    EXPECT_EQ(rows, TextTable({{"{11111111-2222-3333-4444-555555555555}", "1", "首行 'quoted'", "10.50", "-1",
                                "2017-04-06", "0AFF", "89504E470D0A1A0A"},
                               {"{66666666-2222-3333-4444-555555555555}", "2", "", "", "0", "", "", ""}}));
    EXPECT_EQ(file.scalar(QStringLiteral("select typeof(Size) from tblLabelControlItem where LineID=2")),
              QStringLiteral("null"))
        << "an empty number is NULL";
    EXPECT_EQ(file.scalar(QStringLiteral("select hex(Picture) from tblLabelControlItem where LineID=1")),
              QStringLiteral("89504E470D0A1A0A"));
}

TEST_F(InsertRowsTest, RowsRoundTripBetweenTables)
{
    TextTable table = {kHeader,
                       {"{0F8FAD5B-D9CB-469F-A165-70867728950E}", "3", "κύκλωμα,线", "0.25", "-1",
                        "2023-11-30 23:59:58.500", "00", "FF00FF"}};
    const QList<int> skip = {1};
    ASSERT_TRUE(database.insertRows(table, QStringLiteral("tblLabelControlItem"), skip, QStringLiteral("LineID")));
    TextTable exported = {kHeader};
    exported += query(QStringLiteral("select * from tblLabelControlItem"));
    TextTable copy = exported;
    ASSERT_TRUE(database.insertRows(copy, QStringLiteral("tblCopy")));
    EXPECT_EQ(query(QStringLiteral("select * from tblCopy")), exported.mid(1));
}

TEST_F(InsertRowsTest, WithoutAKeyThereIsNoReadBackAndNoBinaryPass)
{
    TextTable table = {kHeader, {"{0F8FAD5B-D9CB-469F-A165-70867728950E}", "77", "x", "1", "1", "", "", "ABCD"}};
    const Database::InsertedRows inserted = database.insertRows(table, QStringLiteral("tblCopy"));
    ASSERT_TRUE(inserted);
    EXPECT_EQ(inserted.table, table);
    EXPECT_EQ(query(QStringLiteral("select LineID, Picture from tblCopy")), TextTable({{"77", "ABCD"}}));
}

TEST_F(InsertRowsTest, TheFirstRejectedRowStopsTheInsert)
{
    TextTable table = {{"LineID", "Caption"}, {"1", "a"}, {"1", "duplicate key"}, {"2", "never tried"}};
    EXPECT_FALSE(database.insertRows(table, QStringLiteral("tblLabelControlItem")));
    EXPECT_TRUE(database.lastError().startsWith(QStringLiteral("ADO 错误：0x80004005，")));
    EXPECT_EQ(file.scalar(QStringLiteral("select count(*) from tblLabelControlItem")), QStringLiteral("1"));

    TextTable unknown = {{"A"}, {"1"}};
    EXPECT_FALSE(database.insertRows(unknown, QStringLiteral("tblNothing")));
    EXPECT_TRUE(database.lastError().contains(QStringLiteral("tblNothing")));
}

TEST_F(InsertRowsTest, HeaderNamesAreMatchedIgnoringCaseForTheCheckAndTheTypeAlike)
{
    // "checksum" is the Checksum column: its value is binary, which text would not be.
    TextTable table = {{"itemid", "lineid", "caption", "checksum", "picture"},
                       {"{0F8FAD5B-D9CB-469F-A165-70867728950E}", "0", "it's", "0AFF", "FF00"}};
    const QList<int> skip = {1};
    const Database::InsertedRows inserted =
        database.insertRows(table, QStringLiteral("tblLabelControlItem"), skip, QStringLiteral("lineid"));
    ASSERT_TRUE(inserted) << database.lastError().toStdString();
    EXPECT_EQ(inserted.table[1][1], QStringLiteral("1"));
    EXPECT_EQ(query(QStringLiteral("select Caption, Checksum, Picture from tblLabelControlItem")),
              TextTable({{"it's", "0AFF", "FF00"}}));
}

TEST_F(InsertRowsTest, ANullLongBinaryStaysNull)
{
    TextTable table = {kHeader, {"{0F8FAD5B-D9CB-469F-A165-70867728950E}", "0", "x", "", "", "", "", ""}};
    const QList<int> skip = {1};
    ASSERT_TRUE(database.insertRows(table, QStringLiteral("tblLabelControlItem"), skip, QStringLiteral("LineID")));
    EXPECT_EQ(file.scalar(QStringLiteral("select typeof(Picture) from tblLabelControlItem")), QStringLiteral("null"));
}

TEST_F(InsertRowsTest, TheKeyAndTheLongBinaryKeepTheirPlacesInATableOfAnotherColumnOrder)
{
    // The live position of the key is the header's position of the picture.
    file.exec("CREATE TABLE tblReordered (Picture image, Caption nvarchar(50),"
              " LineID INTEGER PRIMARY KEY AUTOINCREMENT, ItemID uniqueidentifier);");
    TextTable table = {{"ItemID", "LineID", "Picture", "Caption"},
                       {"{0F8FAD5B-D9CB-469F-A165-70867728950E}", "9", "89504E470D0A1A0A", "x"}};
    const QList<int> skip = {1};
    const Database::InsertedRows inserted =
        database.insertRows(table, QStringLiteral("tblReordered"), skip, QStringLiteral("LineID"));
    ASSERT_TRUE(inserted) << database.lastError().toStdString();
    EXPECT_EQ(inserted.table[1], TextRow({"{0F8FAD5B-D9CB-469F-A165-70867728950E}", "1", "89504E470D0A1A0A", "x"}));
    EXPECT_EQ(query(QStringLiteral("select * from tblReordered")),
              TextTable({{"89504E470D0A1A0A", "x", "1", "{0F8FAD5B-D9CB-469F-A165-70867728950E}"}}));
}

TEST_F(InsertRowsTest, ARefusedValueNamesItsTableColumnAndRow)
{
    TextTable table = {{"LineID", "Caption", "Bold"}, {"1", "ok", "1"}, {"2", "ok", "yes"}, {"3", "never", "0"}};
    const Database::InsertedRows inserted = database.insertRows(table, QStringLiteral("tblCopy"));
    EXPECT_FALSE(inserted);
    EXPECT_EQ(inserted.failedRow, 2);
    EXPECT_EQ(database.lastError(),
              QStringLiteral("ADO 错误：0x80004005，表 tblCopy 列 Bold 的值“yes”不是 bit 值（1、0、true 或 false）"));
}

TEST_F(InsertRowsTest, OnlyLiveColumnNamesReachTheStatement)
{
    file.exec("INSERT INTO tblCopy (LineID) VALUES (42);"
              "CREATE TABLE tblSpaced (Id int, [Font Size] decimal(5,2), \"Odd\"\"Name\" image);");
    TextTable hostile = {{"LineID", "Caption) values (1, 'x'); DELETE FROM tblCopy; --"}, {"1", "a"}};
    EXPECT_FALSE(database.insertRows(hostile, QStringLiteral("tblCopy")));
    EXPECT_TRUE(database.lastError().contains(QStringLiteral("无效"))) << database.lastError().toStdString();
    EXPECT_EQ(file.scalar(QStringLiteral("select count(*) from tblCopy")), QStringLiteral("1"));

    TextTable spaced = {{"Id", "font size", "Odd\"Name"}, {"1", "9.5", "0AFF"}};
    ASSERT_TRUE(database.insertRows(spaced, QStringLiteral("tblSpaced"), {}, QStringLiteral("Id")))
        << database.lastError().toStdString();
    EXPECT_EQ(query(QStringLiteral("select * from tblSpaced")), TextTable({{"1", "9.50", "0AFF"}}))
        << "the long binary pass names the quoted column too";
}

namespace {

// What a server refuses of an insert in batches: the batches, and then the way back to
// their savepoint; and whether a transaction is still open after that.
struct BatchRefusal
{
    bool batches = false;
    bool savepoints = false;
    bool transactionOpen = true;
};

// A server as far as an insert needs one: the probe's columns, a new key for each insert,
// the rows a long binary write changed, and every statement as it arrived.
class ScriptedServer : public DbClient
{
public:
    ScriptedServer(QStringList& statements, const SqlDialect& dialect, qint64 binaryRowsChanged, bool givesKeys,
                   BatchRefusal refusal)
        : m_statements(statements),
          m_dialect(dialect),
          m_binaryRowsChanged(binaryRowsChanged),
          m_givesKeys(givesKeys),
          m_refusal(refusal)
    {
    }
    bool open(const QString&, DbError&) override { return m_open = true; }
    bool isOpen() const override { return m_open; }
    bool close(DbError&) override { return !(m_open = false); }
    bool execute(const QString& sql, qint64& rowsChanged, DbError& error) override
    {
        m_statements.append(sql);
        rowsChanged = 1;
        return !refuses(sql, error);
    }
    std::unique_ptr<DbCursor> openCursor(const QString& sql, DbError& error) override
    {
        m_statements.append(sql);
        if (refuses(sql, error))
            return nullptr;
        if (sql == QLatin1String("select @@TRANCOUNT")) {
            return std::make_unique<BufferedCursor>(
                QList<BufferedCursor::Field>{{"", {adInteger}}},
                QList<BufferedCursor::Row>{{DbValue::fromText(m_refusal.transactionOpen ? "1" : "0")}}, std::nullopt);
        }
        // The columns of each table probed, one result each.
        if (sql.startsWith(QLatin1String("select top 1 *")) || sql.endsWith(QLatin1String(" limit 1"))) {
            std::unique_ptr<BufferedCursor> probes;
            for (qsizetype i = sql.count(QLatin1Char(';')) + 1; i > 0; --i) {
                probes =
                    std::make_unique<BufferedCursor>(QList<BufferedCursor::Field>{{"A", {adInteger}},
                                                                                  {"B", {adInteger}},
                                                                                  {"C", {adVarWChar, 50}},
                                                                                  {"D", {adLongVarBinary}},
                                                                                  {"E", {adDBTimeStamp, 23, 3}},
                                                                                  {"F", {adVarChar, 4}}},
                                                     QList<BufferedCursor::Row>(), std::nullopt, std::move(probes));
            }
            return probes;
        }
        if (sql.contains(QLatin1String("sys.columns"))) {
            const auto text = [](const char* value) { return DbValue::fromText(QString::fromUtf8(value)); };
            return std::make_unique<BufferedCursor>(
                QList<BufferedCursor::Field>{{"name", {adVarWChar, 128}}, {"codepage", {adInteger}}},
                QList<BufferedCursor::Row>{
                    {text("a"), DbValue::null()}, {text("c"), text("936")}, {text("f"), text("1252")}},
                std::nullopt);
        }
        // A batch of rows sent together begins with the query that stops it: "Taken" finds a row.
        if (sql.startsWith(QLatin1String("select * from Taken")) ||
            sql.startsWith(QLatin1String("select * from Free"))) {
            QList<BufferedCursor::Row> found;
            if (sql.startsWith(QLatin1String("select * from Taken")))
                found.append({DbValue::fromText(QStringLiteral("1"))});
            return std::make_unique<BufferedCursor>(QList<BufferedCursor::Field>{{"", {adInteger}}}, found,
                                                    std::nullopt, keysOf(sql));
        }
        return keysOf(sql);
    }
    bool executeWithBinary(const QString& sql, const QByteArray& bytes, qint64& rowsChanged, DbError&) override
    {
        m_statements.append(sql + QStringLiteral(" <- ") + QString::fromLatin1(bytes.toHex()));
        rowsChanged = m_binaryRowsChanged;
        return true;
    }
    bool beginTransaction(DbError&) override { return true; }
    bool commitTransaction(DbError&) override { return true; }
    bool rollbackTransaction(DbError&) override { return true; }
    const SqlDialect& dialect() const override { return m_dialect; }

private:
    // A key for each row the statement inserts: a batch reads one a row, or inserts a list.
    std::unique_ptr<BufferedCursor> keysOf(const QString& sql)
    {
        QList<BufferedCursor::Row> keys;
        const qsizetype rows = qMax(sql.count(QLatin1String("SCOPE_IDENTITY()")), sql.count(QLatin1String("),(")) + 1);
        for (qsizetype row = 0; row < rows; ++row)
            keys.append({m_givesKeys ? DbValue::fromText(QString::number(++m_key)) : DbValue::null()});
        return std::make_unique<BufferedCursor>(QList<BufferedCursor::Field>{{"", {adNumeric, 38}}}, keys,
                                                std::nullopt);
    }
    bool refuses(const QString& sql, DbError& error) const
    {
        const bool refused =
            (m_refusal.batches && sql.startsWith(QLatin1String("SAVE TRANSACTION korvel_rows_"))) ||
            (m_refusal.savepoints && sql.startsWith(QLatin1String("ROLLBACK TRANSACTION korvel_rows_")));
        if (refused)
            error = DbError::driverFailure(QStringLiteral("refused: ") + sql.section(QLatin1Char(';'), 0, 0));
        return refused;
    }

    QStringList& m_statements;
    const SqlDialect& m_dialect;
    qint64 m_binaryRowsChanged;
    bool m_givesKeys; // otherwise NULL, as SCOPE_IDENTITY() of a table without an identity
    BatchRefusal m_refusal;
    bool m_open = false;
    int m_key = 16;
};

const TextTable kTwoRows = {
    {"A", "b", "C", "D", "E"}, {"9", "5", "it's", "0AFF", "2017/4/6 下午 2:30:00"}, {"9", "", "", "", "2017-04-06"}};

// Two rows into T over a scripted server, the key A read back and D written as long binary.
struct ScriptedInsert
{
    ScriptedInsert(const SqlDialect& dialect, qint64 binaryRowsChanged = 1, bool givesKeys = true,
                   TextTable rows = kTwoRows, BatchRefusal refusal = {})
        : table(std::move(rows)),
          database([this, &dialect, binaryRowsChanged, givesKeys, refusal](const QString&, DbError&) {
              return std::make_unique<ScriptedServer>(statements, dialect, binaryRowsChanged, givesKeys, refusal);
          })
    {
        EXPECT_TRUE(database.open(QStringLiteral("Provider=sqloledb;")));
        EXPECT_TRUE(database.beginTransaction());
        const QList<int> skip = {0};
        Database::InsertedRows result = database.insertRows(table, QStringLiteral("T"), skip, QStringLiteral("A"));
        inserted = result.ok;
        table = std::move(result.table);
    }

    QStringList statements;
    TextTable table;
    Database database;
    bool inserted = false;
};

} // namespace

TEST(InsertRowsOnAServer, TheStatementsOfAnInsertWithItsKeyAndLongBinary)
{
    const struct
    {
        const SqlDialect& dialect;
        QStringList statements;
    } cases[] = {
        // The rows in one round trip under a savepoint, each key read back from its own insert.
        {transactSqlDialect(),
         {"select top 1 * from T",
          "select name, collationproperty(collation_name, 'CodePage') from sys.columns where object_id=object_id(N'T')",
          "SAVE TRANSACTION korvel_rows_1;declare @k varchar(max)='';"
          "insert into T (b,C,D,E)  values(5,N'it''s',0x0AFF,'2017-04-06T14:30:00');"
          "set @k=@k+cast(SCOPE_IDENTITY() as varchar(40))+',';"
          "insert into T (b,C,D,E)  values(NULL,N'',NULL,'20170406');"
          "set @k=@k+cast(SCOPE_IDENTITY() as varchar(40))+',';select @k",
          "update T set D=? where A=17 <- 0aff"}},
        // The rows in one statement, numbered by the server in their order.
        {postgreSqlDialect(),
         {"select top 1 * from T",
          "SAVEPOINT korvel_rows_1;with k as (insert into T (b,C,D,E)  values(5,E'it''s',E'\\\\x0AFF'::bytea,"
          "E'2017-04-06 14:30:00'),(NULL,E'',NULL,E'2017-04-06') returning A) select A from k order by A",
          "update T set D=? where A=17 <- 0aff"}},
        // An engine without a form of its own reads the newest key after each insert.
        {standardSqlDialect(),
         {"select top 1 * from T", "insert into T (b,C,D,E)  values(5,'it''s',X'0AFF','2017-04-06 14:30:00')",
          "select top 1 A from T order by A desc", "insert into T (b,C,D,E)  values(NULL,'',NULL,'2017-04-06')",
          "select top 1 A from T order by A desc", "update T set D=? where A=17 <- 0aff"}},
    };
    for (const auto& server : cases) {
        ScriptedInsert insert(server.dialect);
        EXPECT_TRUE(insert.inserted) << insert.database.lastError().toStdString();
        EXPECT_EQ(insert.statements, server.statements);
        EXPECT_EQ(insert.table[1][0], QStringLiteral("17")) << "each row gets the key of its own insert";
        EXPECT_EQ(insert.table[2][0], QStringLiteral("18"));
    }
}

// A batch the server refuses is taken back to its savepoint (or never began, when the server
// could not compile it) and its rows go in again one by one, so that the row refused is
// named; a refusal that ended the transaction leaves nothing to go on with: rows sent again
// outside it would stay.
TEST(InsertRowsOnAServer, ARefusedBatchGoesInAgainRowByRowOnlyWhileItsTransactionLasts)
{
    const struct
    {
        BatchRefusal refusal;
        bool inserted;
        qsizetype rowsAlone;
    } cases[] = {
        {{true, false, true}, true, 2},
        {{true, true, true}, true, 2},
        {{true, true, false}, false, 0},
    };
    for (const auto& c : cases) {
        ScriptedInsert insert(transactSqlDialect(), 1, true, kTwoRows, c.refusal);
        EXPECT_EQ(insert.inserted, c.inserted) << insert.database.lastError().toStdString();
        EXPECT_EQ(insert.statements.filter(QRegularExpression(QStringLiteral("^insert into T"))).size(), c.rowsAlone);
        if (c.inserted) {
            EXPECT_EQ(insert.table[1][0], QStringLiteral("17")) << "each row the key of its own insert";
        } else {
            EXPECT_EQ(insert.database.lastError(),
                      QStringLiteral("ADO 错误：0x80004005，refused: SAVE TRANSACTION korvel_rows_1"));
        }
    }
}

TEST(InsertRowsOnAServer, ALongBinaryWriteThatSelectsNoRowFails)
{
    const struct
    {
        qint64 rowsChanged;
        const char* error;
    } cases[] = {
        {-1, ""}, // the server counts nothing
        {0, "ADO 错误：0x80004005，写入长二进制数据失败：update T set D=? where A=17 没有选中任何行"},
    };
    for (const auto& write : cases) {
        ScriptedInsert insert(transactSqlDialect(), write.rowsChanged);
        EXPECT_EQ(insert.inserted, !*write.error) << write.rowsChanged;
        EXPECT_EQ(insert.database.lastError(), QString::fromUtf8(write.error)) << write.rowsChanged;
    }
}

TEST(InsertRowsOnAServer, AKeyThatComesBackEmptyFailsBeforeAnyLongBinaryIsWritten)
{
    ScriptedInsert insert(transactSqlDialect(), 1, false);
    EXPECT_FALSE(insert.inserted);
    EXPECT_EQ(insert.database.lastError(),
              QStringLiteral("ADO 错误：0x80004005，读回新行的键失败：数据库没有给出 A 的值"));
    EXPECT_EQ(insert.statements.filter(QStringLiteral("update")), QStringList());
}

TEST(InsertRowsOnAServer, TextItsCollationsCodePageLacksIsRefusedBeforeItIsSent)
{
    // SQL Server would store "线束" in F as "??".
    ScriptedInsert insert(transactSqlDialect(), 1, true, {{"A", "F"}, {"9", "Café"}, {"9", "线束"}});
    EXPECT_FALSE(insert.inserted);
    EXPECT_EQ(insert.database.lastError(),
              QStringLiteral("ADO 错误：0x80004005，表 T 列 F 的值“线束”含有代码页 1252 无法表示的字符“线”"));
    EXPECT_EQ(insert.statements.filter(QStringLiteral("insert")),
              QStringList({"insert into T (F)  values(N'Café');select SCOPE_IDENTITY()"}));
}

// The rows of several tables together: in SQL Server's open transaction after the query that
// stops them, each round trip ending at the statement that gathers keys, the long binary
// values written after; on PostgreSQL with no transaction open, one batch that is its own
// transaction, which the query fails, and whose keys are not read; not so while a long
// binary value waits for its key. Nothing is sent after the query finds a row.
TEST(InsertRowsOnAServer, TheStatementsOfRowsSentTogether)
{
    const QString sqlServerRows =
        "declare @k varchar(max)='';insert into T (b,C,D,E)  values(5,N'it''s',0x0AFF,'2017-04-06T14:30:00');"
        "set @k=@k+cast(SCOPE_IDENTITY() as varchar(40))+',';insert into T (b,C,D,E)  values(NULL,N'',NULL,'20170406');"
        "set @k=@k+cast(SCOPE_IDENTITY() as varchar(40))+',';select @k";
    const struct
    {
        const SqlDialect& dialect;
        TextTable rows;
        const char* stopIfFound;
        bool oneTransaction;
        bool inserted;
        QStringList sent; // after the probes
    } cases[] = {
        {transactSqlDialect(),
         kTwoRows,
         "select * from Free",
         false,
         true,
         {"select * from Free;insert into S (b)  values(5);" + sqlServerRows, "update T set D=? where A=17 <- 0aff"}},
        {transactSqlDialect(),
         kTwoRows,
         "select * from Taken",
         false,
         false,
         {"select * from Taken;insert into S (b)  values(5);" + sqlServerRows}},
        {postgreSqlDialect(),
         kTwoRows,
         "select * from Free",
         false,
         true,
         {"select * from Free;insert into S (b)  values(5);with k as (insert into T (b,C,D,E)  values(5,E'it''s',"
          "E'\\\\x0AFF'::bytea,E'2017-04-06 14:30:00'),(NULL,E'',NULL,E'2017-04-06') returning A) select A from k "
          "order by A",
          "update T set D=? where A=17 <- 0aff"}},
        {postgreSqlDialect(),
         {{"A", "b"}, {"9", "5"}},
         "select * from Free",
         true,
         true,
         {"DO $korvel_guard$BEGIN IF EXISTS(select * from Free) THEN RAISE EXCEPTION 'found'; END IF; "
          "END$korvel_guard$;insert into S (b)  values(5);insert into T (b)  values(5)"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stopIfFound);
        QStringList statements;
        Database database([&](const QString&, DbError&) {
            return std::make_unique<ScriptedServer>(statements, c.dialect, 1, true, BatchRefusal());
        });
        ASSERT_TRUE(database.open(QStringLiteral("Provider=sqloledb;")));
        const QList<Database::TableRows> tables = {{"S", {{"b"}, {"5"}}, {}, {}, {}}, {"T", c.rows, {0}, "A", {}}};
        EXPECT_EQ(database.insertsAsOneTransaction(tables, c.stopIfFound), c.oneTransaction);
        ASSERT_TRUE(c.oneTransaction || database.beginTransaction());
        statements.clear();
        const Database::InsertedTables inserted = database.insertTogether(tables, c.stopIfFound);
        EXPECT_EQ(inserted.ok, c.inserted) << database.lastError().toStdString();
        EXPECT_EQ(inserted.found, !c.inserted);
        EXPECT_EQ(statements.filter(QRegularExpression(QStringLiteral("^(?!select top 1 |select name, )"))), c.sent);
        EXPECT_EQ(inserted.tables[1].table[1][0], c.inserted && !c.oneTransaction ? "17" : "9");
    }
}

// The tables of a label are probed in one round trip, each once.
TEST(InsertRowsOnAServer, TablesAreProbedTogether)
{
    QStringList statements;
    Database database([&](const QString&, DbError&) {
        return std::make_unique<ScriptedServer>(statements, postgreSqlDialect(), 1, true, BatchRefusal());
    });
    ASSERT_TRUE(database.open(QStringLiteral("Provider=sqloledb;")));
    database.probeTogether({"S", "T", "S"});
    database.probeTogether({"S", "T"});
    EXPECT_EQ(database.columnType(QStringLiteral("c"), QStringLiteral("T")), adVarWChar);
    EXPECT_EQ(database.columnType(QStringLiteral("c"), QStringLiteral("S")), adVarWChar);
    EXPECT_EQ(statements, QStringList{"select * from S limit 1;select * from T limit 1"});
}

// A transaction whose end failed is still open: the next one is not begun inside it, where
// its commit would keep the rows of the first.
TEST(InsertRowsOnAServer, NoTransactionBeginsWhileOneIsOpen)
{
    QStringList statements;
    Database database([&](const QString&, DbError&) {
        return std::make_unique<ScriptedServer>(statements, transactSqlDialect(), 1, true, BatchRefusal());
    });
    ASSERT_TRUE(database.open(QStringLiteral("Provider=sqloledb;")));
    ASSERT_TRUE(database.beginTransaction());
    EXPECT_FALSE(database.beginTransaction());
    EXPECT_EQ(database.lastError(), QStringLiteral("ADO 错误：0x80004005，上一个事务仍未结束"));
}
