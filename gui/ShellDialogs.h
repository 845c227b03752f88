#pragma once

// The application shell's dialogs: the login before anything else, the About box.

#include "gui/DialogTemplate.h"
#include "gui/ProgramContext.h"

class QLineEdit;

// The login: the administrator's password, checked against the stored one on every try, as
// often as the user likes. Only a match ends it with success.
class Cdlg_Login : public TemplateDialog
{
    Q_OBJECT

public:
    enum ControlId : int {
        kPasswordEdit = 1002,
        kOkButton = 1003,
    };

    explicit Cdlg_Login(ProgramContext context, QWidget* parent = nullptr);

    // Runs the dialog modally: QDialog::Accepted only after a successful check.
    int DoModal();
    // One login attempt: the OK button and the Enter key.
    void OnOK() override;

    QString m_strPassword;
    QString m_strConnect;
    int m_bLoggedIn = 0;

private:
    void ReadControls();
    void WriteControls();

    ProgramContext m_context;
    QLineEdit* m_editPassword;
};

// The About box: the program's name and version beside its icon.
class CAboutDlg : public TemplateDialog
{
public:
    enum ControlId : int {
        kOkButton = 1,
    };

    explicit CAboutDlg(QWidget* parent = nullptr);

    void OnOK() override;
};
