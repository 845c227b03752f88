#include "gui/LoginDialog.h"

#include "attributes/AdminLogin.h"
#include "config/ConnectionSettings.h"
#include "gui/ModalWork.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace korvel {

LoginDialog::LoginDialog(ProgramContext context, QWidget* parent)
    : TemplateDialog(parent, shellDialogFont(), QStringLiteral("登录界面"), 186, 66), m_context(std::move(context)),
      m_password(new QLineEdit(this))
{
    auto* prompt = new QLabel(QStringLiteral("输入密码："), this);
    place(*prompt, {20, 25, 41, 8});

    m_password->setEchoMode(QLineEdit::Password);
    identifyControl(*m_password, kPasswordEdit, QStringLiteral("passwordEdit"));
    place(*m_password, {64, 23, 102, 14});

    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setAutoDefault(false);
    identifyControl(*ok, kOkButton, QStringLiteral("okButton"));
    place(*ok, {64, 42, 50, 14});
    connect(ok, &QPushButton::clicked, this, &LoginDialog::accept);

    m_password->setFocus();
}

void LoginDialog::accept()
{
    if (!loginAccepted()) {
        // Whatever had the focus (the button, when clicked), the next try starts by
        // typing over the refused password.
        m_password->setFocus();
        m_password->selectAll();
        return;
    }
    QDialog::accept();
}

bool LoginDialog::loginAccepted()
{
    const Result<QString> connection = readConnectionString(m_context.configDirectory() + kSettingsFileName);
    if (!connection) {
        m_context.messages().showWarning(connection.message());
        return false;
    }
    const QString typed = m_password->text();
    ModalWork work(this, m_context.messages());
    const Outcome checked = work.run(QStringLiteral("检查密码"),
                                     [&connection, &typed] { return checkAdminPassword(connection.value, typed); });
    if (!checked)
        m_context.messages().showWarning(checked.message());
    return checked.ok();
}

} // namespace korvel
