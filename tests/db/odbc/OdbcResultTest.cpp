#include "db/Database.h"
#include "db/odbc/OdbcResult.h"
#include "tests/db/odbc/FakeTdsServer.h"
#include "tests/support/QtPrinting.h"

#include <gtest/gtest.h>

using namespace korvel;

namespace {

QList<BufferedCursor::Field> oneField()
{
    return {{QStringLiteral("name"), 202}};
}

QList<BufferedCursor::Row> bufferedRows(std::initializer_list<const char*> texts)
{
    QList<BufferedCursor::Row> rows;
    for (const char* text : texts)
        rows.append({DbValue::fromText(QString::fromUtf8(text))});
    return rows;
}

TEST(BufferedCursorTest, DeliversTheRowsInOrder)
{
    BufferedCursor cursor(oneField(), bufferedRows({"a", "b"}), std::nullopt);
    ASSERT_EQ(cursor.fieldCount(), 1);
    EXPECT_EQ(cursor.fieldName(0), QStringLiteral("name"));
    EXPECT_EQ(cursor.fieldType(0), 202);

    DbError error;
    DbValue value;
    ASSERT_FALSE(cursor.atEnd());
    ASSERT_TRUE(cursor.readValue(0, value, error));
    EXPECT_EQ(value.text, QStringLiteral("a"));
    ASSERT_TRUE(cursor.moveNext(error));
    ASSERT_TRUE(cursor.readValue(0, value, error));
    EXPECT_EQ(value.text, QStringLiteral("b"));
    ASSERT_TRUE(cursor.moveNext(error));
    EXPECT_TRUE(cursor.atEnd());

    EXPECT_FALSE(cursor.moveNext(error));
    EXPECT_EQ(error.code, DbError::kPointer);
    EXPECT_FALSE(cursor.readValue(0, value, error));
}

TEST(BufferedCursorTest, ReadingErrorArrivesAfterTheRowsReadBeforeIt)
{
    BufferedCursor cursor(oneField(), bufferedRows({"a"}), DbError::driverFailure(QStringLiteral("lost connection")));
    DbError error;
    DbValue value;
    ASSERT_TRUE(cursor.readValue(0, value, error));
    EXPECT_EQ(value.text, QStringLiteral("a"));
    EXPECT_FALSE(cursor.moveNext(error));
    EXPECT_EQ(error.code, DbError::kFail);
    EXPECT_EQ(error.description, QStringLiteral("lost connection"));
}

TEST(BufferedCursorTest, FieldsOutOfRangeAreRefused)
{
    BufferedCursor cursor(oneField(), bufferedRows({"a"}), std::nullopt);
    DbError error;
    DbValue value;
    EXPECT_FALSE(cursor.readValue(1, value, error));
    EXPECT_FALSE(cursor.readValue(-1, value, error));
    EXPECT_EQ(cursor.fieldName(1), QString());
    EXPECT_EQ(cursor.fieldType(-1), 0);
}

TEST(BufferedCursorTest, ResultWithoutFieldsIsAtItsEnd)
{
    BufferedCursor cursor({}, {}, std::nullopt);
    EXPECT_EQ(cursor.fieldCount(), 0);
    EXPECT_TRUE(cursor.atEnd());
}

TEST(OdbcValueFailureTest, OnlyAConnectionOrStatementFailureEndsTheQuery)
{
    // A link gone, a timeout, a cancel, no memory, a call out of sequence.
    for (const char* state : {"08S01", "08001", "HYT00", "HYT01", "HY008", "HY001", "HY010"})
        EXPECT_TRUE(endsTheQuery(QString::fromLatin1(state))) << state;
    // A number out of range, a text that is no number, a type the driver cannot convert.
    for (const char* state : {"22003", "22018", "07006", ""})
        EXPECT_FALSE(endsTheQuery(QString::fromLatin1(state))) << state;
}

TEST(OdbcResultTest, AnErrorAfterTheFirstResultSetFailsTheQuery)
{
    FakeTdsServer server(FakeTdsServer::oneRowThenAnError());
    Database database;
    ASSERT_TRUE(database.open(server.connectionString())) << database.lastError().toStdString();
    TextTable rows;
    EXPECT_FALSE(database.query(QStringLiteral("select 1; select 1/0"), &rows));
    EXPECT_TRUE(database.lastError().endsWith(QStringLiteral("late failure"))) << database.lastError().toStdString();
}

} // namespace
