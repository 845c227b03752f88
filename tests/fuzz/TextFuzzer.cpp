// The hexadecimal and UTF-8 helpers: anything goes in, and what they write reads back.

#include "tests/fuzz/FuzzInput.h"
#include "util/TextConversions.h"

using namespace korvel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = fuzzBytes(data, size);
    FUZZ_CHECK(hexToBytes(bytesToHex(bytes)) == bytes);
    const QByteArray read = hexToBytes(fuzzText(data, size));
    FUZZ_CHECK(read.size() == static_cast<qsizetype>(size / 4));

    // Once decoded, text keeps its form through a second trip.
    const QString text = utf8ToWide(bytes);
    FUZZ_CHECK(utf8ToWide(wideToUtf8(text)) == text);
    const QByteArray encoded = wideToUtf8(fuzzText(data, size));
    FUZZ_CHECK(!encoded.isEmpty() && encoded.back() == '\0');
    return 0;
}
