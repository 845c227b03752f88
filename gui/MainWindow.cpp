#include "gui/MainWindow.h"

#include "attributes/AttributeWrites.h"
#include "attributes/NumberLists.h"
#include "config/ConnectionSettings.h"
#include "db/CAdoDatabase.h"
#include "gui/AboutDialog.h"
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
    const Result<QString> connection = ReadConnectionString(m_context.configDirectory() + kSettingsFileName);
    if (!connection) {
        m_context.messages().ShowWarning(connection.message());
        return;
    }
    m_connectionString = connection.value;

    CAdoDatabase database;
    if (!database.Open(m_connectionString)) {
        m_context.messages().ShowWarning(database.lastError());
        return;
    }
    fillLists(database);
}

void MainWindow::fillLists(CAdoDatabase& database)
{
    // A failed query shows its error and keeps the rows it delivered before failing.
    Result<QStringList> harnesses = harnessNumbers(database);
    if (!harnesses)
        m_context.messages().ShowWarning(harnesses.message());
    Result<QStringList> jobs = jobNumbers(database);
    if (!jobs)
        m_context.messages().ShowWarning(jobs.message());
    addSortedEntries(*m_ui.harnessNumbers, std::move(harnesses.value));
    addSortedEntries(*m_ui.jobNumbers, std::move(jobs.value));

    loadValueLists();
    addSortedEntries(*m_ui.connectionTypes, m_valueLists[kConnectTypeList].keys());
    addSortedEntries(*m_ui.testGroups, m_valueLists[kTestGroupList].keys());
    addSortedEntries(*m_ui.testGroup2s, m_valueLists[kTestGroup2List].keys());
    addSortedEntries(*m_ui.testModes, m_valueLists[kTestModeList].keys());

    addSortedEntries(*m_ui.labelNumbers, readActiveLabels(database).value);
}

Result<QStringList> MainWindow::readActiveLabels(CAdoDatabase& database)
{
    // A failure shows its error and gives the numbers read before it.
    Result<QStringList> labels = activeLabelNumbers(database);
    if (!labels)
        m_context.messages().ShowWarning(labels.message());
    return labels;
}

void MainWindow::loadValueLists()
{
    Result<ValueLists> read = ReadValueListFile(m_context.configDirectory() + kValueListFileName);
    if (!read)
        m_context.messages().ShowWarning(read.message());
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
    menu.addAction(AboutItemText(), this, &MainWindow::showAbout);
    menu.exec(event->globalPos());
}

} // namespace korvel
