// The four attribute writes: one UPDATE each over its own connection.

#include "gui/MainWindow.h"

#include "attributes/AttributeWrites.h"
#include "db/CAdoDatabase.h"
#include "gui/SortedCombo.h"
#include "util/MessageSink.h"

#include <QComboBox>

namespace korvel {

MainWindow::WriteTarget MainWindow::chosenWire() const
{
    return {m_ui.harnessNumbers->currentIndex() >= 0, m_harnessId, selectedText(*m_ui.wireNumbers)};
}

MainWindow::WriteTarget MainWindow::chosenStep() const
{
    return {m_ui.jobNumbers->currentIndex() >= 0, m_jobId, selectedText(*m_ui.steps)};
}

void MainWindow::writeChosenValue(const AttributeWrite& write, const WriteTarget& target, const QComboBox& entries)
{
    const Outcome chosen = requireChoices(write, target.recordChosen, target.child, selectedText(entries));
    if (!chosen) {
        m_context.messages().ShowWarning(chosen.message());
        return;
    }
    CAdoDatabase database;
    if (!database.Open(m_connectionString)) {
        m_context.messages().ShowWarning(database.lastError());
        return;
    }
    const Outcome written =
        writeAttribute(database, write, target.recordId, target.child, m_chosenValues[write.valueList]);
    if (written)
        m_context.messages().ShowInformation(QStringLiteral("写入成功"));
    else
        m_context.messages().ShowWarning(written.message());
}

void MainWindow::writeConnectionType()
{
    writeChosenValue(kConnectionTypeWrite, chosenWire(), *m_ui.connectionTypes);
}

void MainWindow::writeTestGroup()
{
    writeChosenValue(kTestGroupWrite, chosenWire(), *m_ui.testGroups);
}

void MainWindow::writeTestMode()
{
    writeChosenValue(kTestModeWrite, chosenStep(), *m_ui.testModes);
}

void MainWindow::writeTestGroup2()
{
    writeChosenValue(kTestGroup2Write, chosenStep(), *m_ui.testGroup2s);
}

} // namespace korvel
