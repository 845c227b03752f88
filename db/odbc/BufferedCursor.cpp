#include "db/odbc/BufferedCursor.h"

BufferedCursor::BufferedCursor(QList<Field> fields, QList<Row> rows, std::optional<DbError> failure)
    : m_fields(std::move(fields)), m_rows(std::move(rows)), m_failure(std::move(failure))
{
}

int BufferedCursor::FieldCount() const
{
    return static_cast<int>(m_fields.size());
}

QString BufferedCursor::FieldName(int field) const
{
    return field >= 0 && field < m_fields.size() ? m_fields[field].name : QString();
}

ColumnType BufferedCursor::FieldColumnType(int field) const
{
    return field >= 0 && field < m_fields.size() ? m_fields[field].type : ColumnType();
}

bool BufferedCursor::AtEnd() const
{
    return m_row >= m_rows.size();
}

bool BufferedCursor::ReadValue(int field, DbValue& value, DbError& error)
{
    if (AtEnd() || field < 0 || field >= m_fields.size()) {
        error = DbError::MissingObject();
        return false;
    }
    value = m_rows[m_row][field]; // shares the data: a long value is not copied
    return true;
}

bool BufferedCursor::MoveNext(DbError& error)
{
    if (AtEnd()) {
        error = DbError::MissingObject();
        return false;
    }
    m_rows[m_row].clear(); // a row once left is not wanted again
    ++m_row;
    if (AtEnd() && m_failure) {
        error = *m_failure;
        return false;
    }
    return true;
}
