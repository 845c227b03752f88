#pragma once

// The duplicate-label dialog: how the main window's import answers a label number that
// exists already.

#include "gui/DialogTemplate.h"
#include "labels/LabelImport.h"

class MessageSink;
class QLineEdit;

namespace korvel {

// "Label重复": the label number of an imported label exists already, and the user types one
// that does not. It ends with OK only on a free, non-empty number; Escape or the close box
// abandon the import.
class DuplicateLabelDialog : public TemplateDialog
{
    Q_OBJECT

public:
    enum ControlId : int {
        kNewValueEdit = 1028,
        kOldValueEdit = 1029,
        kOkButton = 1030,
    };

    // Shows the clashing number; the numbers typed are looked up through the import's open
    // connection, which must outlive the dialog.
    DuplicateLabelDialog(const QString& oldLabelNumber, CAdoDatabase& database, MessageSink& messages,
                         QWidget* parent = nullptr);

    // The number typed: after OK, one that was free when the user confirmed it.
    QString newLabelNumber() const;

    void accept() override;

private:
    CAdoDatabase& m_database;
    MessageSink& m_messages;
    QLineEdit* m_newLabelNumber;
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

} // namespace korvel
