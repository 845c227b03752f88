#include "db/CAdoDatabase.h"
#include "db/SqlLiteral.h"
#include "db/client/AdoTypes.h"
#include "db/client/SqlDialect.h"

#include "tests/support/EmbeddedTestDatabase.h"
#include "tests/support/QtPrinting.h"

#include <gtest/gtest.h>

namespace {

QString TSql(int type, const QString& value)
{
    return SqlLiteralForType(type, value, TransactSqlDialect());
}

// Hostile values: each must come back from the server exactly as it went in.
const QStringList kHostileValues = {
    QStringLiteral("O'Brien"),
    QStringLiteral("'; DROP TABLE tblValues; --"),
    QStringLiteral("''"),
    QStringLiteral("'"),
    QStringLiteral("x'); DELETE FROM tblValues WHERE ('1'='1"),
    QStringLiteral("/* comment */ -- line"),
    QStringLiteral("0x41; SELECT 1"),
    QStringLiteral("N'inner'"),
    QStringLiteral("back\\slash\\'"),
    QStringLiteral("tab\tcr\rlf\n;semicolon"),
    QStringLiteral("线束 'Провод'"),
};

} // namespace

TEST(SqlLiteral, TransactSqlFormsByColumnType)
{
    EXPECT_EQ(TSql(adVarWChar, QStringLiteral("text")), QStringLiteral("N'text'"));
    EXPECT_EQ(TSql(adChar, QStringLiteral("AB")), QStringLiteral("N'AB'")) << "fixed-length text is quoted";
    EXPECT_EQ(TSql(adLongVarChar, QString()), QStringLiteral("N''")) << "an empty text stays text";
    EXPECT_EQ(TSql(adInteger, QStringLiteral("42")), QStringLiteral("42"));
    EXPECT_EQ(TSql(adNumeric, QStringLiteral("-12.50")), QStringLiteral("-12.50"));
    EXPECT_EQ(TSql(adDouble, QStringLiteral("1.5E-3")), QStringLiteral("1.5E-3"));
    EXPECT_EQ(TSql(adInteger, QStringLiteral("4 or 1=1")), QStringLiteral("'4 or 1=1'")) << "not a plain number";
    EXPECT_EQ(TSql(adInteger, QString()), QStringLiteral("NULL"));
    EXPECT_EQ(TSql(adDBTimeStamp, QStringLiteral("2017-04-06")), QStringLiteral("'2017-04-06'"));
    EXPECT_EQ(TSql(adDate, QStringLiteral("2017-04-06")), QStringLiteral("'2017-04-06'")) << "no CDATE";
    EXPECT_EQ(TSql(adDBTimeStamp, QString()), QStringLiteral("NULL"));
    EXPECT_EQ(TSql(adGUID, QStringLiteral("0f8fad5b-d9cb-469f-a165-70867728950e")),
              QStringLiteral("'{0F8FAD5B-D9CB-469F-A165-70867728950E}'"));
    EXPECT_EQ(TSql(adGUID, QStringLiteral("not a guid'")), QStringLiteral("'not a guid'''"));
    EXPECT_EQ(TSql(adVarBinary, QStringLiteral("0aff")), QStringLiteral("0x0AFF"));
    EXPECT_EQ(TSql(adLongVarBinary, QStringLiteral("zz'1")), QStringLiteral("0x0000")) << "hex is read, never pasted";
    EXPECT_EQ(TSql(adBinary, QString()), QStringLiteral("NULL"));
    EXPECT_EQ(TSql(0, QStringLiteral("who knows")), QStringLiteral("N'who knows'"));
    EXPECT_EQ(TSql(-1, QString()), QStringLiteral("N''"));
}

TEST(SqlLiteral, BitTakesTheProgramsWordsAndRefusesTheRest)
{
    for (const char* yes : {"是", "-1", "1", "true"})
        EXPECT_EQ(TSql(adBoolean, QString::fromUtf8(yes)), QStringLiteral("1")) << yes;
    for (const char* no : {"否", "0", "false"})
        EXPECT_EQ(TSql(adBoolean, QString::fromUtf8(no)), QStringLiteral("0")) << no;
    EXPECT_EQ(TSql(adBoolean, QStringLiteral("maybe")), QStringLiteral("'maybe'"));
    EXPECT_EQ(TSql(adBoolean, QString()), QStringLiteral("NULL"));
}

TEST(SqlLiteral, TransactSqlTextLiteralsNeverEndEarly)
{
    for (const QString& value : kHostileValues) {
        const QString literal = TSql(adVarWChar, value);
        ASSERT_TRUE(literal.startsWith(QLatin1String("N'")) && literal.endsWith(QLatin1Char('\'')));
        const QString inner = literal.mid(2, literal.size() - 3);
        // Inside the literal every quote is one of a doubled pair.
        EXPECT_EQ(QString(inner).replace(QLatin1String("''"), QString()).count(QLatin1Char('\'')), 0) << literal.toStdString();
        EXPECT_EQ(QString(inner).replace(QLatin1String("''"), QLatin1String("'")), value);
    }
}

TEST(SqlLiteral, HostileValuesReachTheEmbeddedDatabaseIntact)
{
    EmbeddedTestDatabase file("CREATE TABLE tblValues (Id int, Text nvarchar(100), Stamp datetime, Guid uniqueidentifier,"
                              " Count int, Flag bit);");
    CAdoDatabase database;
    ASSERT_TRUE(database.Open(file.connectionString()));
    int id = 0;
    for (const QString& value : kHostileValues) {
        ++id;
        QString text = value;
        QString stamp = value;
        QString guid = value;
        QString count = value;
        QString flag = value;
        database.FormatSqlLiteral(adVarWChar, text);
        database.FormatSqlLiteral(adDBTimeStamp, stamp);
        database.FormatSqlLiteral(adGUID, guid);
        database.FormatSqlLiteral(adInteger, count);
        database.FormatSqlLiteral(adBoolean, flag);
        ASSERT_TRUE(database.Execute(QStringLiteral("insert into tblValues values (%1, %2, %3, %4, %5, %6)")
                                         .arg(id)
                                         .arg(text, stamp, guid, count, flag)))
            << database.m_strError.toStdString();
        TextTable rows;
        ASSERT_TRUE(database.Query(QStringLiteral("select Text, Stamp, Guid, Count from tblValues where Text=%1").arg(text),
                                   &rows));
        ASSERT_EQ(rows.size(), 1) << value.toStdString();
        EXPECT_EQ(rows[0], TextRow({value, value, value, value}));
    }
    EXPECT_EQ(file.scalar(QStringLiteral("select count(*) from tblValues")), QString::number(kHostileValues.size()));
}
