#include "db/client/ConnectionString.h"

#include "tests/support/QtPrinting.h"

#include <gtest/gtest.h>

using namespace korvel;

TEST(connectionString, ParsingFollowsOleDbRules)
{
    QMap<QString, QString> attributes;
    ASSERT_TRUE(
        parseConnectionString(QStringLiteral(" Provider = sqloledb ; Data Source='a;b' ;;PWD=\"x\"\"y\";pwd=z"), attributes));
    EXPECT_EQ(attributes.value("provider"), QStringLiteral("sqloledb"));
    EXPECT_EQ(attributes.value("data source"), QStringLiteral("a;b"));
    EXPECT_EQ(attributes.value("pwd"), QStringLiteral("z")) << "a later keyword wins";

    QMap<QString, QString> untouched{{"kept", "yes"}};
    EXPECT_FALSE(parseConnectionString(QStringLiteral("Password=\"open"), untouched));
    EXPECT_FALSE(parseConnectionString(QStringLiteral("Password=\"a\"b;"), untouched));
    EXPECT_FALSE(parseConnectionString(QStringLiteral("no equals sign;"), untouched));
    EXPECT_EQ(untouched.value("kept"), QStringLiteral("yes"));
}
