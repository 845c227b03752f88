#include "gui/LoginDialog.h"

#include "attributes/AdminLogin.h"
#include "config/ConnectionSettings.h"

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
    const Result<QString> connection = ReadConnectionString(m_context.configDirectory() + kSettingsFileName);
    if (!connection) {
        m_context.messages().ShowWarning(connection.message());
        return;
    }
    const Outcome checked = checkAdminPassword(connection.value, m_password->text());
    if (!checked) {
        m_context.messages().ShowWarning(checked.message());
        return;
    }
    QDialog::accept();
}

} // namespace korvel
