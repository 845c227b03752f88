#include "util/AnsiText.h"

#include "tests/support/QtPrinting.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

TEST(AnsiText, GbkBytesDecodeUpToTheFirstNul)
{
    EXPECT_EQ(AnsiToWide(Hex("c1aacfdfc0e0d0cd")), QStringLiteral("联线类型"));
    EXPECT_EQ(AnsiToWide(Hex("b2e2cad4d7e9 00 b2e2")), QStringLiteral("测试组"));
    EXPECT_EQ(AnsiToWide(QByteArray()), QString());
}

TEST(AnsiText, MalformedGbkDoesNotSwallowTheFollowingText)
{
    const QString text = AnsiToWide(Hex("d6") + QByteArray(";abc"));
    EXPECT_TRUE(text.endsWith(QStringLiteral("abc"))) << text.toStdString();
    EXPECT_FALSE(AnsiToWide(Hex("41d6")).isEmpty());
}

TEST(AnsiText, EncodingRefusesCharactersWithoutAGbkForm)
{
    QByteArray bytes("untouched");
    ASSERT_TRUE(WideToAnsi(QStringLiteral("测试组2&A&1"), bytes));
    EXPECT_EQ(bytes, Hex("b2e2cad4d7e932264126 31"));
    QByteArray refused("untouched");
    EXPECT_FALSE(WideToAnsi(QStringLiteral("plug 🔌"), refused));
    EXPECT_EQ(refused, QByteArray("untouched"));
}
