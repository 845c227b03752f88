// The value rules on the embedded engine, one table per column type of the program's
// tables: hostile values, and what SQL Server does with each text after its documented
// conversion rules for a login whose language is us_english (the value it stores, as the
// program reads it back, or a refusal), the documentation's word beside each row.

#include "db/Database.h"
#include "db/client/ValueRules.h"

#include "tests/support/EmbeddedTestDatabase.h"
#include "tests/support/QtPrinting.h"

#include <gtest/gtest.h>

using namespace korvel;

namespace {

const char* kKinds = "CREATE TABLE tblKinds (N5 nvarchar(5), V4 varchar(4), TX text, I int, T tinyint, S smallint, B bigint,"
                     " F bit, D decimal(6,2), D38 decimal(38,10), M money, SM smallmoney, FL float, R real,"
                     " DT datetime, SDT smalldatetime, G uniqueidentifier, VB varbinary(4), BI binary(4), IM image);";

constexpr const char* kRefused = nullptr;

struct Case
{
    const char* column;
    const char* value;
    const char* stored; // kRefused when SQL Server refuses the value
};

const Case kTextCases[] = {
    {"N5", "abcde", "abcde"},
    {"N5", "abcdef", kRefused},   // String or binary data would be truncated
    {"N5", "abc      ", "abc  "}, // blanks beyond the length are cut off, not refused
    {"N5", "线束线束线", "线束线束线"},
    {"N5", "线束线束线束", kRefused},
    {"V4", "线束", "线束"}, // four bytes in the server's code page
    {"V4", "线束a", kRefused},
};

const Case kIntegerCases[] = {
    {"I", " 42 ", "42"}, // blanks around a number are ignored
    {"I", "+7", "7"},
    {"I", "-2147483648", "-2147483648"},
    {"I", "2147483648", kRefused}, // arithmetic overflow for data type int
    {"I", "1.5", kRefused},        // conversion failed: not an int
    {"I", "1e3", kRefused},
    {"I", "0x10", kRefused},
    {"I", "   ", "0"}, // blanks convert to 0
    {"T", "255", "255"},
    {"T", "256", kRefused},
    {"T", "-1", kRefused},
    {"S", "-32769", kRefused},
    {"B", "9223372036854775807", "9223372036854775807"},
    {"B", "9223372036854775808", kRefused},
};

const Case kBitCases[] = {
    {"F", "True", "-1"}, // the strings TRUE and FALSE convert to 1 and 0
    {"F", "false", "0"},
    {"F", "2", "-1"}, // any number but 0 converts to 1
    {"F", "是", "-1"},
    {"F", "否", "0"},
    {"F", "   ", "0"}, // blanks convert to 0
    {"F", "yes", kRefused},
    {"F", "1.0", kRefused},
};

const Case kDecimalCases[] = {
    {"D", "1234.567", "1234.57"}, // rounded to the scale
    {"D", "-0.004", "0.00"},
    {"D", ".5", "0.50"},
    {"D", "9999.995", kRefused}, // arithmetic overflow converting to numeric
    {"D", "10000", kRefused},
    {"D", "1e2", kRefused}, // error converting varchar to numeric
    {"D", "12,5", kRefused},
    {"D", "   ", kRefused},
    {"D38", "12345678.0123456789", "12345678.0123456789"}, // decimal is exact to its precision
    {"D38", "-0.00000000005", "-0.0000000001"},
    {"D38", "1234567890123456789012345678.9", "1234567890123456789012345678.9000000000"},
    {"D38", "12345678901234567890123456789", kRefused},
};

const Case kMoneyCases[] = {
    {"M", "$12.5", "12.5000"}, // a currency symbol may precede the value
    {"M", "-$1,234.56789", "-1234.5679"}, // commas are ignored in a string converted to money
    {"M", "￥100", "100.0000"},
    {"M", "   ", "0.0000"},
    {"M", "922337203685477.5807", "922337203685477.5807"}, // range -922,337,203,685,477.5808 to …5807
    {"M", "922337203685477.5808", kRefused},
    {"M", "-922337203685477.5808", "-922337203685477.5808"},
    {"M", "-922337203685477.5809", kRefused},
    {"M", "1e3", kRefused},
    {"M", "USD 12", kRefused},
    {"SM", "214748.3647", "214748.3647"}, // range -214,748.3648 to 214,748.3647
    {"SM", "214748.3648", kRefused},
    {"SM", "-214748.3648", "-214748.3648"},
};

const Case kFloatCases[] = {
    {"FL", "1.5E-3", "0.0015"},
    {"FL", "   ", "0"},       // blanks convert to 0
    {"FL", "1e309", kRefused}, // range -1.79E+308 to -2.23E-308, 0 and 2.23E-308 to 1.79E+308
    {"FL", "1e-320", kRefused},
    {"FL", "abc", kRefused},
    {"R", "0.1", "0.1"},                // real keeps 7 digits
    {"R", "16777217", "1.677722e+07"},
    {"R", "3.4e38", "3.4e+38"},          // range -3.40E+38 to -1.18E-38, 0 and 1.18E-38 to 3.40E+38
    {"R", "3.5e38", kRefused},
    {"R", "1e-39", kRefused},
};

const Case kDateTimeCases[] = {
    {"DT", "2017-04-06T14:30:00", "2017-04-06 14:30:00"}, // ISO 8601
    {"DT", "2017-04-06T14:30:00Z", "2017-04-06 14:30:00"},
    {"DT", "2017-04-06T14:30", kRefused}, // ISO 8601 needs every element
    {"DT", "20170406", "2017-04-06"},     // unseparated: YYYYMMDD
    {"DT", "170406", "2017-04-06"},       // YYMMDD
    {"DT", "2017", "2017-01-01"},         // four digits: the year
    {"DT", "10/26/2021 9:21:28 AM", "2021-10-26 09:21:28"}, // numeric, mdy for us_english
    {"DT", "7/17/2024", "2024-07-17"},
    {"DT", "17/7/2024", kRefused},
    {"DT", "10/26/21", "2021-10-26"}, // a two-digit year up to 49 is 20yy
    {"DT", "10-26-50", "1950-10-26"}, // from 50 it is 19yy
    {"DT", "2017.04.06", "2017-04-06"}, // a four-digit year is the year, the month before the day
    {"DT", "4/2017/6", "2017-04-06"},
    {"DT", "2017/4/6 下午 2:30:00", "2017-04-06 14:30:00"},
    {"DT", "2017/4/6 上午 12:05:00", "2017-04-06 00:05:00"},
    {"DT", "2017/4/6 下午 13:00:00", "2017-04-06 13:00:00"}, // PM may follow hours 13 to 23
    {"DT", "Apr 6 2017 1:45PM", "2017-04-06 13:45:00"}, // alphabetical, commas optional
    {"DT", "6 April, 2017", "2017-04-06"},
    {"DT", "2017 APR", "2017-04-01"}, // no day: the first of the month
    {"DT", "Apr 17", kRefused},       // a two-digit year needs a day
    {"DT", "13:45:12:123", "1900-01-01 13:45:12.123"}, // a time alone is on 1900-01-01
    {"DT", "01/01/2000 14:30:20:999", "2000-01-01 14:30:21"}, // after a colon: milliseconds
    {"DT", "01/01/2000 14:30:20.9", "2000-01-01 14:30:20.900"}, // after a period: a fraction
    {"DT", "01/01/2000 4 PM", "2000-01-01 16:00:00"},
    {"DT", "01/01/2000 04:30:20:500AM", "2000-01-01 04:30:20.500"},
    {"DT", "12:01 AM", "1900-01-01 00:01:00"}, // 12 AM is midnight
    {"DT", "0:30 PM", kRefused},               // no PM with hour 0
    {"DT", "13:00 AM", kRefused},              // no AM with hours 13 to 23
    {"DT", "2017-04-06 10:00:00.005", "2017-04-06 10:00:00.007"}, // rounded to .000, .003 or .007
    {"DT", "2017-04-06 23:59:59.999", "2017-04-07"},
    {"DT", "2017-02-29", kRefused},
    {"DT", "1752-12-31", kRefused}, // range January 1, 1753 to December 31, 9999
    {"DT", "9999-12-31 23:59:59.999", kRefused},
    {"DT", "2017-04-06 10:00:00.1234", kRefused},
    {"DT", "next tuesday", kRefused},
    {"DT", "   ", "1900-01-01"}, // blanks convert to the first day
    {"SDT", "2017-04-06 14:30:31", "2017-04-06 14:31:00"}, // smalldatetime rounds to the minute
    {"SDT", "6/7/2079", kRefused},                         // range 1900-01-01 to 2079-06-06
};

const Case kGuidCases[] = {
    {"G", "0f8fad5b-d9cb-469f-a165-70867728950e", "{0F8FAD5B-D9CB-469F-A165-70867728950E}"},
    {"G", "{0F8FAD5B-D9CB-469F-A165-70867728950E}", "{0F8FAD5B-D9CB-469F-A165-70867728950E}"},
    {"G", "0F8FAD5B-D9CB-469F-A165-70867728950E", "{0F8FAD5B-D9CB-469F-A165-70867728950E}"},
    {"G", "{0f8fad5b-d9cb-469f-a165-70867728950E}", "{0F8FAD5B-D9CB-469F-A165-70867728950E}"},
    // A longer text is cut to the 36 characters of a uniqueidentifier.
    {"G", "0E984725-C51C-4BF4-9960-E1C80E27ABA0wrong", "{0E984725-C51C-4BF4-9960-E1C80E27ABA0}"},
    {"G", "0F8FAD5B-D9CB-469F-A165-70867728950E}", "{0F8FAD5B-D9CB-469F-A165-70867728950E}"},
    {"G", "0f8fad5b-d9cb-469f-a165", kRefused},
    {"G", "{0F8FAD5B-D9CB-469F-A165-70867728950G}", kRefused},
    {"G", "{0F8FAD5B+D9CB-469F-A165-70867728950E}", kRefused},
};

const Case kBinaryCases[] = {
    {"VB", "0a0b0c0d", "0A0B0C0D"},
    {"VB", "0A0B0C0D0E", kRefused}, // String or binary data would be truncated
    {"VB", "0AF", kRefused},
    {"VB", "GG", kRefused},
    {"BI", "0A", "0A000000"}, // binary pads with zeros
    {"IM", "89504E47", "89504E47"},
};

class ValueRulesTest : public OpenEmbeddedDatabase
{
protected:
    ValueRulesTest() : OpenEmbeddedDatabase(kKinds) {}

    // Each value imported as the program imports it, then read back.
    template <std::size_t N>
    void expectStoredAsSqlServerStoresThem(const Case (&cases)[N])
    {
        for (const Case& c : cases) {
            const QString column = QString::fromLatin1(c.column);
            const QString value = QString::fromUtf8(c.value);
            ASSERT_TRUE(database.execute(QStringLiteral("delete from tblKinds")));
            TextTable table = {{column}, {value}};
            const bool inserted = database.insertRows(table, QStringLiteral("tblKinds")).ok;
            if (c.stored == kRefused) {
                EXPECT_FALSE(inserted) << c.column << " " << c.value;
                EXPECT_TRUE(database.lastError().contains(QStringLiteral("表 tblKinds 列 %1 的值“%2”").arg(column, value)))
                    << database.lastError().toStdString();
                continue;
            }
            ASSERT_TRUE(inserted) << c.column << " " << c.value << ": " << database.lastError().toStdString();
            EXPECT_EQ(query(QStringLiteral("select %1 from tblKinds").arg(column)),
                      TextTable({{QString::fromUtf8(c.stored)}}))
                << c.column << " " << c.value;
        }
    }
};

} // namespace

TEST_F(ValueRulesTest, Texts)
{
    expectStoredAsSqlServerStoresThem(kTextCases);
}

TEST_F(ValueRulesTest, Integers)
{
    expectStoredAsSqlServerStoresThem(kIntegerCases);
}

TEST_F(ValueRulesTest, Bits)
{
    expectStoredAsSqlServerStoresThem(kBitCases);
}

TEST_F(ValueRulesTest, Decimals)
{
    expectStoredAsSqlServerStoresThem(kDecimalCases);
}

TEST_F(ValueRulesTest, Money)
{
    expectStoredAsSqlServerStoresThem(kMoneyCases);
}

TEST_F(ValueRulesTest, FloatingPointNumbers)
{
    expectStoredAsSqlServerStoresThem(kFloatCases);
}

TEST_F(ValueRulesTest, DatesAndTimes)
{
    expectStoredAsSqlServerStoresThem(kDateTimeCases);
}

TEST_F(ValueRulesTest, Guids)
{
    expectStoredAsSqlServerStoresThem(kGuidCases);
}

TEST_F(ValueRulesTest, BinaryData)
{
    expectStoredAsSqlServerStoresThem(kBinaryCases);
}

TEST_F(ValueRulesTest, TextsAStatementStoresAsTheyStandReadAsSqlServerStoresThem)
{
    // What a hand-written statement (the sqlite3 shell's) stores: the engine keeps the text as
    // it stands, or the number SQLite took it for, and the program reads SQL Server's value.
    const Case cases[] = {
        {"DT", "'10/26/2021 9:21:28 AM'", "2021-10-26 09:21:28"},
        {"DT", "'20170406'", "2017-04-06"},
        {"M", "'$1,234.5'", "1234.5000"},
        {"G", "'0E984725-C51C-4BF4-9960-E1C80E27ABA0wrong'", "{0E984725-C51C-4BF4-9960-E1C80E27ABA0}"},
        {"F", "'   '", "0"},
    };
    for (const Case& c : cases) {
        const QString column = QString::fromLatin1(c.column);
        ASSERT_TRUE(database.execute(QStringLiteral("delete from tblKinds")));
        ASSERT_TRUE(database.execute(
            QStringLiteral("insert into tblKinds (%1) values (%2)").arg(column, QString::fromUtf8(c.value))))
            << c.value << ": " << database.lastError().toStdString();
        EXPECT_EQ(query(QStringLiteral("select %1 from tblKinds").arg(column)), TextTable({{QString::fromUtf8(c.stored)}}))
            << c.value;
    }
}

TEST_F(ValueRulesTest, TheEngineRefusesInEveryStatementAndOnTablesMadeAfterItOpened)
{
    ASSERT_TRUE(database.execute(QStringLiteral("insert into tblKinds (N5) values ('abc')")));
    EXPECT_FALSE(database.execute(QStringLiteral("update tblKinds set N5='abcdef'")));
    EXPECT_EQ(database.lastError(), QStringLiteral("ADO 错误：0x80004005，表 tblKinds 列 N5 的值“abcdef”超过 5 个字符"));
    EXPECT_FALSE(database.execute(QStringLiteral("update tblKinds set G='x', F='maybe'")));

    ASSERT_TRUE(database.execute(QStringLiteral("create table tblLater (Flag bit, Name nvarchar(2))")));
    EXPECT_FALSE(database.execute(QStringLiteral("insert into tblLater values (1, 'abc')")));
    EXPECT_TRUE(database.lastError().contains(QStringLiteral("表 tblLater 列 Name"))) << database.lastError().toStdString();
    // A bit written as SQL Server takes it reads as SQL Server gives it, whatever form it went in.
    ASSERT_TRUE(database.execute(QStringLiteral("insert into tblLater values ('TRUE', 'ab')")));
    EXPECT_EQ(query(QStringLiteral("select Flag from tblLater")), TextTable({{"-1"}}));
    EXPECT_EQ(file.scalar(QStringLiteral("select count(*) from tblKinds where N5='abc'")), QStringLiteral("1"));
}

TEST_F(ValueRulesTest, TheEngineRefusesTextThatGbkLacksInAStatementWrittenByHand)
{
    ASSERT_TRUE(database.execute(QStringLiteral("insert into tblKinds (V4, TX) values ('线束', '线束 é Я')")))
        << database.lastError().toStdString();
    // Four bytes of UTF-8 fit varchar(4), and text has no limit: only the code page refuses.
    for (const char* statement : {"insert into tblKinds (V4) values ('🔌')", "update tblKinds set TX='plug 🔌'"}) {
        EXPECT_FALSE(database.execute(QString::fromUtf8(statement))) << statement;
        EXPECT_TRUE(database.lastError().endsWith(QStringLiteral("含有代码页 936 无法表示的字符“🔌”")))
            << database.lastError().toStdString();
    }
}

TEST(ValueRulesOfACodePage, NarrowTextHoldsWhatItsCodePageHasCountedInItsBytes)
{
    const struct
    {
        ColumnType type;
        const char* value;
        const char* stored;  // kRefused when refused
        const char* refusal; // what the refusal says then
    } cases[] = {
        {{adVarChar, 4, 0, 936}, "线束", "线束", ""}, // GBK: two bytes each
        {{adLongVarChar, 0, 0, 936}, "plug 🔌", kRefused, "含有代码页 936 无法表示的字符“🔌”"},
        {{adVarChar, 20, 0, 1252}, "线束", kRefused, "含有代码页 1252 无法表示的字符“线”"}, // Latin-1
        {{adVarChar, 4, 0, 1252}, "Café", "Café", ""},
        {{adChar, 3, 0, 1252}, "é", "é  ", ""},
        {{adVarChar, 6, 0, 0}, "线束🔌", kRefused, "超过 6 个字节"}, // a UTF-8 collation: any character, UTF-8 bytes
        {{adVarChar, 10, 0, 0}, "线束🔌", "线束🔌", ""},
        {{adVarWChar, 2, 0, 1252}, "线束", "线束", ""}, // wide text keeps any character whatever its collation
    };
    for (const auto& c : cases) {
        const StoredValue stored = storeValue(c.type, QString::fromUtf8(c.value));
        EXPECT_EQ(stored.accepted, c.stored != kRefused) << c.type.codePage << " " << c.value;
        EXPECT_EQ(stored.text, QString::fromUtf8(c.stored ? c.stored : "")) << c.type.codePage << " " << c.value;
        EXPECT_EQ(stored.refusal, QString::fromUtf8(c.refusal)) << c.type.codePage << " " << c.value;
    }
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
        const bool stored =
            database.execute(QStringLiteral("insert into tblKinds (%1) values (%2)").arg(c.column, c.number));
        EXPECT_EQ(stored, c.refusal == nullptr) << c.column << " " << c.number;
        if (c.refusal) {
            EXPECT_TRUE(database.lastError().endsWith(QStringLiteral("列 %1 的值“%2”%3")
                                                         .arg(c.column, c.number, QString::fromUtf8(c.refusal))))
                << database.lastError().toStdString();
        }
    }
}
