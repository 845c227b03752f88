#include "labels/ui/DialogLabelResolver.h"

#include "labels/ui/Cdlg_Label.h"

bool DialogLabelResolver::ResolveDuplicateLabelNo(CAdoDatabase& database, const QString& oldValue, QString& newValue)
{
    Cdlg_Label dialog(m_messages, m_parent);
    dialog.m_strOldValue = oldValue;
    dialog.m_pDatabase = &database;
    if (dialog.DoModal() != QDialog::Accepted)
        return false;
    newValue = dialog.m_strNewValue;
    return true;
}
