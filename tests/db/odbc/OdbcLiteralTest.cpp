// Values written into statements stay values on a PostgreSQL database whose plain literals
// read a backslash as an escape, as databases upgraded from old servers keep them.

#include "db/Database.h"
#include "db/client/SqlDialect.h"
#include "tests/db/odbc/FakeTdsServer.h"
#include "tests/db/odbc/OdbcTestServer.h"
#include "tests/support/QtPrinting.h"

#include <QScopeGuard>
#include <QUuid>

using namespace korvel;

namespace {

QString description(const DbError& error)
{
    return error.description.value_or(QString());
}

TEST_F(OdbcServerTest, HostileValuesStayValuesWithoutStandardConformingStrings)
{
    const QString database = QStringLiteral("odbc_test_%1").arg(QUuid::createUuid().toString(QUuid::Id128));
    runSql(QStringLiteral("create database %1").arg(database));
    runSql(QStringLiteral("alter database %1 set standard_conforming_strings=off").arg(database));
    OdbcClient client(OdbcFlavour::Generic);
    DbError error;
    const auto dropDatabase = qScopeGuard([&] {
        (void)client.close(error);
        runSql(QStringLiteral("drop database %1 with (force)").arg(database));
    });
    ASSERT_TRUE(client.open(withAttribute(m_connect, QStringLiteral("Database"), database), error))
        << description(error).toStdString();
    qint64 rows = 0;
    const auto run = [&client, &rows, &error](const QString& sql) { return client.execute(sql, rows, error); };
    ASSERT_TRUE(run(QStringLiteral("create table victim (id int4)")));
    ASSERT_TRUE(run(QStringLiteral("create table hostile (id int4, text varchar(100), data bytea)")));

    const QStringList values = {QStringLiteral("\\');drop table victim;--"), QStringLiteral("C:\\new\\table"),
                                QStringLiteral("O'Brien\\"), QStringLiteral("\\\\'"), QStringLiteral("线\\'\n")};
    for (int id = 0; id < values.size(); ++id) {
        const QString& value = values[id];
        ASSERT_TRUE(run(QStringLiteral("insert into hostile (id, text, data) values (%1, %2, %3)")
                            .arg(id)
                            .arg(sqlLiteralForType({adVarChar, 100}, value, client.dialect()),
                                 sqlLiteralForType({adVarBinary}, QString::fromLatin1(value.toUtf8().toHex()),
                                                   client.dialect()))))
            << value.toStdString() << ": " << description(error).toStdString();
    }

    std::unique_ptr<DbCursor> cursor =
        client.openCursor(QStringLiteral("select text, data from hostile order by id"), error);
    ASSERT_TRUE(cursor) << description(error).toStdString();
    for (const QString& value : values) {
        ASSERT_FALSE(cursor->atEnd());
        DbValue text;
        DbValue data;
        ASSERT_TRUE(cursor->readValue(0, text, error) && cursor->readValue(1, data, error));
        EXPECT_EQ(text.text, value);
        EXPECT_EQ(data.bytes, value.toUtf8());
        ASSERT_TRUE(cursor->moveNext(error));
    }
    EXPECT_TRUE(cursor->atEnd());
    EXPECT_TRUE(client.openCursor(QStringLiteral("select count(*) from victim"), error)) << "the table is still there";
}

TEST(OdbcLiteralTest, ASourceThatCannotTellHowItReadsABackslashIsRefused)
{
    // It calls itself "K", and its answer to the question is no text.
    FakeTdsServer server(FakeTdsServer::oneRowThenAnError());
    OdbcClient client(OdbcFlavour::Generic);
    DbError error;
    EXPECT_FALSE(client.open(QStringLiteral("Provider=MSDASQL;Driver={FreeTDS};Server=127.0.0.1;Port=%1;"
                                            "TDS_Version=7.4;UID=sa;PWD=x;")
                                 .arg(server.port()),
                             error));
    EXPECT_EQ(description(error), QStringLiteral("不支持数据库 K：无法确定它如何读取文本中的反斜杠，不能安全地写入数据"));
    EXPECT_FALSE(client.isOpen());
}

} // namespace
