#include "db/Database.h"
#include "db/client/SqlDialect.h"

#include "tests/support/EmbeddedTestDatabase.h"
#include "tests/support/QtPrinting.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

using namespace korvel;

namespace {

const char* kHarnessSchema =
    "CREATE TABLE tblHarnessInfo (HarnessID int PRIMARY KEY, HarnessNo nvarchar(50), Note nvarchar(100));"
    "INSERT INTO tblHarnessInfo VALUES (1, 'WH-0001', NULL), (2, 'WH-0002', ''), (3, '线束-三', 'x');";

// A client whose every call fails as a driver would, for the error texts.
class RefusingClient : public DbClient
{
public:
    explicit RefusingClient(DbError error) : m_error(std::move(error)) {}
    bool open(const QString&, DbError& error) override { return refuse(error); }
    bool isOpen() const override { return false; }
    bool close(DbError&) override { return true; }
    bool execute(const QString&, qint64&, DbError& error) override { return refuse(error); }
    std::unique_ptr<DbCursor> openCursor(const QString&, DbError& error) override
    {
        refuse(error);
        return nullptr;
    }
    bool executeWithBinary(const QString&, const QByteArray&, qint64&, DbError& error) override { return refuse(error); }
    bool beginTransaction(DbError& error) override { return refuse(error); }
    bool commitTransaction(DbError& error) override { return refuse(error); }
    bool rollbackTransaction(DbError& error) override { return refuse(error); }
    const SqlDialect& dialect() const override { return transactSqlDialect(); }

private:
    bool refuse(DbError& error)
    {
        error = m_error;
        return false;
    }
    DbError m_error;
};

DbClientFactory refusing(DbError error)
{
    return [error](const QString&, DbError&) { return std::make_unique<RefusingClient>(error); };
}

} // namespace

TEST(Database, FailuresHaveTheAdoErrorFormat)
{
    Database database(refusing(DbError::driverFailure(QStringLiteral("X"))));
    EXPECT_EQ(database.lastError(), QString()) << "a fresh object has no error";
    EXPECT_FALSE(database.open(QStringLiteral("Provider=whatever;")));
    EXPECT_EQ(database.lastError(), QStringLiteral("ADO 错误：0x80004005，X"));

    Database short_code(refusing(DbError{0x123, QStringLiteral("y")}));
    EXPECT_FALSE(short_code.open(QString()));
    EXPECT_EQ(short_code.lastError(), QStringLiteral("ADO 错误：0x     123，y")) << "right-aligned in eight places";
}

TEST(Database, AClosedObjectCannotOpenAgain)
{
    EmbeddedTestDatabase file(kHarnessSchema);
    Database database;
    ASSERT_TRUE(database.open(file.connectionString()));
    database.close();
    database.close(); // a second Close finds nothing to do
    EXPECT_FALSE(database.open(file.connectionString()));
    EXPECT_EQ(database.lastError(), QStringLiteral("ADO 错误：0x80004003，(null)"));
    TextTable rows;
    EXPECT_FALSE(database.query(QStringLiteral("select 1"), &rows));
    EXPECT_FALSE(database.execute(QStringLiteral("select 1")));
}

TEST(Database, OpeningTwiceReplacesTheFirstConnection)
{
    EmbeddedTestDatabase first(kHarnessSchema);
    EmbeddedTestDatabase second("CREATE TABLE tblHarnessInfo (HarnessID int, HarnessNo nvarchar(50));"
                                "INSERT INTO tblHarnessInfo VALUES (9, 'other');");
    Database database;
    ASSERT_TRUE(database.open(first.connectionString()));
    ASSERT_TRUE(database.open(second.connectionString()));
    TextTable rows;
    ASSERT_TRUE(database.query(QStringLiteral("select HarnessNo from tblHarnessInfo"), &rows));
    EXPECT_EQ(rows, TextTable({{"other"}}));
}

TEST(Database, UnknownProvidersAndMissingFilesFailToOpenWithAReason)
{
    Database database;
    EXPECT_FALSE(database.open(QStringLiteral("Provider=Oracle.OLEDB;Data Source=x;")));
    EXPECT_TRUE(database.lastError().startsWith(QStringLiteral("ADO 错误：0x800a0e7a，")));
    EXPECT_TRUE(database.lastError().contains(QStringLiteral("Oracle.OLEDB")));
    EXPECT_FALSE(database.open(QStringLiteral("Provider=\"sqlite;Data Source=x;")));
    EXPECT_EQ(database.lastError(),
              QStringLiteral("ADO 错误：0x80004005，连接字符串的格式不对：引号没有闭合，或某一段没有“=”"))
        << "not an unknown provider";

    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("missing.db"));
    EXPECT_FALSE(database.open(QStringLiteral("Provider=sqlite;Data Source=%1;").arg(missing)));
    EXPECT_TRUE(database.lastError().startsWith(QStringLiteral("ADO 错误：0x80004005，")));
    EXPECT_FALSE(QFileInfo::exists(missing)) << "opening never creates a database";
}

TEST(Database, QueriesAppendTextRowsAndEachCallHasItsOwnError)
{
    EmbeddedTestDatabase file(kHarnessSchema);
    Database database;
    ASSERT_TRUE(database.open(file.connectionString()));

    TextTable rows;
    ASSERT_TRUE(database.query(QStringLiteral("select HarnessNo, Note from tblHarnessInfo order by HarnessID"), &rows));
    EXPECT_EQ(rows, TextTable({{"WH-0001", ""}, {"WH-0002", ""}, {"线束-三", "x"}})) << "NULL and '' both give ''";
    ASSERT_TRUE(database.query(QStringLiteral("select HarnessID from tblHarnessInfo where HarnessID=2"), &rows));
    EXPECT_EQ(rows.size(), 4) << "a second query appends";
    EXPECT_EQ(rows.last(), TextRow({"2"}));
    ASSERT_TRUE(database.query(QStringLiteral("select * from tblHarnessInfo where 1=0"), &rows));
    EXPECT_EQ(rows.size(), 4);

    EXPECT_FALSE(database.query(QStringLiteral("selec HarnessNo frm tblHarnessInfo"), &rows));
    EXPECT_EQ(rows.size(), 4);
    const QString failure = database.lastError();
    EXPECT_TRUE(failure.startsWith(QStringLiteral("ADO 错误：0x80004005，"))) << failure.toStdString();
    qint64 changed = -1;
    EXPECT_TRUE(database.execute(QStringLiteral("update tblHarnessInfo set Note='y' where HarnessID=99"), &changed))
        << "an UPDATE matching nothing succeeds";
    EXPECT_EQ(changed, 0);
    EXPECT_TRUE(database.execute(QStringLiteral("update tblHarnessInfo set Note='z' where HarnessID<3;"
                                                "update tblHarnessInfo set Note='w' where HarnessID=3"),
                                 &changed));
    EXPECT_EQ(changed, 3) << "the rows of every statement of a batch";
    EXPECT_TRUE(database.lastError().isEmpty()) << "an older failure never stands in for a newer call's";
    EXPECT_FALSE(database.execute(QStringLiteral("update tblNothing set a=1")));
    EXPECT_NE(database.lastError(), failure);
}

TEST(Database, TransactionsCommitOrLeaveNothing)
{
    EmbeddedTestDatabase file(kHarnessSchema);
    Database database;
    ASSERT_TRUE(database.open(file.connectionString()));
    ASSERT_TRUE(database.beginTransaction());
    ASSERT_TRUE(database.execute(QStringLiteral("insert into tblHarnessInfo values (4, 'WH-0004', NULL)")));
    ASSERT_TRUE(database.rollbackTransaction());
    EXPECT_EQ(file.scalar(QStringLiteral("select count(*) from tblHarnessInfo")), QStringLiteral("3"));

    ASSERT_TRUE(database.beginTransaction());
    ASSERT_TRUE(database.execute(QStringLiteral("insert into tblHarnessInfo values (4, 'WH-0004', NULL)")));
    ASSERT_TRUE(database.commitTransaction());
    EXPECT_EQ(file.scalar(QStringLiteral("select count(*) from tblHarnessInfo")), QStringLiteral("4"));
    EXPECT_FALSE(database.commitTransaction()) << "nothing to commit";
}

// The user cancels from the window while a worker thread waits on the embedded engine: the
// wait ends at once, nothing more runs on the connection but its rollback, and the
// database is as it was.
TEST(Database, CancelledWorkEndsItsWaitAndRunsNothingMoreButTheRollback)
{
    EmbeddedTestDatabase file(kHarnessSchema);
    const QString cancelled = QStringLiteral("ADO 错误：0x80004004，操作已取消");
    const QString insert = QStringLiteral("insert into tblHarnessInfo values (4, 'WH-0004', NULL)");
    const struct
    {
        const char* waitingFor;
        std::function<bool(Database&)> wait;
        bool lockedByAnother;
    } cases[] = {
        {"a long statement",
         [&insert](Database& database) {
             TextTable rows;
             return database.beginTransaction() && database.execute(insert) &&
                    database.query(QStringLiteral("with recursive c(i) as (select 1 union all select i + 1 from c where i < 100000000)"
                                                  " select count(*) from c"),
                                   &rows);
         },
         false},
        {"another program's lock", [](Database& database) { return database.beginTransaction(); }, true},
    };
    for (const auto& c : cases) {
        Database holder;
        ASSERT_TRUE(holder.open(file.connectionString()));
        if (c.lockedByAnother) {
            ASSERT_TRUE(holder.beginTransaction());
        }
        CancellableWork work;
        bool waited = true;
        QStringList errors;
        bool rolledBack = false;
        QElapsedTimer timer;
        timer.start();
        std::thread worker([&] {
            const CancellableWork::Scope scope(work);
            Database database;
            if (!database.open(file.connectionString()))
                return;
            waited = c.wait(database);
            errors.append(database.lastError());
            (void)database.execute(insert);
            errors.append(database.lastError());
            rolledBack = database.rollbackTransaction();
            Database later;
            (void)later.open(file.connectionString());
            errors.append(later.lastError());
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        work.cancel();
        worker.join();
        EXPECT_LT(timer.elapsed(), 2000) << c.waitingFor;
        EXPECT_FALSE(waited) << c.waitingFor;
        EXPECT_EQ(errors, QStringList({cancelled, cancelled, cancelled})) << c.waitingFor;
        EXPECT_EQ(rolledBack, !c.lockedByAnother) << c.waitingFor << ": its own transaction is taken back";
        EXPECT_TRUE(holder.rollbackTransaction() || !c.lockedByAnother);
        EXPECT_EQ(file.scalar(QStringLiteral("select count(*) from tblHarnessInfo")), QStringLiteral("3"))
            << c.waitingFor;
    }
}
