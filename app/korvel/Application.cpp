#include "app/korvel/Application.h"

#include "gui/LoginDialog.h"
#include "gui/MainWindow.h"
#include "gui/QtTranslation.h"

namespace korvel {

void Application::run()
{
    // Qt's own buttons and dialogs speak the program's language for the whole run.
    const QtInChinese chinese;

    // The login is gone before the main window appears.
    bool loggedIn = false;
    {
        LoginDialog login(m_context);
        loggedIn = login.exec() == QDialog::Accepted;
    }
    if (loggedIn) {
        MainWindow main(m_context);
        main.load();
        main.exec();
    }
}

} // namespace korvel
