#pragma once

#include <sys/resource.h>

namespace korvel {

// Peak resident memory of this process so far, in megabytes. CTest runs each test in a
// process of its own, so the peak is the test's.
inline long peakResidentMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

// Under AddressSanitizer every allocation costs several times its size: memory bounds
// are checked in plain builds only, and very large inputs are made smaller.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kSanitizedBuild = true;
#else
inline constexpr bool kSanitizedBuild = false;
#endif

} // namespace korvel
