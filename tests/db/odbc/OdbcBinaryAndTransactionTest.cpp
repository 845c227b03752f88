#include "tests/db/odbc/OdbcTestServer.h"
#include "tests/support/QtPrinting.h"

using namespace korvel;

namespace {

QString description(const DbError& error)
{
    return error.description.value_or(QString());
}

// Bytes that no simple encoding mistake would leave intact: every value, in a sequence
// that does not repeat at chunk boundaries.
QByteArray patternBytes(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    quint32 state = 2463534242u;
    for (qsizetype i = 0; i < size; ++i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        bytes[i] = static_cast<char>(state & 0xff);
    }
    return bytes;
}

TEST_F(OdbcServerTest, ExecuteWithBinaryStoresSeveralMegabytes)
{
    const QString table = createTable(QStringLiteral("id int4, data bytea"));
    runSql(QStringLiteral("insert into %1 values (1, null), (2, null)").arg(table));
    const QByteArray bytes = patternBytes(5 * 1024 * 1024 + 7);

    qint64 rowsChanged = -1;
    DbError error;
    ASSERT_TRUE(m_client.executeWithBinary(QStringLiteral("update %1 set data = ? where id = 1").arg(table), bytes,
                                           rowsChanged, error))
        << description(error).toStdString();
    EXPECT_EQ(rowsChanged, 1);

    const QList<QList<DbValue>> rows = queryRows(QStringLiteral("select data from %1 order by id").arg(table));
    ASSERT_EQ(rows.size(), 2);
    ASSERT_EQ(rows[0][0].kind, DbValue::Kind::Bytes);
    EXPECT_EQ(rows[0][0].bytes.size(), bytes.size());
    EXPECT_TRUE(rows[0][0].bytes == bytes);
    EXPECT_EQ(rows[1][0].kind, DbValue::Kind::Null);
}

TEST_F(OdbcServerTest, ExecuteWithBinaryCountsRowsAndTakesEmptyValues)
{
    const QString table = createTable(QStringLiteral("id int4, data bytea"));
    runSql(QStringLiteral("insert into %1 values (1, null), (2, null), (3, null)").arg(table));

    qint64 rowsChanged = -1;
    DbError error;
    ASSERT_TRUE(m_client.executeWithBinary(QStringLiteral("update %1 set data = ? where id = 99").arg(table),
                                           QByteArray("x"), rowsChanged, error))
        << description(error).toStdString();
    EXPECT_EQ(rowsChanged, 0);

    ASSERT_TRUE(m_client.executeWithBinary(QStringLiteral("update %1 set data = ? where id >= 2").arg(table),
                                           QByteArray(), rowsChanged, error))
        << description(error).toStdString();
    EXPECT_EQ(rowsChanged, 2);
    const QList<QList<DbValue>> rows = queryRows(QStringLiteral("select data from %1 where id = 2").arg(table));
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0][0].kind, DbValue::Kind::Bytes);
    EXPECT_TRUE(rows[0][0].bytes.isEmpty());

    ASSERT_TRUE(m_client.executeWithBinary(QStringLiteral("insert into %1 values (4, ?)").arg(table),
                                           QByteArray::fromHex("0aff00"), rowsChanged, error))
        << description(error).toStdString();
    EXPECT_EQ(rowsChanged, 1);
    EXPECT_EQ(queryRows(QStringLiteral("select data from %1 where id = 4").arg(table))[0][0].bytes,
              QByteArray::fromHex("0aff00"));
}

TEST_F(OdbcServerTest, ExecuteWithBinaryFailureGivesTheServersText)
{
    qint64 rowsChanged = -1;
    DbError error;
    EXPECT_FALSE(m_client.executeWithBinary(QStringLiteral("update no_such_table_b1 set data = ?"), QByteArray("x"),
                                            rowsChanged, error));
    EXPECT_EQ(error.code, DbError::kFail);
    EXPECT_TRUE(description(error).contains(QLatin1String("no_such_table_b1"))) << description(error).toStdString();
}

// What a second connection sees: only what the first has committed.
QString countSeenElsewhere(const QString& connect, const QString& table)
{
    OdbcClient other(OdbcFlavour::Generic);
    DbError error;
    std::unique_ptr<DbCursor> cursor;
    if (other.open(connect, error))
        cursor = other.openCursor(QStringLiteral("select count(*) from %1").arg(table), error);
    DbValue value;
    if (!cursor || !cursor->readValue(0, value, error))
        return description(error);
    return value.text;
}

TEST_F(OdbcServerTest, RollbackLeavesNothingAndCommitKeeps)
{
    const QString table = createTable(QStringLiteral("id int4"));
    DbError error;
    ASSERT_TRUE(m_client.beginTransaction(error)) << description(error).toStdString();
    runSql(QStringLiteral("insert into %1 values (1), (2)").arg(table));
    EXPECT_EQ(count(table), 2);
    ASSERT_TRUE(m_client.rollbackTransaction(error)) << description(error).toStdString();
    EXPECT_EQ(count(table), 0);

    ASSERT_TRUE(m_client.beginTransaction(error)) << description(error).toStdString();
    runSql(QStringLiteral("insert into %1 values (3)").arg(table));
    ASSERT_TRUE(m_client.commitTransaction(error)) << description(error).toStdString();

    // After the transaction every statement stands on its own again: another connection
    // sees it at once.
    runSql(QStringLiteral("insert into %1 values (4)").arg(table));
    EXPECT_EQ(countSeenElsewhere(m_connect, table), QStringLiteral("2"));
}

TEST_F(OdbcServerTest, ClosingInsideATransactionGivesItUp)
{
    const QString table = createTable(QStringLiteral("id int4"));
    DbError error;
    ASSERT_TRUE(m_client.beginTransaction(error)) << description(error).toStdString();
    runSql(QStringLiteral("insert into %1 values (1)").arg(table));
    ASSERT_TRUE(m_client.close(error)) << description(error).toStdString();

    ASSERT_TRUE(m_client.open(m_connect, error)) << description(error).toStdString();
    EXPECT_EQ(count(table), 0);
    // The new connection commits each statement by itself.
    runSql(QStringLiteral("insert into %1 values (2)").arg(table));
    EXPECT_EQ(countSeenElsewhere(m_connect, table), QStringLiteral("1"));
}

} // namespace
