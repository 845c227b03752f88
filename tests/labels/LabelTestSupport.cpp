#include "tests/labels/LabelTestSupport.h"

#include "db/CAdoDatabase.h"
#include "tests/support/TestFiles.h"
#include "util/FileCipher.h"

#include <QFile>

#include <gtest/gtest.h>
#include <sqlite3.h>

const char* const kCompactLabelSchema =
    "CREATE TABLE tblLabelInfo (LabelID uniqueidentifier NOT NULL, LabelNo nvarchar(50) NOT NULL,"
    " LabelStatus int NOT NULL DEFAULT 1);"
    "CREATE TABLE tblLabelControls (LabelID uniqueidentifier NOT NULL, ItemID uniqueidentifier NOT NULL,"
    " Caption [nvarchar(max)]);"
    "CREATE TABLE tblLabelControlItem (LineID INTEGER PRIMARY KEY AUTOINCREMENT, ItemID uniqueidentifier NOT NULL,"
    " ItemName nvarchar(50) NOT NULL);";

bool ScriptedResolver::ResolveDuplicateLabelNo(CAdoDatabase& connection, const QString& oldValue, QString& newValue)
{
    asked.append(oldValue);
    database = &connection;
    if (!answer)
        return false;
    newValue = *answer;
    return true;
}

namespace {

QString SqliteValueText(sqlite3_stmt* statement, int column)
{
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_NULL: return QStringLiteral("NULL");
    case SQLITE_BLOB:
        return QLatin1String("X'") +
               QByteArray(static_cast<const char*>(sqlite3_column_blob(statement, column)),
                          sqlite3_column_bytes(statement, column))
                   .toHex() +
               QLatin1Char('\'');
    default:
        return QLatin1Char('\'') +
               QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, column)),
                                 sqlite3_column_bytes(statement, column)) +
               QLatin1Char('\'');
    }
}

} // namespace

QStringList LabelTableContents(const QString& databasePath)
{
    QStringList contents;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(databasePath).constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        ADD_FAILURE() << "cannot open " << databasePath.toStdString();
    for (const char* table : {"tblLabelInfo", "tblLabelControls", "tblLabelControlItem", "sqlite_sequence"}) {
        sqlite3_stmt* statement = nullptr;
        const QByteArray sql = QByteArray("select * from ") + table + " order by rowid";
        if (sqlite3_prepare_v2(db, sql.constData(), -1, &statement, nullptr) != SQLITE_OK) {
            ADD_FAILURE() << sqlite3_errmsg(db);
            continue;
        }
        while (sqlite3_step(statement) == SQLITE_ROW) {
            QStringList row;
            for (int column = 0; column < sqlite3_column_count(statement); ++column)
                row.append(SqliteValueText(statement, column));
            contents.append(QString::fromLatin1(table) + QLatin1Char(':') + row.join(QLatin1Char('|')));
        }
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return contents;
}

QByteArray BundleBytes(const QString& text)
{
    return CryptFileData(text.toUtf8() + '\0');
}

void WriteBundleFile(const QString& path, const QString& text)
{
    WriteTestFile(path, BundleBytes(text));
}

TextTable QueryRows(const QString& connectionString, const QString& sql)
{
    CAdoDatabase database;
    TextTable rows;
    EXPECT_TRUE(database.Open(connectionString) && database.Query(sql, &rows))
        << database.m_strError.toStdString() << "\n"
        << sql.toStdString();
    return rows;
}
