#include "db/demo/RowInserter.h"

#include <sqlite3.h>

RowInserter::~RowInserter()
{
    sqlite3_finalize(m_statement);
}

bool RowInserter::Prepare(sqlite3* db, const char* table, const char* columns, QString& error)
{
    m_db = db;
    m_table = table;
    const QByteArray columnList(columns);
    QByteArray sql = "INSERT INTO " + m_table + " (" + columnList + ") VALUES (?";
    for (qsizetype i = columnList.count(','); i > 0; --i)
        sql += ", ?";
    sql += ')';
    sqlite3_finalize(m_statement);
    m_statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), static_cast<int>(sql.size()), &m_statement, nullptr) != SQLITE_OK) {
        error = QString::fromUtf8(m_table + ": " + sqlite3_errmsg(db));
        return false;
    }
    return true;
}

RowInserter& RowInserter::Bound(int result)
{
    if (m_bindResult == SQLITE_OK)
        m_bindResult = result;
    ++m_next;
    return *this;
}

RowInserter& RowInserter::Null()
{
    return Bound(sqlite3_bind_null(m_statement, m_next));
}

RowInserter& RowInserter::Int(qint64 value)
{
    return Bound(sqlite3_bind_int64(m_statement, m_next, value));
}

RowInserter& RowInserter::Text(const char* utf8)
{
    if (!utf8)
        return Null();
    return Bound(sqlite3_bind_text(m_statement, m_next, utf8, -1, SQLITE_TRANSIENT));
}

RowInserter& RowInserter::Text(const QByteArray& utf8)
{
    if (utf8.isNull())
        return Null();
    return Bound(sqlite3_bind_text64(m_statement, m_next, utf8.constData(), static_cast<sqlite3_uint64>(utf8.size()),
                                     SQLITE_TRANSIENT, SQLITE_UTF8));
}

RowInserter& RowInserter::Blob(const QByteArray& bytes)
{
    if (bytes.isNull())
        return Null();
    return Bound(sqlite3_bind_blob64(m_statement, m_next, bytes.constData(), static_cast<sqlite3_uint64>(bytes.size()),
                                     SQLITE_TRANSIENT));
}

bool RowInserter::Insert(QString& error)
{
    const int bound = m_next - 1;
    const int parameters = sqlite3_bind_parameter_count(m_statement);
    int result = m_bindResult;
    if (result == SQLITE_OK && bound == parameters)
        result = sqlite3_step(m_statement);
    if (result != SQLITE_DONE) {
        error = QString::fromUtf8(m_table) + QStringLiteral(": ") +
                (bound == parameters ? QString::fromUtf8(sqlite3_errmsg(m_db))
                                     : QStringLiteral("%1 of %2 columns bound").arg(bound).arg(parameters));
    }
    sqlite3_reset(m_statement);
    m_next = 1;
    m_bindResult = SQLITE_OK;
    return result == SQLITE_DONE;
}
