#include "db/sqlite/SqliteClient.h"

#include "tests/db/schema/SchemaText.h"
#include "tests/support/OutcomeChecks.h"
#include "tests/support/EmbeddedTestDatabase.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace korvel;

namespace {

class EmbeddedDatabaseTest : public ::testing::Test
{
protected:
    QString path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
    QStringList files() const
    {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(EmbeddedDatabaseTest, HasEveryTableAndColumnOfTheSchemaAndNoRows)
{
    ASSERT_TRUE(succeeded(createEmbeddedDatabase(path("korvel.db"))));
    EXPECT_EQ(files(), QStringList{"korvel.db"}) << "nothing left beside it";

    EmbeddedTestDatabase db(ExistingFile{path("korvel.db")});
    const SchemaTables schema = parseSchemaTables(readSchemaFile("sqlserver.sql"));
    ASSERT_FALSE(schema.isEmpty());
    for (auto table = schema.cbegin(); table != schema.cend(); ++table) {
        QList<SchemaColumn> created;
        for (const QStringList& column :
             db.rows(QStringLiteral("select name, type from pragma_table_info('%1')").arg(table.key())))
            created.append({column[0], normalisedType(column[1])});
        EXPECT_EQ(created, table.value()) << table.key().toStdString();
        EXPECT_EQ(db.count(QStringLiteral("select count(*) from ") + table.key()), 0);
    }
}

TEST_F(EmbeddedDatabaseTest, APlainSqliteConnectionGetsTheDefaultsAndIdentities)
{
    ASSERT_TRUE(succeeded(createEmbeddedDatabase(path("korvel.db"))));
    EmbeddedTestDatabase db(ExistingFile{path("korvel.db")});
    // Without Korvel's client there is no NEWID(): every default must work without it.
    db.exec(QStringLiteral("insert into tblLabelInfo (LabelID, LabelNo, PaperWidth, PaperHeight) "
                           "values ('{0F8FAD5B-D9CB-469F-A165-70867728950E}', 'L1', 60, 40);"
                           "insert into tblLabelControlItem (ItemID, ItemName) values ('{A}', 'a'), ('{B}', 'b');"
                           "delete from tblLabelControlItem where ItemID = '{B}';"
                           "insert into tblLabelControlItem (ItemID, ItemName) values ('{C}', 'c');"));
    EXPECT_EQ(db.rows(QStringLiteral("select LabelStatus, Dpi, IsLocked from tblLabelInfo")),
              (QList<QStringList>{{"1", "203", "0"}}));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$"))
                    .match(db.scalar(QStringLiteral("select CreatedAt from tblLabelInfo")))
                    .hasMatch());
    // An identity never hands out a number twice, as on SQL Server.
    EXPECT_EQ(db.rows(QStringLiteral("select LineID from tblLabelControlItem order by LineID")),
              (QList<QStringList>{{"1"}, {"3"}}));
}

TEST_F(EmbeddedDatabaseTest, RefusesAnythingAlreadyThereAndChangesNothing)
{
    writeTestFile(path("korvel.db"), "precious");
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.db")));
    ASSERT_TRUE(QFile::link(path("nowhere"), path("dangling.db")));

    for (const char* name : {"korvel.db", "folder.db", "dangling.db"}) {
        EXPECT_EQ(createEmbeddedDatabase(path(name)).message(), QStringLiteral("文件已存在，未作任何改动：") + path(name));
    }
    EXPECT_EQ(readTestFile(path("korvel.db")), QByteArray("precious"));
    EXPECT_EQ(files(), (QStringList{"dangling.db", "folder.db", "korvel.db"}));
}

TEST_F(EmbeddedDatabaseTest, AFailureLeavesNoFileBehind)
{
    const Outcome created = createEmbeddedDatabase(path("missing/korvel.db"));
    EXPECT_TRUE(created.message().startsWith(QStringLiteral("无法创建数据库文件：") + path("missing/korvel.db")))
        << created.message().toStdString();
    EXPECT_EQ(files(), QStringList());
}
