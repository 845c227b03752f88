#include "tests/support/EmbeddedTestDatabase.h"

#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

namespace korvel {

namespace {

class Connection
{
public:
    Connection(const QString& path, bool create)
    {
        const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, flags, nullptr) != SQLITE_OK)
            ADD_FAILURE() << "cannot open " << path.toStdString() << ": " << sqlite3_errmsg(m_db);
    }
    ~Connection() { sqlite3_close(m_db); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    sqlite3* get() const { return m_db; }

    void exec(const QString& sql) const
    {
        char* message = nullptr;
        if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK)
            ADD_FAILURE() << (message ? message : "") << " in " << sql.toStdString();
        sqlite3_free(message);
    }

private:
    sqlite3* m_db = nullptr;
};

} // namespace

EmbeddedTestDatabase::EmbeddedTestDatabase(const char* setupSql) : EmbeddedTestDatabase(QString(), setupSql) {}

EmbeddedTestDatabase::EmbeddedTestDatabase(const QString& path, const char* setupSql)
    : m_path(path.isEmpty() ? m_dir.filePath(QStringLiteral("test.db")) : path)
{
    Connection(m_path, true).exec(QString::fromUtf8(setupSql));
}

EmbeddedTestDatabase::EmbeddedTestDatabase(const ExistingFile& file) : m_path(file.path)
{
    EXPECT_TRUE(QFileInfo(m_path).isFile()) << "no database at " << m_path.toStdString();
}

QString EmbeddedTestDatabase::connectionString() const
{
    return QStringLiteral("Provider=sqlite;Data Source=%1;").arg(m_path);
}

void EmbeddedTestDatabase::exec(const QString& sql) const
{
    Connection(m_path, false).exec(sql);
}

QList<QList<SqliteValue>> EmbeddedTestDatabase::values(const QString& sql) const
{
    const Connection connection(m_path, false);
    sqlite3* db = connection.get();
    QList<QList<SqliteValue>> rows;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &statement, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << sqlite3_errmsg(db) << " in " << sql.toStdString();
        return rows;
    }
    int result;
    while ((result = sqlite3_step(statement)) == SQLITE_ROW) {
        QList<SqliteValue> row;
        for (int column = 0; column < sqlite3_column_count(statement); ++column) {
            const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement, column));
            row.append({sqlite3_column_type(statement, column), QByteArray(bytes, sqlite3_column_bytes(statement, column))});
        }
        rows.append(row);
    }
    if (result != SQLITE_DONE)
        ADD_FAILURE() << sqlite3_errmsg(db) << " in " << sql.toStdString();
    sqlite3_finalize(statement);
    return rows;
}

QList<QStringList> EmbeddedTestDatabase::rows(const QString& sql) const
{
    QList<QStringList> texts;
    for (const QList<SqliteValue>& row : values(sql)) {
        QStringList text;
        for (const SqliteValue& value : row)
            text.append(value.storageClass == SQLITE_NULL ? QStringLiteral("<null>") : QString::fromUtf8(value.bytes));
        texts.append(text);
    }
    return texts;
}

QString EmbeddedTestDatabase::scalar(const QString& sql) const
{
    const QList<QStringList> found = rows(sql);
    return found.isEmpty() ? QStringLiteral("<none>") : found.front().front();
}

QByteArray EmbeddedTestDatabase::dump(const QString& sql) const
{
    QByteArray dump;
    for (const QList<SqliteValue>& row : values(sql)) {
        for (const SqliteValue& value : row)
            dump += QByteArray::number(value.storageClass) + ':' + value.bytes.toHex() + ' ';
        dump += '\n';
    }
    return dump;
}

QStringList EmbeddedTestDatabase::tables() const
{
    QStringList tables;
    for (const QStringList& row :
         rows(QStringLiteral("select name from sqlite_master where type='table' order by name")))
        tables.append(row.front());
    return tables;
}

TextTable EmbeddedTestDatabase::programRows(const QString& sql) const
{
    Database database;
    TextTable rows;
    EXPECT_TRUE(database.open(connectionString()) && database.query(sql, &rows))
        << database.lastError().toStdString() << "\n"
        << sql.toStdString();
    return rows;
}

} // namespace korvel
