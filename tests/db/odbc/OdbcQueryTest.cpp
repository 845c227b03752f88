#include "db/client/SqlDialect.h"
#include "db/odbc/OdbcApi.h"
#include "db/odbc/OdbcConnectionString.h"
#include "db/odbc/OdbcResult.h"
#include "tests/db/odbc/OdbcTestServer.h"
#include "tests/support/QtPrinting.h"

using namespace korvel;

namespace {

QString description(const DbError& error)
{
    return error.description.value_or(QString());
}

TEST_F(OdbcServerTest, ExecuteChangesRowsAndUpdateOfNoRowSucceeds)
{
    const QString table = createTable(QStringLiteral("id int4, name varchar(20)"));
    runSql(QStringLiteral("insert into %1 values (1, 'a'), (2, 'b')").arg(table));
    runSql(QStringLiteral("update %1 set name = 'c' where id = 2").arg(table));
    runSql(QStringLiteral("update %1 set name = 'x' where id = 99").arg(table));
    runSql(QStringLiteral("delete from %1 where id = 99").arg(table));
    // A statement that returns rows runs too; its rows are dropped.
    runSql(QStringLiteral("select * from %1").arg(table));

    const QList<QList<DbValue>> rows = queryRows(QStringLiteral("select id, name from %1 order by id").arg(table));
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0][1].text, QStringLiteral("a"));
    EXPECT_EQ(rows[1][1].text, QStringLiteral("c"));
}

TEST_F(OdbcServerTest, FailedStatementsGiveTheServersTextAndLeaveTheClientUsable)
{
    DbError error;
    qint64 rows = 0;
    EXPECT_FALSE(m_client.execute(QStringLiteral("update no_such_table_q1 set a = 1"), rows, error));
    EXPECT_EQ(error.code, DbError::kFail);
    EXPECT_TRUE(description(error).contains(QLatin1String("no_such_table_q1"))) << description(error).toStdString();

    error = {};
    EXPECT_EQ(m_client.openCursor(QStringLiteral("selec 1"), error), nullptr);
    EXPECT_EQ(error.code, DbError::kFail);
    EXPECT_TRUE(description(error).contains(QLatin1String("syntax error"))) << description(error).toStdString();

    EXPECT_EQ(queryRows(QStringLiteral("select 2"))[0][0].text, QStringLiteral("2"));
}

TEST_F(OdbcServerTest, EveryColumnKindArrivesInTheProgramsForm)
{
    const QString table = createTable(QStringLiteral(
        "i2 int2, i4 int4, i8 int8, b boolean, n numeric(12,3), t text, vc varchar(20), c char(5), u uuid, "
        "by bytea, ts timestamp, d date, tm time(3), f float8, nul int4"));
    runSql(
        QStringLiteral("insert into %1 values (-12, 123456, 9000000000, true, 12345.678, 'text', 'varchar', 'ab', "
                       "'6f9619ff-8b86-d011-b42d-00c04fc964ff', '\\x0aff00', '2024-02-29 13:45:07.25', '2024-02-29', "
                       "'13:45:07.25', 1.25, null)")
            .arg(table));
    runSql(QStringLiteral("insert into %1 values (0, 0, 0, false, -0.5, '', '', '', null, '', '2024-03-01', null, "
                          "null, -2, null)")
               .arg(table));

    std::unique_ptr<DbCursor> cursor = openCursor(QStringLiteral("select * from %1 order by i2").arg(table));
    ASSERT_TRUE(cursor);
    struct Expected
    {
        const char* name;
        int adoType;
    };
    // The Unicode driver reports every character type as wide; bytea as long binary with
    // ByteaAsLongVarBinary=1, as SQL Server reports image.
    const Expected fields[] = {{"i2", 2},   {"i4", 3},   {"i8", 20},  {"b", 11}, {"n", 131},
                               {"t", 203},  {"vc", 202}, {"c", 130},  {"u", 72}, {"by", 205},
                               {"ts", 135}, {"d", 202},  {"tm", 202}, {"f", 5},  {"nul", 3}};
    ASSERT_EQ(cursor->fieldCount(), static_cast<int>(std::size(fields)));
    for (int i = 0; i < cursor->fieldCount(); ++i) {
        EXPECT_EQ(cursor->fieldName(i), QString::fromLatin1(fields[i].name));
        EXPECT_EQ(cursor->fieldType(i), fields[i].adoType) << fields[i].name;
    }

    const auto texts = [&cursor]() {
        QStringList row;
        DbError error;
        for (int i = 0; i < cursor->fieldCount(); ++i) {
            DbValue value;
            EXPECT_TRUE(cursor->readValue(i, value, error)) << description(error).toStdString();
            switch (value.kind) {
            case DbValue::Kind::Null: row.append(QStringLiteral("NULL")); break;
            case DbValue::Kind::Bytes:
                row.append(QStringLiteral("0x") + QString::fromLatin1(value.bytes.toHex()));
                break;
            case DbValue::Kind::Text: row.append(value.text); break;
            }
        }
        return row;
    };
    DbError error;
    ASSERT_FALSE(cursor->atEnd());
    EXPECT_EQ(texts(), QStringList({"-12", "123456", "9000000000", "-1", "12345.678", "text", "varchar", "ab   ",
                                    "{6F9619FF-8B86-D011-B42D-00C04FC964FF}", "0x0aff00", "2024-02-29 13:45:07.250",
                                    "2024-02-29", "13:45:07.25", "1.25", "NULL"}));
    ASSERT_TRUE(cursor->moveNext(error));
    ASSERT_FALSE(cursor->atEnd());
    // Empty texts and empty binary values are values, not NULL.
    EXPECT_EQ(texts(), QStringList({"0", "0", "0", "0", "-0.500", "", "", "     ", "NULL", "0x", "2024-03-01", "NULL",
                                    "NULL", "-2", "NULL"}));
    ASSERT_TRUE(cursor->moveNext(error));
    EXPECT_TRUE(cursor->atEnd());
}

TEST_F(OdbcServerTest, TextInEveryScriptSurvivesTheLiteralAndTheRead)
{
    const QString table = createTable(QStringLiteral("id int4, t text, vc varchar(200)"));
    const QStringList texts = {
        QStringLiteral("导通测试 绝缘测试"),
        QStringLiteral("日本語のテキスト"),
        QStringLiteral("한국어"),
        QStringLiteral("Ελληνικά и кириллица"),
        QStringLiteral("עברית والعربية"),
        QStringLiteral("𠀀𠀁 emoji 😀 outside the BMP"),
        QStringLiteral("it's \"quoted\" \\ back\\slash; semi"),
    };
    for (int i = 0; i < texts.size(); ++i) {
        const QString literal = m_client.dialect().textLiteral(texts[i]);
        runSql(QStringLiteral("insert into %1 values (%2, %3, %3)").arg(table).arg(i).arg(literal));
    }
    const QList<QList<DbValue>> rows = queryRows(QStringLiteral("select t, vc from %1 order by id").arg(table));
    ASSERT_EQ(rows.size(), texts.size());
    for (int i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(rows[i][0].text, texts[i]);
        EXPECT_EQ(rows[i][1].text, texts[i]);
    }
}

TEST_F(OdbcServerTest, LongTextIsReadWholeAcrossChunks)
{
    // About 1 MB of UTF-16, mixing one-unit characters with surrogate pairs so that chunk
    // boundaries fall inside characters.
    QString text;
    const QString pattern = QStringLiteral("绝缘a𠀀b😀c");
    while (text.size() < 512 * 1024)
        text += pattern;
    const QString table = createTable(QStringLiteral("t text"));
    runSql(QStringLiteral("insert into %1 values (%2)").arg(table, m_client.dialect().textLiteral(text)));

    const QList<QList<DbValue>> rows = queryRows(QStringLiteral("select t from %1").arg(table));
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0][0].text.size(), text.size());
    EXPECT_TRUE(rows[0][0].text == text);
}

TEST_F(OdbcServerTest, BinaryLiteralsCarryEveryByte)
{
    QByteArray bytes;
    for (int i = 0; i < 256; ++i)
        bytes.append(static_cast<char>(i));
    const QString table = createTable(QStringLiteral("id int4, b bytea"));
    runSql(QStringLiteral("insert into %1 values (1, %2), (2, %3)")
               .arg(table, m_client.dialect().binaryLiteral(bytes), m_client.dialect().binaryLiteral(QByteArray())));

    const QList<QList<DbValue>> rows = queryRows(QStringLiteral("select b from %1 order by id").arg(table));
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0][0].kind, DbValue::Kind::Bytes);
    EXPECT_EQ(rows[0][0].bytes, bytes);
    EXPECT_EQ(rows[1][0].kind, DbValue::Kind::Bytes);
    EXPECT_TRUE(rows[1][0].bytes.isEmpty());
}

TEST_F(OdbcServerTest, StatementWithoutRowsGivesAnEmptyCursor)
{
    const QString table = createTable(QStringLiteral("id int4"));
    for (const QString& sql : {QStringLiteral("insert into %1 values (1)").arg(table),
                               QStringLiteral("update %1 set id = 2 where id = 99").arg(table)}) {
        std::unique_ptr<DbCursor> cursor = openCursor(sql);
        ASSERT_TRUE(cursor) << sql.toStdString();
        EXPECT_EQ(cursor->fieldCount(), 0);
        EXPECT_TRUE(cursor->atEnd());
    }
    // A query without rows still describes its fields.
    std::unique_ptr<DbCursor> cursor = openCursor(QStringLiteral("select id from %1 where id < 0").arg(table));
    ASSERT_TRUE(cursor);
    EXPECT_EQ(cursor->fieldCount(), 1);
    EXPECT_EQ(cursor->fieldName(0), QStringLiteral("id"));
    EXPECT_TRUE(cursor->atEnd());
}

// Each result set of a batch that has columns comes in its turn, an empty one too; the row
// counts between them are passed over.
TEST_F(OdbcServerTest, EachResultSetOfABatchFollowsTheOneBefore)
{
    const QString table = createTable(QStringLiteral("id int4"));
    std::unique_ptr<DbCursor> cursor =
        openCursor(QStringLiteral("select 1 where false; insert into %1 values (7), (8); select id from %1 order by id;"
                                  " select 'last'")
                       .arg(table));
    QList<QStringList> results;
    for (; cursor; cursor = cursor->takeNextResult()) {
        QStringList values;
        DbError error;
        for (DbValue value; !cursor->atEnd(); values.append(value.text))
            ASSERT_TRUE(cursor->readValue(0, value, error) && cursor->moveNext(error));
        results.append(values);
    }
    EXPECT_EQ(results, QList<QStringList>({{}, {"7", "8"}, {"last"}}));
}

TEST_F(OdbcServerTest, OpenCursorDoesNotHoldTheConnection)
{
    const QString table = createTable(QStringLiteral("id int4"));
    runSql(QStringLiteral("insert into %1 values (1), (2), (3)").arg(table));
    std::unique_ptr<DbCursor> cursor = openCursor(QStringLiteral("select id from %1 order by id").arg(table));
    ASSERT_TRUE(cursor);
    // Other statements run while the cursor is open, and the cursor outlives the connection.
    runSql(QStringLiteral("delete from %1").arg(table));
    DbError error;
    ASSERT_TRUE(m_client.close(error));

    QStringList ids;
    while (!cursor->atEnd()) {
        DbValue value;
        ASSERT_TRUE(cursor->readValue(0, value, error));
        ids.append(value.text);
        ASSERT_TRUE(cursor->moveNext(error));
    }
    EXPECT_EQ(ids, QStringList({"1", "2", "3"}));
}

} // namespace

TEST_F(OdbcServerTest, AValueTheDriverCannotGiveIsAnEmptyCellAndReadingGoesOn)
{
    // The driver refuses a value of a column the row does not have, as it would refuse one it
    // cannot convert.
    QString odbc;
    QString failure;
    ASSERT_TRUE(translateConnectionString(m_connect, OdbcFlavour::Generic, {}, odbc, failure));
    OdbcHandle environment(SQL_HANDLE_ENV);
    OdbcHandle connection(SQL_HANDLE_DBC);
    OdbcHandle statement(SQL_HANDLE_STMT);
    ASSERT_TRUE(SQL_SUCCEEDED(environment.allocate(SQL_NULL_HANDLE)));
    SQLSetEnvAttr(environment.get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    ASSERT_TRUE(SQL_SUCCEEDED(connection.allocate(environment.get())));
    ASSERT_TRUE(SQL_SUCCEEDED(SQLDriverConnectW(connection.get(), nullptr, odbcInput(odbc), SQL_NTS, nullptr, 0,
                                                nullptr, SQL_DRIVER_NOPROMPT)));
    ASSERT_TRUE(SQL_SUCCEEDED(statement.allocate(connection.get())));
    const QString sql = QStringLiteral("select 'first', 'second'");
    ASSERT_TRUE(SQL_SUCCEEDED(SQLExecDirectW(statement.get(), odbcInput(sql), SQL_NTS)));
    ASSERT_TRUE(SQL_SUCCEEDED(SQLFetch(statement.get())));
    DbValue value = DbValue::fromText(QStringLiteral("stale"));
    DbError error;
    ASSERT_TRUE(readOdbcValue(statement.get(), 1, OdbcValueKind::Text, value, error));
    EXPECT_EQ(value.text, QStringLiteral("first"));
    ASSERT_TRUE(readOdbcValue(statement.get(), 9, OdbcValueKind::Text, value, error));
    EXPECT_EQ(value.kind, DbValue::Kind::Null);
    ASSERT_TRUE(readOdbcValue(statement.get(), 2, OdbcValueKind::Text, value, error));
    EXPECT_EQ(value.text, QStringLiteral("second"));
}
