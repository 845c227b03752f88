// The label band: export the chosen label to a bundle file, import one.

#include "gui/MainWindow.h"

#include "db/CAdoDatabase.h"
#include "gui/DuplicateLabelDialog.h"
#include "gui/ProgramContext.h"
#include "gui/SortedCombo.h"
#include "labels/LabelBundle.h"
#include "labels/LabelExport.h"
#include "labels/LabelImport.h"
#include "util/MessageSink.h"

#include <QComboBox>

namespace korvel {

namespace {

const QString kBundleFilter = QStringLiteral("标签文件(*.bq)|*.bq|");
const QString kBundleSuffix = QStringLiteral("bq");

} // namespace

void MainWindow::exportLabel()
{
    const QString labelNumber = selectedText(*m_ui.labelNumbers);
    if (labelNumber.isEmpty()) {
        m_context.messages().ShowWarning(kEmptyLabelNoText);
        return;
    }
    const QString path = m_context.fileDialogs().getSaveFileName(this, kBundleFilter, kBundleSuffix);
    if (path.isEmpty())
        return;
    const Outcome exported = ExportLabel(m_connectionString, labelNumber, path);
    if (exported)
        m_context.messages().ShowInformation(QStringLiteral("导出成功"));
    else
        m_context.messages().ShowWarning(exported.message());
}

void MainWindow::importLabel()
{
    const QString path = m_context.fileDialogs().getOpenFileName(this, kBundleFilter, kBundleSuffix);
    if (path.isEmpty())
        return;
    DialogLabelResolver resolver(this, m_context.messages());
    if (!ImportLabel(m_connectionString, path, resolver, m_context.messages()))
        return;
    m_context.messages().ShowInformation(QStringLiteral("导入成功"));
    refreshLabelList();
}

void MainWindow::refreshLabelList()
{
    // The imported label joins the list; the label the user chose stays chosen. A list
    // that cannot be read again stays as it was.
    CAdoDatabase database;
    if (!database.Open(m_connectionString)) {
        m_context.messages().ShowWarning(database.lastError());
        return;
    }
    Result<QStringList> labels = readActiveLabels(database);
    if (labels)
        refillSortedEntries(*m_ui.labelNumbers, std::move(labels.value));
}

} // namespace korvel
