#include "db/Database.h"
#include "db/client/ConnectionString.h"
#include "tests/db/odbc/OdbcTestServer.h"
#include "tests/support/QtPrinting.h"

using namespace korvel;

namespace {

const QString kAdoFailure = QStringLiteral("ADO 错误：0x80004005，");

// The wrapper over the ODBC client that its default factory picks for the MSDASQL provider;
// the fixture's own client makes and drops the tables.
class DatabaseOverOdbcTest : public OdbcServerTest
{
protected:
    void openDatabase()
    {
        ASSERT_TRUE(m_database.open(m_connect)) << m_database.lastError().toStdString();
    }

    Database m_database;
};

TEST_F(DatabaseOverOdbcTest, RefusedLoginShowsTheServersTextInTheAdoForm)
{
    EXPECT_FALSE(m_database.open(withAttribute(m_connect, QStringLiteral("PWD"), QStringLiteral("wrong"))));
    EXPECT_TRUE(m_database.lastError().startsWith(kAdoFailure)) << m_database.lastError().toStdString();
    EXPECT_TRUE(m_database.lastError().contains(QLatin1String("password authentication failed")))
        << m_database.lastError().toStdString();

    Database unparsable;
    EXPECT_FALSE(unparsable.open(withAttribute(m_connect, QStringLiteral("PWD"), QStringLiteral("\"open"))));
    EXPECT_EQ(unparsable.lastError(), kAdoFailure + kUnparsableConnectionString);
}

TEST_F(DatabaseOverOdbcTest, QueryGivesEveryKindAsText)
{
    const QString table = createTable(QStringLiteral("id int4, flag boolean, amount numeric(10,2), name varchar(50), "
                                                     "note text, guid uuid, picture bytea, stamp timestamp"));
    runSql(QStringLiteral("insert into %1 values (1, true, 12.5, '线束-一', null, "
                       "'6f9619ff-8b86-d011-b42d-00c04fc964ff', '\\x0aff00', '2017-04-06 08:09:10'), "
                       "(2, false, -3, '', 'x', null, '', '2017-04-06')")
            .arg(table));
    openDatabase();

    TextTable rows;
    ASSERT_TRUE(m_database.query(QStringLiteral("select * from %1 order by id").arg(table), &rows))
        << m_database.lastError().toStdString();
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0], TextRow({"1", "-1", "12.50", "线束-一", "", "{6F9619FF-8B86-D011-B42D-00C04FC964FF}", "0AFF00",
                                "2017-04-06 08:09:10"}));
    EXPECT_EQ(rows[1], TextRow({"2", "0", "-3.00", "", "x", "", "", "2017-04-06"}));

    // A second query appends; one without rows adds nothing.
    ASSERT_TRUE(m_database.query(QStringLiteral("select id from %1 where id = 2").arg(table), &rows));
    ASSERT_TRUE(m_database.query(QStringLiteral("select id from %1 where id = 3").arg(table), &rows));
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[2], TextRow({"2"}));
    EXPECT_EQ(m_database.lastError(), QString());
}

TEST_F(DatabaseOverOdbcTest, ExecuteReportsTheServersTextUntilTheNextCall)
{
    const QString table = createTable(QStringLiteral("id int4"));
    openDatabase();
    qint64 changed = -1;
    EXPECT_TRUE(m_database.execute(QStringLiteral("insert into %1 values (1), (2)").arg(table), &changed));
    EXPECT_EQ(changed, 2);
    EXPECT_TRUE(m_database.execute(QStringLiteral("update %1 set id = 2 where id = 99").arg(table), &changed));
    EXPECT_EQ(changed, 0);

    EXPECT_FALSE(m_database.execute(QStringLiteral("insert into no_such_table_c1 values (1)")));
    EXPECT_TRUE(m_database.lastError().startsWith(kAdoFailure)) << m_database.lastError().toStdString();
    EXPECT_TRUE(m_database.lastError().contains(QLatin1String("no_such_table_c1")));

    const QString failure = m_database.lastError();
    TextTable rows;
    EXPECT_FALSE(m_database.query(QStringLiteral("select nothing from %1").arg(table), &rows));
    EXPECT_TRUE(rows.isEmpty());
    EXPECT_NE(m_database.lastError(), failure);
    EXPECT_TRUE(m_database.execute(QStringLiteral("delete from %1").arg(table)));
    EXPECT_TRUE(m_database.lastError().isEmpty()) << "an older failure never stands in for a newer call's";
}

TEST_F(DatabaseOverOdbcTest, RolledBackImportLeavesNothing)
{
    const QString table = createTable(QStringLiteral("id int4, name text"));
    openDatabase();
    ASSERT_TRUE(m_database.beginTransaction()) << m_database.lastError().toStdString();
    ASSERT_TRUE(m_database.execute(QStringLiteral("insert into %1 values (1, %2)")
                                       .arg(table, m_database.textLiteral(QStringLiteral("it's 标签")))));
    ASSERT_TRUE(m_database.rollbackTransaction()) << m_database.lastError().toStdString();
    EXPECT_EQ(count(table), 0);

    ASSERT_TRUE(m_database.beginTransaction());
    ASSERT_TRUE(m_database.execute(QStringLiteral("insert into %1 values (2, %2)")
                                       .arg(table, m_database.textLiteral(QStringLiteral("it's 标签")))));
    ASSERT_TRUE(m_database.commitTransaction());
    TextTable rows;
    ASSERT_TRUE(m_database.query(QStringLiteral("select name from %1").arg(table), &rows));
    EXPECT_EQ(rows, TextTable({{QStringLiteral("it's 标签")}}));
}

} // namespace
