#pragma once

#include <functional>

#include <sys/wait.h>
#include <unistd.h>

namespace korvel {

// Whether a check holds when it runs in a child process: for what a program sets up for its
// whole process, which the test process must not take on.
inline bool holdsInChildProcess(const std::function<bool()>& check)
{
    const pid_t child = fork();
    if (child < 0)
        return false;
    if (child == 0)
        _exit(check() ? 0 : 1);
    int status = 0;
    return waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace korvel
