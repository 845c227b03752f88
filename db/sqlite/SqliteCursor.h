#pragma once

#include "db/client/DbClient.h"

#include <QList>

struct sqlite3_stmt;

namespace korvel {

// The code page of the embedded database's narrow text: GBK.
constexpr int kEmbeddedCodePage = 936;

// The type of a column declared with a SQL Server type name ("nvarchar(50)",
// "varbinary(max)", "decimal(6,2)", "int", …): the ADO type code SQL Server's provider
// reports for it, with the limits the declaration sets, as SQL Server reads them (a
// length left out is 1, a decimal without arguments is decimal(18,0)), and narrow text in
// kEmbeddedCodePage. Type code 0 when the declaration names no type we know.
ColumnType columnTypeOfDeclaration(const QString& declaredType);

// A prepared statement stepped forward one row at a time. Values come in the program's
// text forms, chosen by the SQL Server type name each column was declared with.
class SqliteCursor : public DbCursor
{
public:
    // Takes the statement, which has been stepped once; `hasRow` tells whether that step
    // gave a row.
    SqliteCursor(sqlite3_stmt* statement, bool hasRow);
    ~SqliteCursor() override;

    int fieldCount() const override;
    QString fieldName(int field) const override;
    ColumnType fieldColumnType(int field) const override;
    bool atEnd() const override;
    bool readValue(int field, DbValue& value, DbError& error) override;
    bool moveNext(DbError& error) override;

private:
    struct Column
    {
        QString name;
        ColumnType type;
        bool convertsText = false; // a value stored as text is read through the value rules
    };

    sqlite3_stmt* m_statement;
    bool m_atEnd;
    QList<Column> m_columns;
};

} // namespace korvel
