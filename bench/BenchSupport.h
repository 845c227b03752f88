#pragma once

// What the benchmark programs share: the ratios they are judged by, and the references
// they run beside Korvel's code.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <string>

namespace benchmark::internal {
class Benchmark;
}
struct sqlite3;

namespace korvel {

// Each figure of a benchmark executable is our time beside a reference doing the same
// work in the same run; the ratio of the two is what we judge, since absolute times on a
// shared machine are not repeatable.
// A limit of 0 reports the ratio without judging it.
void addRatio(const std::string& figure, const std::string& ours, const std::string& reference, double limit);
// A figure judged by its own time, in milliseconds.
void addLimit(const std::string& figure, const std::string& ours, double milliseconds);

// Sets the process up as the programs set theirs up at start (the heap kept for reuse, the
// embedded engine's settings), so that the code is measured as it runs there. Called first.
void setUpAsThePrograms();

// Makes a benchmark's figure the median of several repetitions, which run interleaved at
// random with those of the other benchmarks: the machines here are shared, and a figure and
// its reference must meet the same bursts of load, none of which may move the ratio alone.
void repeatForMedian(benchmark::internal::Benchmark* benchmark);

// Runs the registered benchmarks inside an offscreen QApplication, then prints one line
// per figure: the times, the ratio and the limit. Returns the process exit code.
int runBenchmarksWithRatios(int argc, char** argv);

// Set-up SQL for a benchmark's database, through plain SQLite; a failure ends the run.
void execOrExit(sqlite3* db, const QByteArray& sql);

// Runs a program (the sqlite3 shell, korvelctl) to its end, its output thrown away and its
// input, when given, read from a file. Aborts the benchmark run when it fails.
void runProgramToEnd(const QString& program, const QStringList& arguments, const QString& inputFile = QString());

} // namespace korvel
