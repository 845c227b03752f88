#include "db/CAdoDatabase.h"
#include "db/client/AdoTypes.h"
#include "db/sqlite/SqliteTypes.h"
#include "db/sqlite/TransactSqlRewrite.h"

#include "tests/db/OpenEmbeddedDatabase.h"
#include "tests/support/EmbeddedTestDatabase.h"
#include "tests/support/QtPrinting.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

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

TEST(SqliteTypes, DeclaredSqlServerTypeNamesGiveTheProvidersTypeCodes)
{
    const QList<std::pair<const char*, int>> cases = {
        {"int", adInteger},          {"INTEGER", adInteger},         {"smallint", adSmallInt},
        {"tinyint", adUnsignedTinyInt}, {"bigint", adBigInt},        {"bit", adBoolean},
        {"decimal(10, 2)", adNumeric}, {"numeric", adNumeric},       {"money", adCurrency},
        {"float", adDouble},         {"real", adSingle},             {"datetime", adDBTimeStamp},
        {"smalldatetime", adDBTimeStamp}, {"uniqueidentifier", adGUID}, {"char(4)", adChar},
        {"varchar(20)", adVarChar},  {"varchar(max)", adLongVarChar}, {"text", adLongVarChar},
        {"nchar(1)", adWChar},       {"nvarchar(50)", adVarWChar},   {"NVARCHAR(MAX)", adLongVarWChar},
        {"ntext", adLongVarWChar},   {"binary(8)", adBinary},        {"varbinary(16)", adVarBinary},
        {"varbinary(max)", adLongVarBinary}, {"image", adLongVarBinary}, {"date", adVarWChar},
        {"time(7)", adVarWChar},     {"datetime2", adVarWChar},      {"datetimeoffset", adVarWChar},
        {"", adEmpty},               {"geography", adEmpty},
    };
    for (const auto& [declared, code] : cases)
        EXPECT_EQ(AdoTypeFromDeclaredType(QString::fromLatin1(declared)), code) << declared;
    EXPECT_EQ(DeclaredScale(QStringLiteral("decimal(10,2)")), 2);
    EXPECT_EQ(DeclaredScale(QStringLiteral("numeric(18)")), 0);
    EXPECT_EQ(DeclaredScale(QStringLiteral("money")), 4);
    EXPECT_EQ(DeclaredScale(QStringLiteral("int")), -1);
}

TEST(TransactSqlRewrite, TopBecomesLimit)
{
    EXPECT_EQ(RewriteTopClause(QStringLiteral("select top 1 * from tblLabelInfo")),
              QStringLiteral("select * from tblLabelInfo limit 1"));
    EXPECT_EQ(RewriteTopClause(QStringLiteral("SELECT TOP 10 LineID from t order by LineID desc ;\n")),
              QStringLiteral("select LineID from t order by LineID desc limit 10"));
    EXPECT_EQ(RewriteTopClause(QStringLiteral("select topic from t")), QStringLiteral("select topic from t"));
}

TEST_F(EmbeddedClientTest, ValuesComeInTheProgramsTextForms)
{
    file.exec("INSERT INTO tblKinds VALUES (7, -2, 255, 9007199254740993, 1, 12.5, 3, 0.1, 1.5,"
              " '2017-04-06 13:05:09.120', '0f8fad5b-d9cb-469f-a165-70867728950e', 'AB  ', 'plain',"
              " 'memo', '线束', 'Провод 线', 'κύκλωμα', X'0AFF00', X'89504E47', X'', '2017-04-06', '2017-04-06 01:02:03');"
              "INSERT INTO tblKinds (Id, Flag, Stamp, Guid) VALUES (8, 0, '2017-04-06 00:00:00', '{0F8FAD5B-D9CB-469F-A165-70867728950E}');"
              "INSERT INTO tblKinds (Id, Stamp) VALUES (9, '2017-04-06T08:30');");
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
    EXPECT_EQ(database.GetColumnType(QStringLiteral("Picture"), QStringLiteral("tblKinds")), adLongVarBinary);
    EXPECT_EQ(database.GetColumnType(QStringLiteral("wname"), QStringLiteral("tblKinds")), adVarWChar)
        << "column names are matched ignoring case";
    EXPECT_EQ(database.GetColumnType(QStringLiteral("Guid"), QStringLiteral("tblKinds")), adGUID);
    EXPECT_EQ(database.GetColumnType(QStringLiteral("Nothing"), QStringLiteral("tblKinds")), 0);
    EXPECT_EQ(database.GetColumnType(QStringLiteral("Id"), QStringLiteral("tblNothing")), -1);
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
    CAdoDatabase holder;
    ASSERT_TRUE(holder.Open(uri)) << holder.m_strError.toStdString();
    ASSERT_TRUE(holder.Execute(QStringLiteral("create table tblShared (Id int)")));
    ASSERT_TRUE(holder.Execute(QStringLiteral("insert into tblShared values (7)")));
    CAdoDatabase second;
    ASSERT_TRUE(second.Open(uri));
    TextTable rows;
    ASSERT_TRUE(second.Query(QStringLiteral("select Id from tblShared"), &rows));
    EXPECT_EQ(rows, TextTable({{"7"}}));
}
