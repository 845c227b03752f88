#include "app/shell/Cdlg_Login.h"

#include "app/widgets/DialogKeys.h"
#include "app/widgets/DialogTemplate.h"
#include "config/ConnectionSettings.h"
#include "db/CAdoDatabase.h"
#include "util/MessageSink.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

Cdlg_Login::Cdlg_Login(ProgramContext context, QWidget* parent) : QDialog(parent), m_context(std::move(context))
{
    ApplyTemplate(*this, ShellDialogFont(), QStringLiteral("登录界面"), 186, 66);
    const DialogUnits units(font());

    auto* prompt = new QLabel(QStringLiteral("输入密码："), this);
    PlaceControl(*prompt, units, kNoControlId, {20, 25, 41, 8});

    m_editPassword = new QLineEdit(this);
    m_editPassword->setEchoMode(QLineEdit::Password);
    PlaceControl(*m_editPassword, units, 1002, {64, 23, 102, 14});

    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setAutoDefault(false);
    PlaceControl(*ok, units, 1003, {64, 42, 50, 14});
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

void Cdlg_Login::keyPressEvent(QKeyEvent* event)
{
    // Enter is the dialog's OK command wherever the focus is; Escape gives up (the base).
    if (IsEnterKey(*event)) {
        OnOK();
        return;
    }
    QDialog::keyPressEvent(event);
}

void Cdlg_Login::OnOK()
{
    ReadControls();
    const std::optional<ConnectionSettings> settings =
        ReadSettingsFile(m_context.configDirectory + kSettingsFileName, m_context.messages);
    if (!settings)
        return;
    m_strConnect = BuildConnectionString(*settings);

    CAdoDatabase database;
    if (!database.Open(m_strConnect)) {
        m_context.messages.ShowWarning(QStringLiteral("连接数据库失败"));
        return;
    }
    TextTable rows;
    if (!database.Query(QStringLiteral("select Password from tblUserInfo where UserID='Admin'"), &rows)) {
        m_context.messages.ShowWarning(QStringLiteral("获取数据库信息失败"));
        return;
    }
    database.Close(); // the connection is gone before the password is looked at
    if (rows.isEmpty()) {
        m_context.messages.ShowWarning(QStringLiteral("获取数据库信息失败"));
        return;
    }
    if (rows[0].value(0) != m_strPassword) {
        m_context.messages.ShowWarning(QStringLiteral("密码错误"));
        return;
    }
    m_bLoggedIn = 1;
    ReadControls();
    accept();
}
