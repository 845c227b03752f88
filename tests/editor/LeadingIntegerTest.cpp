#include "editor/LeadingInteger.h"

#include <gtest/gtest.h>

TEST(LeadingInteger, ReadsAsWtoiDoes)
{
    EXPECT_EQ(LeadingInteger(QStringLiteral("3")), 3);
    EXPECT_EQ(LeadingInteger(QStringLiteral(" -7")), -7);
    EXPECT_EQ(LeadingInteger(QStringLiteral("\t+12abc")), 12);
    EXPECT_EQ(LeadingInteger(QStringLiteral("abc")), 0);
    EXPECT_EQ(LeadingInteger(QString()), 0);
    EXPECT_EQ(LeadingInteger(QStringLiteral("- 5")), 0);
    EXPECT_EQ(LeadingInteger(QStringLiteral("９")), 0) << "only ASCII digits";
    EXPECT_EQ(LeadingInteger(QStringLiteral("99999999999")), 2147483647);
    EXPECT_EQ(LeadingInteger(QStringLiteral("-2147483648")), -2147483647 - 1);
    EXPECT_EQ(LeadingInteger(QStringLiteral("-99999999999")), -2147483647 - 1);
}
