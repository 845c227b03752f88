#pragma once

#include <QByteArray>
#include <QString>

// The forms that differ between the database engines: literals, "top N", and how a new
// row's key is read back. Every value that goes into the text of a statement is written by
// one of these functions, so that no value can end its literal early or add a statement of
// its own.
class SqlDialect
{
public:
    virtual ~SqlDialect() = default;

    // A text value in any script: N'…' on SQL Server, '…' elsewhere; quotes doubled.
    virtual QString TextLiteral(const QString& text) const = 0;
    // Binary data: 0x0AFF on SQL Server, X'0AFF' on SQLite.
    virtual QString BinaryLiteral(const QByteArray& bytes) const = 0;
    // A bit: 1 or 0.
    virtual QString BooleanLiteral(bool value) const;
    // A date-time given in the program's text form ("2017-04-06", "2017-04-06 14:30:00.250").
    virtual QString DateTimeLiteral(const QString& programText) const;
    // An exact decimal given in the program's text form ("-12345678.0123456789"): the number
    // as it stands, which every server reads exactly.
    virtual QString DecimalLiteral(const QString& programText) const;

    // The condition that a text column equals a text literal as SQL Server's default
    // collation compares them: ignoring case and blanks at the end. On SQL Server (and any
    // other server) the column's collation decides, and the comparison is a plain "=".
    virtual QString TextEquals(const QString& column, const QString& literal) const;

    // The statement as this engine reads it: the program writes T-SQL.
    virtual QString FromTransactSql(const QString& sql) const;
    // A statement that runs the INSERT and gives, as its one value, the key the server gave
    // the new row in the key column; empty when the engine has no such form.
    virtual QString InsertReturningKey(const QString& insert, const QString& keyColumn) const;
    // A value the value rules refuse for its column, written so that the engine sees it as
    // it stands and refuses it with its own reason: quoted.
    virtual QString RefusedLiteral(const QString& value) const;

    // A plain quoted literal, '…' with quotes doubled: GUIDs and other values that the
    // server converts from text. The same on every engine.
    static QString QuotedLiteral(const QString& text);
};

// SQL Server's (T-SQL); also the dialect before any connection is open.
const SqlDialect& TransactSqlDialect();
// The embedded engine's: standard literals, LIMIT for "top", the row id of the last insert.
const SqlDialect& SqliteDialect();
// PostgreSQL's, for ODBC sources whose DBMS is PostgreSQL.
const SqlDialect& PostgreSqlDialect();
// Standard SQL's, '…' and X'0AFF', for any other ODBC source.
const SqlDialect& StandardSqlDialect();

// SQLite and PostgreSQL have LIMIT where T-SQL has TOP: "select top N rest" becomes
// "select rest limit N". Other statements stand as they are.
QString RewriteTopClause(const QString& sql);
