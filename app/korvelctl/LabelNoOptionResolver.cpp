#include "app/korvelctl/LabelNoOptionResolver.h"

#include "labels/LabelBundle.h"
#include "labels/LabelImport.h"
#include "util/MessageSink.h"

bool LabelNoOptionResolver::ResolveDuplicateLabelNo(CAdoDatabase& database, const QString& oldValue, QString& newValue)
{
    if (!m_newLabelNo) {
        m_messages.ShowWarning(oldValue + QStringLiteral("已经存在"));
        return false;
    }
    if (RowExists(database, kLabelInfoTable, *m_newLabelNo, kLabelNoColumn)) {
        m_messages.ShowWarning(*m_newLabelNo + QStringLiteral("已经存在"));
        return false;
    }
    newValue = *m_newLabelNo;
    return true;
}
