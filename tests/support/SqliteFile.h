#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

struct sqlite3;

// A database file opened with plain SQLite calls, so that the code under test does not
// check its own output. Any failure fails the test.
class SqliteFile
{
public:
    explicit SqliteFile(const QString& path);
    ~SqliteFile();
    SqliteFile(const SqliteFile&) = delete;
    SqliteFile& operator=(const SqliteFile&) = delete;

    void exec(const QString& sql) const;
    // Every row, each value as SQLite's text of it, NULL as "<null>".
    QList<QStringList> rows(const QString& sql) const;
    // The first value of the first row, "<none>" without rows.
    QString scalar(const QString& sql) const;
    qint64 count(const QString& sql) const { return scalar(sql).toLongLong(); }
    // Every value of every row with its storage class, bytes as they are stored: two
    // databases with equal dumps hold the same contents.
    QByteArray dump(const QString& sql) const;
    // The tables of the database, sorted.
    QStringList tables() const;

private:
    sqlite3* m_db = nullptr;
};
