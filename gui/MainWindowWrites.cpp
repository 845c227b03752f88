// The four attribute writes: one UPDATE each over its own connection, on the worker thread.

#include "gui/MainWindow.h"

#include "attributes/AttributeWrites.h"
#include "db/Database.h"
#include "gui/ModalWork.h"
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
        m_context.messages().showWarning(chosen.message());
        return;
    }
    const QString& value = m_chosenValues[write.valueList];
    ModalWork work(this, m_context.messages());
    const Outcome written = work.runConnected(
        QStringLiteral("写入%1").arg(valueListNames()[write.valueList]), m_connectionString,
        [&write, &target, &value](Database& database) {
            return writeAttributeAlone(database, write, target.recordId, target.child, value);
        });
    if (written)
        m_context.messages().showInformation(QStringLiteral("写入成功"));
    else
        m_context.messages().showWarning(written.message());
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
