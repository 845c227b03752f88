#include "db/CAdoDatabase.h"
#include "db/client/AdoTypes.h"

#include "tests/db/OpenEmbeddedDatabase.h"
#include "tests/support/EmbeddedTestDatabase.h"
#include "tests/support/QtPrinting.h"

#include <gtest/gtest.h>

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
    EXPECT_TRUE(database.InsertRows(&table, QStringLiteral("tblLabelControlItem"), nullptr, QString()));
    EXPECT_EQ(file.scalar(QStringLiteral("select count(*) from tblLabelControlItem")), QStringLiteral("0"));
}

TEST_F(InsertRowsTest, TheKeyIsReadBackAndLongBinaryIsWritten)
{
    TextTable table = {kHeader,
                       {"{11111111-2222-3333-4444-555555555555}", "9", "首行 'quoted'", "10.50", "是",
                        "2017-04-06", "0AFF", "89504E470D0A1A0A"},
                       {"{66666666-2222-3333-4444-555555555555}", "9", "", "", "0", "", "", ""}};
    const QList<int> skip = {1};
    ASSERT_TRUE(database.InsertRows(&table, QStringLiteral("tblLabelControlItem"), &skip, QStringLiteral("LineID")))
        << database.m_strError.toStdString();
    EXPECT_EQ(table[1][1], QStringLiteral("1")) << "the identity the database gave replaces the bundle's";
    EXPECT_EQ(table[2][1], QStringLiteral("2"));

    const TextTable rows = query(QStringLiteral("select * from tblLabelControlItem order by LineID"));
    EXPECT_EQ(rows, TextTable({{"{11111111-2222-3333-4444-555555555555}", "1", "首行 'quoted'", "10.50", "-1",
                                "2017-04-06", "0AFF", "89504E470D0A1A0A"},
                               {"{66666666-2222-3333-4444-555555555555}", "2", "", "", "0", "", "", ""}}));
    EXPECT_EQ(file.scalar(QStringLiteral("select typeof(Size) from tblLabelControlItem where LineID=2")),
              QStringLiteral("null")) << "an empty number is NULL";
    EXPECT_EQ(file.scalar(QStringLiteral("select hex(Picture) from tblLabelControlItem where LineID=1")),
              QStringLiteral("89504E470D0A1A0A"));
}

TEST_F(InsertRowsTest, RowsRoundTripBetweenTables)
{
    TextTable table = {kHeader,
                       {"{0F8FAD5B-D9CB-469F-A165-70867728950E}", "3", "κύκλωμα,线", "0.25", "-1",
                        "2023-11-30 23:59:58.500", "00", "FF00FF"}};
    const QList<int> skip = {1};
    ASSERT_TRUE(database.InsertRows(&table, QStringLiteral("tblLabelControlItem"), &skip, QStringLiteral("LineID")));
    TextTable exported = {kHeader};
    exported += query(QStringLiteral("select * from tblLabelControlItem"));
    TextTable copy = exported;
    ASSERT_TRUE(database.InsertRows(&copy, QStringLiteral("tblCopy"), nullptr, QString()));
    EXPECT_EQ(query(QStringLiteral("select * from tblCopy")), exported.mid(1));
}

TEST_F(InsertRowsTest, WithoutAKeyThereIsNoReadBackAndNoBinaryPass)
{
    TextTable table = {kHeader, {"{0F8FAD5B-D9CB-469F-A165-70867728950E}", "77", "x", "1", "1", "", "", "ABCD"}};
    ASSERT_TRUE(database.InsertRows(&table, QStringLiteral("tblCopy"), nullptr, QString()));
    EXPECT_EQ(table[1][1], QStringLiteral("77"));
    EXPECT_EQ(query(QStringLiteral("select LineID, Picture from tblCopy")), TextTable({{"77", "ABCD"}}));
}

TEST_F(InsertRowsTest, TheFirstRejectedRowStopsTheInsert)
{
    TextTable table = {{"LineID", "Caption"}, {"1", "a"}, {"1", "duplicate key"}, {"2", "never tried"}};
    EXPECT_FALSE(database.InsertRows(&table, QStringLiteral("tblLabelControlItem"), nullptr, QString()));
    EXPECT_TRUE(database.m_strError.startsWith(QStringLiteral("ADO 错误：0x80004005，")));
    EXPECT_EQ(file.scalar(QStringLiteral("select count(*) from tblLabelControlItem")), QStringLiteral("1"));

    TextTable unknown = {{"A"}, {"1"}};
    EXPECT_FALSE(database.InsertRows(&unknown, QStringLiteral("tblNothing"), nullptr, QString()));
    EXPECT_TRUE(database.m_strError.contains(QStringLiteral("tblNothing")));
}

TEST_F(InsertRowsTest, HeaderNamesAreMatchedExactlyForTypes)
{
    // "caption" is not "Caption": the type is unknown, so the value goes in as text.
    TextTable table = {{"LineID", "caption", "Bold"}, {"5", "it's", "是"}};
    ASSERT_TRUE(database.InsertRows(&table, QStringLiteral("tblCopy"), nullptr, QString()));
    EXPECT_EQ(query(QStringLiteral("select Caption, Bold from tblCopy")), TextTable({{"it's", "-1"}}));
}

TEST_F(InsertRowsTest, OnlyLiveColumnNamesReachTheStatement)
{
    file.exec("INSERT INTO tblCopy (LineID) VALUES (42);"
              "CREATE TABLE tblSpaced (Id int, [Font Size] decimal(5,2), \"Odd\"\"Name\" image);");
    TextTable hostile = {{"LineID", "Caption) values (1, 'x'); DELETE FROM tblCopy; --"}, {"1", "a"}};
    EXPECT_FALSE(database.InsertRows(&hostile, QStringLiteral("tblCopy"), nullptr, QString()));
    EXPECT_TRUE(database.m_strError.contains(QStringLiteral("无效"))) << database.m_strError.toStdString();
    EXPECT_EQ(file.scalar(QStringLiteral("select count(*) from tblCopy")), QStringLiteral("1"));

    TextTable spaced = {{"Id", "font size", "Odd\"Name"}, {"1", "9.5", "0AFF"}};
    ASSERT_TRUE(database.InsertRows(&spaced, QStringLiteral("tblSpaced"), nullptr, QStringLiteral("Id")))
        << database.m_strError.toStdString();
    EXPECT_EQ(query(QStringLiteral("select * from tblSpaced")), TextTable({{"1", "9.50", "0AFF"}}))
        << "the long binary pass names the quoted column too";
}
