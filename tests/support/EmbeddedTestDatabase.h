#pragma once

#include <QString>
#include <QTemporaryDir>

// A real embedded database file in a temporary folder, set up with plain SQLite calls so
// that the code under test is not used to prepare its own input.
class EmbeddedTestDatabase
{
public:
    explicit EmbeddedTestDatabase(const char* setupSql = "");
    // A database at a path of the caller's.
    EmbeddedTestDatabase(const QString& path, const char* setupSql);

    QString path() const { return m_path; }
    QString connectionString() const;
    // Runs SQL straight through SQLite; fails the test on an error.
    void exec(const QString& sql) const;
    // The first column of the first row of a query, as SQLite's own text, or "<none>".
    QString scalar(const QString& sql) const;

private:
    QTemporaryDir m_dir;
    QString m_path;
};
