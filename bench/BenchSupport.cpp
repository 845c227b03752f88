#include "bench/BenchSupport.h"

#include "db/sqlite/EngineSettings.h"
#include "util/HeapReuse.h"

#include <QApplication>
#include <QProcess>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <vector>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace korvel {

namespace {

struct Ratio
{
    std::string figure;
    std::string ours;
    std::string reference; // empty for a figure judged by its own time
    double limit;
};

std::vector<Ratio>& ratios()
{
    static std::vector<Ratio> ratios;
    return ratios;
}

constexpr int kRepetitions = 5;

// Keeps each benchmark's real time in milliseconds while printing as usual: the median of
// its repetitions, or the one run of a benchmark that is not repeated.
class RecordingReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (median || run.run_type == Run::RT_Iteration)
                m_times[run.run_name.function_name] =
                    run.GetAdjustedRealTime() * 1000.0 / benchmark::GetTimeUnitMultiplier(run.time_unit);
        }
        ConsoleReporter::ReportRuns(runs);
    }

    const std::map<std::string, double>& times() const { return m_times; }

private:
    std::map<std::string, double> m_times;
};

} // namespace

void setUpAsThePrograms()
{
    keepFreedMemoryForReuse();
    configureEmbeddedEngine();
}

void repeatForMedian(benchmark::internal::Benchmark* benchmark)
{
    benchmark->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
}

void addRatio(const std::string& figure, const std::string& ours, const std::string& reference, double limit)
{
    ratios().push_back({figure, ours, reference, limit});
}

void addLimit(const std::string& figure, const std::string& ours, double milliseconds)
{
    ratios().push_back({figure, ours, std::string(), milliseconds});
}

int runBenchmarksWithRatios(int argc, char** argv)
{
    setUpAsThePrograms();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    // Repetitions interleaved at random (repeatForMedian) unless the command line says otherwise.
    std::vector<char*> arguments(argv, argv + argc);
    char interleaved[] = "--benchmark_enable_random_interleaving=true";
    arguments.insert(arguments.begin() + 1, interleaved);
    int count = static_cast<int>(arguments.size());
    benchmark::Initialize(&count, arguments.data());
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const auto& times = reporter.times();
    std::printf("\n%-64s %10s %13s %8s %9s\n", "figure", "ours ms", "reference ms", "ratio", "limit");
    for (const Ratio& ratio : ratios()) {
        const auto ours = times.find(ratio.ours);
        if (ours == times.end())
            continue; // filtered out
        if (ratio.reference.empty()) {
            std::printf("%-64s %10.2f %13s %8s %7.0fms %s\n", ratio.figure.c_str(), ours->second, "", "",
                        ratio.limit, ours->second <= ratio.limit ? "ok" : "OVER");
            continue;
        }
        const auto reference = times.find(ratio.reference);
        if (reference == times.end())
            continue;
        const double quotient = ours->second / reference->second;
        if (ratio.limit > 0)
            std::printf("%-64s %10.2f %13.2f %7.2fx %8.1fx %s\n", ratio.figure.c_str(), ours->second,
                        reference->second, quotient, ratio.limit, quotient <= ratio.limit ? "ok" : "OVER");
        else
            std::printf("%-64s %10.2f %13.2f %7.2fx\n", ratio.figure.c_str(), ours->second, reference->second,
                        quotient);
    }
    return 0;
}

void execOrExit(sqlite3* db, const QByteArray& sql)
{
    char* message = nullptr;
    if (sqlite3_exec(db, sql.constData(), nullptr, nullptr, &message) != SQLITE_OK) {
        std::fprintf(stderr, "benchmark set-up failed: %s\n", message);
        std::exit(1);
    }
}

void runProgramToEnd(const QString& program, const QStringList& arguments, const QString& inputFile)
{
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    if (!inputFile.isEmpty())
        process.setStandardInputFile(inputFile);
    process.start(program, arguments);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        std::fprintf(stderr, "%s failed: %s\n", qPrintable(program), process.readAllStandardError().constData());
        std::exit(1);
    }
}

} // namespace korvel
