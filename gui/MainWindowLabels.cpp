// The label band: export the chosen label to a bundle file, import one.

#include "gui/MainWindow.h"

#include "attributes/NumberLists.h"
#include "db/Database.h"
#include "gui/DuplicateLabelDialog.h"
#include "gui/ModalWork.h"
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
        m_context.messages().showWarning(kEmptyLabelNoText);
        return;
    }
    const QString path = m_context.fileDialogs().getSaveFileName(this, kBundleFilter, kBundleSuffix);
    if (path.isEmpty())
        return;
    ModalWork work(this, m_context.messages());
    const Outcome exported = work.run(QStringLiteral("导出标签 %1").arg(labelNumber),
                                      [&] { return korvel::exportLabel(m_connectionString, labelNumber, path); });
    if (exported)
        m_context.messages().showInformation(QStringLiteral("导出成功"));
    else
        m_context.messages().showWarning(exported.message());
}

void MainWindow::importLabel()
{
    const QString path = m_context.fileDialogs().getOpenFileName(this, kBundleFilter, kBundleSuffix);
    if (path.isEmpty())
        return;
    ModalWork work(this, m_context.messages());
    DialogLabelResolver resolver(this, m_context.messages(), work);
    const ImportProgress progress = [&work](const QString& table, qsizetype rowsDone, qsizetype rows) {
        work.tell(QStringLiteral("导入表 %1 %2/%3").arg(table).arg(rowsDone).arg(rows), rowsDone, rows);
    };
    const Outcome imported = work.run(QStringLiteral("导入标签文件"),
                                      [&] { return korvel::importLabel(m_connectionString, path, resolver, progress); });
    if (!imported) {
        // Giving up has said all there is to say.
        if (!imported.message().isEmpty())
            m_context.messages().showWarning(imported.message());
        return;
    }
    m_context.messages().showInformation(QStringLiteral("导入成功"));
    refreshLabelList(work);
}

void MainWindow::refreshLabelList(ModalWork& work)
{
    // The imported label joins the list; the label the user chose stays chosen. A list
    // that cannot be read again stays as it was.
    Result<QStringList> labels = work.runConnected(QStringLiteral("获取LabelNo信息"), m_connectionString,
                                                   [](Database& database) { return activeLabelNumbers(database); });
    if (labels)
        refillSortedEntries(*m_ui.labelNumbers, std::move(labels.value));
    else
        m_context.messages().showWarning(labels.message());
}

} // namespace korvel
