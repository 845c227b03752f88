#pragma once

#include "app/widgets/ProgramContext.h"

#include <QDialog>

class QLineEdit;

// Template 129: the administrator's password, checked against tblUserInfo on every try,
// as often as the user likes. Only a match ends it with success.
class Cdlg_Login : public QDialog
{
    Q_OBJECT

public:
    explicit Cdlg_Login(ProgramContext context, QWidget* parent = nullptr);

    // Runs the dialog modally: QDialog::Accepted only after a successful check.
    int DoModal();
    // One login attempt: the button 1003 and the Enter key.
    void OnOK();

    QString m_strPassword;
    QString m_strConnect;
    int m_bLoggedIn = 0;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ReadControls();
    void WriteControls();

    ProgramContext m_context;
    QLineEdit* m_editPassword;
};
