#include "tests/support/SqliteFile.h"

#include <QFile>

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

// Runs a statement and hands each row to `row`.
template <typename RowFunction>
void ForEachRow(sqlite3* db, const QString& sql, RowFunction row)
{
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &statement, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << sqlite3_errmsg(db) << " in " << sql.toStdString();
        return;
    }
    int result;
    while ((result = sqlite3_step(statement)) == SQLITE_ROW)
        row(statement);
    if (result != SQLITE_DONE)
        ADD_FAILURE() << sqlite3_errmsg(db) << " in " << sql.toStdString();
    sqlite3_finalize(statement);
}

} // namespace

SqliteFile::SqliteFile(const QString& path)
{
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        ADD_FAILURE() << "cannot open " << path.toStdString() << ": " << sqlite3_errmsg(m_db);
}

SqliteFile::~SqliteFile()
{
    sqlite3_close(m_db);
}

void SqliteFile::exec(const QString& sql) const
{
    char* message = nullptr;
    if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK)
        ADD_FAILURE() << (message ? message : "") << " in " << sql.toStdString();
    sqlite3_free(message);
}

QList<QStringList> SqliteFile::rows(const QString& sql) const
{
    QList<QStringList> rows;
    ForEachRow(m_db, sql, [&rows](sqlite3_stmt* statement) {
        QStringList row;
        for (int column = 0; column < sqlite3_column_count(statement); ++column) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
            row.append(text ? QString::fromUtf8(text) : QStringLiteral("<null>"));
        }
        rows.append(row);
    });
    return rows;
}

QString SqliteFile::scalar(const QString& sql) const
{
    const QList<QStringList> found = rows(sql);
    return found.isEmpty() ? QStringLiteral("<none>") : found.front().front();
}

QByteArray SqliteFile::dump(const QString& sql) const
{
    QByteArray dump;
    ForEachRow(m_db, sql, [&dump](sqlite3_stmt* statement) {
        for (int column = 0; column < sqlite3_column_count(statement); ++column) {
            const int type = sqlite3_column_type(statement, column);
            const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement, column));
            dump += QByteArray::number(type) + ':' +
                    QByteArray(bytes, sqlite3_column_bytes(statement, column)).toHex() + ' ';
        }
        dump += '\n';
    });
    return dump;
}

QStringList SqliteFile::tables() const
{
    QStringList tables;
    for (const QStringList& row :
         rows(QStringLiteral("select name from sqlite_master where type='table' order by name")))
        tables.append(row.front());
    return tables;
}
