#include "tests/labels/LabelTestSupport.h"

#include "tests/support/EmbeddedTestDatabase.h"
#include "tests/support/TestFiles.h"
#include "util/FileCipher.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace korvel {

const char* const kCompactLabelSchema =
    "CREATE TABLE tblLabelInfo (LabelID uniqueidentifier NOT NULL, LabelNo nvarchar(50) NOT NULL,"
    " LabelStatus int NOT NULL DEFAULT 1);"
    "CREATE TABLE tblLabelControls (LabelID uniqueidentifier NOT NULL, ItemID uniqueidentifier NOT NULL,"
    " Caption [nvarchar(max)]);"
    "CREATE TABLE tblLabelControlItem (LineID INTEGER PRIMARY KEY AUTOINCREMENT, ItemID uniqueidentifier NOT NULL,"
    " ItemName nvarchar(50) NOT NULL);";

bool ScriptedResolver::resolveDuplicateLabelNo(Database& connection, const QString& oldValue, QString& newValue)
{
    asked.append(oldValue);
    database = &connection;
    if (whileAsked)
        whileAsked();
    if (!answer)
        return false;
    newValue = *answer;
    return true;
}

namespace {

QString valueText(const SqliteValue& value)
{
    switch (value.storageClass) {
    case SQLITE_NULL: return QStringLiteral("NULL");
    case SQLITE_BLOB: return QLatin1String("X'") + QString::fromLatin1(value.bytes.toHex()) + QLatin1Char('\'');
    default: return QLatin1Char('\'') + QString::fromUtf8(value.bytes) + QLatin1Char('\'');
    }
}

} // namespace

QStringList labelTableContents(const QString& databasePath)
{
    const EmbeddedTestDatabase database{ExistingFile{databasePath}};
    QStringList contents;
    for (const char* table : {"tblLabelInfo", "tblLabelControls", "tblLabelControlItem", "sqlite_sequence"}) {
        const QString sql = QStringLiteral("select * from %1 order by rowid").arg(QLatin1String(table));
        for (const QList<SqliteValue>& row : database.values(sql)) {
            QStringList values;
            for (const SqliteValue& value : row)
                values.append(valueText(value));
            contents.append(QString::fromLatin1(table) + QLatin1Char(':') + values.join(QLatin1Char('|')));
        }
    }
    return contents;
}

QByteArray bundleBytes(const QString& text)
{
    return cryptFileData(text.toUtf8() + '\0');
}

void writeBundleFile(const QString& path, const QString& text)
{
    writeTestFile(path, bundleBytes(text));
}

QList<BundleBlock> bundleOf(const QString& path)
{
    return readBundleText(decodeBundle(readTestFile(path)));
}

void expectImportFailuresSayNothingWasImported(const QList<FaultedRun>& runs)
{
    QStringList failures;
    for (const FaultedRun& run : runs) {
        if (run.succeeded)
            continue;
        ASSERT_EQ(run.messages.warnings.size(), 1) << "failure at call " << run.failAt;
        failures.append(run.messages.warnings[0]);
    }
    ASSERT_GT(failures.size(), 10);
    EXPECT_TRUE(failures.takeFirst().startsWith(QStringLiteral("ADO 错误：0x80004005，injected failure")))
        << "the connection itself";
    for (const QString& failure : failures)
        EXPECT_TRUE(failure.endsWith(QStringLiteral("，未导入任何数据"))) << failure.toStdString();
    EXPECT_TRUE(failures.last().contains(QStringLiteral("提交事务失败"))) << failures.last().toStdString();
}

} // namespace korvel
