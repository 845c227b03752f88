// The label band: export the chosen label to a bundle file, import one.

#include "gui/CKorvelDlg.h"

#include "db/CAdoDatabase.h"
#include "gui/Cdlg_Label.h"
#include "gui/ProgramContext.h"
#include "gui/SortedCombo.h"
#include "labels/LabelBundle.h"
#include "labels/LabelExport.h"
#include "labels/LabelImport.h"
#include "util/MessageSink.h"

namespace {

const QString kBundleFilter = QStringLiteral("标签文件(*.bq)|*.bq|");
const QString kBundleSuffix = QStringLiteral("bq");

} // namespace

void CKorvelDlg::OnExportLabel()
{
    ReadControls();
    if (m_strLabelNo.isEmpty()) {
        m_context.messages.ShowWarning(kEmptyLabelNoText);
        return;
    }
    const QString path = m_context.fileDialogs.GetSaveFileName(this, kBundleFilter, kBundleSuffix);
    if (path.isEmpty())
        return;
    ExportLabel(m_strConnect, m_strLabelNo, path, m_context.messages);
}

void CKorvelDlg::OnImportLabel()
{
    ReadControls();
    const QString path = m_context.fileDialogs.GetOpenFileName(this, kBundleFilter, kBundleSuffix);
    if (path.isEmpty())
        return;
    DialogLabelResolver resolver(this, m_context.messages);
    if (ImportLabel(m_strConnect, path, resolver, m_context.messages))
        RefreshLabelList();
}

void CKorvelDlg::RefreshLabelList()
{
    // The imported label joins the list; the label the user chose stays chosen. A list
    // that cannot be read again stays as it was.
    CAdoDatabase database;
    if (!database.Open(m_strConnect)) {
        m_context.messages.ShowWarning(database.m_strError);
        return;
    }
    QStringList labels;
    if (QueryActiveLabels(database, labels))
        RefillSortedEntries(*m_cbLabelNo, std::move(labels));
}
