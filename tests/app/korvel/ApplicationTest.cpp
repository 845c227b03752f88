#include "app/korvel/Application.h"

#include "gui/DialogTemplate.h"
#include "gui/LoginDialog.h"
#include "tests/support/DialogControls.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/RecordingMessageSink.h"
#include "tests/support/ScriptedFileDialogs.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace korvel;

namespace {

// Answers the modal dialogs of a run, one after the other, by their captions.
class Operator
{
public:
    // Each step gets the modal window that is up and acts on it.
    void then(std::function<void(QWidget&)> step) { m_steps.push_back(std::move(step)); }
    void start() { QTimer::singleShot(0, &m_timers, [this] { next(); }); }

    QStringList seen;

private:
    void next()
    {
        QWidget* window = QApplication::activeModalWidget();
        if (!window || programIsBusy() || m_done >= m_steps.size()) {
            if (m_done < m_steps.size())
                QTimer::singleShot(10, &m_timers, [this] { next(); });
            return;
        }
        seen.append(window->windowTitle());
        auto step = m_steps[m_done++];
        step(*window);
        QTimer::singleShot(10, &m_timers, [this] { next(); });
    }

    std::vector<std::function<void(QWidget&)>> m_steps;
    size_t m_done = 0;
    QObject m_timers; // its timers die with the operator, not in the next test
};

void typePasswordAndEnter(QWidget& login, const QString& password)
{
    typeInto(login, "passwordEdit", password);
    QTest::keyClick(&editOf(login, "passwordEdit"), Qt::Key_Return);
}

} // namespace

TEST(Application, GivingUpAtTheLoginEndsTheProgramWithoutTheMainWindow)
{
    ProgramFolder folder("CREATE TABLE tblUserInfo (UserID nvarchar(20), Password nvarchar(50));");
    folder.writeEmbeddedSettings();
    RecordingMessageSink messages;
    ScriptedFileDialogs fileDialogs;
    Operator user;
    user.then([](QWidget& login) { QTest::keyClick(&login, Qt::Key_Escape); });
    user.start();
    Application(ProgramContext{folder.directory(), messages, fileDialogs}).run();
    EXPECT_EQ(user.seen, QStringList(QStringLiteral("登录界面")));
    EXPECT_TRUE(messages.warnings.isEmpty());
}

TEST(Application, ASuccessfulLoginOpensTheMainWindowAndClosingItEnds)
{
    ProgramFolder folder("CREATE TABLE tblUserInfo (UserID nvarchar(20), Password nvarchar(50));"
                         "INSERT INTO tblUserInfo VALUES ('Admin', 'korvel');"
                         "CREATE TABLE tblHarnessInfo (HarnessID int, HarnessNo nvarchar(50));"
                         "CREATE TABLE tblJobInfo (JobID int, JobNo nvarchar(50));"
                         "CREATE TABLE tblLabelInfo (LabelID uniqueidentifier, LabelNo nvarchar(20), LabelStatus int);");
    folder.writeEmbeddedSettings();
    folder.writeValueLists(QStringLiteral("测试组&A&1;"));
    RecordingMessageSink messages;
    ScriptedFileDialogs fileDialogs;
    Operator user;
    user.then([](QWidget& login) { typePasswordAndEnter(login, QStringLiteral("wrong")); });
    user.then([](QWidget& login) { typePasswordAndEnter(login, QStringLiteral("korvel")); });
    user.then([](QWidget& main) { QTest::keyClick(&main, Qt::Key_Escape); });
    user.start();
    Application(ProgramContext{folder.directory(), messages, fileDialogs}).run();
    EXPECT_EQ(user.seen, QStringList({"登录界面", "登录界面", "Korvel"}));
    EXPECT_EQ(messages.warnings, QStringList(QStringLiteral("密码错误")));
}
