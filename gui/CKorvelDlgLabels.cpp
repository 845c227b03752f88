// The label band: export the chosen label to a bundle file, import one.

#include "gui/CKorvelDlg.h"

#include "gui/Cdlg_Label.h"
#include "gui/ProgramContext.h"
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
    ImportLabel(m_strConnect, path, resolver, m_context.messages);
}
