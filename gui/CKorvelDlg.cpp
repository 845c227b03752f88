#include "gui/CKorvelDlg.h"

#include "attributes/NumberLists.h"
#include "config/ConnectionSettings.h"
#include "db/CAdoDatabase.h"
#include "gui/ShellDialogs.h"
#include "gui/SortedCombo.h"
#include "res/Resources.h"
#include "util/MessageSink.h"

#include <QComboBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QShortcut>

CKorvelDlg::CKorvelDlg(ProgramContext context, QWidget* parent)
    : TemplateDialog(parent, SongTiFont(), QStringLiteral("Korvel"), 406, 221), m_hIcon(ApplicationIcon()),
      m_context(std::move(context))
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    CreateControls();
    // The About item lives in the context menu and on F1: Linux window managers have no
    // system menu to extend.
    auto* about = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(about, &QShortcut::activated, this, [this] { OnSysCommand(IDM_ABOUTBOX); });
}

int CKorvelDlg::DoModal()
{
    OnInitDialog();
    return exec();
}

void CKorvelDlg::ReadControls()
{
    m_nHarnessSel = m_cbHarnessNo->currentIndex();
    m_nJobSel = m_cbJobNo->currentIndex();
    m_nConnectTypeValue = m_editConnectTypeValue->text().toInt();
    m_strTestGroupValue = m_editTestGroupValue->text();
    m_strWireNo = SelectedText(*m_cbWireNo);
    m_strConnectType = SelectedText(*m_cbConnectType);
    m_strTestGroup = SelectedText(*m_cbTestGroup);
    m_strTestGroup2Value = m_editTestGroup2Value->text();
    m_nTestModeValue = m_editTestModeValue->text().toInt();
    m_strStep = SelectedText(*m_cbStep);
    m_strTestMode = SelectedText(*m_cbTestMode);
    m_strTestGroup2 = SelectedText(*m_cbTestGroup2);
    m_strLabelNo = SelectedText(*m_cbLabelNo);
}

void CKorvelDlg::WriteControls()
{
    m_cbHarnessNo->setCurrentIndex(m_nHarnessSel);
    m_cbJobNo->setCurrentIndex(m_nJobSel);
    m_editConnectTypeValue->setText(QString::number(m_nConnectTypeValue));
    m_editTestGroupValue->setText(m_strTestGroupValue);
    SelectEntryStartingWith(*m_cbWireNo, m_strWireNo);
    SelectEntryStartingWith(*m_cbConnectType, m_strConnectType);
    SelectEntryStartingWith(*m_cbTestGroup, m_strTestGroup);
    m_editTestGroup2Value->setText(m_strTestGroup2Value);
    m_editTestModeValue->setText(QString::number(m_nTestModeValue));
    SelectEntryStartingWith(*m_cbStep, m_strStep);
    SelectEntryStartingWith(*m_cbTestMode, m_strTestMode);
    SelectEntryStartingWith(*m_cbTestGroup2, m_strTestGroup2);
    SelectEntryStartingWith(*m_cbLabelNo, m_strLabelNo);
}

bool CKorvelDlg::OnInitDialog()
{
    // The empty lists select nothing: the first refresh leaves the indexes at -1.
    m_nHarnessSel = -1;
    m_nJobSel = -1;
    WriteControls();
    setWindowIcon(m_hIcon);

    const std::optional<QString> connection =
        ReadConnectionString(m_context.configDirectory + kSettingsFileName, m_context.messages);
    if (!connection)
        return true;
    m_strConnect = *connection;

    CAdoDatabase database;
    if (!database.Open(m_strConnect)) {
        m_context.messages.ShowWarning(database.m_strError);
        return true;
    }
    FillLists(database);
    return true;
}

void CKorvelDlg::FillLists(CAdoDatabase& database)
{
    // A failed query shows its error and keeps the rows it delivered before failing.
    korvel::Result<QStringList> harnesses = korvel::harnessNumbers(database);
    if (!harnesses)
        m_context.messages.ShowWarning(harnesses.message());
    korvel::Result<QStringList> jobs = korvel::jobNumbers(database);
    if (!jobs)
        m_context.messages.ShowWarning(jobs.message());
    AddSortedEntries(*m_cbHarnessNo, std::move(harnesses.value));
    AddSortedEntries(*m_cbJobNo, std::move(jobs.value));

    LoadValueLists();
    AddSortedEntries(*m_cbConnectType, m_mapConnectType.keys());
    AddSortedEntries(*m_cbTestGroup, m_mapTestGroup.keys());
    AddSortedEntries(*m_cbTestGroup2, m_mapTestGroup2.keys());
    AddSortedEntries(*m_cbTestMode, m_mapTestMode.keys());

    QStringList labels;
    QueryActiveLabels(database, labels);
    AddSortedEntries(*m_cbLabelNo, std::move(labels));
}

bool CKorvelDlg::QueryActiveLabels(CAdoDatabase& database, QStringList& numbers)
{
    korvel::Result<QStringList> labels = korvel::activeLabelNumbers(database);
    if (!labels)
        m_context.messages.ShowWarning(labels.message());
    numbers = std::move(labels.value);
    return labels.ok();
}

void CKorvelDlg::LoadValueLists()
{
    ValueLists lists = {m_mapConnectType, m_mapTestGroup, m_mapTestGroup2, m_mapTestMode};
    (void)LoadValueListFile(m_context.configDirectory + kValueListFileName, lists, m_context.messages);
    m_mapConnectType = lists[kConnectTypeList];
    m_mapTestGroup = lists[kTestGroupList];
    m_mapTestGroup2 = lists[kTestGroup2List];
    m_mapTestMode = lists[kTestModeList];
}

void CKorvelDlg::OnSysCommand(unsigned int id)
{
    if ((id & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about(this);
        about.exec();
    }
}

void CKorvelDlg::OnOK()
{
    accept();
}

void CKorvelDlg::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    menu.setSeparatorsCollapsible(false);
    menu.addSeparator();
    menu.addAction(AboutItemText(), this, [this] { OnSysCommand(IDM_ABOUTBOX); });
    menu.exec(event->globalPos());
}
