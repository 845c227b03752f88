#include "tests/support/EmbeddedTestDatabase.h"

#include <QFile>

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

class Connection
{
public:
    explicit Connection(const QString& path)
    {
        if (sqlite3_open(QFile::encodeName(path).constData(), &m_db) != SQLITE_OK)
            ADD_FAILURE() << "cannot open " << path.toStdString();
    }
    ~Connection() { sqlite3_close(m_db); }
    sqlite3* get() const { return m_db; }

private:
    sqlite3* m_db = nullptr;
};

} // namespace

EmbeddedTestDatabase::EmbeddedTestDatabase(const char* setupSql)
    : m_path(m_dir.filePath(QStringLiteral("test.db")))
{
    exec(QString::fromUtf8(setupSql));
}

EmbeddedTestDatabase::EmbeddedTestDatabase(const QString& path, const char* setupSql) : m_path(path)
{
    exec(QString::fromUtf8(setupSql));
}

QString EmbeddedTestDatabase::connectionString() const
{
    return QStringLiteral("Provider=sqlite;Data Source=%1;").arg(m_path);
}

void EmbeddedTestDatabase::exec(const QString& sql) const
{
    Connection connection(m_path);
    char* message = nullptr;
    if (sqlite3_exec(connection.get(), sql.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK)
        ADD_FAILURE() << "setup SQL failed: " << (message ? message : "") << "\n" << sql.toStdString();
    sqlite3_free(message);
}

QString EmbeddedTestDatabase::scalar(const QString& sql) const
{
    Connection connection(m_path);
    sqlite3_stmt* statement = nullptr;
    QString result = QStringLiteral("<none>");
    if (sqlite3_prepare_v2(connection.get(), sql.toUtf8().constData(), -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
        result = text ? QString::fromUtf8(text) : QStringLiteral("<null>");
    }
    sqlite3_finalize(statement);
    return result;
}
