#include "gui/MainWindow.h"

#include "attributes/AttributeWrites.h"
#include "attributes/NumberLists.h"
#include "config/ConnectionSettings.h"
#include "db/CAdoDatabase.h"
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
    setWindowIcon(ApplicationIcon());
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
    const std::optional<QString> connection =
        ReadConnectionString(m_context.configDirectory() + kSettingsFileName, m_context.messages());
    if (!connection)
        return;
    m_connectionString = *connection;

    ModalWork work(this, m_context.messages());
    StartLists lists = work.run(QStringLiteral("连接数据库"), [this, &work] { return readStartLists(work); });
    if (!lists.connected) {
        m_context.messages().ShowWarning(lists.connected.message());
        return;
    }
    fillLists(std::move(lists));
}

MainWindow::StartLists MainWindow::readStartLists(ModalWork& work) const
{
    CAdoDatabase database;
    if (!database.Open(m_connectionString))
        return {Outcome::failure(database.m_strError), {}, {}, {}};
    StartLists lists{Outcome::success(), {}, {}, {}};
    const struct
    {
        const char* step;
        std::optional<Result<QStringList>>& list;
        Result<QStringList> (*read)(CAdoDatabase&);
    } queries[] = {
        {"获取HarnessNo信息", lists.harnesses, harnessNumbers},
        {"获取JobNo信息", lists.jobs, jobNumbers},
        {"获取LabelNo信息", lists.labels, activeLabelNumbers},
    };
    for (const auto& query : queries) {
        if (database.Cancelled())
            break;
        work.tell(QString::fromUtf8(query.step));
        query.list = query.read(database);
    }
    return lists;
}

void MainWindow::fillLists(StartLists lists)
{
    // A failed query shows its error and keeps the rows it delivered before failing.
    const auto shown = [this](std::optional<Result<QStringList>>& list) {
        if (!list)
            return QStringList();
        if (!*list)
            m_context.messages().ShowWarning(list->message());
        return std::move(list->value);
    };
    QStringList harnesses = shown(lists.harnesses);
    QStringList jobs = shown(lists.jobs);
    addSortedEntries(*m_ui.harnessNumbers, std::move(harnesses));
    addSortedEntries(*m_ui.jobNumbers, std::move(jobs));

    loadValueLists();
    addSortedEntries(*m_ui.connectionTypes, m_valueLists[kConnectTypeList].keys());
    addSortedEntries(*m_ui.testGroups, m_valueLists[kTestGroupList].keys());
    addSortedEntries(*m_ui.testGroup2s, m_valueLists[kTestGroup2List].keys());
    addSortedEntries(*m_ui.testModes, m_valueLists[kTestModeList].keys());

    addSortedEntries(*m_ui.labelNumbers, shown(lists.labels));
}

void MainWindow::loadValueLists()
{
    (void)LoadValueListFile(m_context.configDirectory() + kValueListFileName, m_valueLists, m_context.messages());
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
    menu.addAction(AboutItemText(), this, &MainWindow::showAbout);
    menu.exec(event->globalPos());
}

} // namespace korvel
