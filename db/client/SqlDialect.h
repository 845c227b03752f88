#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace korvel {

// The forms that differ between the database engines: literals, "top N", and how a new
// row's key is read back. Every value that goes into the text of a statement is written by
// one of these functions, so that no value can end its literal early or add a statement of
// its own.
class SqlDialect
{
public:
    virtual ~SqlDialect() = default;

    // A text value in any script: N'…' on SQL Server, '…' elsewhere (E'…' on PostgreSQL).
    virtual QString textLiteral(const QString& text) const = 0;
    // Binary data: 0x0AFF on SQL Server, X'0AFF' on SQLite.
    virtual QString binaryLiteral(const QByteArray& bytes) const = 0;
    // A bit: 1 or 0.
    virtual QString booleanLiteral(bool value) const;
    // A date-time given in the program's text form ("2017-04-06", "2017-04-06 14:30:00.250").
    virtual QString dateTimeLiteral(const QString& programText) const;
    // An exact decimal given in the program's text form ("-12345678.0123456789"): the number
    // as it stands, which every server reads exactly.
    virtual QString decimalLiteral(const QString& programText) const;

    // The condition that a text column equals a text literal as SQL Server's default
    // collation compares them: ignoring case and blanks at the end. On SQL Server (and any
    // other server) the column's collation decides, and the comparison is a plain "=".
    virtual QString textEquals(const QString& column, const QString& literal) const;

    // The statement as this engine reads it: the program writes T-SQL.
    virtual QString fromTransactSql(const QString& sql) const;
    // A statement that runs the INSERT and gives, as its one value, the key the server gave
    // the new row in the key column; empty when the engine has no such form.
    virtual QString insertReturningKey(const QString& insert, const QString& keyColumn) const;
    // A query that gives `count` new GUIDs, one a row, each from the engine's NEWID() as
    // "select NEWID()" gives one; empty where the engine has no such form.
    virtual QString newIdsQuery(qsizetype count) const;
    // Several rows in one round trip: the INSERT into the table's columns (as they stand in a
    // statement) of each of the rows ("(literal,…)"); with a key column, also the query of
    // the keys the server generated for the rows in it, in the rows' order: one a row, or
    // in one text, separated by commas. A row
    // it cannot insert fails it, but may leave others inserted. Empty where the engine takes
    // one row a round trip.
    virtual QString insertRowsStatement(const QString& table, const QStringList& columns, const QStringList& rows,
                                        const QString& keyColumn) const;
    // Whether insertRowsStatement has a form, and several statements go in one batch, each
    // query's result read back.
    virtual bool takesStatementsTogether() const;
    // On an engine that runs a batch of several statements sent while no transaction is open
    // as one transaction, all or nothing: a statement that fails when the query finds a row,
    // and so takes the batch back whole. Empty on any other engine, and where the query
    // cannot stand in it.
    virtual QString failWhenFoundStatement(const QString& query) const;
    // A query of the transactions open on the connection, whose one value is 0 when an error
    // has ended the one that was, and that fails when it can take no more statements.
    virtual QString openTransactionsQuery() const;
    // A write (INSERT, UPDATE, DELETE, MERGE) followed in its batch by a query of the rows it
    // changed (its last statement, in a batch of several), on an engine whose server may be
    // set to report no counts (SQL Server's SET NOCOUNT ON); empty for any other statement
    // or engine.
    virtual QString selectingRowCount(const QString& statement) const;
    // A query of the table's columns, each with the code page of its collation: name, code
    // page (0 or NULL where there is none). Empty on an engine whose text columns take any
    // character, or whose client gives the code page with each column's type.
    virtual QString columnCodePagesQuery(const QString& table) const;
    // A value the value rules refuse for its column, written so that the engine sees it as
    // it stands and refuses it with its own reason: quoted.
    virtual QString refusedLiteral(const QString& value) const;

    // A savepoint inside a transaction: the statements that set one, take back what
    // followed it, and keep what followed it and end it (empty where the engine has no
    // such statement: a T-SQL savepoint lasts until its transaction ends). Standard SQL's
    // by default.
    virtual QString savepointStatement(const QString& name) const;
    virtual QString rollbackToSavepointStatement(const QString& name) const;
    virtual QString releaseSavepointStatement(const QString& name) const;

    // A plain quoted literal: GUIDs and other values that the server converts from text.
    // '…' with quotes doubled, unless the engine may read a backslash as an escape.
    virtual QString quotedLiteral(const QString& text) const;
};

// SQL Server's (T-SQL); also the dialect before any connection is open.
const SqlDialect& transactSqlDialect();
// The embedded engine's: standard literals, LIMIT for "top", the row id of the last insert.
const SqlDialect& sqliteDialect();
// PostgreSQL's, for ODBC sources whose DBMS is PostgreSQL: E'…' literals, which read alike
// whatever the server's standard_conforming_strings.
const SqlDialect& postgreSqlDialect();
// Standard SQL's, '…' and X'0AFF', for any other ODBC source that reads a backslash in a
// literal as itself.
const SqlDialect& standardSqlDialect();
// Standard SQL's for a source that reads a backslash in a literal as an escape (MySQL's
// default): backslashes doubled as well as quotes.
const SqlDialect& backslashEscapingSqlDialect();

// The standard dialect for a source that read the literal '\\' as `read`: two backslashes
// as standard SQL reads it, one with backslash escapes; none for any other reading.
const SqlDialect* standardDialectReading(const QString& read);

// SQLite and PostgreSQL have LIMIT where T-SQL has TOP: "select top N rest" becomes
// "select rest limit N". Other statements stand as they are.
QString rewriteTopClause(const QString& sql);

} // namespace korvel
