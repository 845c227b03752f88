#include "db/schema/EmbeddedSchema.h"
#include "db/sqlite/SqliteCursor.h"

#include "tests/db/schema/SchemaText.h"
#include "tests/support/QtPrinting.h"

#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

using namespace korvel;

namespace {

const QStringList kProgramTables = {"tblUserInfo",    "tblHarnessInfo", "tblHarnessWireInfo", "tblJobInfo",
                                    "tblJobStepInfo", "tblLabelInfo",   "tblLabelControls",   "tblLabelControlItem"};

QString typeOf(const SchemaTables& tables, const QString& table, const QString& column)
{
    for (const SchemaColumn& declared : tables.value(table))
        if (declared.name == column)
            return declared.type;
    return QStringLiteral("<missing>");
}

// The PostgreSQL type that postgresql.sql declares for a column of a SQL Server type.
QString postgreSqlTypeFor(const QString& sqlServerType)
{
    static const QRegularExpression binary(QStringLiteral("^(var)?binary\\("));
    static const QMap<QString, QString> renamed = {
        {QStringLiteral("varchar(max)"), QStringLiteral("text")},
        {QStringLiteral("tinyint"), QStringLiteral("smallint")},
        {QStringLiteral("bit"), QStringLiteral("boolean")},
        {QStringLiteral("datetime"), QStringLiteral("timestamp(3)")},
        {QStringLiteral("uniqueidentifier"), QStringLiteral("uuid")},
        {QStringLiteral("image"), QStringLiteral("bytea")},
    };
    QString type = sqlServerType;
    if (type.contains(binary))
        return QStringLiteral("bytea");
    if (type.startsWith(QLatin1String("nvarchar")))
        type.remove(0, 1);
    if (type.startsWith(QLatin1String("decimal(")))
        type.replace(0, 7, QStringLiteral("numeric"));
    return renamed.value(type, type);
}

} // namespace

TEST(SchemaFilesTest, BothFilesDeclareTheSameTablesColumnsAndTypes)
{
    const SchemaTables sqlServer = parseSchemaTables(readSchemaFile("sqlserver.sql"));
    const SchemaTables sqlite = parseSchemaTables(readSchemaFile("sqlite.sql"));
    EXPECT_EQ(sqlServer.keys(), sqlite.keys());
    for (auto table = sqlServer.cbegin(); table != sqlServer.cend(); ++table) {
        const QList<SchemaColumn>& other = sqlite.value(table.key());
        ASSERT_EQ(table.value().size(), other.size()) << table.key().toStdString();
        for (qsizetype i = 0; i < other.size(); ++i) {
            EXPECT_EQ(table.value()[i].name, other[i].name) << table.key().toStdString();
            EXPECT_EQ(table.value()[i].type, other[i].type)
                << table.key().toStdString() << "." << other[i].name.toStdString();
        }
    }
}

TEST(SchemaFilesTest, ThePostgreSqlFileDeclaresTheSameColumnsInItsOwnTypes)
{
    const SchemaTables sqlServer = parseSchemaTables(readSchemaFile("sqlserver.sql"));
    const SchemaTables postgreSql = parseSchemaTables(readSchemaFile("postgresql.sql"));
    EXPECT_EQ(sqlServer.keys(), postgreSql.keys());
    for (auto table = sqlServer.cbegin(); table != sqlServer.cend(); ++table) {
        QList<SchemaColumn> expected;
        for (const SchemaColumn& column : table.value())
            expected.append({column.name, postgreSqlTypeFor(column.type)});
        EXPECT_EQ(postgreSql.value(table.key()), expected) << table.key().toStdString();
    }
}

TEST(SchemaFilesTest, ThePostgreSqlCatalogueKnowsEveryColumnNameInItsDeclaredCase)
{
    const QString sql = readSchemaFile("postgresql.sql");
    QSet<QString> declared;
    const SchemaTables tables = parseSchemaTables(sql);
    for (const QList<SchemaColumn>& columns : tables)
        for (const SchemaColumn& column : columns)
            declared.insert(column.name);
    static const QRegularExpression listedName(QStringLiteral("\\('(\\w+)'\\)"));
    QSet<QString> listed;
    const qsizetype view = sql.indexOf(QLatin1String("CREATE VIEW syscolumns"));
    ASSERT_GE(view, 0);
    for (const QRegularExpressionMatch& match : listedName.globalMatch(sql.mid(view)))
        listed.insert(match.captured(1));
    EXPECT_EQ(listed, declared);
}

TEST(SchemaFilesTest, TheProgramsTablesAndColumnsHaveTheirTypes)
{
    const SchemaTables tables = parseSchemaTables(readSchemaFile("sqlserver.sql"));
    QStringList programTables = kProgramTables;
    programTables.sort();
    EXPECT_EQ(tables.keys(), programTables) << "the tables the program names, and no others";
    struct Expected
    {
        const char* table;
        const char* column;
        const char* type;
    };
    // Numbers the program reads and writes as text are text in any script; the
    // attributes it writes as integers are integers; labels and items are keyed by GUIDs.
    const Expected expected[] = {
        {"tblUserInfo", "UserID", "nvarchar"},
        {"tblUserInfo", "Password", "nvarchar"},
        {"tblHarnessInfo", "HarnessID", "int"},
        {"tblHarnessInfo", "HarnessNo", "nvarchar"},
        {"tblHarnessWireInfo", "HarnessID", "int"},
        {"tblHarnessWireInfo", "WireNo", "nvarchar"},
        {"tblHarnessWireInfo", "HarnessType", "int"},
        {"tblHarnessWireInfo", "WireGroup", "nvarchar"},
        {"tblJobInfo", "JobID", "int"},
        {"tblJobInfo", "JobNo", "nvarchar"},
        {"tblJobStepInfo", "JobID", "int"},
        {"tblJobStepInfo", "LineID", "int"},
        {"tblJobStepInfo", "TestMode", "int"},
        {"tblJobStepInfo", "TestGroup", "nvarchar"},
        {"tblLabelInfo", "LabelID", "uniqueidentifier"},
        {"tblLabelInfo", "LabelNo", "nvarchar"},
        {"tblLabelInfo", "LabelStatus", "int"},
        {"tblLabelControls", "LabelID", "uniqueidentifier"},
        {"tblLabelControls", "ItemID", "uniqueidentifier"},
        {"tblLabelControlItem", "ItemID", "uniqueidentifier"},
        {"tblLabelControlItem", "LineID", "int"},
    };
    for (const Expected& column : expected)
        EXPECT_EQ(typeOf(tables, column.table, column.column).section(QLatin1Char('('), 0, 0),
                  QString::fromUtf8(column.type))
            << column.table << "." << column.column;
}

TEST(SchemaFilesTest, EveryDeclaredTypeIsOneTheEmbeddedClientKnows)
{
    const SchemaTables tables = parseSchemaTables(readSchemaFile("sqlite.sql"));
    QSet<int> codes;
    for (auto table = tables.cbegin(); table != tables.cend(); ++table) {
        for (const SchemaColumn& column : table.value()) {
            const int code = columnTypeOfDeclaration(column.type).adoType;
            EXPECT_NE(code, 0) << table.key().toStdString() << "." << column.name.toStdString() << " "
                               << column.type.toStdString();
            codes.insert(code);
        }
    }
    // The label tables travel through export and import with every kind of value the
    // bundle format has to carry: wide and narrow text, integers, bit, date-time,
    // decimal, GUID, binary and long binary.
    for (const int code : {202, 203, 200, 3, 2, 17, 20, 11, 135, 131, 72, 128, 204, 205})
        EXPECT_TRUE(codes.contains(code)) << "type code " << code;
}

TEST(SchemaFilesTest, TheProgramsCarryTheSqliteSchemaFile)
{
    EXPECT_EQ(embeddedSchemaSql(), readSchemaFile("sqlite.sql"));
}
