#include "labels/ui/Cdlg_Label.h"

#include "app/widgets/DialogKeys.h"
#include "app/widgets/DialogTemplate.h"
#include "labels/LabelBundle.h"
#include "labels/LabelImport.h"
#include "util/MessageSink.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

Cdlg_Label::Cdlg_Label(MessageSink& messages, QWidget* parent) : QDialog(parent), m_messages(messages)
{
    ApplyTemplate(*this, ShellDialogFont(), QStringLiteral("Label重复"), 153, 89);
    const DialogUnits units(font());

    // Template order, which is also the tab order.
    m_editNewValue = new QLineEdit(this);
    PlaceControl(*m_editNewValue, units, 1028, {49, 41, 74, 14});
    auto* newLabel = new QLabel(QStringLiteral("新值："), this);
    PlaceControl(*newLabel, units, kNoControlId, {18, 45, 25, 8});
    m_editOldValue = new QLineEdit(this);
    m_editOldValue->setReadOnly(true);
    PlaceControl(*m_editOldValue, units, 1029, {49, 23, 74, 14});
    auto* oldLabel = new QLabel(QStringLiteral("旧值："), this);
    PlaceControl(*oldLabel, units, kNoControlId, {18, 27, 25, 8});
    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setAutoDefault(false);
    PlaceControl(*ok, units, 1030, {47, 60, 50, 14});
    auto* frame = new QGroupBox(QStringLiteral("LabelNo"), this);
    PlaceControl(*frame, units, kNoControlId, {9, 9, 134, 71});
    frame->lower();

    connect(ok, &QPushButton::clicked, this, &Cdlg_Label::OnOK);
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

void Cdlg_Label::keyPressEvent(QKeyEvent* event)
{
    if (IsEnterKey(*event)) {
        OnOK();
        return;
    }
    QDialog::keyPressEvent(event);
}

void Cdlg_Label::OnOK()
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
    accept();
}
