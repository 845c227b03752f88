// The value rules on the embedded engine, per column type of the program's tables: hostile
// values, and what SQL Server does with each after its documented conversion rules (the
// value it stores, as the program reads it back, or a refusal).

#include "db/CAdoDatabase.h"

#include "tests/support/EmbeddedTestDatabase.h"
#include "tests/support/QtPrinting.h"

#include <gtest/gtest.h>

namespace {

const char* kKinds = "CREATE TABLE tblKinds (N5 nvarchar(5), V4 varchar(4), I int, T tinyint, S smallint, B bigint,"
                     " F bit, D decimal(6,2), DT datetime, G uniqueidentifier, VB varbinary(4), BI binary(4),"
                     " IM image);";

constexpr const char* kRefused = nullptr;

struct Case
{
    const char* column;
    const char* value;
    const char* stored; // kRefused when SQL Server refuses the value
};

const Case kCases[] = {
    {"N5", "abcde", "abcde"},
    {"N5", "abcdef", kRefused},
    {"N5", "abc      ", "abc  "}, // blanks beyond the length are cut off, not refused
    {"N5", "线束线束线", "线束线束线"},
    {"N5", "线束线束线束", kRefused},
    {"V4", "线束", "线束"}, // four bytes in the server's code page
    {"V4", "线束a", kRefused},
    {"I", " 42 ", "42"},
    {"I", "+7", "7"},
    {"I", "-2147483648", "-2147483648"},
    {"I", "2147483648", kRefused},
    {"I", "1.5", kRefused},
    {"I", "1e3", kRefused},
    {"I", "0x10", kRefused},
    {"I", "   ", "0"},
    {"T", "255", "255"},
    {"T", "256", kRefused},
    {"T", "-1", kRefused},
    {"S", "-32769", kRefused},
    {"B", "9223372036854775807", "9223372036854775807"},
    {"B", "9223372036854775808", kRefused},
    {"F", "True", "-1"},
    {"F", "false", "0"},
    {"F", "2", "-1"},
    {"F", "是", "-1"},
    {"F", "否", "0"},
    {"F", "yes", kRefused},
    {"F", "1.0", kRefused},
    {"D", "1234.567", "1234.57"},
    {"D", "-0.004", "0.00"},
    {"D", ".5", "0.50"},
    {"D", "9999.995", kRefused},
    {"D", "10000", kRefused},
    {"D", "1e2", kRefused},
    {"D", "12,5", kRefused},
    {"DT", "2017-04-06T14:30:00", "2017-04-06 14:30:00"},
    {"DT", "2017/4/6 下午 2:30:00", "2017-04-06 14:30:00"},
    {"DT", "2017/4/6 上午 12:05:00", "2017-04-06 00:05:00"},
    {"DT", "20170406", "2017-04-06"},
    {"DT", "2017-04-06 10:00:00.005", "2017-04-06 10:00:00.007"},
    {"DT", "2017-04-06 23:59:59.999", "2017-04-07"},
    {"DT", "2017-02-29", kRefused},
    {"DT", "1752-12-31", kRefused},
    {"DT", "9999-12-31 23:59:59.999", kRefused},
    {"DT", "2017-04-06 10:00:00.1234", kRefused},
    {"DT", "2017/4/6 下午 13:00:00", kRefused},
    {"DT", "next tuesday", kRefused},
    {"DT", "   ", "1900-01-01"},
    {"G", "0f8fad5b-d9cb-469f-a165-70867728950e", "{0F8FAD5B-D9CB-469F-A165-70867728950E}"},
    {"G", "0f8fad5b-d9cb-469f-a165", kRefused},
    {"G", "{0F8FAD5B-D9CB-469F-A165-70867728950E}", "{0F8FAD5B-D9CB-469F-A165-70867728950E}"},
    {"G", "0F8FAD5B-D9CB-469F-A165-70867728950E", "{0F8FAD5B-D9CB-469F-A165-70867728950E}"},
    {"G", "0F8FAD5B-D9CB-469F-A165-70867728950E}", "{0F8FAD5B-D9CB-469F-A165-70867728950E}"},
    {"G", "{0f8fad5b-d9cb-469f-a165-70867728950E}", "{0F8FAD5B-D9CB-469F-A165-70867728950E}"},
    {"G", "{0F8FAD5B-D9CB-469F-A165-70867728950G}", kRefused},
    {"G", "{0F8FAD5B+D9CB-469F-A165-70867728950E}", kRefused},
    {"VB", "0a0b0c0d", "0A0B0C0D"},
    {"VB", "0A0B0C0D0E", kRefused},
    {"VB", "0AF", kRefused},
    {"VB", "GG", kRefused},
    {"BI", "0A", "0A000000"},
    {"IM", "89504E47", "89504E47"},
};

class ValueRulesTest : public OpenEmbeddedDatabase
{
protected:
    ValueRulesTest() : OpenEmbeddedDatabase(kKinds) {}
};

} // namespace

TEST_F(ValueRulesTest, TheEmbeddedEngineStoresOrRefusesEachValueAsSqlServerDoes)
{
    for (const Case& c : kCases) {
        const QString column = QString::fromLatin1(c.column);
        const QString value = QString::fromUtf8(c.value);
        ASSERT_TRUE(database.Execute(QStringLiteral("delete from tblKinds")));
        TextTable table = {{column}, {value}};
        database.m_strError.clear();
        const bool inserted = database.InsertRows(&table, QStringLiteral("tblKinds"), nullptr, QString());
        if (c.stored == kRefused) {
            EXPECT_FALSE(inserted) << c.column << " " << c.value;
            EXPECT_TRUE(database.m_strError.contains(QStringLiteral("表 tblKinds 列 %1 的值“%2”").arg(column, value)))
                << database.m_strError.toStdString();
            continue;
        }
        ASSERT_TRUE(inserted) << c.column << " " << c.value << ": " << database.m_strError.toStdString();
        EXPECT_EQ(query(QStringLiteral("select %1 from tblKinds").arg(column)), TextTable({{QString::fromUtf8(c.stored)}}))
            << c.column << " " << c.value;
    }
}

TEST_F(ValueRulesTest, TheEngineRefusesInEveryStatementAndOnTablesMadeAfterItOpened)
{
    ASSERT_TRUE(database.Execute(QStringLiteral("insert into tblKinds (N5) values ('abc')")));
    EXPECT_FALSE(database.Execute(QStringLiteral("update tblKinds set N5='abcdef'")));
    EXPECT_EQ(database.m_strError, QStringLiteral("ADO 错误：0x80004005，表 tblKinds 列 N5 的值“abcdef”超过 5 个字符"));
    EXPECT_FALSE(database.Execute(QStringLiteral("update tblKinds set G='x', F='maybe'")));

    ASSERT_TRUE(database.Execute(QStringLiteral("create table tblLater (Flag bit, Name nvarchar(2))")));
    EXPECT_FALSE(database.Execute(QStringLiteral("insert into tblLater values (1, 'abc')")));
    EXPECT_TRUE(database.m_strError.contains(QStringLiteral("表 tblLater 列 Name"))) << database.m_strError.toStdString();
    // A bit written as SQL Server takes it reads as SQL Server gives it, whatever form it went in.
    ASSERT_TRUE(database.Execute(QStringLiteral("insert into tblLater values ('TRUE', 'ab')")));
    EXPECT_EQ(query(QStringLiteral("select Flag from tblLater")), TextTable({{"-1"}}));
    EXPECT_EQ(file.scalar(QStringLiteral("select count(*) from tblKinds where N5='abc'")), QStringLiteral("1"));
}

TEST_F(ValueRulesTest, AWholeNumberWrittenAsANumberIsHeldToItsColumnsRange)
{
    const struct
    {
        const char* column;
        const char* number;
        const char* refusal; // nullptr: stored
    } cases[] = {
        {"T", "255", nullptr},        {"T", "256", "超出 tinyint 的范围"},  {"T", "-1", "超出 tinyint 的范围"},
        {"S", "-32768", nullptr},     {"S", "-32769", "超出 smallint 的范围"}, {"I", "2147483647", nullptr},
        {"I", "2147483648", "超出 int 的范围"}, {"B", "-9223372036854775808", nullptr},
    };
    for (const auto& c : cases) {
        database.m_strError.clear();
        const bool stored =
            database.Execute(QStringLiteral("insert into tblKinds (%1) values (%2)").arg(c.column, c.number));
        EXPECT_EQ(stored, c.refusal == nullptr) << c.column << " " << c.number;
        if (c.refusal) {
            EXPECT_TRUE(database.m_strError.endsWith(QStringLiteral("列 %1 的值“%2”%3")
                                                         .arg(c.column, c.number, QString::fromUtf8(c.refusal))))
                << database.m_strError.toStdString();
        }
    }
}
