// The two selection cascades (a harness lists its wires, a job its steps) and the four
// value pickers.

#include "gui/MainWindow.h"

#include "attributes/AttributeWrites.h"
#include "attributes/Cascades.h"
#include "attributes/LeadingInteger.h"
#include "db/Database.h"
#include "gui/ModalWork.h"
#include "gui/SortedCombo.h"
#include "util/MessageSink.h"

#include <QComboBox>
#include <QLineEdit>

namespace korvel {

void MainWindow::listChildren(const Cascade& cascade, const QString& stepText, const QComboBox& records,
                              QComboBox& children, QString& recordId)
{
    const QString number = selectedText(records);
    if (number.isEmpty())
        return;

    // The child list belongs to the chosen record only: it is emptied now and holds
    // nothing if the record's children cannot be read.
    replaceSortedEntries(children, {});
    recordId.clear();

    ModalWork work(this, m_context.messages());
    Result<Children> found = work.runConnected(stepText, m_connectionString, [&cascade, &number](Database& database) {
        return childrenOf(database, cascade, number);
    });
    if (!found) {
        m_context.messages().showWarning(found.message());
        return;
    }
    replaceSortedEntries(children, std::move(found.value.numbers));
    recordId = found.value.recordId;
}

void MainWindow::chooseHarness()
{
    listChildren(kWiresOfHarness, QStringLiteral("获取WireNo信息"), *m_ui.harnessNumbers, *m_ui.wireNumbers,
                 m_harnessId);
}

void MainWindow::chooseJob()
{
    listChildren(kStepsOfJob, QStringLiteral("获取LineID信息"), *m_ui.jobNumbers, *m_ui.steps, m_jobId);
}

void MainWindow::showValue(const AttributeWrite& write, QLineEdit& valueBox, const QString& entryValue)
{
    // A whole-number list's value is the number it begins with: what the box shows is
    // what the write stores.
    QString& chosen = m_chosenValues[write.valueList];
    chosen = write.value == ValueKind::WholeNumber ? QString::number(leadingInteger(entryValue)) : entryValue;
    valueBox.setText(chosen);
}

void MainWindow::showEntryValue(const AttributeWrite& write, const QComboBox& entries, QLineEdit& valueBox)
{
    showValue(write, valueBox, m_valueLists[write.valueList].value(selectedText(entries)));
}

void MainWindow::showConnectionTypeValue()
{
    showEntryValue(kConnectionTypeWrite, *m_ui.connectionTypes, *m_ui.connectionTypeValue);
}

void MainWindow::showTestGroupValue()
{
    showEntryValue(kTestGroupWrite, *m_ui.testGroups, *m_ui.testGroupValue);
}

void MainWindow::showTestModeValue()
{
    showEntryValue(kTestModeWrite, *m_ui.testModes, *m_ui.testModeValue);
}

void MainWindow::showTestGroup2Value()
{
    showEntryValue(kTestGroup2Write, *m_ui.testGroup2s, *m_ui.testGroup2Value);
}

} // namespace korvel
