// The two selection cascades (a harness lists its wires, a job its steps) and the four
// value pickers.

#include "gui/CKorvelDlg.h"

#include "attributes/Cascades.h"
#include "attributes/LeadingInteger.h"
#include "db/CAdoDatabase.h"
#include "gui/SortedCombo.h"
#include "util/MessageSink.h"

#include <QComboBox>

struct CKorvelDlg::Cascade
{
    QComboBox* CKorvelDlg::*parentCombo;
    int CKorvelDlg::*parentSelection;
    const korvel::Cascade& lookUp;
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
    korvel::Result<korvel::Children> children = korvel::childrenOf(database, cascade.lookUp, number);
    if (!children) {
        m_context.messages.ShowWarning(children.message());
        return;
    }
    database.Close();

    ReplaceSortedEntries(childCombo, std::move(children.value.numbers));
    this->*cascade.rememberedId = children.value.recordId;
}

void CKorvelDlg::OnSelchangeHarnessNo()
{
    RunCascade({&CKorvelDlg::m_cbHarnessNo, &CKorvelDlg::m_nHarnessSel, korvel::kWiresOfHarness,
                &CKorvelDlg::m_cbWireNo, &CKorvelDlg::m_strHarnessID});
}

void CKorvelDlg::OnSelchangeJobNo()
{
    RunCascade({&CKorvelDlg::m_cbJobNo, &CKorvelDlg::m_nJobSel, korvel::kStepsOfJob, &CKorvelDlg::m_cbStep,
                &CKorvelDlg::m_strJobID});
}

void CKorvelDlg::RunPicker(const Picker& picker)
{
    ReadControls();
    const QString value = (this->*picker.map).value(SelectedText(*(this->*picker.combo)));
    if (picker.integerValue)
        this->*picker.integerValue = korvel::leadingInteger(value);
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
