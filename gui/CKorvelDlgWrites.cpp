// The four attribute writes: one UPDATE each over its own connection.

#include "gui/CKorvelDlg.h"

#include "attributes/AttributeWrites.h"
#include "db/CAdoDatabase.h"
#include "util/MessageSink.h"

#include <functional>

struct CKorvelDlg::AttributeWrite
{
    int CKorvelDlg::*parentSelection;
    QString CKorvelDlg::*child;
    QString CKorvelDlg::*entry;
    QString CKorvelDlg::*recordId;
    std::function<QString()> value; // what the value box holds
    const korvel::AttributeWrite& description;
};

void CKorvelDlg::RunWrite(const AttributeWrite& write)
{
    ReadControls();
    const korvel::Outcome chosen = korvel::requireChoices(write.description, this->*write.parentSelection >= 0,
                                                          this->*write.child, this->*write.entry);
    if (!chosen) {
        m_context.messages.ShowWarning(chosen.message());
        return;
    }
    CAdoDatabase database;
    if (!database.Open(m_strConnect)) {
        m_context.messages.ShowWarning(database.m_strError);
        return;
    }
    const korvel::Outcome written =
        korvel::writeAttribute(database, write.description, this->*write.recordId, this->*write.child, write.value());
    if (written)
        m_context.messages.ShowInformation(QStringLiteral("写入成功"));
    else
        m_context.messages.ShowWarning(written.message());
}

void CKorvelDlg::OnWriteConnectType()
{
    RunWrite({&CKorvelDlg::m_nHarnessSel, &CKorvelDlg::m_strWireNo, &CKorvelDlg::m_strConnectType,
              &CKorvelDlg::m_strHarnessID, [this] { return QString::number(m_nConnectTypeValue); },
              korvel::kConnectionTypeWrite});
}

void CKorvelDlg::OnWriteTestGroup()
{
    RunWrite({&CKorvelDlg::m_nHarnessSel, &CKorvelDlg::m_strWireNo, &CKorvelDlg::m_strTestGroup,
              &CKorvelDlg::m_strHarnessID, [this] { return m_strTestGroupValue; }, korvel::kTestGroupWrite});
}

void CKorvelDlg::OnWriteTestMode()
{
    RunWrite({&CKorvelDlg::m_nJobSel, &CKorvelDlg::m_strStep, &CKorvelDlg::m_strTestMode, &CKorvelDlg::m_strJobID,
              [this] { return QString::number(m_nTestModeValue); }, korvel::kTestModeWrite});
}

void CKorvelDlg::OnWriteTestGroup2()
{
    RunWrite({&CKorvelDlg::m_nJobSel, &CKorvelDlg::m_strStep, &CKorvelDlg::m_strTestGroup2, &CKorvelDlg::m_strJobID,
              [this] { return m_strTestGroup2Value; }, korvel::kTestGroup2Write});
}
