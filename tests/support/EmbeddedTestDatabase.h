#pragma once

#include "db/Database.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace korvel {

// One value as SQLite stores it: its storage class (SQLITE_INTEGER … SQLITE_NULL) and its
// bytes, text in UTF-8 (none for NULL).
struct SqliteValue
{
    int storageClass;
    QByteArray bytes;
};

// An embedded database file that exists already, such as one the code under test made.
struct ExistingFile
{
    QString path;
};

// A real embedded database file, set up and read with plain SQLite calls, so that the code
// under test neither prepares its own input nor checks its own output. Each call opens the
// file afresh and holds it no longer than it runs. Any SQLite failure fails the test.
class EmbeddedTestDatabase
{
public:
    // A new database in a temporary folder, made by the SQL.
    explicit EmbeddedTestDatabase(const char* setupSql = "");
    // A new database at a path of the caller's, made by the SQL.
    EmbeddedTestDatabase(const QString& path, const char* setupSql);
    explicit EmbeddedTestDatabase(const ExistingFile& file);

    QString path() const { return m_path; }
    QString connectionString() const;

    void exec(const QString& sql) const;
    // Every row of a query, each value as it is stored.
    QList<QList<SqliteValue>> values(const QString& sql) const;
    // Every row, each value as SQLite's text of it, NULL as "<null>".
    QList<QStringList> rows(const QString& sql) const;
    // The first value of the first row as SQLite's text, "<none>" without rows.
    QString scalar(const QString& sql) const;
    qint64 count(const QString& sql) const { return scalar(sql).toLongLong(); }
    // Every value of every row with its storage class, bytes as they are stored: two
    // databases with equal dumps hold the same contents.
    QByteArray dump(const QString& sql) const;
    // The tables of the database, sorted.
    QStringList tables() const;

    // The rows of a query as the program reads them, through Database.
    TextTable programRows(const QString& sql) const;

private:
    QTemporaryDir m_dir;
    QString m_path;
};

// A test with a real embedded database, made by the SQL and open through Database.
class OpenEmbeddedDatabase : public ::testing::Test
{
protected:
    explicit OpenEmbeddedDatabase(const char* schema) : file(schema) {}
    void SetUp() override { ASSERT_TRUE(database.open(file.connectionString())) << database.lastError().toStdString(); }

    TextTable query(const QString& sql)
    {
        TextTable rows;
        EXPECT_TRUE(database.query(sql, &rows)) << database.lastError().toStdString();
        return rows;
    }

    EmbeddedTestDatabase file;
    Database database;
};

} // namespace korvel
