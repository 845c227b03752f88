#pragma once

#include "config/ValueLists.h"
#include "gui/DialogTemplate.h"
#include "gui/ProgramContext.h"
#include "util/Outcome.h"

#include <optional>

class QComboBox;
class QGridLayout;
class QLineEdit;

namespace korvel {

class ModalWork;
struct AttributeWrite;
struct Cascade;

// The main window: a wire band (harness, wire, connection type, test group), a job band
// (job, step, test mode, test group 2) and a label band. It keeps no connection: every
// action opens its own with the connection string read when the window was loaded, and
// does its database work on a worker thread (ModalWork).
class MainWindow : public TemplateDialog
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

    explicit MainWindow(ProgramContext context, QWidget* parent = nullptr);

    // Reads the settings and fills every list over one connection, before the window is
    // shown. A failure shows its message and leaves the lists it could not fill empty; the
    // window stays open, and each action tries to connect again. A cancel leaves the lists
    // not read yet empty.
    void load();

    // What every action connects with; empty when the settings could not be read.
    const QString& connectionString() const { return m_connectionString; }
    // The HarnessID of the harness whose wires the wire list holds: a wire write changes
    // that harness's wire only. Empty while the list holds no harness's wires.
    const QString& listedHarnessId() const { return m_harnessId; }

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private slots:
    void chooseHarness();
    void chooseJob();
    void showConnectionTypeValue();
    void showTestGroupValue();
    void showTestModeValue();
    void showTestGroup2Value();
    void writeConnectionType();
    void writeTestGroup();
    void writeTestMode();
    void writeTestGroup2();
    void exportLabel();
    void importLabel();
    void showAbout();

private:
    // The widgets the window's actions read and fill.
    struct Controls
    {
        QComboBox* harnessNumbers = nullptr;
        QComboBox* wireNumbers = nullptr;
        QComboBox* connectionTypes = nullptr;
        QLineEdit* connectionTypeValue = nullptr;
        QComboBox* testGroups = nullptr;
        QLineEdit* testGroupValue = nullptr;
        QComboBox* jobNumbers = nullptr;
        QComboBox* steps = nullptr;
        QComboBox* testModes = nullptr;
        QLineEdit* testModeValue = nullptr;
        QComboBox* testGroup2s = nullptr;
        QLineEdit* testGroup2Value = nullptr;
        QComboBox* labelNumbers = nullptr;
    };

    // The wire or step a write goes to.
    struct WriteTarget
    {
        bool recordChosen; // a harness (job) is chosen in its list
        QString recordId;  // the harness (job) whose wires (steps) are listed
        QString child;     // the wire (step) chosen
    };

    // How the numbers the window lists when it opens were read, in the window's order: each
    // list's query's outcome, none for a list not read once the user cancelled.
    struct StartLists
    {
        Outcome connected;
        std::optional<Outcome> harnesses;
        std::optional<Outcome> jobs;
        std::optional<Outcome> labels;
    };

    void createBandsAndLabels();
    Controls createControls();
    StartLists readStartLists(ModalWork& work);
    void fillLists(const StartLists& lists);
    void loadValueLists();
    void refreshLabelList(ModalWork& work);
    void listChildren(const Cascade& cascade, const QString& stepText, const QComboBox& records, QComboBox& children,
                      QString& recordId);
    void showValue(const AttributeWrite& write, QLineEdit& valueBox, const QString& entryValue);
    void showEntryValue(const AttributeWrite& write, const QComboBox& entries, QLineEdit& valueBox);
    WriteTarget chosenWire() const;
    WriteTarget chosenStep() const;
    void writeChosenValue(const AttributeWrite& write, const WriteTarget& target, const QComboBox& entries);

    ProgramContext m_context;
    // The grid the bands share: createBandsAndLabels makes it, createControls fills it.
    QGridLayout* m_grid = nullptr;
    Controls m_ui;
    QString m_connectionString;
    ValueLists m_valueLists;
    // The value of the entry chosen in each value list, as its box shows it and its write
    // stores it.
    std::array<QString, kValueListCount> m_chosenValues;
    QString m_harnessId;
    QString m_jobId;
};

} // namespace korvel
