#include "util/HexText.h"

#include "tests/support/QtPrinting.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

TEST(HexText, BytesBecomeUpperCasePairs)
{
    EXPECT_EQ(BytesToHex(Hex("00ab")), QStringLiteral("00AB"));
    EXPECT_EQ(BytesToHex(Hex("0aff00")), QStringLiteral("0AFF00"));
    EXPECT_EQ(BytesToHex(QByteArray()), QString());
}

TEST(HexText, EveryByteSurvivesTheRoundTrip)
{
    QByteArray all(256, '\0');
    for (int i = 0; i < 256; ++i)
        all[i] = static_cast<char>(i);
    EXPECT_EQ(HexToBytes(BytesToHex(all)), all);
}

TEST(HexText, PairsAreReadAsStrtolReadsThem)
{
    EXPECT_EQ(HexToBytes(QStringLiteral("0aFF")), Hex("0aff"));
    EXPECT_EQ(HexToBytes(QStringLiteral("ABC")), Hex("ab")) << "an odd last digit is dropped";
    EXPECT_EQ(HexToBytes(QString()), QByteArray());
    EXPECT_EQ(HexToBytes(QStringLiteral("1G")), Hex("01")) << "reading stops at the first non-digit";
    EXPECT_EQ(HexToBytes(QStringLiteral("-1")), Hex("ff")) << "a sign is taken, low 8 bits kept";
    EXPECT_EQ(HexToBytes(QStringLiteral("+F")), Hex("0f"));
    EXPECT_EQ(HexToBytes(QStringLiteral(" F")), Hex("0f")) << "leading white space is skipped";
    EXPECT_EQ(HexToBytes(QStringLiteral("G1")), Hex("00")) << "no digit at all gives 0";
    EXPECT_EQ(HexToBytes(QStringLiteral("0x")), Hex("00"));
    EXPECT_EQ(HexToBytes(QStringLiteral("中1")), Hex("00")) << "a character outside ASCII is no digit";
    EXPECT_EQ(HexToBytes(QStringLiteral("1中")), Hex("01"));
}
