#include "config/SplitText.h"

#include <gtest/gtest.h>

TEST(SplitText, KeepsEveryEmptyPiece)
{
    EXPECT_EQ(SplitText(QStringLiteral("a;;b;"), QLatin1Char(';')),
              QStringList({QStringLiteral("a"), QString(), QStringLiteral("b"), QString()}));
    EXPECT_EQ(SplitText(QString(), QLatin1Char(';')), QStringList(QString()));
    EXPECT_EQ(SplitText(QStringLiteral(";"), QLatin1Char(';')), QStringList({QString(), QString()}));
    EXPECT_EQ(SplitText(QStringLiteral("no separator"), QLatin1Char('&')), QStringList(QStringLiteral("no separator")));
}
