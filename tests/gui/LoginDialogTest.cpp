#include "gui/LoginDialog.h"

#include "gui/DialogTemplate.h"
#include "tests/support/DialogControls.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/RecordingMessageSink.h"
#include "tests/support/ScriptedFileDialogs.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace korvel;

namespace {

class LoginTest : public ::testing::Test
{
protected:
    LoginTest()
        : folder("CREATE TABLE tblUserInfo (UserID nvarchar(20), Password nvarchar(50));"
                 "INSERT INTO tblUserInfo VALUES ('Admin', 'korvel'), ('Admin', 'second row');"),
          login(ProgramContext{folder.directory(), messages, fileDialogs})
    {
        folder.writeEmbeddedSettings();
        login.show();
    }

    // Types the password and presses the dialog's button, as the user does.
    void attempt(const QString& password)
    {
        typeInto(login, "passwordEdit", password);
        QTest::mouseClick(&controlOf<QPushButton>(login, "okButton"), Qt::LeftButton);
    }
    QString lastMessage() const { return messages.warnings.value(messages.warnings.size() - 1); }

    ProgramFolder folder;
    RecordingMessageSink messages;
    ScriptedFileDialogs fileDialogs;
    LoginDialog login;
};

} // namespace

TEST_F(LoginTest, TheStoredPasswordOfAdminLogsIn)
{
    EXPECT_EQ(login.windowTitle(), QStringLiteral("登录界面"));
    EXPECT_EQ(editOf(login, "passwordEdit").echoMode(), QLineEdit::Password);
    attempt(QStringLiteral("Korvel"));
    EXPECT_EQ(lastMessage(), QStringLiteral("密码错误")) << "the comparison is case-sensitive";
    EXPECT_TRUE(login.isVisible());
    EXPECT_EQ(textOf(login, "passwordEdit"), QStringLiteral("Korvel"))
        << "the typed text stays";
    attempt(QStringLiteral("korvel "));
    EXPECT_EQ(lastMessage(), QStringLiteral("密码错误")) << "nothing is trimmed";
    attempt(QStringLiteral("korvel"));
    EXPECT_EQ(login.result(), QDialog::Accepted);
    EXPECT_FALSE(login.isVisible());
    EXPECT_EQ(messages.warnings.size(), 2);
}

TEST_F(LoginTest, EachFailureHasItsMessageAndTheDialogStays)
{
    QFile::remove(folder.filePath(QStringLiteral("frmConnect")));
    attempt(QStringLiteral("korvel"));
    EXPECT_EQ(lastMessage(), QStringLiteral("获取配置文件失败"));

    folder.writeSettings("<NewDataSet>");
    attempt(QStringLiteral("korvel"));
    EXPECT_EQ(lastMessage(), QStringLiteral("获取配置数据失败"));

    folder.writeEmbeddedSettings("missing.db");
    attempt(QStringLiteral("korvel"));
    EXPECT_EQ(lastMessage(), QStringLiteral("连接数据库失败")) << "the fixed text only";

    folder.writeEmbeddedSettings();
    folder.database().exec(QStringLiteral("DELETE FROM tblUserInfo"));
    attempt(QStringLiteral("korvel"));
    EXPECT_EQ(lastMessage(), QStringLiteral("获取数据库信息失败")) << "no Admin row";

    folder.database().exec(QStringLiteral("DROP TABLE tblUserInfo"));
    attempt(QStringLiteral("korvel"));
    EXPECT_EQ(lastMessage(), QStringLiteral("获取数据库信息失败")) << "no table";

    EXPECT_EQ(messages.warnings.size(), 5);
    EXPECT_TRUE(login.isVisible());
    EXPECT_NE(login.result(), QDialog::Accepted);

    // Corrected while the dialog is open: the next attempt reads everything afresh.
    folder.database().exec(QStringLiteral("CREATE TABLE tblUserInfo (UserID nvarchar(20), Password nvarchar(50));"
                                          "INSERT INTO tblUserInfo VALUES ('Admin', NULL);"));
    attempt(QString());
    EXPECT_EQ(login.result(), QDialog::Accepted) << "an empty password matches a NULL one";
}

TEST_F(LoginTest, EnterChecksAndEscapeGivesUpSilently)
{
    QLineEdit& edit = editOf(login, "passwordEdit");
    QTest::keyClicks(&edit, QStringLiteral("wrong"));
    QTest::keyClick(&edit, Qt::Key_Return);
    EXPECT_EQ(lastMessage(), QStringLiteral("密码错误"));
    QTest::keyClick(&edit, Qt::Key_Escape);
    EXPECT_EQ(login.result(), QDialog::Rejected);
    EXPECT_FALSE(login.isVisible());
    EXPECT_EQ(messages.warnings.size(), 1);
}

TEST_F(LoginTest, ARefusedLoginGivesThePasswordBackSelectedToRetype)
{
    ASSERT_TRUE(QTest::qWaitForWindowActive(&login));
    const QLineEdit& edit = editOf(login, "passwordEdit");
    // Clicked, the button took the focus: what the user types next would go nowhere.
    attempt(QStringLiteral("wrong"));
    EXPECT_EQ(QApplication::focusWidget(), &edit);
    EXPECT_EQ(edit.selectedText(), QStringLiteral("wrong"));

    QFile::remove(folder.filePath(QStringLiteral("frmConnect")));
    attempt(QStringLiteral("korvel"));
    EXPECT_EQ(lastMessage(), QStringLiteral("获取配置文件失败"));
    EXPECT_EQ(QApplication::focusWidget(), &edit) << "a login refused for its settings as well";
    EXPECT_EQ(edit.selectedText(), QStringLiteral("korvel"));
}

TEST_F(LoginTest, ADatabaseThatVanishesBetweenAttemptsIsReportedUntilItIsBack)
{
    attempt(QStringLiteral("wrong"));
    const QString path = folder.filePath(QStringLiteral("korvel.db"));
    const QString away = folder.filePath(QStringLiteral("away.db"));
    ASSERT_TRUE(QFile::rename(path, away));
    attempt(QStringLiteral("korvel"));
    EXPECT_EQ(lastMessage(), QStringLiteral("连接数据库失败"));
    EXPECT_FALSE(QFileInfo::exists(path)) << "a failed connection creates no empty database";
    ASSERT_TRUE(QFile::rename(away, path));
    attempt(QStringLiteral("korvel"));
    EXPECT_EQ(login.result(), QDialog::Accepted);
    EXPECT_EQ(messages.warnings, QStringList({"密码错误", "连接数据库失败"}));
}
