#include "app/korvel/CKorvelApp.h"

#include "app/shell/Cdlg_Login.h"
#include "editor/CKorvelDlg.h"

bool CKorvelApp::InitInstance()
{
    // The login is gone before the main window appears.
    bool loggedIn = false;
    {
        Cdlg_Login login(m_context);
        loggedIn = login.DoModal() == QDialog::Accepted && login.m_bLoggedIn != 0;
    }
    if (loggedIn) {
        CKorvelDlg main(m_context);
        main.DoModal();
    }
    return false;
}
