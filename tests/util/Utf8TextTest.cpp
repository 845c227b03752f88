#include "util/Utf8Text.h"

#include "tests/support/QtPrinting.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

TEST(Utf8Text, TheTerminatorIsPartOfTheBytes)
{
    EXPECT_EQ(WideToUtf8(QString()), QByteArray(1, '\0'));
    const QByteArray tableTag = WideToUtf8(QStringLiteral("表名:"));
    EXPECT_EQ(tableTag.size(), 8);
    EXPECT_EQ(tableTag, Hex("e8a1a8e5908d3a00"));
}

TEST(Utf8Text, ConversionStopsAtTheFirstNul)
{
    EXPECT_EQ(WideToUtf8(QString::fromUtf16(u"ab\0cd", 5)), QByteArray("ab", 3));
    EXPECT_EQ(Utf8ToWide(QByteArray("ab\0cd", 5)), QStringLiteral("ab"));
}

TEST(Utf8Text, TextInAnyScriptRoundTrips)
{
    const QString text = QStringLiteral("Wire 线束 Провод κύκλωμα ハーネス 🔌 \t\r\n");
    EXPECT_EQ(Utf8ToWide(WideToUtf8(text)), text);
}

TEST(Utf8Text, MalformedUtf8BecomesReplacementCharacters)
{
    EXPECT_EQ(Utf8ToWide(QByteArray("a\xff" "b")), QString::fromUtf16(u"a\uFFFDb"));
    const QString cut = Utf8ToWide(QByteArray("\xe8\xa1" "z"));
    EXPECT_TRUE(cut.startsWith(QChar(0xFFFD))) << "a cut character";
    EXPECT_TRUE(cut.endsWith(QLatin1Char('z'))) << "does not swallow what follows";
}
