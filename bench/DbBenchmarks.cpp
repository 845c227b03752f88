// The data layer on the embedded engine beside the sqlite3 shell doing the same work.

#include "config/ConnectionSettings.h"
#include "db/Database.h"

#include "bench/BenchSupport.h"
#include "tests/support/ProgramFolder.h"

#include <QFile>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdlib>

using namespace korvel;

namespace {

constexpr int kQueryRows = 100000;
constexpr int kInsertRows = 10000;
constexpr int kPictureBytes = 512;

const QString kWireSelect = QStringLiteral("select WireID, HarnessID, WireNo, HarnessType, WireGroup from tblWires");

class BenchDatabase
{
public:
    BenchDatabase() : m_path(m_folder.filePath(QStringLiteral("korvel.db")))
    {
        m_folder.writeEmbeddedSettings();
        withConnection([](sqlite3* db) {
            execOrExit(db, "CREATE TABLE tblWires (WireID INTEGER PRIMARY KEY, HarnessID int, WireNo nvarchar(20),"
                     " HarnessType int, WireGroup nvarchar(20));"
                     "CREATE TABLE tblItems (ItemID uniqueidentifier, LineID INTEGER PRIMARY KEY AUTOINCREMENT,"
                     " Caption nvarchar(50), Size decimal(5,2), Picture image);");
            execOrExit(db, "BEGIN");
            sqlite3_stmt* insert = nullptr;
            sqlite3_prepare_v2(db, "INSERT INTO tblWires VALUES (?, ?, ?, ?, ?)", -1, &insert, nullptr);
            for (int i = 1; i <= kQueryRows; ++i) {
                const QByteArray wireNo = "W" + QByteArray::number(i % 500).rightJustified(3, '0');
                const QByteArray group = (i % 3 == 0 ? "A组" : "B组");
                sqlite3_bind_int(insert, 1, i);
                sqlite3_bind_int(insert, 2, i / 20);
                sqlite3_bind_text(insert, 3, wireNo.constData(), -1, SQLITE_TRANSIENT);
                sqlite3_bind_int(insert, 4, i % 7);
                sqlite3_bind_text(insert, 5, group.constData(), -1, SQLITE_TRANSIENT);
                sqlite3_step(insert);
                sqlite3_reset(insert);
            }
            sqlite3_finalize(insert);
            execOrExit(db, "COMMIT");
        });
    }

    QString path() const { return m_path; }
    QString connectionString() const { return QStringLiteral("Provider=sqlite;Data Source=%1;").arg(m_path); }
    // The settings file naming the database, for korvelctl.
    QString settingsPath() const { return m_folder.filePath(kSettingsFileName); }
    QString filePath(const QString& name) const { return m_folder.filePath(name); }

    template <typename Work>
    void withConnection(Work work) const
    {
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(m_path).constData(), &db);
        work(db);
        sqlite3_close(db);
    }

    void emptyItems() const
    {
        withConnection([](sqlite3* db) { execOrExit(db, "DELETE FROM tblItems"); });
    }

private:
    ProgramFolder m_folder;
    QString m_path;
};

const BenchDatabase& benchDatabase()
{
    static const BenchDatabase database;
    return database;
}

QString guid(int i)
{
    return QStringLiteral("{%1-0000-4000-8000-%2}").arg(i, 8, 16, QLatin1Char('0')).arg(i, 12, 16, QLatin1Char('0')).toUpper();
}

QString pictureHex(int i)
{
    QByteArray bytes(kPictureBytes, '\0');
    for (int b = 0; b < bytes.size(); ++b)
        bytes[b] = static_cast<char>((i * 31 + b * 7) & 0xFF);
    return QString::fromLatin1(bytes.toHex().toUpper());
}

TextTable itemRows()
{
    TextTable rows = {{"ItemID", "LineID", "Caption", "Size", "Picture"}};
    for (int i = 0; i < kInsertRows; ++i)
        rows.append({guid(i), QString(), QStringLiteral("控件 %1").arg(i), QStringLiteral("10.50"), pictureHex(i)});
    return rows;
}

// The same statements as insertRows runs on the embedded engine: each INSERT with its key
// read back in the same batch, then the long binary column written again by the new key.
QString shellInsertScript(const TextTable& rows)
{
    const QString path = benchDatabase().filePath(QStringLiteral("insert.sql"));
    QFile script(path);
    if (!script.open(QIODevice::WriteOnly))
        std::exit(1);
    script.write("BEGIN IMMEDIATE;\n");
    for (int i = 1; i < rows.size(); ++i) {
        const TextRow& row = rows[i];
        script.write(QStringLiteral("insert into tblItems (ItemID,Caption,Size,Picture) values('%1','%2',%3,X'%4');"
                                    "select last_insert_rowid();\n")
                         .arg(row[0], row[2], row[3], row[4])
                         .toUtf8());
    }
    for (int i = 1; i < rows.size(); ++i) {
        script.write(QStringLiteral("update tblItems set Picture=X'%1' where LineID=(select max(LineID) - %2 from tblItems);\n")
                         .arg(rows[i][4])
                         .arg(rows.size() - 1 - i)
                         .toUtf8());
    }
    script.write("COMMIT;\n");
    return path;
}

void QueryRows(benchmark::State& state)
{
    const BenchDatabase& database = benchDatabase();
    for (auto _ : state) {
        Database connection;
        TextTable rows;
        if (!connection.open(database.connectionString()) || !connection.query(kWireSelect, &rows) ||
            rows.size() != kQueryRows)
            state.SkipWithError("query failed");
        benchmark::DoNotOptimize(rows);
    }
}

void ShellQueryRows(benchmark::State& state)
{
    const BenchDatabase& database = benchDatabase();
    for (auto _ : state)
        runProgramToEnd(QStringLiteral("sqlite3"), {database.path(), kWireSelect});
}

// The whole program, from its start to its exit, printing every row as the shell does.
void KorvelctlQueryRows(benchmark::State& state)
{
    const QString settings = benchDatabase().settingsPath();
    for (auto _ : state)
        runProgramToEnd(QStringLiteral(KORVELCTL_PATH), {QStringLiteral("query"), settings, kWireSelect});
}

void InsertRowsWithKeysAndPictures(benchmark::State& state)
{
    const BenchDatabase& database = benchDatabase();
    const TextTable rows = itemRows();
    const QList<int> skip = {1};
    for (auto _ : state) {
        state.PauseTiming();
        database.emptyItems();
        TextTable table = rows;
        state.ResumeTiming();
        Database connection;
        if (!connection.open(database.connectionString()) || !connection.beginTransaction() ||
            !connection.insertRows(table, QStringLiteral("tblItems"), skip, QStringLiteral("LineID")) ||
            !connection.commitTransaction())
            state.SkipWithError(qPrintable(connection.lastError()));
    }
}

void ShellInsertRows(benchmark::State& state)
{
    const BenchDatabase& database = benchDatabase();
    const QString script = shellInsertScript(itemRows());
    for (auto _ : state) {
        state.PauseTiming();
        database.emptyItems();
        state.ResumeTiming();
        runProgramToEnd(QStringLiteral("sqlite3"), {database.path()}, script);
    }
}

} // namespace

BENCHMARK(QueryRows)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.5)->Apply(repeatForMedian);
BENCHMARK(ShellQueryRows)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.5)->Apply(repeatForMedian);
BENCHMARK(KorvelctlQueryRows)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.5)->Apply(repeatForMedian);
BENCHMARK(InsertRowsWithKeysAndPictures)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2)->Apply(repeatForMedian);
BENCHMARK(ShellInsertRows)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2)->Apply(repeatForMedian);

int main(int argc, char** argv)
{
    addRatio("Query: 100,000 rows of 5 columns into a text table", "QueryRows", "ShellQueryRows", 1.5);
    addRatio("korvelctl query: the same rows printed", "KorvelctlQueryRows", "ShellQueryRows", 1.5);
    addRatio("InsertRows: 10,000 rows, key read-back, long binary", "InsertRowsWithKeysAndPictures", "ShellInsertRows",
             3.0);
    return runBenchmarksWithRatios(argc, argv);
}
