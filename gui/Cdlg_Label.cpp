#include "gui/Cdlg_Label.h"

#include "util/MessageSink.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

Cdlg_Label::Cdlg_Label(MessageSink& messages, QWidget* parent)
    : TemplateDialog(parent, ShellDialogFont(), QStringLiteral("Label重复"), 153, 89), m_messages(messages)
{
    // Template order, which is also the tab order.
    m_editNewValue = new QLineEdit(this);
    identifyControl(*m_editNewValue, kNewValueEdit, QStringLiteral("newLabelNumberEdit"));
    Place(*m_editNewValue, {49, 41, 74, 14});
    auto* newLabel = new QLabel(QStringLiteral("新值："), this);
    Place(*newLabel, {18, 45, 25, 8});
    m_editOldValue = new QLineEdit(this);
    m_editOldValue->setReadOnly(true);
    identifyControl(*m_editOldValue, kOldValueEdit, QStringLiteral("oldLabelNumberEdit"));
    Place(*m_editOldValue, {49, 23, 74, 14});
    auto* oldLabel = new QLabel(QStringLiteral("旧值："), this);
    Place(*oldLabel, {18, 27, 25, 8});
    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setAutoDefault(false);
    identifyControl(*ok, kOkButton, QStringLiteral("okButton"));
    Place(*ok, {47, 60, 50, 14});
    auto* frame = new QGroupBox(QStringLiteral("LabelNo"), this);
    Place(*frame, {9, 9, 134, 71});
    frame->lower();

    connect(ok, &QPushButton::clicked, this, &Cdlg_Label::accept);
}

int Cdlg_Label::DoModal()
{
    OnInitDialog();
    return exec();
}

bool Cdlg_Label::OnInitDialog()
{
    WriteControls();
    m_editNewValue->setFocus();
    return true;
}

void Cdlg_Label::ReadControls()
{
    m_strNewValue = m_editNewValue->text();
    m_strOldValue = m_editOldValue->text();
}

void Cdlg_Label::WriteControls()
{
    m_editNewValue->setText(m_strNewValue);
    m_editOldValue->setText(m_strOldValue);
}

void Cdlg_Label::accept()
{
    ReadControls();
    // Not trimmed: any number that is free will do, but not an empty one.
    if (m_strNewValue.isEmpty()) {
        m_messages.ShowWarning(kEmptyLabelNoText);
        return;
    }
    if (RowExists(*m_pDatabase, kLabelInfoTable, m_strNewValue, kLabelNoColumn)) {
        m_messages.ShowWarning(m_strNewValue + QStringLiteral("已经存在"));
        return;
    }
    QDialog::accept();
}

bool DialogLabelResolver::ResolveDuplicateLabelNo(CAdoDatabase& database, const QString& oldValue, QString& newValue)
{
    Cdlg_Label dialog(m_messages, m_parent);
    dialog.m_strOldValue = oldValue;
    dialog.m_pDatabase = &database;
    if (dialog.DoModal() != QDialog::Accepted)
        return false;
    newValue = dialog.m_strNewValue;
    return true;
}
