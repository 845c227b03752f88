// The label bundle reader, whatever the file's bytes: what it reads, written again, reads
// back the same.

#include "labels/LabelBundle.h"
#include "tests/fuzz/FuzzInput.h"

using namespace korvel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QList<BundleBlock> blocks = readBundleText(decodeBundle(fuzzBytes(data, size)));
    QStringList lines;
    for (const BundleBlock& block : blocks)
        appendBundleBlock(block, &lines);
    const QList<BundleBlock> again = readBundleText(decodeBundle(encodeBundle(lines)));
    FUZZ_CHECK(again.size() == blocks.size());
    for (qsizetype i = 0; i < blocks.size(); ++i) {
        FUZZ_CHECK(again[i].tableName == blocks[i].tableName);
        FUZZ_CHECK(again[i].rows == blocks[i].rows);
    }
    return 0;
}
