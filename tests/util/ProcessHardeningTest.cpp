#include "util/ProcessHardening.h"

#include <gtest/gtest.h>

#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

TEST(ProcessHardening, AProcessThatHoldsPasswordsWritesNoCoreFile)
{
    // In a child, so that the test process stays as it was.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        DisableCoreDumps();
        rlimit core{};
        getrlimit(RLIMIT_CORE, &core);
        _exit(core.rlim_cur == 0 && core.rlim_max == 0 && prctl(PR_GET_DUMPABLE) == 0 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}
