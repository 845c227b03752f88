#include "util/HeapReuse.h"

#include "tests/support/ChildProcess.h"
#include "tests/support/ResourceUsage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

using namespace korvel;

TEST(HeapReuse, MemoryOfALargeReadStaysWithTheProcessForTheNext)
{
#if !defined(__GLIBC__)
    GTEST_SKIP() << "the setting is the GNU C library's";
#else
    if (kSanitizedBuild)
        GTEST_SKIP() << "the sanitizer's allocator stands in for the C library's";
    EXPECT_TRUE(holdsInChildProcess([] {
        keepFreedMemoryForReuse();
        // Blocks of a size the library would otherwise map one by one and unmap when freed.
        constexpr std::size_t kBlock = 1024 * 1024;
        constexpr int kBlocks = 64;
        std::vector<void*> blocks;
        for (int i = 0; i < kBlocks; ++i) {
            blocks.push_back(std::malloc(kBlock));
            std::memset(blocks.back(), i, kBlock);
        }
        for (void* block : blocks)
            std::free(block);
        const struct mallinfo2 heap = mallinfo2();
        return heap.arena >= kBlocks * kBlock && heap.hblkhd == 0;
    }));
#endif
}
