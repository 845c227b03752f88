#include "util/ProcessHardening.h"

#include "tests/support/ChildProcess.h"

#include <gtest/gtest.h>

#include <sys/prctl.h>
#include <sys/resource.h>

using namespace korvel;

TEST(ProcessHardening, AProcessThatHoldsPasswordsWritesNoCoreFile)
{
    EXPECT_TRUE(holdsInChildProcess([] {
        disableCoreDumps();
        rlimit core{};
        getrlimit(RLIMIT_CORE, &core);
        return core.rlim_cur == 0 && core.rlim_max == 0 && prctl(PR_GET_DUMPABLE) == 0;
    }));
}
