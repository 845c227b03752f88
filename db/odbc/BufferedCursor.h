#pragma once

#include "db/client/DbClient.h"

#include <QList>
#include <QString>

#include <optional>

// A result held whole in memory, as ADO's client-side cursor holds it. Reading the rows at
// once frees the statement and so the connection: SQL Server connections (without MARS)
// run one statement at a time, and the program keeps a result open while it executes others.
class BufferedCursor : public DbCursor
{
public:
    struct Field {
        QString name;
        ColumnType type;
    };
    using Row = QList<DbValue>;

    // `failure`, when given, is the error that stopped reading after the rows given: moving
    // past the last of them reports it.
    BufferedCursor(QList<Field> fields, QList<Row> rows, std::optional<DbError> failure);

    int FieldCount() const override;
    QString FieldName(int field) const override;
    ColumnType FieldColumnType(int field) const override;

    bool AtEnd() const override;
    [[nodiscard]] bool ReadValue(int field, DbValue& value, DbError& error) override;
    [[nodiscard]] bool MoveNext(DbError& error) override;

private:
    QList<Field> m_fields;
    QList<Row> m_rows;
    std::optional<DbError> m_failure;
    qsizetype m_row = 0;
};
