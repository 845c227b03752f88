#pragma once

#include "gui/DialogTemplate.h"
#include "gui/ProgramContext.h"

class QLineEdit;

namespace korvel {

// The login: the administrator's password, checked against the stored one on every try, as
// often as the user likes. Only a match ends it, with QDialog::Accepted.
class LoginDialog : public TemplateDialog
{
    Q_OBJECT

public:
    enum ControlId : int {
        kPasswordEdit = 1002,
        kOkButton = 1003,
    };

    explicit LoginDialog(ProgramContext context, QWidget* parent = nullptr);

    // One login attempt: the OK button and the Enter key. The settings are read afresh and
    // the connection made anew each time.
    void accept() override;

private:
    // Checks the password typed; a refusal has shown its message.
    bool loginAccepted();

    ProgramContext m_context;
    QLineEdit* m_password;
};

} // namespace korvel
