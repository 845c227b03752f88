// The login, the main window's cascades and writes, and korvelctl's writes, against a server
// database reached as the settings file names it.

#include "app/korvelctl/Korvelctl.h"
#include "db/client/SqlDialect.h"
#include "demodata/DemoDatabase.h"
#include "gui/LoginDialog.h"
#include "gui/MainWindow.h"
#include "tests/app/korvelctl/KorvelctlRun.h"
#include "tests/e2e/KorvelServerTest.h"
#include "tests/support/DialogControls.h"
#include "tests/support/FaultInjectingClient.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/RecordingMessageSink.h"
#include "tests/support/ScriptedFileDialogs.h"
#include "tests/support/TestFiles.h"

#include <QElapsedTimer>
#include <QSet>
#include <QUuid>

#include <chrono>
#include <thread>

using namespace korvel;

namespace {

class MainWindowOverOdbcTest : public KorvelServerTest
{
protected:
    void SetUp() override
    {
        KorvelServerTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        copyDemoDatabase();
        m_folder.writeValueLists(demoValueListText().replace(QLatin1Char('\n'), QLatin1Char(';')));
    }

    MainWindow& openMainWindow()
    {
        m_dialog = std::make_unique<MainWindow>(ProgramContext{m_folder.directory(), m_messages, m_fileDialogs});
        m_dialog->load();
        m_dialog->show();
        return *m_dialog;
    }

    // The first entry of a parent list whose child list is not empty, chosen.
    QString chooseParentWithChildren(const QString& parent, const QString& child)
    {
        for (const QString& number : entriesOf(*m_dialog, parent)) {
            choose(*m_dialog, parent, number);
            if (comboOf(*m_dialog, child).count() > 0)
                return number;
        }
        ADD_FAILURE() << "no entry of " << parent.toStdString() << " has children";
        return QString();
    }

    // The program's sessions set up as a SQL Server may set up every session: without row
    // counts.
    static void countNoRows(FaultPlan& plan)
    {
        plan.afterOpen = [](DbClient& client) {
            qint64 rows = 0;
            DbError error;
            EXPECT_TRUE(client.execute(QStringLiteral("set nocount on"), rows, error));
        };
    }

    // A wire of a harness and a connection type chosen for the write, the program's
    // connection going through a test client of its own (FaultPlan) over the server's.
    // Gives the condition of the wire's row.
    QString chooseWireToWrite(FaultPlan& plan)
    {
        registerFaultInjectingProvider(plan, settingsProvider());
        m_folder.writeSettings(serverSettings(QStringLiteral("faulty")));
        const MainWindow& dialog = openMainWindow();
        const QString harness = chooseParentWithChildren("harnessNumberList", "wireNumberList");
        const QString wire = entriesOf(dialog, "wireNumberList").value(0);
        choose(dialog, "wireNumberList", wire);
        choose(dialog, "connectionTypeList", entriesOf(dialog, "connectionTypeList").value(0));
        return QStringLiteral(
                   "WireNo = N'%1' and HarnessID = (select HarnessID from tblHarnessInfo where HarnessNo = N'%2')")
            .arg(wire, harness);
    }

    RecordingMessageSink m_messages;
    ScriptedFileDialogs m_fileDialogs;
    std::unique_ptr<MainWindow> m_dialog;
};

QStringList sorted(QStringList texts)
{
    texts.sort();
    return texts;
}

} // namespace

TEST_P(MainWindowOverOdbcTest, TheLoginComparesWithAdminsStoredPassword)
{
    const QString stored = scalar(QStringLiteral("select Password from tblUserInfo where UserID='Admin'"));
    LoginDialog login(ProgramContext{m_folder.directory(), m_messages, m_fileDialogs});
    login.show();

    // Through an ODBC data source here, as a plant may configure it.
    ConnectionSettings refused = dataSourceSettings();
    refused.password += QLatin1Char('x');
    m_folder.writeSettings(refused);
    typeInto(login, "passwordEdit", stored);
    press(login, "okButton");
    m_folder.writeSettings(dataSourceSettings());
    typeInto(login, "passwordEdit", stored.toUpper());
    press(login, "okButton");
    EXPECT_EQ(m_messages.warnings, QStringList({"连接数据库失败", "密码错误"}));
    EXPECT_NE(login.result(), QDialog::Accepted);

    typeInto(login, "passwordEdit", stored);
    press(login, "okButton");
    EXPECT_EQ(login.result(), QDialog::Accepted);
    EXPECT_EQ(m_messages.warnings.size(), 2);

    runSql(QStringLiteral("delete from tblUserInfo where UserID = 'Admin'"));
    LoginDialog again(ProgramContext{m_folder.directory(), m_messages, m_fileDialogs});
    again.show();
    typeInto(again, "passwordEdit", stored);
    press(again, "okButton");
    EXPECT_EQ(m_messages.warnings.value(2), QStringLiteral("获取数据库信息失败"));
    EXPECT_NE(again.result(), QDialog::Accepted);
}

TEST_P(MainWindowOverOdbcTest, APasswordReachesTheServerAsTyped)
{
    // Braces, a ';', URL escapes: what the ODBC connection string must carry unchanged (each
    // complex enough for a SQL Server's password policy).
    const char* const passwords[] = {"Pw1-a}b", "{Abc-123}", "Pq1;q}r", "Xy1%41+y"};
    QStringList logins;
    for (const char* typed : passwords) {
        const QString login = QStringLiteral("korvel_pw_%1").arg(QUuid::createUuid().toString(QUuid::Id128).left(12));
        const QString password = m_client.dialect().quotedLiteral(QString::fromUtf8(typed));
        runSql(
            onSqlServer()
                ? QStringLiteral("create login %1 with password = %2; create user %1 for login %1").arg(login, password)
                : QStringLiteral("create role %1 login password %2").arg(login, password));
        logins.append(login);
        // SQL Server's through FreeTDS without and with a data source; PostgreSQL's through psqlODBC.
        for (ConnectionSettings settings : {serverSettings(), dataSourceSettings()}) {
            settings.userName = login;
            settings.password = QString::fromUtf8(typed);
            Database database;
            EXPECT_TRUE(database.open(buildConnectionString(settings)))
                << typed << " " << settings.provider.toStdString() << ": " << database.lastError().toStdString();
        }
    }
    // A server lets a login go only once its sessions have ended, which it learns a moment
    // after the client hangs up.
    for (const QString& login : logins) {
        if (onSqlServer())
            runSql(QStringLiteral("drop user %1").arg(login));
        const QString drop = QString::fromLatin1(onSqlServer() ? "drop login %1" : "drop role %1").arg(login);
        DbError error;
        qint64 rows = 0;
        QElapsedTimer waited;
        waited.start();
        while (!m_client.execute(drop, rows, error) && waited.elapsed() < 10000)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        EXPECT_LT(waited.elapsed(), 10000)
            << drop.toStdString() << ": " << error.description.value_or(QString()).toStdString();
    }
}

TEST_P(MainWindowOverOdbcTest, AWriteToARowThatWentAwayWarns)
{
    // SQL Server counts no rows for a session under SET NOCOUNT ON, as a server may be set
    // up for every session; PostgreSQL has no such setting.
    for (const bool noCount : {false, true}) {
        if (noCount && !onSqlServer())
            continue;
        SCOPED_TRACE(noCount ? "set nocount on" : "counting");
        static FaultPlan plan;
        plan = FaultPlan();
        if (noCount)
            countNoRows(plan);
        const QString wire = chooseWireToWrite(plan);
        runSql(QStringLiteral("delete from tblHarnessWireInfo where ") + wire);
        m_messages = RecordingMessageSink();
        press(*m_dialog, "writeConnectionTypeButton");
        EXPECT_EQ(m_messages.warnings, QStringList(QStringLiteral("没有找到要写入的记录，写入联线类型失败")));
        EXPECT_TRUE(m_messages.informations.isEmpty());
    }
}

// The user gives up a write that another session's lock holds up: it ends at once and
// changes nothing.
TEST_P(MainWindowOverOdbcTest, AWriteHeldUpByALockEndsAtTheUsersCancel)
{
    static FaultPlan plan;
    plan = FaultPlan();
    const QString wire = chooseWireToWrite(plan);
    const QString value = QStringLiteral("select HarnessType from tblHarnessWireInfo where ") + wire;
    const QString before = scalar(value);
    DbError error;
    ASSERT_TRUE(m_client.beginTransaction(error));
    runSql(QStringLiteral("update tblHarnessWireInfo set HarnessType = null where ") + wire);
    m_messages = RecordingMessageSink();
    QString shown;
    cancelWhenProgressShows(QRegularExpression(QStringLiteral("^")), shown, CancelBy::Button);
    QElapsedTimer waited;
    waited.start();
    press(*m_dialog, "writeConnectionTypeButton");
    const qint64 elapsed = waited.elapsed();
    EXPECT_TRUE(m_client.rollbackTransaction(error));
    EXPECT_EQ(shown, QStringLiteral("写入联线类型"));
    EXPECT_EQ(m_messages.warnings, QStringList(QStringLiteral("ADO 错误：0x80004004，操作已取消写入联线类型失败")));
    // PostgreSQL takes the cancel at once. The T-SQL server of the tests answers it only once
    // the lock is gone: the client cuts the connection two seconds after the cancel.
    EXPECT_LT(elapsed, 5000);
    EXPECT_EQ(scalar(value), before);
}

TEST_P(MainWindowOverOdbcTest, EachCascadeListsTheChildrenOfTheChosenParentOnly)
{
    // The program's statements are counted by a test client of its own over the server's.
    static FaultPlan plan;
    registerFaultInjectingProvider(plan, settingsProvider());
    plan = FaultPlan();
    m_folder.writeSettings(serverSettings(QStringLiteral("faulty")));
    const MainWindow& dialog = openMainWindow();
    EXPECT_TRUE(m_messages.warnings.isEmpty()) << m_messages.warnings.join('\n').toStdString();
    EXPECT_EQ(sorted(entriesOf(dialog, "harnessNumberList")),
              sorted(firstColumnOf(QStringLiteral("select HarnessNo from tblHarnessInfo"))));
    EXPECT_EQ(sorted(entriesOf(dialog, "labelNumberList")),
              sorted(firstColumnOf(QStringLiteral("select LabelNo from tblLabelInfo where LabelStatus=1"))));

    const struct
    {
        const char* parent;
        const char* child;
        const char* children; // %1: the parent's number
    } cascades[] = {
        {"harnessNumberList", "wireNumberList",
         "select w.WireNo from tblHarnessWireInfo w join tblHarnessInfo h on h.HarnessID = w.HarnessID"
         " where h.HarnessNo = '%1'"},
        {"jobNumberList", "stepList",
         "select s.LineID from tblJobStepInfo s join tblJobInfo j on j.JobID = s.JobID where j.JobNo = '%1'"},
    };
    for (const auto& cascade : cascades) {
        const QStringList parents = entriesOf(dialog, cascade.parent);
        ASSERT_GE(parents.size(), 2);
        // Across a plant's network a choice costs its statements: as many for a parent of
        // few children as for one of many.
        QList<qsizetype> statements;
        for (const QString& parent : parents.mid(0, 2)) {
            const qsizetype before = plan.statements.size();
            choose(dialog, cascade.parent, parent);
            statements.append(plan.statements.size() - before);
            const QStringList children = firstColumnOf(QString::fromUtf8(cascade.children).arg(parent));
            EXPECT_FALSE(children.isEmpty()) << parent.toStdString();
            EXPECT_EQ(sorted(entriesOf(dialog, cascade.child)), sorted(children)) << parent.toStdString();
        }
        EXPECT_GT(statements.first(), 0) << cascade.parent;
        EXPECT_EQ(statements.first(), statements.last()) << cascade.parent;
    }
    EXPECT_TRUE(m_messages.warnings.isEmpty()) << m_messages.warnings.join('\n').toStdString();
}

TEST_P(MainWindowOverOdbcTest, EachWriteChangesExactlyTheChosenRow)
{
    const MainWindow& dialog = openMainWindow();
    // The demo's wire and step numbers recur under every harness and job: a write keyed by
    // the number alone would change many rows.
    const struct
    {
        const char* parent;
        const char* child;
        const char* picker;
        const char* valueBox;
        const char* button;
        const char* table;
        const char* written; // the written column of the chosen row; %1 the parent's number, %2 the child
    } writes[] = {
        {"harnessNumberList", "wireNumberList", "connectionTypeList", "connectionTypeValue",
         "writeConnectionTypeButton", "tblHarnessWireInfo",
         "select w.HarnessType from tblHarnessWireInfo w join tblHarnessInfo h on h.HarnessID = w.HarnessID"
         " where h.HarnessNo = '%1' and w.WireNo = '%2'"},
        {"harnessNumberList", "wireNumberList", "testGroupList", "testGroupValue", "writeTestGroupButton",
         "tblHarnessWireInfo",
         "select w.WireGroup from tblHarnessWireInfo w join tblHarnessInfo h on h.HarnessID = w.HarnessID"
         " where h.HarnessNo = '%1' and w.WireNo = '%2'"},
        {"jobNumberList", "stepList", "testModeList", "testModeValue", "writeTestModeButton", "tblJobStepInfo",
         "select s.TestMode from tblJobStepInfo s join tblJobInfo j on j.JobID = s.JobID"
         " where j.JobNo = '%1' and s.LineID = %2"},
        {"jobNumberList", "stepList", "testGroup2List", "testGroup2Value", "writeTestGroup2Button", "tblJobStepInfo",
         "select s.TestGroup from tblJobStepInfo s join tblJobInfo j on j.JobID = s.JobID"
         " where j.JobNo = '%1' and s.LineID = %2"},
    };
    for (const auto& write : writes) {
        SCOPED_TRACE(write.button);
        const QString parent = chooseParentWithChildren(write.parent, write.child);
        const QString child = entriesOf(dialog, write.child).value(0);
        choose(dialog, write.child, child);
        const QString chosenRow = QString::fromUtf8(write.written).arg(parent, child);
        const QString old = scalar(chosenRow);
        for (const QString& entry : entriesOf(dialog, write.picker)) {
            choose(dialog, write.picker, entry);
            if (textOf(dialog, write.valueBox) != old)
                break;
        }
        const QString value = textOf(dialog, write.valueBox);
        ASSERT_NE(value, old);

        const QStringList before = contents({QString::fromUtf8(write.table)});
        m_messages = RecordingMessageSink();
        press(dialog, write.button);
        EXPECT_EQ(m_messages.informations, QStringList(QStringLiteral("写入成功")));
        EXPECT_TRUE(m_messages.warnings.isEmpty()) << m_messages.warnings.join('\n').toStdString();
        EXPECT_EQ(scalar(chosenRow), value);
        const QStringList after = contents({QString::fromUtf8(write.table)});
        const QSet<QString> was(before.cbegin(), before.cend());
        const QSet<QString> is(after.cbegin(), after.cend());
        EXPECT_EQ(after.size(), before.size());
        EXPECT_EQ((was - is).size(), 1) << "rows changed";
        EXPECT_EQ((is - was).size(), 1) << "rows changed";
    }
}

TEST_P(MainWindowOverOdbcTest, KorvelctlWritesAFileOfValuesWholeOrNotAtAll)
{
    // A wire and a step, each to get an entry whose value it does not hold yet.
    const QString wire =
        scalar(QStringLiteral("select HarnessType from tblHarnessWireInfo where HarnessID=1 and WireNo='W001'"));
    const QString step = scalar(QStringLiteral("select TestMode from tblJobStepInfo where JobID=1 and LineID=10"));
    const auto otherEntry = [](ValueListIndex list, const QString& value) {
        for (const DemoValueEntry& entry : demoValueList(list)) {
            if (QString::fromUtf8(entry.value) != value)
                return QString::fromUtf8(entry.entry);
        }
        return QString();
    };
    const QString writes =
        QStringLiteral("connection-type\t%1\tW001\t%2\ntest-mode\t%3\t10\t%4\n")
            .arg(scalar(QStringLiteral("select HarnessNo from tblHarnessInfo where HarnessID=1")),
                 otherEntry(kConnectTypeList, wire),
                 scalar(QStringLiteral("select JobNo from tblJobInfo where JobID=1")), otherEntry(kTestModeList, step));
    const QStringList tables = {"tblHarnessWireInfo", "tblJobStepInfo"};
    const QStringList before = contents(tables);
    const QString file = m_folder.filePath(QStringLiteral("writes.tsv"));

    writeTestFile(file, (writes + QStringLiteral("test-mode\tNO-SUCH-JOB\t10\t快速\n")).toUtf8());
    const KorvelctlRun refused = runKorvelctlInProcess({"write", settingsPath(), "--from", file});
    EXPECT_EQ(refused.exitCode, kExitFailure);
    EXPECT_EQ(refused.err, QStringLiteral("第3行：获取JobID信息失败\n"));
    EXPECT_EQ(contents(tables), before) << "the lines before the refused one are rolled back";

    writeTestFile(file, (writes + QStringLiteral("test-mode\t%1\t99999\t快速\n")
                                      .arg(scalar(QStringLiteral("select JobNo from tblJobInfo where JobID=1"))))
                            .toUtf8());
    EXPECT_EQ(runKorvelctlInProcess({"write", settingsPath(), "--from", file}).err,
              QStringLiteral("第3行：没有找到要写入的记录，写入测试模式失败\n"))
        << "the server counts the rows a write changes";
    EXPECT_EQ(contents(tables), before);

    writeTestFile(file, writes.toUtf8());
    const KorvelctlRun written = runKorvelctlInProcess({"write", settingsPath(), "--from", file});
    EXPECT_EQ(written.exitCode, kExitOk) << written.err.toStdString();
    EXPECT_EQ(written.out, QStringLiteral("写入 2 个值：成功 2 个\n"));
    const QStringList after = contents(tables);
    const QSet<QString> was(before.cbegin(), before.cend());
    const QSet<QString> is(after.cbegin(), after.cend());
    EXPECT_EQ((was - is).size(), 2) << "rows changed";
}

INSTANTIATE_TEST_SUITE_P(, MainWindowOverOdbcTest,
                         ::testing::Values(TestServerKind::PostgreSql, TestServerKind::SqlServer), testServerName);

namespace {

// What only SQL Server has: its session settings and its locks.
class MainWindowOnSqlServerTest : public MainWindowOverOdbcTest
{
};

} // namespace

// Under SET NOCOUNT ON FreeTDS answers a write with SQL_NO_DATA and no count: the count
// comes from the write's own batch.
TEST_P(MainWindowOnSqlServerTest, AWriteUnderNoCountReportsItsRow)
{
    static FaultPlan plan;
    plan = FaultPlan();
    countNoRows(plan);
    const QString wire = chooseWireToWrite(plan);
    runSql(QStringLiteral("update tblHarnessWireInfo set HarnessType = null where ") + wire);
    m_messages = RecordingMessageSink();
    press(*m_dialog, "writeConnectionTypeButton");
    EXPECT_EQ(m_messages.informations, QStringList(QStringLiteral("写入成功")));
    EXPECT_EQ(scalar(QStringLiteral("select HarnessType from tblHarnessWireInfo where ") + wire),
              textOf(*m_dialog, "connectionTypeValue"));
}

TEST_P(MainWindowOnSqlServerTest, AWriteHeldUpByAnotherSessionsLockEndsInTheUsualMessage)
{
    static FaultPlan plan;
    plan = FaultPlan();
    const QString wire = chooseWireToWrite(plan);
    DbError error;
    ASSERT_TRUE(m_client.beginTransaction(error));
    runSql(QStringLiteral("update tblHarnessWireInfo set HarnessType = null where ") + wire);
    m_messages = RecordingMessageSink();
    QElapsedTimer waited;
    waited.start();
    press(*m_dialog, "writeConnectionTypeButton");
    const qint64 seconds = waited.elapsed() / 1000;
    EXPECT_TRUE(m_client.rollbackTransaction(error));
    ASSERT_EQ(m_messages.warnings.size(), 1);
    EXPECT_TRUE(m_messages.warnings[0].startsWith(QStringLiteral("ADO 错误：0x80004005，")))
        << m_messages.warnings[0].toStdString();
    EXPECT_TRUE(m_messages.warnings[0].endsWith(QStringLiteral("写入联线类型失败")));
    // The statement waits its 30 s. FreeTDS then sends a cancel and would wait as long again
    // for the answer, which the T-SQL server of the tests gives only once the lock is gone
    // (SQL Server answers at once): the client's own deadline cuts the connection first.
    EXPECT_GE(seconds, 29);
    EXPECT_LE(seconds, 35);
}

INSTANTIATE_TEST_SUITE_P(, MainWindowOnSqlServerTest, ::testing::Values(TestServerKind::SqlServer), testServerName);
