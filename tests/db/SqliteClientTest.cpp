#include "db/Database.h"
#include "db/client/DbClient.h"
#include "db/client/SqlDialect.h"
#include "db/sqlite/SqliteCursor.h"

#include "tests/support/EmbeddedTestDatabase.h"
#include "tests/support/QtPrinting.h"

#include <QElapsedTimer>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace korvel;

namespace {

const char* kKindsSchema =
    "CREATE TABLE tblKinds (Id int, Small smallint, Tiny tinyint, Big bigint, Flag bit, Price decimal(10,2),"
    " Cost money, Ratio float, Single real, Stamp datetime, Guid uniqueidentifier, Code char(4), Name varchar(20),"
    " Memo text, WCode nchar(4), WName nvarchar(20), WMax [nvarchar(max)], Checksum varbinary(16), Picture image,"
    " Fixed binary(2), Day date, Moment datetime2);";

class EmbeddedClientTest : public OpenEmbeddedDatabase
{
protected:
    EmbeddedClientTest() : OpenEmbeddedDatabase(kKindsSchema) {}
};

} // namespace

TEST(SqliteTypes, DeclaredSqlServerTypeNamesGiveTheProvidersTypeCodesAndLimits)
{
    struct Case
    {
        const char* declared;
        int code;
        int size;
        int scale;
    };
    const Case cases[] = {
        {"int", adInteger, 0, 0},           {"INTEGER", adInteger, 0, 0},        {"smallint", adSmallInt, 0, 0},
        {"tinyint", adUnsignedTinyInt, 0, 0}, {"bigint", adBigInt, 0, 0},       {"bit", adBoolean, 0, 0},
        {"decimal(10, 2)", adNumeric, 10, 2}, {"numeric", adNumeric, 18, 0},    {"numeric(7)", adNumeric, 7, 0},
        {"money", adCurrency, 19, 4},       {"smallmoney", adCurrency, 10, 4},   {"float", adDouble, 0, 0},
        {"real", adSingle, 0, 0},           {"datetime", adDBTimeStamp, 23, 3}, {"smalldatetime", adDBTimeStamp, 16, 0},
        {"uniqueidentifier", adGUID, 0, 0}, {"char(4)", adChar, 4, 0},         {"char", adChar, 1, 0},
        {"varchar(20)", adVarChar, 20, 0},  {"varchar(max)", adLongVarChar, 0, 0}, {"text", adLongVarChar, 0, 0},
        {"nchar(1)", adWChar, 1, 0},        {"nvarchar(50)", adVarWChar, 50, 0}, {"NVARCHAR(MAX)", adLongVarWChar, 0, 0},
        {"ntext", adLongVarWChar, 0, 0},    {"binary(8)", adBinary, 8, 0},     {"varbinary(16)", adVarBinary, 16, 0},
        {"varbinary(max)", adLongVarBinary, 0, 0}, {"image", adLongVarBinary, 0, 0}, {"rowversion", adBinary, 8, 0},
        {"date", adVarWChar, 0, 0},         {"time(7)", adVarWChar, 0, 0},     {"datetime2", adVarWChar, 0, 0},
        {"datetimeoffset", adVarWChar, 0, 0}, {"", adEmpty, 0, 0},             {"geography", adEmpty, 0, 0},
    };
    for (const Case& c : cases) {
        const ColumnType type = columnTypeOfDeclaration(QString::fromLatin1(c.declared));
        EXPECT_EQ(type.adoType, c.code) << c.declared;
        EXPECT_EQ(type.size, c.size) << c.declared;
        EXPECT_EQ(type.scale, c.scale) << c.declared;
    }
}

TEST_F(EmbeddedClientTest, ValuesComeInTheProgramsTextForms)
{
    file.exec("INSERT INTO tblKinds VALUES (7, -2, 255, 9007199254740993, 1, 12.5, 3, 0.1, 1.5,"
              " '2017-04-06 13:05:09.120', '0f8fad5b-d9cb-469f-a165-70867728950e', 'AB  ', 'plain',"
              " 'memo', '线束', 'Провод 线', 'κύκλωμα', X'0AFF00', X'89504E47', X'', '2017-04-06', '2017-04-06 01:02:03');"
              "INSERT INTO tblKinds (Id, Flag, Stamp, Guid) VALUES (8, 0, '2017-04-06 00:00:00', '{0F8FAD5B-D9CB-469F-A165-70867728950E}');"
              "INSERT INTO tblKinds (Id, Stamp) VALUES (9, '4/6/2017 8:30 AM');");
    const TextTable rows = query(QStringLiteral("select * from tblKinds order by Id"));
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0], TextRow({"7", "-2", "255", "9007199254740993", "-1", "12.50", "3.0000", "0.1", "1.5",
                                "2017-04-06 13:05:09.120", "{0F8FAD5B-D9CB-469F-A165-70867728950E}", "AB  ", "plain",
                                "memo", "线束", "Провод 线", "κύκλωμα", "0AFF00", "89504E47", "", "2017-04-06",
                                "2017-04-06 01:02:03"}));
    EXPECT_EQ(rows[1][4], QStringLiteral("0"));
    EXPECT_EQ(rows[1][9], QStringLiteral("2017-04-06")) << "the time is left out at midnight";
    EXPECT_EQ(rows[1][10], QStringLiteral("{0F8FAD5B-D9CB-469F-A165-70867728950E}"));
    EXPECT_EQ(rows[1][5], QString()) << "NULL";
    EXPECT_EQ(rows[2][9], QStringLiteral("2017-04-06 08:30:00"));
}

TEST_F(EmbeddedClientTest, ColumnTypesComeFromTheDeclarations)
{
    EXPECT_EQ(database.columnType(QStringLiteral("Picture"), QStringLiteral("tblKinds")), adLongVarBinary);
    EXPECT_EQ(database.columnType(QStringLiteral("wname"), QStringLiteral("tblKinds")), adVarWChar)
        << "column names are matched ignoring case";
    EXPECT_EQ(database.columnType(QStringLiteral("Guid"), QStringLiteral("tblKinds")), adGUID);
    EXPECT_EQ(database.columnType(QStringLiteral("Nothing"), QStringLiteral("tblKinds")), 0);
    EXPECT_EQ(database.columnType(QStringLiteral("Id"), QStringLiteral("tblNothing")), -1);
}

TEST_F(EmbeddedClientTest, TransactSqlOfTheProgramRuns)
{
    const TextTable guids = query(QStringLiteral("select NEWID()"));
    ASSERT_EQ(guids.size(), 1);
    const QRegularExpression braced(QStringLiteral("^\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}$"));
    EXPECT_TRUE(braced.match(guids[0][0]).hasMatch()) << guids[0][0].toStdString();
    EXPECT_NE(query(QStringLiteral("select NEWID()"))[0][0], guids[0][0]);

    const TextTable columns = query(QStringLiteral("select name from syscolumns where id=object_id('tblKinds')"));
    ASSERT_EQ(columns.size(), 22);
    EXPECT_EQ(columns[0][0], QStringLiteral("Id"));
    EXPECT_EQ(columns[1][0], QStringLiteral("Small"));
    EXPECT_EQ(columns[21][0], QStringLiteral("Moment")) << "in the table's column order";
    EXPECT_EQ(query(QStringLiteral("select name from syscolumns where id=object_id('dbo.TBLKINDS')")).size(), 22);
    EXPECT_TRUE(query(QStringLiteral("select name from syscolumns where id=object_id('tblMissing')")).isEmpty());

    file.exec("INSERT INTO tblKinds (Id) VALUES (1), (5), (3);");
    EXPECT_EQ(query(QStringLiteral("select top 1 Id from tblKinds order by Id desc")), TextTable({{"5"}}));
    EXPECT_EQ(query(QStringLiteral("select top 2 Id from tblKinds order by Id")).size(), 2);
}

TEST(EmbeddedClient, AFileUriNamesASharedInMemoryDatabase)
{
    const QString uri = QStringLiteral("Provider=sqlite;Data Source=file:korvel-uri-test?mode=memory&cache=shared;");
    Database holder;
    ASSERT_TRUE(holder.open(uri)) << holder.lastError().toStdString();
    ASSERT_TRUE(holder.execute(QStringLiteral("create table tblShared (Id int)")));
    ASSERT_TRUE(holder.execute(QStringLiteral("insert into tblShared values (7)")));
    Database second;
    ASSERT_TRUE(second.open(uri));
    TextTable rows;
    ASSERT_TRUE(second.query(QStringLiteral("select Id from tblShared"), &rows));
    EXPECT_EQ(rows, TextTable({{"7"}}));
}

TEST_F(EmbeddedClientTest, ABatchRunsUpToItsResultAndNothingAfterIt)
{
    EXPECT_EQ(query(QStringLiteral("insert into tblKinds (Id) values (41); insert into tblKinds (Id) values (42);"
                                   "select last_insert_rowid(), count(*) from tblKinds")),
              TextTable({{"2", "2"}}));
    TextTable rows;
    EXPECT_FALSE(database.query(QStringLiteral("select 1; delete from tblKinds"), &rows));
    EXPECT_EQ(database.lastError(), QStringLiteral("ADO 错误：0x80004005，嵌入式数据库不执行结果集之后的语句"));
    EXPECT_EQ(file.scalar(QStringLiteral("select count(*) from tblKinds")), QStringLiteral("2"));
}

TEST_F(EmbeddedClientTest, AStatementWaitsForAnotherConnectionsLockUntilItIsGone)
{
    Database holder;
    ASSERT_TRUE(holder.open(file.connectionString()));
    ASSERT_TRUE(holder.beginTransaction());
    ASSERT_TRUE(holder.execute(QStringLiteral("insert into tblKinds (Id) values (1)")));
    std::thread committer([&holder] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        EXPECT_TRUE(holder.commitTransaction());
    });
    QElapsedTimer waited;
    waited.start();
    EXPECT_TRUE(database.execute(QStringLiteral("insert into tblKinds (Id) values (2)"))) << database.lastError().toStdString();
    EXPECT_GE(waited.elapsed(), 250);
    committer.join();

    // Not waiting for it here: a lock that outlasts the wait ends in the usual message.
    ASSERT_TRUE(database.execute(QStringLiteral("pragma busy_timeout = 0")));
    ASSERT_TRUE(holder.beginTransaction());
    EXPECT_FALSE(database.execute(QStringLiteral("insert into tblKinds (Id) values (3)")));
    EXPECT_EQ(database.lastError(), QStringLiteral("ADO 错误：0x80004005，database is locked"));
    EXPECT_TRUE(holder.rollbackTransaction());
}
