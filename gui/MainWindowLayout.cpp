// The main window's controls, where its template puts them.

#include "gui/MainWindow.h"

#include "gui/FindAsYouType.h"
#include "gui/SortedCombo.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace korvel {

namespace {

struct Layout
{
    MainWindow& dialog;

    QComboBox* combo(int id, const char* name, QRect rect) const
    {
        return place(createSortedCombo(&dialog), id, name, rect);
    }
    QLineEdit* valueBox(int id, const char* name, QRect rect) const
    {
        auto* edit = new QLineEdit(&dialog);
        edit->setReadOnly(true);
        return place(edit, id, name, rect);
    }
    QPushButton* button(int id, const char* name, const QString& caption, QRect rect) const
    {
        auto* button = new QPushButton(caption, &dialog);
        button->setAutoDefault(false);
        return place(button, id, name, rect);
    }
    void label(const QString& text, QRect rect) const
    {
        auto* label = new QLabel(text, &dialog);
        dialog.place(*label, rect);
    }
    void band(QRect rect) const
    {
        auto* frame = new QGroupBox(&dialog);
        dialog.place(*frame, rect);
        frame->lower();
    }

private:
    template <typename Control>
    Control* place(Control* control, int id, const char* name, QRect rect) const
    {
        identifyControl(*control, id, QString::fromLatin1(name));
        dialog.place(*control, rect);
        return control;
    }
};

} // namespace

void MainWindow::createBandsAndLabels()
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
}

MainWindow::Controls MainWindow::createControls()
{
    const Layout layout{*this};
    // Created in the template's order, which is the tab order. The drop-down heights of the
    // template are the open list's; Qt sizes the closed box.
    Controls ui;
    ui.harnessNumbers = layout.combo(kHarnessNoCombo, "harnessNumberList", {19, 43, 54, 12});
    ui.wireNumbers = layout.combo(kWireNoCombo, "wireNumberList", {88, 42, 54, 12});
    ui.connectionTypes = layout.combo(kConnectTypeCombo, "connectionTypeList", {160, 41, 54, 12});
    ui.connectionTypeValue = layout.valueBox(kConnectTypeValue, "connectionTypeValue", {220, 41, 40, 14});
    QPushButton* writeConnectionType =
        layout.button(kWriteConnectTypeButton, "writeConnectionTypeButton", QStringLiteral("联线类型写入"),
                      {161, 62, 54, 14});
    ui.testGroups = layout.combo(kTestGroupCombo, "testGroupList", {266, 41, 54, 12});
    ui.testGroupValue = layout.valueBox(kTestGroupValue, "testGroupValue", {326, 41, 40, 14});
    QPushButton* writeTestGroup =
        layout.button(kWriteTestGroupButton, "writeTestGroupButton", QStringLiteral("测试组写入"), {267, 62, 54, 14});

    ui.jobNumbers = layout.combo(kJobNoCombo, "jobNumberList", {20, 110, 54, 12});
    ui.steps = layout.combo(kStepCombo, "stepList", {89, 110, 54, 12});
    ui.testModes = layout.combo(kTestModeCombo, "testModeList", {161, 110, 54, 12});
    ui.testModeValue = layout.valueBox(kTestModeValue, "testModeValue", {221, 110, 40, 14});
    QPushButton* writeTestMode =
        layout.button(kWriteTestModeButton, "writeTestModeButton", QStringLiteral("测试模式写入"), {162, 130, 54, 14});
    ui.testGroup2s = layout.combo(kTestGroup2Combo, "testGroup2List", {267, 110, 54, 12});
    ui.testGroup2Value = layout.valueBox(kTestGroup2Value, "testGroup2Value", {327, 110, 40, 14});
    QPushButton* writeTestGroup2 = layout.button(kWriteTestGroup2Button, "writeTestGroup2Button",
                                                 QStringLiteral("测试组2写入"), {266, 130, 58, 14});

    ui.labelNumbers = layout.combo(kLabelNoCombo, "labelNumberList", {51, 179, 97, 12});
    QPushButton* exportLabel = layout.button(kExportButton, "exportButton", QStringLiteral("导出"), {171, 179, 50, 14});
    QPushButton* importLabel = layout.button(kImportButton, "importButton", QStringLiteral("导入"), {266, 179, 50, 14});

    // The lists of numbers run to a hundred thousand entries: the user finds one by any part
    // of it. The value lists are short and keep the plain drop-down.
    for (QComboBox* numbers : {ui.harnessNumbers, ui.jobNumbers, ui.labelNumbers})
        enableFindAsYouType(*numbers);

    // Only the user's own choice runs a handler: activated, never currentIndexChanged.
    connect(ui.harnessNumbers, &QComboBox::activated, this, &MainWindow::chooseHarness);
    connect(writeConnectionType, &QPushButton::clicked, this, &MainWindow::writeConnectionType);
    connect(ui.connectionTypes, &QComboBox::activated, this, &MainWindow::showConnectionTypeValue);
    connect(ui.testGroups, &QComboBox::activated, this, &MainWindow::showTestGroupValue);
    connect(ui.jobNumbers, &QComboBox::activated, this, &MainWindow::chooseJob);
    connect(writeTestGroup, &QPushButton::clicked, this, &MainWindow::writeTestGroup);
    connect(ui.testModes, &QComboBox::activated, this, &MainWindow::showTestModeValue);
    connect(ui.testGroup2s, &QComboBox::activated, this, &MainWindow::showTestGroup2Value);
    connect(writeTestMode, &QPushButton::clicked, this, &MainWindow::writeTestMode);
    connect(writeTestGroup2, &QPushButton::clicked, this, &MainWindow::writeTestGroup2);
    connect(exportLabel, &QPushButton::clicked, this, &MainWindow::exportLabel);
    connect(importLabel, &QPushButton::clicked, this, &MainWindow::importLabel);
    return ui;
}

} // namespace korvel
