// The main window's controls in the arrangement of its template: three bands one under the
// other, each caption above its control ("标签：" left of its list). One grid holds all three,
// so that their columns stay in line however the window is sized.

#include "gui/MainWindow.h"

#include "gui/FindAsYouType.h"
#include "gui/SortedCombo.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace korvel {

namespace {

// The grid's columns, left to right, as the template has them: the bands' margins at either
// end, the controls' columns and the gaps between them. Each column has its template width
// (in dialog units) as its share of what the window gives beyond the least, and a least width
// of its own where its controls need less: a list is never narrower than a value box.
enum Column : int {
    kCaptionColumn = 1,   // "标签：", and the start of the harness and job lists
    kNumberColumn = 3,    // the rest of the harness and job lists, the start of the label list
    kChildColumn = 5,     // wires, steps, the rest of the label list
    kFirstListColumn = 7, // 联线类型, 测试模式, their write buttons, 导出
    kFirstValueColumn = 9,
    kSecondListColumn = 11, // 测试组, 测试组2, their write buttons, 导入
    kSecondValueColumn = 13,
    kColumnCount = 15,
};
struct ColumnWidth
{
    int templateUnits;
    int leastUnits;
};
constexpr ColumnWidth kColumnWidths[kColumnCount] = {{3, 3},   {30, 16}, {2, 2},   {22, 22}, {15, 3},
                                                     {54, 40}, {18, 3},  {54, 40}, {6, 3},   {40, 40},
                                                     {6, 3},   {54, 40}, {6, 3},   {40, 40}, {3, 3}};
// How many columns the harness, job and label lists take.
constexpr int kNumberSpan = kNumberColumn - kCaptionColumn + 1;
constexpr int kLabelListSpan = kChildColumn - kNumberColumn + 1;

// The grid's rows, top to bottom: in each band its captions, controls and write buttons
// between margins, which take what height the window has beyond the least; the bands'
// frames span their rows.
enum Row : int {
    kWireCaptions = 1,
    kWireControls = 3,
    kWireButtons = 5,
    kJobCaptions = 9,
    kJobControls = 11,
    kJobButtons = 13,
    kLabelControls = 17,
};
struct Spacing
{
    int row;
    int units;
    bool margin;
};
constexpr Spacing kRowSpacings[] = {{0, 4, true},  {2, 3, false},  {4, 6, false},  {6, 4, true},
                                    {7, 3, false}, {8, 4, true},   {10, 3, false}, {12, 6, false},
                                    {14, 4, true}, {15, 3, false}, {16, 4, true},  {18, 4, true}};
struct Band
{
    int firstRow;
    int lastRow;
};
constexpr Band kBands[] = {{0, 6}, {8, 14}, {16, 18}};

// The window's margins around the bands, in dialog units.
constexpr int kWindowMarginUnits = 4;

void setUpGrid(QGridLayout& grid, const DialogUnits& units)
{
    const QSize margin = units.toPixels(kWindowMarginUnits, kWindowMarginUnits);
    grid.setContentsMargins(margin.width(), margin.height(), margin.width(), margin.height());
    grid.setSpacing(0);
    for (int column = 0; column < kColumnCount; ++column) {
        grid.setColumnStretch(column, kColumnWidths[column].templateUnits);
        grid.setColumnMinimumWidth(column, units.toPixels(kColumnWidths[column].leastUnits, 0).width());
    }
    for (const Spacing& spacing : kRowSpacings) {
        grid.setRowMinimumHeight(spacing.row, units.toPixels(0, spacing.units).height());
        grid.setRowStretch(spacing.row, spacing.margin ? 1 : 0);
    }
}

// A value shows whole: its box widens for a value longer than the column is wide.
void fitValueBoxToText(QLineEdit& box)
{
    // The box's margins are what its size hint adds to the 17 characters it is meant for.
    const QFontMetrics metrics = box.fontMetrics();
    const int margins = box.sizeHint().width() - 17 * metrics.horizontalAdvance(QLatin1Char('x'));
    box.setMinimumWidth(metrics.horizontalAdvance(box.text()) + margins);
}

struct Layout
{
    QGridLayout& grid;

    QComboBox* combo(int id, const char* name, int row, int column, int span = 1) const
    {
        return place(createSortedCombo(&content()), id, name, row, column, span);
    }
    QLineEdit* valueBox(int id, const char* name, int row, int column) const
    {
        auto* box = new QLineEdit(&content());
        box->setReadOnly(true);
        QObject::connect(box, &QLineEdit::textChanged, box, [box] { fitValueBoxToText(*box); });
        return place(box, id, name, row, column);
    }
    QPushButton* button(int id, const char* name, const QString& caption, int row, int column) const
    {
        auto* button = new QPushButton(caption, &content());
        button->setAutoDefault(false);
        return place(button, id, name, row, column);
    }
    void caption(const QString& text, int row, int column, int span = 1) const
    {
        grid.addWidget(new QLabel(text, &content()), row, column, 1, span);
    }
    void band(const Band& rows) const
    {
        grid.addWidget(new QGroupBox(&content()), rows.firstRow, 0, rows.lastRow - rows.firstRow + 1, kColumnCount);
    }

private:
    QWidget& content() const { return *grid.parentWidget(); }

    template<typename Control>
    Control* place(Control* control, int id, const char* name, int row, int column, int span = 1) const
    {
        identifyControl(*control, id, QString::fromLatin1(name));
        grid.addWidget(control, row, column, 1, span);
        return control;
    }
};

} // namespace

void MainWindow::createBandsAndLabels()
{
    auto* content = new QWidget;
    m_grid = new QGridLayout(content);
    setUpGrid(*m_grid, units());
    const Layout layout{*m_grid};
    // The frames first: the controls lie above them.
    for (const Band& rows : kBands)
        layout.band(rows);

    // Static labels carry no id.
    layout.caption(QStringLiteral("HarnessNo"), kWireCaptions, kCaptionColumn, kNumberSpan);
    layout.caption(QStringLiteral("WireNo"), kWireCaptions, kChildColumn);
    layout.caption(QStringLiteral("联线类型"), kWireCaptions, kFirstListColumn);
    layout.caption(QStringLiteral("值"), kWireCaptions, kFirstValueColumn);
    layout.caption(QStringLiteral("测试组"), kWireCaptions, kSecondListColumn);
    layout.caption(QStringLiteral("值"), kWireCaptions, kSecondValueColumn);
    layout.caption(QStringLiteral("JobNo"), kJobCaptions, kCaptionColumn, kNumberSpan);
    layout.caption(QStringLiteral("步骤"), kJobCaptions, kChildColumn);
    layout.caption(QStringLiteral("测试模式"), kJobCaptions, kFirstListColumn);
    layout.caption(QStringLiteral("值"), kJobCaptions, kFirstValueColumn);
    layout.caption(QStringLiteral("测试组2"), kJobCaptions, kSecondListColumn);
    layout.caption(QStringLiteral("值"), kJobCaptions, kSecondValueColumn);
    layout.caption(QStringLiteral("标签："), kLabelControls, kCaptionColumn);
    setLaidOutContent(content);
}

MainWindow::Controls MainWindow::createControls()
{
    const Layout layout{*m_grid};
    // Created in the template's order, which is the tab order.
    Controls ui;
    ui.harnessNumbers = layout.combo(kHarnessNoCombo, "harnessNumberList", kWireControls, kCaptionColumn, kNumberSpan);
    ui.wireNumbers = layout.combo(kWireNoCombo, "wireNumberList", kWireControls, kChildColumn);
    ui.connectionTypes = layout.combo(kConnectTypeCombo, "connectionTypeList", kWireControls, kFirstListColumn);
    ui.connectionTypeValue =
        layout.valueBox(kConnectTypeValue, "connectionTypeValue", kWireControls, kFirstValueColumn);
    QPushButton* writeConnectionType = layout.button(kWriteConnectTypeButton, "writeConnectionTypeButton",
                                                     QStringLiteral("联线类型写入"), kWireButtons, kFirstListColumn);
    ui.testGroups = layout.combo(kTestGroupCombo, "testGroupList", kWireControls, kSecondListColumn);
    ui.testGroupValue = layout.valueBox(kTestGroupValue, "testGroupValue", kWireControls, kSecondValueColumn);
    QPushButton* writeTestGroup = layout.button(kWriteTestGroupButton, "writeTestGroupButton",
                                                QStringLiteral("测试组写入"), kWireButtons, kSecondListColumn);

    ui.jobNumbers = layout.combo(kJobNoCombo, "jobNumberList", kJobControls, kCaptionColumn, kNumberSpan);
    ui.steps = layout.combo(kStepCombo, "stepList", kJobControls, kChildColumn);
    ui.testModes = layout.combo(kTestModeCombo, "testModeList", kJobControls, kFirstListColumn);
    ui.testModeValue = layout.valueBox(kTestModeValue, "testModeValue", kJobControls, kFirstValueColumn);
    QPushButton* writeTestMode = layout.button(kWriteTestModeButton, "writeTestModeButton",
                                               QStringLiteral("测试模式写入"), kJobButtons, kFirstListColumn);
    ui.testGroup2s = layout.combo(kTestGroup2Combo, "testGroup2List", kJobControls, kSecondListColumn);
    ui.testGroup2Value = layout.valueBox(kTestGroup2Value, "testGroup2Value", kJobControls, kSecondValueColumn);
    QPushButton* writeTestGroup2 = layout.button(kWriteTestGroup2Button, "writeTestGroup2Button",
                                                 QStringLiteral("测试组2写入"), kJobButtons, kSecondListColumn);

    ui.labelNumbers = layout.combo(kLabelNoCombo, "labelNumberList", kLabelControls, kNumberColumn, kLabelListSpan);
    QPushButton* exportLabel =
        layout.button(kExportButton, "exportButton", QStringLiteral("导出"), kLabelControls, kFirstListColumn);
    QPushButton* importLabel =
        layout.button(kImportButton, "importButton", QStringLiteral("导入"), kLabelControls, kSecondListColumn);

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
