#include "db/odbc/OdbcValueText.h"
#include "tests/support/QtPrinting.h"

#include <gtest/gtest.h>

namespace {

TEST(OdbcValueTextTest, GuidsBecomeBracedAndUpperCase)
{
    const QString expected = QStringLiteral("{6F9619FF-8B86-D011-B42D-00C04FC964FF}");
    EXPECT_EQ(BracedGuid(QStringLiteral("6F9619FF-8B86-D011-B42D-00C04FC964FF")), expected); // FreeTDS
    EXPECT_EQ(BracedGuid(QStringLiteral("6f9619ff-8b86-d011-b42d-00c04fc964ff")), expected); // psqlODBC
    EXPECT_EQ(BracedGuid(expected), expected);
    EXPECT_EQ(BracedGuid(QStringLiteral("{6f9619ff-8b86-d011-b42d-00c04fc964ff}")), expected);
    EXPECT_EQ(BracedGuid(QStringLiteral("00000000-0000-0000-0000-000000000000")),
              QStringLiteral("{00000000-0000-0000-0000-000000000000}"));
}

TEST(OdbcValueTextTest, TextsThatAreNoGuidStayAsTheyAre)
{
    for (const char* text : {"", "not a guid", "6F9619FF8B86D011B42D00C04FC964FF", "6F9619FF-8B86-D011-B42D-00C04FC964F"})
        EXPECT_EQ(BracedGuid(QString::fromLatin1(text)), QString::fromLatin1(text));
}

SQL_TIMESTAMP_STRUCT Timestamp(int year, int month, int day, int hour, int minute, int second, SQLUINTEGER fraction)
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
    EXPECT_EQ(TimestampText(Timestamp(2024, 2, 29, 0, 0, 0, 0)), QStringLiteral("2024-02-29"));
    EXPECT_EQ(TimestampText(Timestamp(2024, 2, 29, 13, 5, 7, 0)), QStringLiteral("2024-02-29 13:05:07"));
    // The fraction is in nanoseconds.
    EXPECT_EQ(TimestampText(Timestamp(1999, 12, 31, 23, 59, 59, 997000000)), QStringLiteral("1999-12-31 23:59:59.997"));
    EXPECT_EQ(TimestampText(Timestamp(2001, 1, 2, 3, 4, 5, 123456789)), QStringLiteral("2001-01-02 03:04:05.123"));
    EXPECT_EQ(TimestampText(Timestamp(2001, 1, 2, 0, 0, 0, 5000000)), QStringLiteral("2001-01-02 00:00:00.005"));
    // Less than a millisecond is not shown, and midnight stays midnight.
    EXPECT_EQ(TimestampText(Timestamp(2001, 1, 2, 0, 0, 0, 999999)), QStringLiteral("2001-01-02"));
}

} // namespace
