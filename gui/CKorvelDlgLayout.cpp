// The main window's controls, where its template puts them.

#include "gui/CKorvelDlg.h"

#include "gui/FindAsYouType.h"
#include "gui/SortedCombo.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

struct Layout
{
    CKorvelDlg& dialog;

    QComboBox* combo(int id, const QString& name, QRect rect) const
    {
        return place(CreateSortedCombo(&dialog), id, name, rect);
    }
    QLineEdit* valueBox(int id, const QString& name, QRect rect) const
    {
        auto* edit = new QLineEdit(&dialog);
        edit->setReadOnly(true);
        return place(edit, id, name, rect);
    }
    QPushButton* button(int id, const QString& name, const QString& caption, QRect rect) const
    {
        auto* button = new QPushButton(caption, &dialog);
        button->setAutoDefault(false);
        return place(button, id, name, rect);
    }
    void label(const QString& text, QRect rect) const
    {
        auto* label = new QLabel(text, &dialog);
        dialog.Place(*label, rect);
    }
    void band(QRect rect) const
    {
        auto* frame = new QGroupBox(&dialog);
        dialog.Place(*frame, rect);
        frame->lower();
    }

private:
    template <typename Control>
    Control* place(Control* control, int id, const QString& name, QRect rect) const
    {
        identifyControl(*control, id, name);
        dialog.Place(*control, rect);
        return control;
    }
};

} // namespace

void CKorvelDlg::CreateControls()
{
    const Layout layout{*this};
    layout.band({16, 10, 366, 71});
    layout.band({15, 82, 366, 71});
    layout.band({15, 159, 366, 42});

    // Static labels carry no id; each stands above its control ("标签：" left of its list).
    layout.label(QStringLiteral("HarnessNo"), {23, 29, 54, 8});
    layout.label(QStringLiteral("WireNo"), {87, 29, 54, 8});
    layout.label(QStringLiteral("联线类型"), {159, 29, 54, 8});
    layout.label(QStringLiteral("值"), {220, 29, 40, 8});
    layout.label(QStringLiteral("测试组"), {264, 29, 54, 8});
    layout.label(QStringLiteral("值"), {326, 29, 40, 8});
    layout.label(QStringLiteral("JobNo"), {24, 96, 54, 8});
    layout.label(QStringLiteral("步骤"), {89, 98, 54, 8});
    layout.label(QStringLiteral("测试模式"), {161, 98, 54, 8});
    layout.label(QStringLiteral("值"), {221, 98, 40, 8});
    layout.label(QStringLiteral("测试组2"), {265, 98, 54, 8});
    layout.label(QStringLiteral("值"), {327, 98, 40, 8});
    layout.label(QStringLiteral("标签："), {19, 181, 30, 8});

    // The drop-down heights of the template are the open list's; Qt sizes the closed box.
    m_cbHarnessNo = layout.combo(kHarnessNoCombo, QStringLiteral("harnessNumberList"), {19, 43, 54, 12});
    m_cbWireNo = layout.combo(kWireNoCombo, QStringLiteral("wireNumberList"), {88, 42, 54, 12});
    m_cbConnectType = layout.combo(kConnectTypeCombo, QStringLiteral("connectionTypeList"), {160, 41, 54, 12});
    m_editConnectTypeValue =
        layout.valueBox(kConnectTypeValue, QStringLiteral("connectionTypeValue"), {220, 41, 40, 14});
    QPushButton* writeConnectType =
        layout.button(kWriteConnectTypeButton, QStringLiteral("writeConnectionTypeButton"), QStringLiteral("联线类型写入"),
                      {161, 62, 54, 14});
    m_cbTestGroup = layout.combo(kTestGroupCombo, QStringLiteral("testGroupList"), {266, 41, 54, 12});
    m_editTestGroupValue = layout.valueBox(kTestGroupValue, QStringLiteral("testGroupValue"), {326, 41, 40, 14});
    QPushButton* writeTestGroup =
        layout.button(kWriteTestGroupButton, QStringLiteral("writeTestGroupButton"), QStringLiteral("测试组写入"),
                      {267, 62, 54, 14});

    m_cbJobNo = layout.combo(kJobNoCombo, QStringLiteral("jobNumberList"), {20, 110, 54, 12});
    m_cbStep = layout.combo(kStepCombo, QStringLiteral("stepList"), {89, 110, 54, 12});
    m_cbTestMode = layout.combo(kTestModeCombo, QStringLiteral("testModeList"), {161, 110, 54, 12});
    m_editTestModeValue = layout.valueBox(kTestModeValue, QStringLiteral("testModeValue"), {221, 110, 40, 14});
    QPushButton* writeTestMode =
        layout.button(kWriteTestModeButton, QStringLiteral("writeTestModeButton"), QStringLiteral("测试模式写入"),
                      {162, 130, 54, 14});
    m_cbTestGroup2 = layout.combo(kTestGroup2Combo, QStringLiteral("testGroup2List"), {267, 110, 54, 12});
    m_editTestGroup2Value = layout.valueBox(kTestGroup2Value, QStringLiteral("testGroup2Value"), {327, 110, 40, 14});
    QPushButton* writeTestGroup2 =
        layout.button(kWriteTestGroup2Button, QStringLiteral("writeTestGroup2Button"), QStringLiteral("测试组2写入"),
                      {266, 130, 58, 14});

    m_cbLabelNo = layout.combo(kLabelNoCombo, QStringLiteral("labelNumberList"), {51, 179, 97, 12});
    QPushButton* exportLabel =
        layout.button(kExportButton, QStringLiteral("exportButton"), QStringLiteral("导出"),
                      {171, 179, 50, 14});
    QPushButton* importLabel =
        layout.button(kImportButton, QStringLiteral("importButton"), QStringLiteral("导入"),
                      {266, 179, 50, 14});

    // The lists of numbers run to a hundred thousand entries: the user finds one by any part
    // of it. The value lists are short and keep the plain drop-down.
    for (QComboBox* numbers : {m_cbHarnessNo, m_cbJobNo, m_cbLabelNo})
        EnableFindAsYouType(*numbers);

    // Only the user's own choice runs a handler: activated, never currentIndexChanged.
    connect(m_cbHarnessNo, &QComboBox::activated, this, &CKorvelDlg::OnSelchangeHarnessNo);
    connect(writeConnectType, &QPushButton::clicked, this, &CKorvelDlg::OnWriteConnectType);
    connect(m_cbConnectType, &QComboBox::activated, this, &CKorvelDlg::OnSelchangeConnectType);
    connect(m_cbTestGroup, &QComboBox::activated, this, &CKorvelDlg::OnSelchangeTestGroup);
    connect(m_cbJobNo, &QComboBox::activated, this, &CKorvelDlg::OnSelchangeJobNo);
    connect(writeTestGroup, &QPushButton::clicked, this, &CKorvelDlg::OnWriteTestGroup);
    connect(m_cbTestMode, &QComboBox::activated, this, &CKorvelDlg::OnSelchangeTestMode);
    connect(m_cbTestGroup2, &QComboBox::activated, this, &CKorvelDlg::OnSelchangeTestGroup2);
    connect(writeTestMode, &QPushButton::clicked, this, &CKorvelDlg::OnWriteTestMode);
    connect(writeTestGroup2, &QPushButton::clicked, this, &CKorvelDlg::OnWriteTestGroup2);
    connect(exportLabel, &QPushButton::clicked, this, &CKorvelDlg::OnExportLabel);
    connect(importLabel, &QPushButton::clicked, this, &CKorvelDlg::OnImportLabel);
}
