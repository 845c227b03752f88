#pragma once

// The duplicate-label dialog: how the main window's import answers a label number that
// exists already.

#include "gui/DialogTemplate.h"
#include "labels/LabelImport.h"

class MessageSink;
class QLineEdit;

// "Label重复": the label number of an imported label exists already, and the user types one
// that does not. It ends with OK only on a free, non-empty number; Escape or the close box
// abandon the import.
class Cdlg_Label : public TemplateDialog
{
    Q_OBJECT

public:
    enum ControlId : int {
        kNewValueEdit = 1028,
        kOldValueEdit = 1029,
        kOkButton = 1030,
    };

    explicit Cdlg_Label(MessageSink& messages, QWidget* parent = nullptr);

    int DoModal();
    bool OnInitDialog();
    void accept() override;

    QString m_strOldValue;
    QString m_strNewValue;
    CAdoDatabase* m_pDatabase = nullptr; // the import's open connection, not owned

private:
    void ReadControls();
    void WriteControls();

    MessageSink& m_messages;
    QLineEdit* m_editNewValue;
    QLineEdit* m_editOldValue;
};

// The main window's answer to a clashing label number: the duplicate-label dialog.
class DialogLabelResolver : public DuplicateLabelResolver
{
public:
    DialogLabelResolver(QWidget* parent, MessageSink& messages) : m_parent(parent), m_messages(messages) {}

    bool ResolveDuplicateLabelNo(CAdoDatabase& database, const QString& oldValue, QString& newValue) override;

private:
    QWidget* m_parent;
    MessageSink& m_messages;
};
