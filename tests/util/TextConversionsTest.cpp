#include "util/TextConversions.h"

#include "tests/support/QtPrinting.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <vector>

using namespace korvel;

TEST(AnsiText, GbkBytesDecodeUpToTheFirstNul)
{
    EXPECT_EQ(ansiToWide(hex("c1aacfdfc0e0d0cd")), QStringLiteral("联线类型"));
    EXPECT_EQ(ansiToWide(hex("b2e2cad4d7e9 00 b2e2")), QStringLiteral("测试组"));
    EXPECT_EQ(ansiToWide(QByteArray()), QString());
}

TEST(AnsiText, MalformedGbkDoesNotSwallowTheFollowingText)
{
    const QString text = ansiToWide(hex("d6") + QByteArray(";abc"));
    EXPECT_TRUE(text.endsWith(QStringLiteral("abc"))) << text.toStdString();
    EXPECT_FALSE(ansiToWide(hex("41d6")).isEmpty());
}

TEST(AnsiText, EncodingRefusesCharactersWithoutAGbkForm)
{
    QByteArray bytes("untouched");
    ASSERT_TRUE(wideToAnsi(QStringLiteral("测试组2&A&1"), bytes));
    EXPECT_EQ(bytes, hex("b2e2cad4d7e932264126 31"));
    QByteArray refused("untouched");
    EXPECT_FALSE(wideToAnsi(QStringLiteral("plug 🔌"), refused));
    EXPECT_EQ(refused, QByteArray("untouched"));
}

TEST(HexText, BytesBecomeUpperCasePairs)
{
    EXPECT_EQ(bytesToHex(hex("00ab")), QStringLiteral("00AB"));
    EXPECT_EQ(bytesToHex(hex("0aff00")), QStringLiteral("0AFF00"));
    EXPECT_EQ(bytesToHex(QByteArray()), QString());
}

TEST(HexText, EveryByteSurvivesTheRoundTrip)
{
    QByteArray all(256, '\0');
    for (int i = 0; i < 256; ++i)
        all[i] = static_cast<char>(i);
    EXPECT_EQ(hexToBytes(bytesToHex(all)), all);
}

TEST(HexText, PairsAreReadAsStrtolReadsThem)
{
    EXPECT_EQ(hexToBytes(QStringLiteral("0aFF")), hex("0aff"));
    EXPECT_EQ(hexToBytes(QStringLiteral("ABC")), hex("ab")) << "an odd last digit is dropped";
    EXPECT_EQ(hexToBytes(QString()), QByteArray());
    EXPECT_EQ(hexToBytes(QStringLiteral("1G")), hex("01")) << "reading stops at the first non-digit";
    EXPECT_EQ(hexToBytes(QStringLiteral("-1")), hex("ff")) << "a sign is taken, low 8 bits kept";
    EXPECT_EQ(hexToBytes(QStringLiteral("+F")), hex("0f"));
    EXPECT_EQ(hexToBytes(QStringLiteral(" F")), hex("0f")) << "leading white space is skipped";
    EXPECT_EQ(hexToBytes(QStringLiteral("G1")), hex("00")) << "no digit at all gives 0";
    EXPECT_EQ(hexToBytes(QStringLiteral("0x")), hex("00"));
    EXPECT_EQ(hexToBytes(QStringLiteral("中1")), hex("00")) << "a character outside ASCII is no digit";
    EXPECT_EQ(hexToBytes(QStringLiteral("1中")), hex("01"));
}

TEST(Utf8Text, TheTerminatorIsPartOfTheBytes)
{
    EXPECT_EQ(wideToUtf8(QString()), QByteArray(1, '\0'));
    const QByteArray tableTag = wideToUtf8(QStringLiteral("表名:"));
    EXPECT_EQ(tableTag.size(), 8);
    EXPECT_EQ(tableTag, hex("e8a1a8e5908d3a00"));
}

TEST(Utf8Text, ConversionStopsAtTheFirstNul)
{
    EXPECT_EQ(wideToUtf8(QString::fromUtf16(u"ab\0cd", 5)), QByteArray("ab", 3));
    EXPECT_EQ(utf8ToWide(QByteArray("ab\0cd", 5)), QStringLiteral("ab"));
}

TEST(Utf8Text, TextInAnyScriptRoundTrips)
{
    const QString text = QStringLiteral("Wire 线束 Провод κύκλωμα ハーネス 🔌 \t\r\n");
    EXPECT_EQ(utf8ToWide(wideToUtf8(text)), text);
}

TEST(Utf8Text, MalformedUtf8BecomesReplacementCharacters)
{
    EXPECT_EQ(utf8ToWide(QByteArray("a\xff" "b")), QString::fromUtf16(u"a\uFFFDb"));
    const QString cut = utf8ToWide(QByteArray("\xe8\xa1" "z"));
    EXPECT_TRUE(cut.startsWith(QChar(0xFFFD))) << "a cut character";
    EXPECT_TRUE(cut.endsWith(QLatin1Char('z'))) << "does not swallow what follows";
}

// The lists' order is that of the texts' case-folded forms, ties kept in their given order,
// whatever mix of plain ASCII and other scripts a list holds.
TEST(ListOrder, IsTheOrderOfTheCaseFoldedTexts)
{
    const QStringList texts = {
        "wh-b", "WH-A", "Wh-a", "", "ẞ", "ß", "ss", "SS", "Äpfel", "äpfel", "apfel", "ΣΑ", "σα", "ςα",
        "Ａ", "ａ", "A", "a", QString::fromUcs4(U"\U00010400"), QString::fromUcs4(U"\U00010428"), "线束A", "线束a",
        "[", "_", "Z", "z", "WH-0", "WH-",
    };
    std::vector<qsizetype> expected(texts.size());
    std::iota(expected.begin(), expected.end(), 0);
    std::stable_sort(expected.begin(), expected.end(),
                     [&texts](qsizetype a, qsizetype b) { return texts[a].toCaseFolded() < texts[b].toCaseFolded(); });
    const QList<qsizetype> order = orderIgnoringCase(texts);
    EXPECT_EQ(std::vector<qsizetype>(order.begin(), order.end()), expected);
}
