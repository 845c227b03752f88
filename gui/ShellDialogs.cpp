#include "gui/ShellDialogs.h"

#include "attributes/AdminLogin.h"
#include "config/ConnectionSettings.h"
#include "res/Resources.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

Cdlg_Login::Cdlg_Login(ProgramContext context, QWidget* parent)
    : TemplateDialog(parent, ShellDialogFont(), QStringLiteral("登录界面"), 186, 66), m_context(std::move(context))
{
    auto* prompt = new QLabel(QStringLiteral("输入密码："), this);
    Place(*prompt, kNoControlId, {20, 25, 41, 8});

    m_editPassword = new QLineEdit(this);
    m_editPassword->setEchoMode(QLineEdit::Password);
    Place(*m_editPassword, kPasswordEdit, {64, 23, 102, 14});

    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setAutoDefault(false);
    Place(*ok, kOkButton, {64, 42, 50, 14});
    connect(ok, &QPushButton::clicked, this, &Cdlg_Login::OnOK);

    m_editPassword->setFocus();
    WriteControls();
}

int Cdlg_Login::DoModal()
{
    return exec();
}

void Cdlg_Login::ReadControls()
{
    m_strPassword = m_editPassword->text();
}

void Cdlg_Login::WriteControls()
{
    m_editPassword->setText(m_strPassword);
}

void Cdlg_Login::OnOK()
{
    ReadControls();
    const std::optional<QString> connection =
        ReadConnectionString(m_context.configDirectory + kSettingsFileName, m_context.messages);
    if (!connection)
        return;
    m_strConnect = *connection;

    const korvel::Outcome checked = korvel::checkAdminPassword(m_strConnect, m_strPassword);
    if (!checked) {
        m_context.messages.ShowWarning(checked.message());
        return;
    }
    m_bLoggedIn = 1;
    ReadControls();
    accept();
}

CAboutDlg::CAboutDlg(QWidget* parent) : TemplateDialog(parent, SongTiFont(), QStringLiteral("关于 Korvel"), 235, 55)
{
    auto* icon = new QLabel(this);
    Place(*icon, kNoControlId, {11, 17, 20, 20});
    icon->setPixmap(ApplicationIcon().pixmap(icon->size()));

    auto* version = new QLabel(QStringLiteral("Korvel 1.0 版"), this);
    version->setTextFormat(Qt::PlainText);
    Place(*version, kNoControlId, {40, 10, 119, 8});

    auto* purpose = new QLabel(QStringLiteral("线束测试数据库维护工具"), this);
    purpose->setTextFormat(Qt::PlainText);
    Place(*purpose, kNoControlId, {40, 25, 119, 8});

    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    Place(*ok, kOkButton, {178, 7, 50, 16});
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &CAboutDlg::OnOK);
}

void CAboutDlg::OnOK()
{
    accept();
}
