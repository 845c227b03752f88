// Label export and import of a large label on the embedded engine, each beside the sqlite3
// shell running the statements that it runs (logged from a run of its own), and the
// import's peak memory measured in a fresh process.

#include "db/Database.h"
#include "db/client/SqlDialect.h"
#include "db/schema/EmbeddedSchema.h"
#include "labels/LabelBundle.h"
#include "labels/LabelExport.h"
#include "labels/LabelImport.h"
#include "util/MessageSink.h"

#include "bench/BenchLabel.h"
#include "bench/BenchSupport.h"
#include "tests/support/FaultInjectingClient.h"
#include "tests/support/RecordingMessageSink.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>

using namespace korvel;

namespace {

constexpr int kControls = 2000;
constexpr int kLinesPerItem = 5; // 10,000 item rows
constexpr double kPeakMemoryLimitMb = 200.0;
const QString kLabelNo = QStringLiteral("BENCH-0001");
const char* const kMemoryChildOption = "--import-peak-memory";

// The shipped schema keeps one item row per ItemID; the bundle and the import allow an
// item of several lines (which LineID numbers), and that is what gives a label of 2,000
// controls its 10,000 item rows here.
QByteArray benchSchema()
{
    QByteArray schema = embeddedSchemaSql().toUtf8();
    schema.replace("CREATE UNIQUE INDEX IX_tblLabelControlItem_ItemID", "CREATE INDEX IX_tblLabelControlItem_ItemID");
    return schema;
}

class NoResolver : public DuplicateLabelResolver
{
public:
    bool resolveDuplicateLabelNo(Database&, const QString&, QString&) override { return false; }
};

class BenchFiles
{
public:
    BenchFiles()
    {
        withDatabase(source(), [](sqlite3* db) {
            execOrExit(db, benchSchema());
            execOrExit(db, "BEGIN");
            seedLargeLabel(db, kLabelNo, kControls, kLinesPerItem);
            execOrExit(db, "COMMIT");
        });
        withDatabase(target(), [](sqlite3* db) { execOrExit(db, benchSchema()); });
        RecordingMessageSink messages;
        if (!shownIn(messages, exportLabel(connectionString(source()), kLabelNo, bundle()))) {
            std::fprintf(stderr, "benchmark set-up failed: %s\n", qPrintable(messages.warnings.join(QLatin1Char('|'))));
            std::exit(1);
        }
    }

    QString source() const { return m_dir.filePath(QStringLiteral("source.db")); }
    QString target() const { return m_dir.filePath(QStringLiteral("target.db")); }
    QString bundle() const { return m_dir.filePath(QStringLiteral("label.bq")); }
    QString exportPath() const { return m_dir.filePath(QStringLiteral("export.bq")); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }
    static QString connectionString(const QString& path)
    {
        return QStringLiteral("Provider=sqlite;Data Source=%1;").arg(path);
    }

    template <typename Work>
    static void withDatabase(const QString& path, Work work)
    {
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(path).constData(), &db);
        work(db);
        sqlite3_close(db);
    }

    void emptyTarget() const
    {
        withDatabase(target(), [](sqlite3* db) {
            execOrExit(db, "DELETE FROM tblLabelInfo; DELETE FROM tblLabelControls; DELETE FROM tblLabelControlItem;");
        });
    }

private:
    QTemporaryDir m_dir;
};

const BenchFiles& benchFiles()
{
    static const BenchFiles files;
    return files;
}

// The statements a run of the export or the import sends to the engine, in order, logged
// through a client over the embedded one.
QStringList statementsOf(const std::function<bool(const QString& connectionString, MessageSink&)>& run,
                         const QString& databasePath)
{
    static FaultPlan plan;
    static const bool registered = (registerFaultInjectingProvider(plan), true);
    (void)registered;
    plan = FaultPlan();
    RecordingMessageSink messages;
    if (!run(QStringLiteral("Provider=faulty;Data Source=%1;").arg(databasePath), messages)) {
        std::fprintf(stderr, "benchmark set-up failed: %s\n", qPrintable(messages.warnings.join(QLatin1Char('|'))));
        std::exit(1);
    }
    return plan.statements;
}

QString writeScript(const QString& name, const QStringList& lines)
{
    const QString path = benchFiles().filePath(name);
    QFile script(path);
    if (!script.open(QIODevice::WriteOnly) || script.write(lines.join(QLatin1Char('\n')).toUtf8() + '\n') < 0)
        std::exit(1);
    return path;
}

// The import's own statements for the shell, in the engine's dialect: every INSERT with its
// literals, every key read-back, every probe of a table's columns, the check of the label
// number and the one statement that draws the new GUIDs (what the embedded NEWID() gives:
// braced, upper case), in one transaction.
QString shellImportScript()
{
    const BenchFiles& files = benchFiles();
    files.emptyTarget();
    const QStringList statements = statementsOf(
        [&files](const QString& connectionString, MessageSink& messages) {
            NoResolver resolver;
            return shownIn(messages, importLabel(connectionString, files.bundle(), resolver));
        },
        files.target());
    files.emptyTarget();
    QStringList lines = {QStringLiteral("BEGIN IMMEDIATE;")};
    for (const QString& statement : statements) {
        lines.append(QString(sqliteDialect().fromTransactSql(statement))
                         .replace(QLatin1String("select NEWID() from n"),
                                  QLatin1String("select '{'||substr(h,1,8)||'-'||substr(h,9,4)||'-'||substr(h,13,4)||'-'||"
                                                "substr(h,17,4)||'-'||substr(h,21)||'}' from (select hex(randomblob(16)) as h"
                                                " from n)")) +
                     QLatin1Char(';'));
    }
    lines.append(QStringLiteral("COMMIT;"));
    return writeScript(QStringLiteral("import.sql"), lines);
}

// The export's own selects for the shell, their rows written to a file as the bundle's
// lines (values joined by ","): before each table's rows its name and the names of its
// columns, read from the table's column list where the export reads the catalogue.
QString shellExportScript()
{
    const BenchFiles& files = benchFiles();
    const QStringList statements = statementsOf(
        [&files](const QString& connectionString, MessageSink& messages) {
            return shownIn(messages, exportLabel(connectionString, kLabelNo, files.exportPath()));
        },
        files.source());
    static const QRegularExpression catalogue(
        QStringLiteral("^select name from syscolumns where id=object_id\\('(\\w+)'\\) order by colid$"));
    QStringList lines = {QStringLiteral(".mode list"), QStringLiteral(".separator , \"\\n\""),
                         QStringLiteral(".output ") + files.filePath(QStringLiteral("shell-export.txt"))};
    for (const QString& statement : statements) {
        const QRegularExpressionMatch table = catalogue.match(statement);
        if (!table.hasMatch()) {
            lines.append(statement + QLatin1Char(';'));
            continue;
        }
        lines.append(QStringLiteral(".print 表名:") + table.captured(1));
        lines.append(QStringLiteral("select '列名:'||group_concat(name, ',') from pragma_table_info('%1');")
                         .arg(table.captured(1)));
    }
    return writeScript(QStringLiteral("export.sql"), lines);
}

void ExportLargeLabel(benchmark::State& state)
{
    const BenchFiles& files = benchFiles();
    for (auto _ : state) {
        RecordingMessageSink messages;
        if (!shownIn(messages, exportLabel(BenchFiles::connectionString(files.source()), kLabelNo, files.exportPath())))
            state.SkipWithError(qPrintable(messages.warnings.join(QLatin1Char('|'))));
    }
}

void ShellExportLargeLabel(benchmark::State& state)
{
    const BenchFiles& files = benchFiles();
    const QString script = shellExportScript();
    for (auto _ : state)
        runProgramToEnd(QStringLiteral("sqlite3"), {files.source()}, script);
}

void ImportLargeLabel(benchmark::State& state)
{
    const BenchFiles& files = benchFiles();
    for (auto _ : state) {
        state.PauseTiming();
        files.emptyTarget();
        state.ResumeTiming();
        RecordingMessageSink messages;
        NoResolver resolver;
        if (!shownIn(messages, importLabel(BenchFiles::connectionString(files.target()), files.bundle(), resolver)))
            state.SkipWithError(qPrintable(messages.warnings.join(QLatin1Char('|'))));
    }
}

void ShellImportLargeLabel(benchmark::State& state)
{
    const BenchFiles& files = benchFiles();
    const QString script = shellImportScript();
    for (auto _ : state) {
        state.PauseTiming();
        files.emptyTarget();
        state.ResumeTiming();
        runProgramToEnd(QStringLiteral("sqlite3"), {files.target()}, script);
    }
}

std::optional<double>& peakMemoryMb()
{
    static std::optional<double> peak;
    return peak;
}

double maxResidentMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // Linux gives kilobytes
}

// What the process holds now; loading the libraries may have held more for a moment.
double residentMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0.0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return 0.0;
}

// The import alone in a fresh process, so that what the benchmark run holds does not count.
void ImportPeakMemory(benchmark::State& state)
{
    const BenchFiles& files = benchFiles();
    for (auto _ : state) {
        files.emptyTarget();
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
                    {QString::fromLatin1(kMemoryChildOption), files.target(), files.bundle()});
        if (!child.waitForFinished(-1) || child.exitCode() != 0) {
            state.SkipWithError(child.readAllStandardError().constData());
            continue;
        }
        const QList<QByteArray> figures = child.readAllStandardOutput().trimmed().split(' ');
        peakMemoryMb() = figures.value(1).toDouble();
        state.counters["before_MB"] = figures.value(0).toDouble();
        state.counters["peak_MB"] = *peakMemoryMb();
    }
}

// Prints the resident size before one import and the peak resident size after it, in
// megabytes.
int runImportForMemory(const char* target, const char* bundle)
{
    const double before = residentMb();
    RecordingMessageSink messages;
    NoResolver resolver;
    if (!shownIn(messages, importLabel(BenchFiles::connectionString(QString::fromLocal8Bit(target)), QString::fromLocal8Bit(bundle),
                     resolver))) {
        std::fprintf(stderr, "%s\n", qPrintable(messages.warnings.join(QLatin1Char('|'))));
        return 1;
    }
    std::printf("%.1f %.1f\n", before, maxResidentMb());
    return 0;
}

} // namespace

BENCHMARK(ExportLargeLabel)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(4)->Apply(repeatForMedian);
BENCHMARK(ShellExportLargeLabel)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(4)->Apply(repeatForMedian);
BENCHMARK(ImportLargeLabel)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2)->Apply(repeatForMedian);
BENCHMARK(ShellImportLargeLabel)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2)->Apply(repeatForMedian);
BENCHMARK(ImportPeakMemory)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], kMemoryChildOption) == 0) {
        setUpAsThePrograms();
        return runImportForMemory(argv[2], argv[3]);
    }
    addRatio("Label export: 2,000 controls, 10,000 items", "ExportLargeLabel", "ShellExportLargeLabel", 1.5);
    addRatio("Label import: 2,000 controls, 10,000 items, one transaction", "ImportLargeLabel", "ShellImportLargeLabel",
             1.3);
    const int exitCode = runBenchmarksWithRatios(argc, argv);
    if (peakMemoryMb())
        std::printf("%-64s %10.1f MB %25s %7.0fMB %s\n", "Label import: peak memory of a fresh process",
                    *peakMemoryMb(), "", kPeakMemoryLimitMb, *peakMemoryMb() <= kPeakMemoryLimitMb ? "ok" : "OVER");
    return exitCode;
}
