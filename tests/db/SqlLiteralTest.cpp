// The text of the statements that only SQL Server sees (N'…', 0x…, dates no login language
// can misread, SCOPE_IDENTITY(), top), pinned per statement kind; and the forms in which
// the other engines differ.

#include "db/Database.h"
#include "db/client/DbClient.h"
#include "db/client/SqlDialect.h"
#include "db/odbc/OdbcResult.h"

#include "tests/support/EmbeddedTestDatabase.h"
#include "tests/support/QtPrinting.h"

#include <gtest/gtest.h>

#include <optional>

using namespace korvel;

namespace {

QString transactSqlLiteral(const ColumnType& type, const QString& value)
{
    return sqlLiteralForType(type, value, transactSqlDialect());
}

const ColumnType kNVarChar50{adVarWChar, 50};
const ColumnType kNChar4{adWChar, 4};
const ColumnType kInt{adInteger};
const ColumnType kDecimal62{adNumeric, 6, 2};
const ColumnType kDecimal3810{adNumeric, 38, 10};
const ColumnType kMoney{adCurrency, 19, 4};
const ColumnType kFloat{adDouble};
const ColumnType kBit{adBoolean};
const ColumnType kDateTime{adDBTimeStamp, 23, 3};
const ColumnType kSmallDateTime{adDBTimeStamp, 16, 0};
const ColumnType kGuid{adGUID};
const ColumnType kVarBinary4{adVarBinary, 4};
const ColumnType kBinary4{adBinary, 4};
const ColumnType kImage{adLongVarBinary};

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

enum class Reading { Standard, BackslashEscapes };

// The value an engine reads from a literal, or nothing when the literal ends before the text
// does or never ends. With escapes, a backslash takes the next character as it stands.
std::optional<QString> readWholeLiteral(const QString& literal, Reading reading)
{
    if (!literal.startsWith(QLatin1Char('\'')))
        return std::nullopt;
    QString value;
    for (qsizetype i = 1; i < literal.size(); ++i) {
        const QChar c = literal[i];
        if (reading == Reading::BackslashEscapes && c == QLatin1Char('\\') && i + 1 < literal.size()) {
            value += literal[++i];
        } else if (c != QLatin1Char('\'')) {
            value += c;
        } else if (i + 1 < literal.size() && literal[i + 1] == QLatin1Char('\'')) {
            value += c;
            ++i;
        } else {
            return i == literal.size() - 1 ? std::optional(value) : std::nullopt;
        }
    }
    return std::nullopt;
}

} // namespace

TEST(SqlLiteral, TransactSqlFormsByColumnType)
{
    struct Case
    {
        ColumnType type;
        const char* value;
        const char* literal;
    };
    const Case cases[] = {
        {kNVarChar50, "text", "N'text'"},
        {kNChar4, "AB", "N'AB  '"}, // SQL Server pads a fixed-length text
        {ColumnType{adLongVarChar}, "", "N''"},
        {kInt, "42", "42"},
        {kInt, " +42 ", "42"},
        {kInt, "4 or 1=1", "'4 or 1=1'"}, // no number: quoted, for the server to refuse
        {kInt, "1.5", "'1.5'"},
        {kInt, "", "NULL"},
        {kDecimal62, "-12.505", "-12.51"},
        {kDecimal62, "12", "12.00"},
        {ColumnType{adNumeric}, "-12.50", "-12.50"}, // precision unknown: as it stands
        {kMoney, "-$1,234.5", "-1234.5000"},
        {kFloat, "1.5E-3", "0.0015"},
        {kDateTime, "2017-04-06", "'20170406'"},
        {kDateTime, "2017-04-06 12:30:00", "'2017-04-06T12:30:00'"},
        {kDateTime, "2017-04-06T12:30:00.25", "'2017-04-06T12:30:00.250'"},
        {kDateTime, "2017/4/6 下午 2:30:00", "'2017-04-06T14:30:00'"},
        {kDateTime, "2017/4/6 14:30:05", "'2017-04-06T14:30:05'"},
        {kDateTime, "10/26/2021 9:21:28 AM", "'2021-10-26T09:21:28'"}, // month first (us_english)
        {kDateTime, "2017-04-06 00:00:00.002", "'2017-04-06T00:00:00.003'"},
        {kSmallDateTime, "2017-04-06 14:30:31", "'2017-04-06T14:31:00'"},
        {kDateTime, "06/04/2017", "'20170604'"}, // month first, as a us_english login reads it
        {kDateTime, "2017-04-06T14:30", "'2017-04-06T14:30'"}, // no moment SQL Server reads: it refuses
        {kDateTime, "", "NULL"},
        {ColumnType{adDBDate}, "2017-04-06 14:30", "'20170406'"},
        {kGuid, "0f8fad5b-d9cb-469f-a165-70867728950e", "'{0F8FAD5B-D9CB-469F-A165-70867728950E}'"},
        {kGuid, "not a guid'", "'not a guid'''"},
        {kVarBinary4, "0aff", "0x0AFF"},
        {kVarBinary4, "0A0B0C0D0E", "0x0A0B0C0D0E"}, // too long: binary still, the server refuses it
        {kVarBinary4, "zz'1", "'zz''1'"},
        {kBinary4, "0A", "0x0A000000"},
        {kImage, "", "NULL"},
        {ColumnType{0}, "who knows", "N'who knows'"},
        {ColumnType{-1}, "", "N''"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(transactSqlLiteral(c.type, QString::fromUtf8(c.value)), QString::fromUtf8(c.literal))
            << c.type.adoType << " " << c.value;
}

TEST(SqlLiteral, BitTakesTheWordsSqlServerTakesAndQuotesTheRest)
{
    for (const char* yes : {"是", "-1", "1", "true", "TRUE", " True ", "2"})
        EXPECT_EQ(transactSqlLiteral(kBit, QString::fromUtf8(yes)), QStringLiteral("1")) << yes;
    for (const char* no : {"否", "0", "false", "False", "-0"})
        EXPECT_EQ(transactSqlLiteral(kBit, QString::fromUtf8(no)), QStringLiteral("0")) << no;
    EXPECT_EQ(transactSqlLiteral(kBit, QStringLiteral("maybe")), QStringLiteral("'maybe'"));
    EXPECT_EQ(transactSqlLiteral(kBit, QString()), QStringLiteral("NULL"));
}

TEST(SqlLiteral, TheOtherEnginesDifferOnlyWhereTheyMust)
{
    struct Case
    {
        ColumnType type;
        const char* value;
        const char* sqlite;
        const char* postgresql;
    };
    const Case cases[] = {
        {kNVarChar50, "线'", "'线'''", "E'线'''"},
        {kBit, "true", "1", "TRUE"},
        {kBit, "0", "0", "FALSE"},
        {kDateTime, "2017/4/6 下午 2:30:00", "'2017-04-06 14:30:00'", "E'2017-04-06 14:30:00'"},
        {kDateTime, "2017-04-06T00:00:00", "'2017-04-06'", "E'2017-04-06'"},
        {kVarBinary4, "0aff", "X'0AFF'", "E'\\\\x0AFF'::bytea"},
        {kDecimal62, "12.5", "12.50", "12.50"},
        // More digits than a double keeps: SQLite gets the bytes of the text.
        {kDecimal3810, "12345678.0123456789", "X'31323334353637382E30313233343536373839'", "12345678.0123456789"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(sqlLiteralForType(c.type, QString::fromUtf8(c.value), sqliteDialect()), QString::fromUtf8(c.sqlite))
            << c.value;
        EXPECT_EQ(sqlLiteralForType(c.type, QString::fromUtf8(c.value), postgreSqlDialect()),
                  QString::fromUtf8(c.postgresql))
            << c.value;
    }
}

TEST(SqlLiteral, ASourceIsQuotedAsItReadsABackslash)
{
    EXPECT_EQ(standardDialectReading(QStringLiteral("\\\\")), &standardSqlDialect());
    EXPECT_EQ(standardDialectReading(QStringLiteral("\\")), &backslashEscapingSqlDialect());
    EXPECT_EQ(standardDialectReading(QString()), nullptr);
}

TEST(SqlLiteral, TransactSqlWritesSelectTheirOwnRowCount)
{
    const struct
    {
        const char* statement;
        const char* batch;
    } cases[] = {
        {"update T set A=1 where B=N'x;' ;\n", "update T set A=1 where B=N'x;';select @@ROWCOUNT"},
        {" DELETE from T", " DELETE from T;select @@ROWCOUNT"},
        {"select 1", ""},
        {"updated_view_refresh", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(transactSqlDialect().selectingRowCount(QString::fromUtf8(c.statement)), QString::fromUtf8(c.batch))
            << c.statement;
}

TEST(SqlLiteral, EachEngineReadsTopGivesTheKeyOfItsOwnInsertAndWritesSavepoints)
{
    const QString top = QStringLiteral("select top 1 * from tblLabelInfo");
    const QString insert = QStringLiteral("insert into T (A) values(1)");
    struct Case
    {
        const SqlDialect& dialect;
        const char* top;
        const char* key;
        const char* savepoint; // set, take back, keep
    };
    const char* standard = "SAVEPOINT s|ROLLBACK TO SAVEPOINT s|RELEASE SAVEPOINT s";
    const Case cases[] = {
        {transactSqlDialect(), "select top 1 * from tblLabelInfo",
         "insert into T (A) values(1);select SCOPE_IDENTITY()", "SAVE TRANSACTION s|ROLLBACK TRANSACTION s|"},
        {sqliteDialect(), "select * from tblLabelInfo limit 1",
         "insert into T (A) values(1);select last_insert_rowid()", standard},
        {postgreSqlDialect(), "select * from tblLabelInfo limit 1", "insert into T (A) values(1) returning LineID",
         standard},
        {standardSqlDialect(), "select top 1 * from tblLabelInfo", "", standard},
    };
    const QString s = QStringLiteral("s");
    for (const Case& c : cases) {
        EXPECT_EQ(c.dialect.fromTransactSql(top), QString::fromLatin1(c.top));
        EXPECT_EQ(c.dialect.insertReturningKey(insert, QStringLiteral("LineID")), QString::fromLatin1(c.key));
        EXPECT_EQ(QStringList({c.dialect.savepointStatement(s), c.dialect.rollbackToSavepointStatement(s),
                               c.dialect.releaseSavepointStatement(s)})
                      .join(u'|'),
                  QString::fromLatin1(c.savepoint));
    }
    for (const Case& c : cases)
        EXPECT_EQ(c.dialect.selectingRowCount(insert).isEmpty(), &c.dialect != &transactSqlDialect());
    EXPECT_EQ(rewriteTopClause(QStringLiteral("SELECT TOP 10 LineID from t order by LineID desc ;\n")),
              QStringLiteral("select LineID from t order by LineID desc limit 10"));
    EXPECT_EQ(rewriteTopClause(QStringLiteral("select topic from t")), QStringLiteral("select topic from t"));
}

TEST(SqlLiteral, SqlServerComparesTextsByItsCollationTheOtherEnginesFoldThem)
{
    const QString column = QStringLiteral("LabelNo");
    const QString literal = QStringLiteral("'lb-1 '");
    EXPECT_EQ(transactSqlDialect().textEquals(column, literal), QStringLiteral("LabelNo='lb-1 '"));
    EXPECT_EQ(standardSqlDialect().textEquals(column, literal), QStringLiteral("LabelNo='lb-1 '"));
    for (const SqlDialect* dialect : {&sqliteDialect(), &postgreSqlDialect()})
        EXPECT_EQ(dialect->textEquals(column, literal), QStringLiteral("lower(rtrim(LabelNo))=lower(rtrim('lb-1 '))"));
}

TEST(SqlLiteral, NoValueEndsItsLiteralOnAnyEngine)
{
    QStringList values = kHostileValues;
    values << QStringLiteral("\\');drop table victim;--") << QStringLiteral("C:\\new\\table") << QStringLiteral("end\\")
           << QStringLiteral("\\\\'") << QStringLiteral("nul") + QChar(0) + QStringLiteral("'; --");
    struct Case
    {
        const char* engine;
        const SqlDialect& dialect;
        const char* textPrefix;
        const char* quotedPrefix;
        Reading reading;
    };
    const Case cases[] = {
        {"T-SQL", transactSqlDialect(), "N", "", Reading::Standard},
        {"SQLite", sqliteDialect(), "", "", Reading::Standard},
        // E'…' reads escapes whatever the database's standard_conforming_strings.
        {"PostgreSQL", postgreSqlDialect(), "E", "E", Reading::BackslashEscapes},
        {"standard", standardSqlDialect(), "", "", Reading::Standard},
        {"escaping", backslashEscapingSqlDialect(), "", "", Reading::BackslashEscapes},
    };
    for (const Case& c : cases) {
        for (const QString& value : std::as_const(values)) {
            for (const auto& [literal, prefix] : {std::pair{c.dialect.textLiteral(value), c.textPrefix},
                                                  std::pair{c.dialect.quotedLiteral(value), c.quotedPrefix}}) {
                const QLatin1String expectedPrefix(prefix);
                ASSERT_TRUE(literal.startsWith(expectedPrefix)) << c.engine << " " << literal.toStdString();
                EXPECT_EQ(readWholeLiteral(literal.mid(expectedPrefix.size()), c.reading), value)
                    << c.engine << " " << literal.toStdString();
            }
        }
    }
}

TEST(SqlLiteral, HostileValuesReachTheEmbeddedTextIntactAndNoTypedColumn)
{
    EmbeddedTestDatabase file("CREATE TABLE tblValues (Id int, Text nvarchar(100), Stamp datetime, Guid uniqueidentifier,"
                              " Count int, Flag bit);");
    Database database;
    ASSERT_TRUE(database.open(file.connectionString()));
    int id = 0;
    for (const QString& value : kHostileValues) {
        ++id;
        QString text = value;
        database.formatSqlLiteral(adVarWChar, text);
        ASSERT_TRUE(database.execute(QStringLiteral("insert into tblValues (Id, Text) values (%1, %2)").arg(id).arg(text)))
            << database.lastError().toStdString();
        TextTable rows;
        ASSERT_TRUE(database.query(QStringLiteral("select Text from tblValues where Text=%1").arg(text), &rows));
        EXPECT_EQ(rows, TextTable({{value}}));

        // As SQL Server does, the engine refuses what the typed columns cannot hold.
        for (const auto& [column, type] : {std::pair{"Stamp", adDBTimeStamp}, std::pair{"Guid", adGUID},
                                           std::pair{"Count", adInteger}, std::pair{"Flag", adBoolean}}) {
            QString literal = value;
            database.formatSqlLiteral(type, literal);
            EXPECT_FALSE(database.execute(
                QStringLiteral("update tblValues set %1=%2 where Id=%3").arg(QLatin1String(column), literal).arg(id)))
                << column << " " << value.toStdString();
        }
    }
    EXPECT_EQ(file.scalar(QStringLiteral("select count(*) from tblValues where Stamp is null and Guid is null and "
                                         "Count is null and Flag is null")),
              QString::number(kHostileValues.size()));
}
