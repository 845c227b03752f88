// The main window on a large embedded database, beside the sqlite3 shell running the same
// selects.

#include "gui/DialogTemplate.h"
#include "gui/FindAsYouType.h"
#include "gui/MainWindow.h"
#include "gui/SortedCombo.h"

#include "bench/BenchSupport.h"
#include "tests/support/DialogControls.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/RecordingMessageSink.h"
#include "tests/support/ScriptedFileDialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QStringList>
#include <QStringListModel>
#include <QTest>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace korvel;

namespace {

constexpr int kHarnesses = 100000;
constexpr int kJobs = 100000;
constexpr int kActiveLabels = 10000;
constexpr int kWiresOfTheBigHarness = 5000;
const QString kBigHarness = QStringLiteral("WH-BIG");

const char* kSchema =
    "CREATE TABLE tblUserInfo (UserID nvarchar(20), Password nvarchar(50));"
    "CREATE TABLE tblHarnessInfo (HarnessID int PRIMARY KEY, HarnessNo nvarchar(50));"
    "CREATE INDEX ixHarnessNo ON tblHarnessInfo (HarnessNo);"
    "CREATE TABLE tblHarnessWireInfo (HarnessID int, WireNo nvarchar(20), HarnessType int, WireGroup nvarchar(20));"
    "CREATE INDEX ixWireHarness ON tblHarnessWireInfo (HarnessID);"
    "CREATE TABLE tblJobInfo (JobID int PRIMARY KEY, JobNo nvarchar(50));"
    "CREATE TABLE tblLabelInfo (LabelID uniqueidentifier, LabelNo nvarchar(20), LabelStatus int);"
    "CREATE INDEX ixLabelStatus ON tblLabelInfo (LabelStatus);";

// Rows made by SQLite itself, from a recursive counter: quick and independent of the code
// under test.
QString fill()
{
    return QStringLiteral(
               "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1)"
               " INSERT INTO tblHarnessInfo SELECT i, printf('WH-%07d', i) FROM n;"
               "INSERT INTO tblHarnessInfo VALUES (0, '%5');"
               "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %4)"
               " INSERT INTO tblHarnessWireInfo SELECT 0, printf('W%04d', i), 0, '' FROM n;"
               "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1)"
               " INSERT INTO tblHarnessWireInfo SELECT i, 'W001', 0, '' FROM n;"
               "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %2)"
               " INSERT INTO tblJobInfo SELECT i, printf('job-%07d', i) FROM n;"
               "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %3 * 2)"
               " INSERT INTO tblLabelInfo SELECT printf('{%08X-0000-4000-8000-000000000000}', i),"
               " printf('LBL-%06d', i), i % 2 FROM n;")
        .arg(kHarnesses)
        .arg(kJobs)
        .arg(kActiveLabels)
        .arg(kWiresOfTheBigHarness)
        .arg(kBigHarness);
}

ProgramFolder& benchFolder()
{
    static ProgramFolder* folder = [] {
        auto* made = new ProgramFolder(kSchema);
        made->database().exec(fill());
        made->writeEmbeddedSettings();
        made->writeValueLists(QStringLiteral("联线类型&导通&1;测试组&A组&GA;测试模式&快速&1;测试组2&B组&GB;"));
        return made;
    }();
    return *folder;
}

const QString kStartupSelects = QStringLiteral("select HarnessNo from tblHarnessInfo; select JobNo from tblJobInfo;"
                                               " select LabelNo from tblLabelInfo where LabelStatus=1;");

void OpenMainWindow(benchmark::State& state)
{
    ProgramFolder& folder = benchFolder();
    for (auto _ : state) {
        RecordingMessageSink messages;
        ScriptedFileDialogs fileDialogs;
        MainWindow dialog(ProgramContext{folder.directory(), messages, fileDialogs});
        dialog.load();
        if (!messages.warnings.isEmpty() || comboOf(dialog, "harnessNumberList").count() != kHarnesses + 1 ||
            comboOf(dialog, "labelNumberList").count() != kActiveLabels)
            state.SkipWithError("the window did not fill");
    }
}

void ShellStartupSelects(benchmark::State& state)
{
    ProgramFolder& folder = benchFolder();
    for (auto _ : state)
        runProgramToEnd(QStringLiteral("sqlite3"), {folder.filePath(QStringLiteral("korvel.db")), kStartupSelects});
}

void ChooseHarnessWithManyWires(benchmark::State& state)
{
    ProgramFolder& folder = benchFolder();
    RecordingMessageSink messages;
    ScriptedFileDialogs fileDialogs;
    MainWindow dialog(ProgramContext{folder.directory(), messages, fileDialogs});
    dialog.load();
    QComboBox& harnesses = comboOf(dialog, "harnessNumberList");
    const QComboBox& wires = comboOf(dialog, "wireNumberList");
    const int index = harnesses.findText(kBigHarness);
    for (auto _ : state) {
        harnesses.setCurrentIndex(index);
        emit harnesses.activated(index);
        if (wires.count() != kWiresOfTheBigHarness)
            state.SkipWithError("the wire list did not fill");
    }
}

void ShellHarnessSelects(benchmark::State& state)
{
    ProgramFolder& folder = benchFolder();
    const QString selects = QStringLiteral("select HarnessID from tblHarnessInfo where HarnessNo='%1';"
                                           " select WireNo from tblHarnessWireInfo where HarnessID='0';")
                                .arg(kBigHarness);
    for (auto _ : state)
        runProgramToEnd(QStringLiteral("sqlite3"), {folder.filePath(QStringLiteral("korvel.db")), selects});
}

// The find-as-you-type of the harness list, on the shown window. Every harness holds "h":
// each key below lists all 100,001 of them, the most a key can have to show.
class HarnessFind
{
public:
    HarnessFind() : m_dialog(ProgramContext{benchFolder().directory(), m_messages, m_fileDialogs})
    {
        m_dialog.load();
        m_dialog.show();
        harnesses().setFocus();
    }

    QComboBox& harnesses() { return comboOf(m_dialog, "harnessNumberList"); }
    const FindPopup& find() { return *harnesses().findChild<FindPopup*>(); }
    bool listsEveryHarness() { return find().isVisible() && find().matches().size() == kHarnesses + 1; }

    // A key as the user presses it, and the repaint that shows what it did.
    static void press(QWidget& widget, Qt::Key key)
    {
        QTest::keyClick(&widget, key);
        QApplication::processEvents();
    }

private:
    RecordingMessageSink m_messages;
    ScriptedFileDialogs m_fileDialogs;
    MainWindow m_dialog;
};

// The key that opens the search. The entries are folded for searching once per fill of
// the list: the first search after a fill does that too.
void measureOpeningKey(benchmark::State& state, bool firstAfterFill)
{
    HarnessFind window;
    const QStringList entries = qobject_cast<QStringListModel*>(window.harnesses().model())->stringList();
    for (auto _ : state) {
        if (firstAfterFill) {
            state.PauseTiming();
            replaceSortedEntries(window.harnesses(), entries);
            state.ResumeTiming();
        }
        HarnessFind::press(window.harnesses(), Qt::Key_H);
        if (!window.listsEveryHarness())
            state.SkipWithError("the search did not list every harness");
        state.PauseTiming();
        HarnessFind::press(window.find().filterLine(), Qt::Key_Escape);
        state.ResumeTiming();
    }
}

void FirstFindKeyAfterFill(benchmark::State& state)
{
    measureOpeningKey(state, true);
}

void OpenFindKey(benchmark::State& state)
{
    measureOpeningKey(state, false);
}

// A key typed into the open search: "h" becomes "h-" and goes back to "h", one key at a
// time.
void FindKey(benchmark::State& state)
{
    HarnessFind window;
    HarnessFind::press(window.harnesses(), Qt::Key_H);
    bool typing = true;
    for (auto _ : state) {
        HarnessFind::press(window.find().filterLine(), typing ? Qt::Key_Minus : Qt::Key_Backspace);
        typing = !typing;
        if (!window.listsEveryHarness())
            state.SkipWithError("the search did not list every harness");
    }
}

const char* const kOpenWindowOption = "--open-window-in";

// The main window opened once on a program folder, in a process of its own: scripts/bench
// times the whole process and reads its peak memory for the growth table.
int openWindowOnce(int argc, char** argv)
{
    setUpAsThePrograms();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    RecordingMessageSink messages;
    ScriptedFileDialogs fileDialogs;
    // The program's folder, as the program names its own: with the separator at the end.
    MainWindow dialog(ProgramContext{QString::fromLocal8Bit(argv[2]) + QLatin1Char('/'), messages, fileDialogs});
    dialog.load();
    if (!messages.warnings.isEmpty() || comboOf(dialog, "harnessNumberList").count() == 0) {
        std::fprintf(stderr, "the window did not fill: %s\n", qPrintable(messages.warnings.join(QLatin1Char('|'))));
        return 1;
    }
    std::printf("%d harnesses, %d jobs, %d labels\n", comboOf(dialog, "harnessNumberList").count(),
                comboOf(dialog, "jobNumberList").count(), comboOf(dialog, "labelNumberList").count());
    return 0;
}

} // namespace

BENCHMARK(OpenMainWindow)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.6)->Apply(repeatForMedian);
BENCHMARK(ShellStartupSelects)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.5)->Apply(repeatForMedian);
BENCHMARK(ChooseHarnessWithManyWires)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.4)->Apply(repeatForMedian);
BENCHMARK(ShellHarnessSelects)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.4)->Apply(repeatForMedian);
// Each iteration refills the list with the timing paused, which a minimum time does not
// count: a fixed number keeps the run short.
BENCHMARK(FirstFindKeyAfterFill)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);
BENCHMARK(OpenFindKey)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(FindKey)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], kOpenWindowOption) == 0)
        return openWindowOnce(argc, argv);
    addLimit("Main window ready: 100,000 harnesses and jobs, 10,000 labels", "OpenMainWindow", 500.0);
    addRatio("Main window ready, beside the shell's three selects", "OpenMainWindow", "ShellStartupSelects", 1.5);
    addLimit("Harness with 5,000 wires chosen: wire list filled", "ChooseHarnessWithManyWires", 100.0);
    addRatio("Harness chosen, beside the shell's two selects", "ChooseHarnessWithManyWires", "ShellHarnessSelects", 0.0);
    addLimit("Find a harness: first key after the list is filled (100,001)", "FirstFindKeyAfterFill", 50.0);
    addLimit("Find a harness: the key that opens the search (100,001 listed)", "OpenFindKey", 50.0);
    addLimit("Find a harness: a key typed into the search (100,001 listed)", "FindKey", 50.0);
    return runBenchmarksWithRatios(argc, argv);
}
