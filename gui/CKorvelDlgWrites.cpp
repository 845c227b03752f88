// The four attribute writes: one UPDATE each over its own connection.

#include "gui/CKorvelDlg.h"

#include "db/CAdoDatabase.h"
#include "db/client/DbClient.h"
#include "util/MessageSink.h"

#include <functional>

namespace {

// A step is named by its LineID, an integer that stands in the statement as it is; any
// other text goes in as a quoted literal.
QString StepLiteral(const CAdoDatabase& database, const QString& step)
{
    QString literal = step;
    database.FormatSqlLiteral(adInteger, literal);
    return literal;
}

} // namespace

struct CKorvelDlg::AttributeWrite
{
    int CKorvelDlg::*parentSelection;
    QString CKorvelDlg::*child;
    QString CKorvelDlg::*entry;
    const char* missingChoice;
    const char* failure;
    std::function<QString(const CAdoDatabase&)> statement;
};

void CKorvelDlg::RunWrite(const AttributeWrite& write)
{
    ReadControls();
    if (this->*write.parentSelection < 0 || (this->*write.child).isEmpty() || (this->*write.entry).isEmpty()) {
        m_context.messages.ShowWarning(QString::fromUtf8(write.missingChoice));
        return;
    }
    CAdoDatabase database;
    if (!database.Open(m_strConnect)) {
        m_context.messages.ShowWarning(database.m_strError);
        return;
    }
    qint64 changed = 0;
    if (!database.Execute(write.statement(database), &changed))
        m_context.messages.ShowWarning(database.m_strError + QString::fromUtf8(write.failure));
    else if (changed == 0) // the wire or step went after the list was filled
        m_context.messages.ShowWarning(QStringLiteral("没有找到要写入的记录，") + QString::fromUtf8(write.failure));
    else
        m_context.messages.ShowInformation(QStringLiteral("写入成功"));
}

void CKorvelDlg::OnWriteConnectType()
{
    RunWrite({&CKorvelDlg::m_nHarnessSel, &CKorvelDlg::m_strWireNo, &CKorvelDlg::m_strConnectType,
              "harnessno,wireno,联线类型不能为空", "写入联线类型失败", [this](const CAdoDatabase& database) {
                  return QStringLiteral("update tblHarnessWireInfo set HarnessType=%1 where WireNo=%2 and HarnessID=%3")
                      .arg(QString::number(m_nConnectTypeValue), database.TextLiteral(m_strWireNo),
                           database.TextLiteral(m_strHarnessID));
              }});
}

void CKorvelDlg::OnWriteTestGroup()
{
    RunWrite({&CKorvelDlg::m_nHarnessSel, &CKorvelDlg::m_strWireNo, &CKorvelDlg::m_strTestGroup,
              "harnessno,wireno,测试组不能为空", "写入测试组失败", [this](const CAdoDatabase& database) {
                  return QStringLiteral("update tblHarnessWireInfo set WireGroup=%1 where WireNo=%2 and HarnessID=%3")
                      .arg(database.TextLiteral(m_strTestGroupValue), database.TextLiteral(m_strWireNo),
                           database.TextLiteral(m_strHarnessID));
              }});
}

void CKorvelDlg::OnWriteTestMode()
{
    RunWrite({&CKorvelDlg::m_nJobSel, &CKorvelDlg::m_strStep, &CKorvelDlg::m_strTestMode,
              "harnessno,wireno,测试模式不能为空", "写入测试模式失败", [this](const CAdoDatabase& database) {
                  return QStringLiteral("update tblJobStepInfo set TestMode=%1 where LineID=%2 and JobID=%3")
                      .arg(QString::number(m_nTestModeValue), StepLiteral(database, m_strStep),
                           database.TextLiteral(m_strJobID));
              }});
}

void CKorvelDlg::OnWriteTestGroup2()
{
    RunWrite({&CKorvelDlg::m_nJobSel, &CKorvelDlg::m_strStep, &CKorvelDlg::m_strTestGroup2,
              "harnessno,wireno,测试组2不能为空", "写入测试组2失败", [this](const CAdoDatabase& database) {
                  return QStringLiteral("update tblJobStepInfo set TestGroup=%1 where LineID=%2 and JobID=%3")
                      .arg(database.TextLiteral(m_strTestGroup2Value), StepLiteral(database, m_strStep),
                           database.TextLiteral(m_strJobID));
              }});
}
