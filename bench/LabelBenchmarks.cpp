// Label export and import of a large label on the embedded engine; the import beside the
// sqlite3 shell running the same INSERTs and key read-backs in one transaction, and its
// peak memory measured in a fresh process.

#include "db/CAdoDatabase.h"
#include "db/schema/EmbeddedSchema.h"
#include "labels/LabelBundle.h"
#include "labels/LabelExport.h"
#include "labels/LabelImport.h"
#include "util/FileIO.h"
#include "util/MessageSink.h"

#include "bench/BenchSupport.h"
#include "tests/support/RecordingMessageSink.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace {

constexpr int kControls = 2000;
constexpr int kLinesPerItem = 5; // 10,000 item rows
constexpr double kPeakMemoryLimitMb = 200.0;
const QString kLabelNo = QStringLiteral("BENCH-0001");
const char* const kMemoryChildOption = "--import-peak-memory";

// The shipped schema keeps one item row per ItemID; the bundle and the import allow an
// item of several lines (which LineID numbers), and that is what gives a label of 2,000
// controls its 10,000 item rows here.
QByteArray BenchSchema()
{
    QByteArray schema = EmbeddedSchemaSql().toUtf8();
    schema.replace("CREATE UNIQUE INDEX IX_tblLabelControlItem_ItemID", "CREATE INDEX IX_tblLabelControlItem_ItemID");
    return schema;
}

QByteArray Guid(int kind, int i)
{
    return QStringLiteral("{%1-0000-4000-8000-%2}")
        .arg(kind, 8, 16, QLatin1Char('0'))
        .arg(i, 12, 16, QLatin1Char('0'))
        .toUpper()
        .toLatin1();
}

class Statement
{
public:
    Statement(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &m_statement, nullptr); }
    ~Statement() { sqlite3_finalize(m_statement); }
    Statement& Text(int column, const QByteArray& text)
    {
        sqlite3_bind_text(m_statement, column, text.constData(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Statement& Int(int column, qint64 value)
    {
        sqlite3_bind_int64(m_statement, column, value);
        return *this;
    }
    Statement& Blob(int column, const QByteArray& bytes)
    {
        sqlite3_bind_blob(m_statement, column, bytes.constData(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
        return *this;
    }
    void Insert()
    {
        if (sqlite3_step(m_statement) != SQLITE_DONE) {
            std::fprintf(stderr, "benchmark set-up failed: %s\n", sqlite3_errmsg(sqlite3_db_handle(m_statement)));
            std::exit(1);
        }
        sqlite3_reset(m_statement);
        sqlite3_clear_bindings(m_statement);
    }

private:
    sqlite3_stmt* m_statement = nullptr;
};

void SeedLabel(sqlite3* db)
{
    const QByteArray labelId = Guid(1, 1);
    Statement label(db, "INSERT INTO tblLabelInfo (LabelID, LabelNo, LabelName, PaperWidth, PaperHeight, Dpi,"
                        " PrinterModel, Description, Checksum, CreatedBy, CreatedAt) VALUES (?,?,?,?,?,?,?,?,?,?,?)");
    label.Text(1, labelId).Text(2, kLabelNo.toUtf8()).Text(3, "线束出货标签").Text(4, "100.00").Text(5, "60.00");
    label.Int(6, 300).Text(7, "ZT410").Text(8, "用于发动机舱线束出货。Printed on thermal transfer paper.");
    label.Blob(9, QByteArray(16, '\x5A')).Text(10, "张工").Text(11, "2024-03-01 08:30:00");
    label.Insert();

    Statement control(db, "INSERT INTO tblLabelControls (LabelID, ControlNo, ItemID, ControlType, X, Y, Width,"
                          " Height, Rotation, FontName, FontSize, Bold, ForeColor, PrintText, FillPattern, Picture)"
                          " VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    for (int c = 1; c <= kControls; ++c) {
        control.Text(1, labelId).Int(2, c).Text(3, Guid(2, c)).Int(4, c % 6).Int(5, c % 800).Int(6, c % 600);
        control.Int(7, 10 + c % 500).Int(8, 10 + c % 200).Int(9, (c % 4) * 90).Text(10, "微软雅黑").Text(11, "10.50");
        control.Int(12, c % 2)
            .Int(13, c % 3 == 0 ? 0xFF0000 : 0)
            .Text(14, QStringLiteral("品名：第 %1 项").arg(c).toUtf8());
        if (c % 6 == 5)
            control.Blob(15, QByteArray::fromHex("AA55AA55AA55AA55"));
        if (c % 20 == 3)
            control.Blob(16, QByteArray(256, static_cast<char>(c)));
        control.Insert();
    }

    Statement item(db, "INSERT INTO tblLabelControlItem (ItemID, ItemName, SourceType, FieldName, DefaultValue,"
                       " FormatString, MaxLength, CounterStart, ModifiedAt) VALUES (?,?,?,?,?,?,?,?,?)");
    for (int c = 1; c <= kControls; ++c) {
        for (int line = 0; line < kLinesPerItem; ++line) {
            item.Text(1, Guid(2, c)).Text(2, QStringLiteral("批次号 %1-%2").arg(c).arg(line).toUtf8()).Int(3, line % 4);
            item.Text(4, "JobNo").Text(5, "深圳市科沃电子有限公司").Text(6, "yyyy年MM月dd日").Int(7, 32);
            item.Int(8, 202400000001LL + c).Text(9, "2024-02-29 12:00:00");
            item.Insert();
        }
    }
}

class NoResolver : public DuplicateLabelResolver
{
public:
    bool ResolveDuplicateLabelNo(CAdoDatabase&, const QString&, QString&) override { return false; }
};

class BenchFiles
{
public:
    BenchFiles()
    {
        WithDatabase(source(), [](sqlite3* db) {
            ExecOrExit(db, BenchSchema());
            ExecOrExit(db, "BEGIN");
            SeedLabel(db);
            ExecOrExit(db, "COMMIT");
        });
        WithDatabase(target(), [](sqlite3* db) { ExecOrExit(db, BenchSchema()); });
        RecordingMessageSink messages;
        if (!ExportLabel(ConnectionString(source()), kLabelNo, bundle(), messages)) {
            std::fprintf(stderr, "benchmark set-up failed: %s\n", qPrintable(messages.warnings.join(QLatin1Char('|'))));
            std::exit(1);
        }
    }

    QString source() const { return m_dir.filePath(QStringLiteral("source.db")); }
    QString target() const { return m_dir.filePath(QStringLiteral("target.db")); }
    QString bundle() const { return m_dir.filePath(QStringLiteral("label.bq")); }
    QString exportPath() const { return m_dir.filePath(QStringLiteral("export.bq")); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }
    static QString ConnectionString(const QString& path)
    {
        return QStringLiteral("Provider=sqlite;Data Source=%1;").arg(path);
    }

    template <typename Work>
    static void WithDatabase(const QString& path, Work work)
    {
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(path).constData(), &db);
        work(db);
        sqlite3_close(db);
    }

    void emptyTarget() const
    {
        WithDatabase(target(), [](sqlite3* db) {
            ExecOrExit(db, "DELETE FROM tblLabelInfo; DELETE FROM tblLabelControls; DELETE FROM tblLabelControlItem;");
        });
    }

private:
    QTemporaryDir m_dir;
};

const BenchFiles& Files()
{
    static const BenchFiles files;
    return files;
}

// The INSERTs and key read-backs of the import, as a script for the shell; the literals
// are written as the import writes them.
QString ShellImportScript()
{
    const BenchFiles& files = Files();
    RecordingMessageSink messages;
    const std::optional<QByteArray> bundle = ReadWholeFile(files.bundle(), messages);
    CAdoDatabase database;
    if (!bundle || !database.Open(BenchFiles::ConnectionString(files.target())))
        std::exit(1);
    const QString path = files.filePath(QStringLiteral("import.sql"));
    QFile script(path);
    if (!script.open(QIODevice::WriteOnly))
        std::exit(1);
    script.write("BEGIN;\n");
    for (const BundleBlock& block : ReadBundleText(DecodeBundle(*bundle))) {
        const TextRow& header = block.rows[0];
        const bool items = block.tableName == kLabelControlItemTable;
        const qsizetype skipped = items ? header.indexOf(kLineIdColumn) : -1;
        QStringList columns;
        QList<int> types;
        for (qsizetype j = 0; j < header.size(); ++j) {
            types.append(database.GetColumnType(header[j], block.tableName));
            if (j != skipped)
                columns.append(header[j]);
        }
        for (qsizetype i = 1; i < block.rows.size(); ++i) {
            QStringList literals;
            for (qsizetype j = 0; j < header.size(); ++j) {
                QString literal = block.rows[i][j];
                database.FormatSqlLiteral(types[j], literal);
                if (j != skipped)
                    literals.append(literal);
            }
            script.write(QStringLiteral("insert into %1 (%2) values(%3);\n")
                             .arg(block.tableName, columns.join(QLatin1Char(',')), literals.join(QLatin1Char(',')))
                             .toUtf8());
            if (items)
                script.write("select LineID from tblLabelControlItem order by LineID desc limit 1;\n");
        }
    }
    script.write("COMMIT;\n");
    return path;
}

void ExportLargeLabel(benchmark::State& state)
{
    const BenchFiles& files = Files();
    for (auto _ : state) {
        RecordingMessageSink messages;
        if (!ExportLabel(BenchFiles::ConnectionString(files.source()), kLabelNo, files.exportPath(), messages))
            state.SkipWithError(qPrintable(messages.warnings.join(QLatin1Char('|'))));
    }
}

void ImportLargeLabel(benchmark::State& state)
{
    const BenchFiles& files = Files();
    for (auto _ : state) {
        state.PauseTiming();
        files.emptyTarget();
        state.ResumeTiming();
        RecordingMessageSink messages;
        NoResolver resolver;
        if (!ImportLabel(BenchFiles::ConnectionString(files.target()), files.bundle(), resolver, messages))
            state.SkipWithError(qPrintable(messages.warnings.join(QLatin1Char('|'))));
    }
}

void ShellImportLargeLabel(benchmark::State& state)
{
    const BenchFiles& files = Files();
    const QString script = ShellImportScript();
    for (auto _ : state) {
        state.PauseTiming();
        files.emptyTarget();
        state.ResumeTiming();
        RunProgramToEnd(QStringLiteral("sqlite3"), {files.target()}, script);
    }
}

std::optional<double>& PeakMemoryMb()
{
    static std::optional<double> peak;
    return peak;
}

double MaxResidentMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // Linux gives kilobytes
}

// What the process holds now; loading the libraries may have held more for a moment.
double ResidentMb()
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
    const BenchFiles& files = Files();
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
        PeakMemoryMb() = figures.value(1).toDouble();
        state.counters["before_MB"] = figures.value(0).toDouble();
        state.counters["peak_MB"] = *PeakMemoryMb();
    }
}

// Prints the resident size before one import and the peak resident size after it, in
// megabytes.
int RunImportForMemory(const char* target, const char* bundle)
{
    const double before = ResidentMb();
    RecordingMessageSink messages;
    NoResolver resolver;
    if (!ImportLabel(BenchFiles::ConnectionString(QString::fromLocal8Bit(target)), QString::fromLocal8Bit(bundle),
                     resolver, messages)) {
        std::fprintf(stderr, "%s\n", qPrintable(messages.warnings.join(QLatin1Char('|'))));
        return 1;
    }
    std::printf("%.1f %.1f\n", before, MaxResidentMb());
    return 0;
}

} // namespace

BENCHMARK(ExportLargeLabel)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);
BENCHMARK(ImportLargeLabel)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(ShellImportLargeLabel)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(ImportPeakMemory)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], kMemoryChildOption) == 0)
        return RunImportForMemory(argv[2], argv[3]);
    AddLimit("Label export: 2,000 controls, 10,000 items", "ExportLargeLabel", 500.0);
    AddRatio("Label import: 2,000 controls, 10,000 items, one transaction", "ImportLargeLabel", "ShellImportLargeLabel",
             3.0);
    const int exitCode = RunBenchmarksWithRatios(argc, argv);
    if (PeakMemoryMb())
        std::printf("%-64s %10.1f MB %25s %7.0fMB %s\n", "Label import: peak memory of a fresh process",
                    *PeakMemoryMb(), "", kPeakMemoryLimitMb, *PeakMemoryMb() <= kPeakMemoryLimitMb ? "ok" : "OVER");
    return exitCode;
}
