#pragma once

#include <QByteArray>
#include <QString>

// The literal forms that differ between the database engines. Every value that goes into
// the text of a statement is written by one of these functions, so that no value can end
// its literal early or add a statement of its own.
class SqlDialect
{
public:
    virtual ~SqlDialect() = default;

    // A text value in any script: N'…' on SQL Server, '…' on SQLite; quotes doubled.
    virtual QString TextLiteral(const QString& text) const = 0;
    // Binary data: 0x0AFF on SQL Server, X'0AFF' on SQLite.
    virtual QString BinaryLiteral(const QByteArray& bytes) const = 0;

    // A plain quoted literal, '…' with quotes doubled: dates, GUIDs and other values that
    // the server converts from text. The same on every engine.
    static QString QuotedLiteral(const QString& text);
};

// SQL Server's literals (T-SQL); also the dialect before any connection is open.
const SqlDialect& TransactSqlDialect();
// Standard SQL's literals, '…' and X'0AFF': SQLite and generic ODBC sources.
const SqlDialect& StandardSqlDialect();
