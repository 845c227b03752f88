#pragma once

#include "config/ValueLists.h"
#include "gui/DialogTemplate.h"
#include "gui/ProgramContext.h"

#include <QIcon>

class CAdoDatabase;
class QComboBox;
class QLineEdit;

// The main window: a wire band (harness, wire, connection type, test group), a job band
// (job, step, test mode, test group 2) and a label band. It keeps no connection: every
// action opens its own with m_strConnect.
class CKorvelDlg : public TemplateDialog
{
    Q_OBJECT

public:
    enum ControlId : int {
        kHarnessNoCombo = 1004,
        kWireNoCombo = 1007,
        kConnectTypeCombo = 1009,
        kConnectTypeValue = 1010,
        kWriteConnectTypeButton = 1005,
        kTestGroupCombo = 1012,
        kTestGroupValue = 1013,
        kWriteTestGroupButton = 1014,
        kJobNoCombo = 1006,
        kStepCombo = 1011,
        kTestModeCombo = 1015,
        kTestModeValue = 1016,
        kWriteTestModeButton = 1008,
        kTestGroup2Combo = 1017,
        kTestGroup2Value = 1018,
        kWriteTestGroup2Button = 1019,
        kLabelNoCombo = 1022,
        kExportButton = 1023,
        kImportButton = 1024,
    };

    explicit CKorvelDlg(ProgramContext context, QWidget* parent = nullptr);

    // Fills the window (OnInitDialog) and runs it modally.
    int DoModal();

    bool OnInitDialog();
    void OnSysCommand(unsigned int id);
    void OnOK() override;

    void OnSelchangeHarnessNo();
    void OnSelchangeJobNo();
    void OnSelchangeConnectType();
    void OnSelchangeTestGroup();
    void OnSelchangeTestMode();
    void OnSelchangeTestGroup2();
    void OnWriteConnectType();
    void OnWriteTestGroup();
    void OnWriteTestMode();
    void OnWriteTestGroup2();
    void OnExportLabel();
    void OnImportLabel();

    void LoadValueLists();

    static constexpr unsigned int IDM_ABOUTBOX = 0x0010;

    QString m_strConnect;
    QIcon m_hIcon;
    ValueList m_mapConnectType;
    ValueList m_mapTestGroup;
    ValueList m_mapTestMode;
    ValueList m_mapTestGroup2;
    QComboBox* m_cbHarnessNo = nullptr;
    QComboBox* m_cbJobNo = nullptr;
    int m_nHarnessSel = 0;
    int m_nJobSel = 0;
    QComboBox* m_cbWireNo = nullptr;
    int m_nConnectTypeValue = 0;
    QString m_strTestGroupValue;
    QComboBox* m_cbConnectType = nullptr;
    QComboBox* m_cbTestGroup = nullptr;
    QString m_strWireNo;
    QComboBox* m_cbStep = nullptr;
    QString m_strConnectType;
    QString m_strTestGroup;
    QComboBox* m_cbTestGroup2 = nullptr;
    QComboBox* m_cbTestMode = nullptr;
    QString m_strTestGroup2Value;
    int m_nTestModeValue = 0;
    QString m_strStep;
    QString m_strTestMode;
    QString m_strTestGroup2;
    QComboBox* m_cbLabelNo = nullptr;
    QString m_strLabelNo;
    // The HarnessID of the harness whose wires the wire list holds, and the JobID of the
    // job whose steps the step list holds: a write changes that harness's wire or that
    // job's step only.
    QString m_strHarnessID;
    QString m_strJobID;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    struct Cascade;
    struct Picker;
    struct AttributeWrite;

    void CreateControls();
    void ReadControls();
    void WriteControls();
    void FillLists(CAdoDatabase& database);
    // The active labels' numbers; a failure shows its error and gives those read before it.
    bool QueryActiveLabels(CAdoDatabase& database, QStringList& numbers);
    void RefreshLabelList();
    void RunCascade(const Cascade& cascade);
    void RunPicker(const Picker& picker);
    void RunWrite(const AttributeWrite& write);

    ProgramContext m_context;
    QLineEdit* m_editConnectTypeValue = nullptr;
    QLineEdit* m_editTestGroupValue = nullptr;
    QLineEdit* m_editTestModeValue = nullptr;
    QLineEdit* m_editTestGroup2Value = nullptr;
};
