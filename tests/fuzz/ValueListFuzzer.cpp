// The value-list file "SQL配置.ini" as the program reads it, whatever its bytes.

#include "config/ValueLists.h"
#include "tests/fuzz/FuzzInput.h"

using namespace korvel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const ValueLists lists = parseValueListText(decipherValueListFile(fuzzBytes(data, size)));
    for (const ValueList& list : lists) {
        for (auto entry = list.cbegin(); entry != list.cend(); ++entry) {
            // Separators never survive inside an entry or a value.
            FUZZ_CHECK(!entry.key().contains(QLatin1Char(';')) && !entry.key().contains(QLatin1Char('&')));
            FUZZ_CHECK(!entry.value().contains(QLatin1Char(';')) && !entry.value().contains(QLatin1Char('&')));
        }
    }
    return 0;
}
