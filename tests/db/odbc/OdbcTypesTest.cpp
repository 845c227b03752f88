#include "db/odbc/OdbcTypes.h"

#include "tests/support/QtPrinting.h"

#include <gtest/gtest.h>

using namespace korvel;

namespace {

struct TypeCase {
    const char* sqlServerType;
    SQLSMALLINT sqlType;
    SQLULEN columnSize;
    const char* typeName;
    int adoType;
    OdbcValueKind kind;
};

// What FreeTDS (and Microsoft's driver) report for each SQL Server type, and the code that
// SQL Server's OLE DB provider gave for it.
const TypeCase kSqlServerTypes[] = {
    {"int", SQL_INTEGER, 10, "int", 3, OdbcValueKind::Text},
    {"smallint", SQL_SMALLINT, 5, "smallint", 2, OdbcValueKind::Text},
    {"tinyint", SQL_TINYINT, 3, "tinyint", 17, OdbcValueKind::Text},
    {"bigint", SQL_BIGINT, 19, "bigint", 20, OdbcValueKind::Text},
    {"bit", SQL_BIT, 1, "bit", 11, OdbcValueKind::Bit},
    {"decimal", SQL_DECIMAL, 18, "decimal", 131, OdbcValueKind::Text},
    {"numeric", SQL_NUMERIC, 18, "numeric", 131, OdbcValueKind::Text},
    {"money", SQL_DECIMAL, 19, "money", 6, OdbcValueKind::Text},
    {"smallmoney", SQL_DECIMAL, 10, "smallmoney", 6, OdbcValueKind::Text},
    {"float", SQL_FLOAT, 53, "float", 5, OdbcValueKind::Text},
    {"float (as double)", SQL_DOUBLE, 15, "float", 5, OdbcValueKind::Text},
    {"real", SQL_REAL, 24, "real", 4, OdbcValueKind::Text},
    {"datetime", SQL_TYPE_TIMESTAMP, 23, "datetime", 135, OdbcValueKind::Timestamp},
    {"smalldatetime", SQL_TYPE_TIMESTAMP, 16, "smalldatetime", 135, OdbcValueKind::Timestamp},
    {"datetime2", SQL_TYPE_TIMESTAMP, 27, "datetime2", 202, OdbcValueKind::Text},
    {"date", SQL_TYPE_DATE, 10, "date", 202, OdbcValueKind::Text},
    {"time", kSqlServerTime2, 16, "time", 202, OdbcValueKind::Text},
    {"datetimeoffset", kSqlServerTimestampOffset, 34, "datetimeoffset", 202, OdbcValueKind::Text},
    {"uniqueidentifier", SQL_GUID, 36, "uniqueidentifier", 72, OdbcValueKind::Guid},
    {"char", SQL_CHAR, 10, "char", 129, OdbcValueKind::Text},
    {"varchar", SQL_VARCHAR, 50, "varchar", 200, OdbcValueKind::Text},
    {"varchar(max)", SQL_VARCHAR, 0, "varchar", 201, OdbcValueKind::Text},
    {"text", SQL_LONGVARCHAR, 2147483647, "text", 201, OdbcValueKind::Text},
    {"nchar", SQL_WCHAR, 10, "nchar", 130, OdbcValueKind::Text},
    {"nvarchar", SQL_WVARCHAR, 50, "nvarchar", 202, OdbcValueKind::Text},
    {"nvarchar(max)", SQL_WVARCHAR, 0, "nvarchar", 203, OdbcValueKind::Text},
    {"ntext", SQL_WLONGVARCHAR, 1073741823, "ntext", 203, OdbcValueKind::Text},
    {"xml", kSqlServerXml, 0, "xml", 203, OdbcValueKind::Text},
    {"binary", SQL_BINARY, 16, "binary", 128, OdbcValueKind::Bytes},
    {"varbinary", SQL_VARBINARY, 50, "varbinary", 204, OdbcValueKind::Bytes},
    {"varbinary(max)", SQL_VARBINARY, 0, "varbinary", 205, OdbcValueKind::Bytes},
    {"image", SQL_LONGVARBINARY, 2147483647, "image", 205, OdbcValueKind::Bytes},
    {"sql_variant", kSqlServerVariant, 8000, "sql_variant", 12, OdbcValueKind::Text},
};

TEST(OdbcTypesTest, SqlServerTypesGetTheOleDbProvidersCodes)
{
    for (const TypeCase& type : kSqlServerTypes) {
        const int adoType = adoTypeOfOdbcColumn(type.sqlType, type.columnSize, QString::fromLatin1(type.typeName));
        EXPECT_EQ(adoType, type.adoType) << type.sqlServerType;
        EXPECT_EQ(valueKindOfAdoType(adoType), type.kind) << type.sqlServerType;
    }
}

TEST(OdbcTypesTest, TypeNamesAreComparedIgnoringCase)
{
    EXPECT_EQ(adoTypeOfOdbcColumn(SQL_DECIMAL, 19, QStringLiteral("MONEY")), 6);
    EXPECT_EQ(adoTypeOfOdbcColumn(SQL_TYPE_TIMESTAMP, 27, QStringLiteral("DateTime2")), 202);
    // ODBC 2 drivers report the older timestamp code.
    EXPECT_EQ(adoTypeOfOdbcColumn(SQL_TIMESTAMP, 23, QStringLiteral("datetime")), 135);
}

TEST(OdbcTypesTest, UnknownTypesAreReadAsText)
{
    const int adoType = adoTypeOfOdbcColumn(-400, 20, QStringLiteral("geography"));
    EXPECT_EQ(adoType, 202);
    EXPECT_EQ(valueKindOfAdoType(adoType), OdbcValueKind::Text);
}

TEST(OdbcValueTextTest, AGuidLosesThePaddingOfItsColumnAndOtherTextStaysAsItIs)
{
    // The GUID's own forms are ValueTextTest's (canonicalGuidText).
    const struct
    {
        const char* driver;
        const char* program;
    } cases[] = {
        {"6f9619ff-8b86-d011-b42d-00c04fc964ff    ", "{6F9619FF-8B86-D011-B42D-00C04FC964FF}"},
        {" \t6F9619FF-8B86-D011-B42D-00C04FC964FF\t ", "{6F9619FF-8B86-D011-B42D-00C04FC964FF}"},
        {"not a guid  ", "not a guid  "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(bracedGuid(QString::fromLatin1(c.driver)), QString::fromLatin1(c.program)) << c.driver;
}

SQL_TIMESTAMP_STRUCT timestamp(int year, int month, int day, int hour, int minute, int second, SQLUINTEGER fraction)
{
    SQL_TIMESTAMP_STRUCT timestamp = {};
    timestamp.year = static_cast<SQLSMALLINT>(year);
    timestamp.month = static_cast<SQLUSMALLINT>(month);
    timestamp.day = static_cast<SQLUSMALLINT>(day);
    timestamp.hour = static_cast<SQLUSMALLINT>(hour);
    timestamp.minute = static_cast<SQLUSMALLINT>(minute);
    timestamp.second = static_cast<SQLUSMALLINT>(second);
    timestamp.fraction = fraction;
    return timestamp;
}

TEST(OdbcValueTextTest, TimestampsUseTheProgramsDateTimeText)
{
    EXPECT_EQ(timestampText(timestamp(2024, 2, 29, 0, 0, 0, 0)), QStringLiteral("2024-02-29"));
    EXPECT_EQ(timestampText(timestamp(2024, 2, 29, 13, 5, 7, 0)), QStringLiteral("2024-02-29 13:05:07"));
    // The fraction is in nanoseconds.
    EXPECT_EQ(timestampText(timestamp(1999, 12, 31, 23, 59, 59, 997000000)), QStringLiteral("1999-12-31 23:59:59.997"));
    EXPECT_EQ(timestampText(timestamp(2001, 1, 2, 3, 4, 5, 123456789)), QStringLiteral("2001-01-02 03:04:05.123"));
    EXPECT_EQ(timestampText(timestamp(2001, 1, 2, 0, 0, 0, 5000000)), QStringLiteral("2001-01-02 00:00:00.005"));
    // Less than a millisecond is not shown, and midnight stays midnight.
    EXPECT_EQ(timestampText(timestamp(2001, 1, 2, 0, 0, 0, 999999)), QStringLiteral("2001-01-02"));
}

} // namespace
