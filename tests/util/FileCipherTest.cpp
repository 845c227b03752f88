#include "util/FileCipher.h"

#include "tests/support/QtPrinting.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

using namespace korvel;

namespace {

// A plain RC4, written from the algorithm's description, to check the library's output
// over lengths the literal vectors below do not reach.
QByteArray referenceRc4(const QByteArray& key, const QByteArray& data)
{
    std::array<std::uint8_t, 256> s{};
    for (int i = 0; i < 256; ++i)
        s[i] = static_cast<std::uint8_t>(i);
    for (int i = 0, j = 0; i < 256; ++i) {
        j = (j + s[i] + static_cast<std::uint8_t>(key[i % key.size()])) & 0xFF;
        std::swap(s[i], s[j]);
    }
    QByteArray out(data.size(), '\0');
    for (int n = 0, i = 0, j = 0; n < data.size(); ++n) {
        i = (i + 1) & 0xFF;
        j = (j + s[i]) & 0xFF;
        std::swap(s[i], s[j]);
        out[n] = static_cast<char>(data[n] ^ s[(s[i] + s[j]) & 0xFF]);
    }
    return out;
}

// MD5("qkd"), as md5sum prints it.
const QByteArray kKey = hex("bc4d296119a66388f10812b797aefe07");

} // namespace

TEST(FileCipher, KeystreamMatchesAnIndependentRc4WithTheMd5OfQkd)
{
    // The first 32 keystream bytes, from `openssl enc -rc4 -K bc4d2961...` over zeros.
    EXPECT_EQ(cryptFileData(QByteArray(32, '\0')),
              hex("a715e1b5aed46e7eb8f51216334ebd492253c8d18e83c139a9098c73d233e389"));
    // A value-list line in GBK ("联线类型&A&1;"), enciphered by a Python RC4.
    EXPECT_EQ(cryptFileData(hex("c1aacfdfc0e0d0cd26412631 3b")), hex("66bf2e6a6e34beb39eb4342708"));
}

TEST(FileCipher, LongBuffersAreOneKeystreamNotChunksRestarted)
{
    QByteArray data(2500, '\0');
    for (int i = 0; i < data.size(); ++i)
        data[i] = static_cast<char>(i * 7 + 3);
    const QByteArray enciphered = cryptFileData(data);
    EXPECT_EQ(enciphered, referenceRc4(kKey, data));
    // Restarting at 1000 bytes would repeat the first chunk's keystream.
    EXPECT_NE(enciphered.mid(1000, 16), cryptFileData(data.mid(1000, 16)));
}

TEST(FileCipher, IsItsOwnInverseAndKeepsTheLength)
{
    const QByteArray plaintext = QByteArray("label text\0with a NUL", 21);
    const QByteArray enciphered = cryptFileData(plaintext);
    EXPECT_EQ(enciphered.size(), plaintext.size());
    EXPECT_NE(enciphered, plaintext);
    EXPECT_EQ(cryptFileData(enciphered), plaintext);
    EXPECT_EQ(cryptFileData(plaintext), enciphered) << "no salt: the same input gives the same bytes";
    EXPECT_TRUE(cryptFileData(QByteArray()).isEmpty());
}
