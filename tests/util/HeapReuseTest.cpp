#include "util/HeapReuse.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#if defined(__GLIBC__)
#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#if defined(__SANITIZE_ADDRESS__)
#define KORVEL_OWN_ALLOCATOR 1 // the sanitizer's allocator replaces the C library's
#endif

TEST(HeapReuse, MemoryOfALargeReadStaysWithTheProcessForTheNext)
{
#if !defined(__GLIBC__) || defined(KORVEL_OWN_ALLOCATOR)
    GTEST_SKIP() << "the setting is the GNU C library's";
#else
    // In a child, so that the test process keeps its own heap setting.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        KeepFreedMemoryForReuse();
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
        _exit(heap.arena >= kBlocks * kBlock && heap.hblkhd == 0 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
#endif
}
