#include "gui/MainWindow.h"

#include "attributes/AttributeWrites.h"
#include "attributes/NumberLists.h"
#include "config/ConnectionSettings.h"
#include "db/Database.h"
#include "gui/AboutDialog.h"
#include "gui/ModalWork.h"
#include "gui/SortedCombo.h"
#include "res/Resources.h"
#include "util/MessageSink.h"

#include <QComboBox>
#include <QContextMenuEvent>
#include <QMenu>
#include <QShortcut>

namespace korvel {

MainWindow::MainWindow(ProgramContext context, QWidget* parent)
    : TemplateDialog(parent, songTiFont(), QStringLiteral("Korvel"), 406, 221), m_context(std::move(context))
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setWindowIcon(applicationIcon());
    createBandsAndLabels();
    m_ui = createControls();
    // Before any choice the whole-number boxes show 0, the text boxes nothing.
    showValue(kConnectionTypeWrite, *m_ui.connectionTypeValue, QString());
    showValue(kTestGroupWrite, *m_ui.testGroupValue, QString());
    showValue(kTestModeWrite, *m_ui.testModeValue, QString());
    showValue(kTestGroup2Write, *m_ui.testGroup2Value, QString());
    // The About item lives in the context menu and on F1: Linux window managers have no
    // system menu to extend.
    auto* about = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(about, &QShortcut::activated, this, &MainWindow::showAbout);
}

void MainWindow::load()
{
    const Result<QString> connection = readConnectionString(m_context.configDirectory() + kSettingsFileName);
    if (!connection) {
        m_context.messages().showWarning(connection.message());
        return;
    }
    m_connectionString = connection.value;

    ModalWork work(this, m_context.messages());
    const StartLists lists = work.run(QStringLiteral("连接数据库"), [this, &work] { return readStartLists(work); });
    if (!lists.connected) {
        m_context.messages().showWarning(lists.connected.message());
        return;
    }
    fillLists(lists);
}

MainWindow::StartLists MainWindow::readStartLists(ModalWork& work)
{
    Database database;
    if (!database.open(m_connectionString))
        return {Outcome::failure(database.lastError()), {}, {}, {}};
    StartLists lists{Outcome::success(), {}, {}, {}};
    const struct
    {
        const char* step;
        Result<QStringList> (*read)(Database&);
        std::optional<Outcome>& outcome;
        QComboBox* combo;
    } queries[] = {
        {"获取HarnessNo信息", harnessNumbers, lists.harnesses, m_ui.harnessNumbers},
        {"获取JobNo信息", jobNumbers, lists.jobs, m_ui.jobNumbers},
        {"获取LabelNo信息", activeLabelNumbers, lists.labels, m_ui.labelNumbers},
    };
    for (const auto& query : queries) {
        if (database.cancelled())
            break;
        work.tell(QString::fromUtf8(query.step));
        Result<QStringList> numbers = query.read(database);
        query.outcome = numbers.outcome;
        // A failed query keeps the rows it delivered before failing. The GUI thread lists
        // them while the next list is read.
        work.handOver([combo = query.combo, entries = std::move(numbers.value)]() mutable {
            fillWithEntriesInListOrder(*combo, std::move(entries));
        });
    }
    return lists;
}

void MainWindow::fillLists(const StartLists& lists)
{
    // The window is not shown yet: its lists are filled, and the failures told in the
    // window's order.
    for (const std::optional<Outcome>& outcome : {lists.harnesses, lists.jobs}) {
        if (outcome && !*outcome)
            m_context.messages().showWarning(outcome->message());
    }
    loadValueLists();
    addSortedEntries(*m_ui.connectionTypes, m_valueLists[kConnectTypeList].keys());
    addSortedEntries(*m_ui.testGroups, m_valueLists[kTestGroupList].keys());
    addSortedEntries(*m_ui.testGroup2s, m_valueLists[kTestGroup2List].keys());
    addSortedEntries(*m_ui.testModes, m_valueLists[kTestModeList].keys());
    if (lists.labels && !*lists.labels)
        m_context.messages().showWarning(lists.labels->message());
}

void MainWindow::loadValueLists()
{
    Result<ValueLists> read = readValueListFile(m_context.configDirectory() + kValueListFileName);
    if (!read)
        m_context.messages().showWarning(read.message());
    m_valueLists = std::move(read.value);
}

void MainWindow::showAbout()
{
    AboutDialog about(this);
    about.exec();
}

void MainWindow::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    menu.setSeparatorsCollapsible(false);
    menu.addSeparator();
    menu.addAction(aboutItemText(), this, &MainWindow::showAbout);
    menu.exec(event->globalPos());
}

} // namespace korvel
