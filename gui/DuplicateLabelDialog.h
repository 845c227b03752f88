#pragma once

// The duplicate-label dialog: how the main window's import answers a label number that
// exists already.

#include "gui/DialogTemplate.h"
#include "labels/LabelImport.h"

#include <functional>

class QLineEdit;

namespace korvel {

class MessageSink;

class ModalWork;

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

    // Whether a label has the number, as the import's open connection answers.
    using LabelNumberTaken = std::function<bool(const QString& number)>;

    // Shows the clashing number; each number typed is looked up by `taken`.
    DuplicateLabelDialog(const QString& oldLabelNumber, LabelNumberTaken taken, MessageSink& messages,
                         QWidget* parent = nullptr);

    // The number typed: after OK, one that was free when the user confirmed it.
    QString newLabelNumber() const;

    void accept() override;

private:
    LabelNumberTaken m_taken;
    MessageSink& m_messages;
    QLineEdit* m_newLabelNumber;
};

// The main window's answer to a clashing label number: the duplicate-label dialog, shown on
// the GUI thread for the import that the work runs, each number typed looked up as a step of
// that work.
class DialogLabelResolver : public DuplicateLabelResolver
{
public:
    DialogLabelResolver(QWidget* parent, MessageSink& messages, ModalWork& work)
        : m_parent(parent), m_messages(messages), m_work(work)
    {
    }

    bool resolveDuplicateLabelNo(Database& database, const QString& oldValue, QString& newValue) override;

private:
    QWidget* m_parent;
    MessageSink& m_messages;
    ModalWork& m_work;
};

} // namespace korvel
