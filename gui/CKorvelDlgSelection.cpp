// The two selection cascades (a harness lists its wires, a job its steps) and the four
// value pickers.

#include "gui/CKorvelDlg.h"

#include "db/CAdoDatabase.h"
#include "gui/SortedCombo.h"
#include "util/MessageSink.h"

#include <QComboBox>

#include <limits>

struct CKorvelDlg::Cascade
{
    QComboBox* CKorvelDlg::*parentCombo;
    int CKorvelDlg::*parentSelection;
    const char* idQuery;      // with %1 for the chosen number's literal
    const char* idFailure;
    const char* childQuery;   // with %1 for the identifier's literal
    const char* childFailure;
    QComboBox* CKorvelDlg::*childCombo;
    QString CKorvelDlg::*rememberedId;
};

struct CKorvelDlg::Picker
{
    QComboBox* CKorvelDlg::*combo;
    ValueList CKorvelDlg::*map;
    int CKorvelDlg::*integerValue; // the value box of an integer list, else null
    QString CKorvelDlg::*textValue; // the value box of a text list, else null
};

void CKorvelDlg::RunCascade(const Cascade& cascade)
{
    ReadControls();
    QComboBox& parent = *(this->*cascade.parentCombo);
    const QString number = parent.itemText(this->*cascade.parentSelection);
    if (number.isEmpty())
        return;

    // The child list belongs to the chosen record only: it is emptied now and holds
    // nothing if the record's children cannot be read.
    QComboBox& childCombo = *(this->*cascade.childCombo);
    ReplaceSortedEntries(childCombo, {});
    (this->*cascade.rememberedId).clear();

    CAdoDatabase database;
    if (!database.Open(m_strConnect)) {
        m_context.messages.ShowWarning(database.m_strError);
        return;
    }
    TextTable ids;
    if (!database.Query(QString::fromUtf8(cascade.idQuery).arg(database.TextLiteral(number)), &ids) || ids.isEmpty()) {
        m_context.messages.ShowWarning(database.m_strError + QString::fromUtf8(cascade.idFailure));
        return;
    }
    const QString id = ids[0].value(0);
    QStringList children;
    if (!database.QueryColumn(QString::fromUtf8(cascade.childQuery).arg(database.TextLiteral(id)), &children)) {
        m_context.messages.ShowWarning(database.m_strError + QString::fromUtf8(cascade.childFailure));
        return;
    }
    database.Close();

    ReplaceSortedEntries(childCombo, std::move(children));
    this->*cascade.rememberedId = id;
}

void CKorvelDlg::OnSelchangeHarnessNo()
{
    RunCascade({&CKorvelDlg::m_cbHarnessNo, &CKorvelDlg::m_nHarnessSel,
                "select HarnessID from tblHarnessInfo where HarnessNo=%1", "获取HarnessID信息失败",
                "select WireNo from tblHarnessWireInfo where HarnessID=%1", "获取WireNo信息失败",
                &CKorvelDlg::m_cbWireNo, &CKorvelDlg::m_strHarnessID});
}

void CKorvelDlg::OnSelchangeJobNo()
{
    RunCascade({&CKorvelDlg::m_cbJobNo, &CKorvelDlg::m_nJobSel, "select JobID from tblJobInfo where JobNo=%1",
                "获取JobID信息失败", "select LineID from tblJobStepInfo where JobID=%1", "获取LineID信息失败",
                &CKorvelDlg::m_cbStep, &CKorvelDlg::m_strJobID});
}

void CKorvelDlg::RunPicker(const Picker& picker)
{
    ReadControls();
    const QString value = (this->*picker.map).value(SelectedText(*(this->*picker.combo)));
    if (picker.integerValue)
        this->*picker.integerValue = LeadingInteger(value);
    else
        this->*picker.textValue = value;
    WriteControls();
}

void CKorvelDlg::OnSelchangeConnectType()
{
    RunPicker({&CKorvelDlg::m_cbConnectType, &CKorvelDlg::m_mapConnectType, &CKorvelDlg::m_nConnectTypeValue, nullptr});
}

void CKorvelDlg::OnSelchangeTestGroup()
{
    RunPicker({&CKorvelDlg::m_cbTestGroup, &CKorvelDlg::m_mapTestGroup, nullptr, &CKorvelDlg::m_strTestGroupValue});
}

void CKorvelDlg::OnSelchangeTestMode()
{
    RunPicker({&CKorvelDlg::m_cbTestMode, &CKorvelDlg::m_mapTestMode, &CKorvelDlg::m_nTestModeValue, nullptr});
}

void CKorvelDlg::OnSelchangeTestGroup2()
{
    RunPicker({&CKorvelDlg::m_cbTestGroup2, &CKorvelDlg::m_mapTestGroup2, nullptr, &CKorvelDlg::m_strTestGroup2Value});
}

int LeadingInteger(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        negative = text[i++] == QLatin1Char('-');
    qint64 magnitude = 0;
    const qint64 limit = negative ? -qint64(std::numeric_limits<int>::min()) : std::numeric_limits<int>::max();
    for (; i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i)
        magnitude = qMin(limit, magnitude * 10 + (text[i].unicode() - u'0'));
    return static_cast<int>(negative ? -magnitude : magnitude);
}
