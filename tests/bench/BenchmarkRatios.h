#pragma once

#include <string>

// Each figure of a benchmark executable is our time beside a reference doing the same
// work in the same run; the ratio of the two is what we judge, since absolute times on a
// shared machine are not repeatable.
// A limit of 0 reports the ratio without judging it.
void AddRatio(const std::string& figure, const std::string& ours, const std::string& reference, double limit);
// A figure judged by its own time, in milliseconds.
void AddLimit(const std::string& figure, const std::string& ours, double milliseconds);

// Runs the registered benchmarks inside an offscreen QApplication, then prints one line
// per figure: the times, the ratio and the limit. Returns the process exit code.
int RunBenchmarksWithRatios(int argc, char** argv);
