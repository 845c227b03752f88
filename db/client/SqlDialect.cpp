#include "db/client/SqlDialect.h"

#include "util/TextConversions.h"

#include <QRegularExpression>

#include <algorithm>

namespace korvel {

namespace {

// SQLite and PostgreSQL compare texts exactly: both sides lowered, blanks cut off their end.
// (The embedded client's lower() lowers every script, as SQL Server's LOWER() does; the
// sqlite3 shell's, running the same statement, lowers ASCII letters.)
QString foldedTextEquals(const QString& column, const QString& literal)
{
    return QStringLiteral("lower(rtrim(%1))=lower(rtrim(%2))").arg(column, literal);
}

// '…' after the prefix, each quote doubled, and each backslash too for an engine that reads
// it as an escape. Built in one allocation: an import writes one for nearly every value.
QString quoted(QLatin1String prefix, const QString& text, bool backslashEscapes)
{
    const auto doubled = [backslashEscapes](QChar c) {
        return c == QLatin1Char('\'') || (backslashEscapes && c == QLatin1Char('\\'));
    };
    const qsizetype extra = std::count_if(text.cbegin(), text.cend(), doubled);
    QString literal;
    literal.reserve(prefix.size() + text.size() + extra + 2);
    literal += prefix;
    literal += QLatin1Char('\'');
    if (extra == 0) {
        literal += text;
    } else {
        for (const QChar c : text) {
            literal += c;
            if (doubled(c))
                literal += c;
        }
    }
    literal += QLatin1Char('\'');
    return literal;
}

// "insert into T (a,b) ", as the statement of one row begins.
QString insertInto(const QString& table, const QStringList& columns)
{
    return QStringLiteral("insert into %1 (%2) ").arg(table, columns.join(QLatin1Char(',')));
}

// "insert into T (a,b)  values(…),(…)", as the statement of one row is written.
QString multiRowInsert(const QString& table, const QStringList& columns, const QStringList& rows)
{
    return insertInto(table, columns) + QLatin1String(" values") + rows.join(QLatin1Char(','));
}

class TransactSql : public SqlDialect
{
public:
    QString textLiteral(const QString& text) const override { return quoted(QLatin1String("N"), text, false); }
    // 0x alone is T-SQL's empty binary value.
    QString binaryLiteral(const QByteArray& bytes) const override { return QLatin1String("0x") + bytesToHex(bytes); }
    // The only forms SQL Server reads alike under every login language: a date alone
    // without separators, a moment with the "T" (its fraction as the column keeps it).
    QString dateTimeLiteral(const QString& programText) const override
    {
        static const QRegularExpression date(
            QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})( \\d{2}:\\d{2}:\\d{2}(\\.\\d{3})?)?$"));
        const QRegularExpressionMatch match = date.match(programText);
        if (!match.hasMatch())
            return quotedLiteral(programText);
        if (!match.hasCaptured(4))
            return quotedLiteral(match.captured(1) + match.captured(2) + match.captured(3));
        return quotedLiteral(QString(programText).replace(10, 1, QLatin1Char('T')));
    }
    // SCOPE_IDENTITY() belongs to the batch that inserted: another session's insert, or a
    // trigger's, cannot stand in for ours.
    QString insertReturningKey(const QString& insert, const QString&) const override
    {
        return insert + QLatin1String(";select SCOPE_IDENTITY()");
    }
    // Rows of digits joined until there are enough of them: a short statement however many.
    QString newIdsQuery(qsizetype count) const override
    {
        QStringList digits;
        for (qsizetype rows = 1; rows < count || digits.isEmpty(); rows *= 10)
            digits.append(QStringLiteral("(values(0),(1),(2),(3),(4),(5),(6),(7),(8),(9)) d%1(n)").arg(digits.size()));
        return QStringLiteral("select top (%1) NEWID() from ").arg(count) + digits.join(QLatin1String(" cross join "));
    }
    // Each row's statement as it would go alone, in one batch: its values reach each column as
    // they always did, and each new key is read back by SCOPE_IDENTITY() from its own insert,
    // the keys joined in a text (a table variable would be a table the server makes and
    // drops). A statement that fails may leave the others to run: the caller takes the batch
    // back.
    QString insertRowsStatement(const QString& table, const QStringList& columns, const QStringList& rows,
                                const QString& keyColumn) const override
    {
        const QString into = insertInto(table, columns) + QLatin1String(" values");
        QString batch = keyColumn.isEmpty() ? QString() : QStringLiteral("declare @k varchar(max)='';");
        for (const QString& row : rows) {
            batch += into + row + QLatin1Char(';');
            if (!keyColumn.isEmpty())
                batch += QLatin1String("set @k=@k+cast(SCOPE_IDENTITY() as varchar(40))+',';");
        }
        if (!keyColumn.isEmpty())
            batch += QLatin1String("select @k");
        return batch;
    }
    bool takesStatementsTogether() const override { return true; }
    // A transaction that an error has ended leaves none open.
    QString openTransactionsQuery() const override { return QStringLiteral("select @@TRANCOUNT"); }
    QString savepointStatement(const QString& name) const override { return QLatin1String("SAVE TRANSACTION ") + name; }
    QString rollbackToSavepointStatement(const QString& name) const override
    {
        return QLatin1String("ROLLBACK TRANSACTION ") + name;
    }
    QString releaseSavepointStatement(const QString&) const override { return QString(); }
    // sys.columns (SQL Server 2005 on), which servers answer faster than syscolumns.
    QString columnCodePagesQuery(const QString& table) const override
    {
        return QStringLiteral("select name, collationproperty(collation_name, 'CodePage') from sys.columns"
                              " where object_id=object_id(%1)")
            .arg(textLiteral(table));
    }
    // @@ROWCOUNT counts whatever the session's or the server's NOCOUNT setting.
    QString selectingRowCount(const QString& statement) const override
    {
        static const QRegularExpression write(QStringLiteral("^\\s*(insert|update|delete|merge)\\b"),
                                              QRegularExpression::CaseInsensitiveOption);
        if (!write.match(statement).hasMatch())
            return QString();
        QStringView ended = statement;
        while (!ended.isEmpty() && (ended.back().isSpace() || ended.back() == QLatin1Char(';')))
            ended.chop(1);
        return ended.toString() + QLatin1String(";select @@ROWCOUNT");
    }
};

class StandardSql : public SqlDialect
{
public:
    QString textLiteral(const QString& text) const override { return quotedLiteral(text); }
    QString binaryLiteral(const QByteArray& bytes) const override
    {
        return QLatin1String("X'") + bytesToHex(bytes) + QLatin1Char('\'');
    }
};

class BackslashEscapingSql : public StandardSql
{
public:
    QString quotedLiteral(const QString& text) const override { return quoted(QLatin1String(), text, true); }
};

class Sqlite : public StandardSql
{
public:
    QString fromTransactSql(const QString& sql) const override { return rewriteTopClause(sql); }
    // The row id is the connection's own, and the key column of the program's tables is
    // the row id.
    QString insertReturningKey(const QString& insert, const QString&) const override
    {
        return insert + QLatin1String(";select last_insert_rowid()");
    }
    QString textEquals(const QString& column, const QString& literal) const override
    {
        return foldedTextEquals(column, literal);
    }
    QString newIdsQuery(qsizetype count) const override
    {
        return QStringLiteral("with recursive n(i) as (select 1 union all select i+1 from n where i<%1)"
                              " select NEWID() from n")
            .arg(count);
    }
    // SQLite keeps a number as a double, which gives back exactly a decimal of up to 15
    // significant digits: the column's numeric affinity would round one with more. Such a
    // decimal goes as the bytes of its text, which the engine keeps as they are and reads
    // as the decimal.
    QString decimalLiteral(const QString& programText) const override
    {
        constexpr qsizetype kDigitsOfADouble = 15;
        qsizetype digits = 0;
        for (const QChar c : programText) {
            if (c.isDigit() && (digits > 0 || c != QLatin1Char('0')))
                ++digits;
        }
        return digits <= kDigitsOfADouble ? programText : binaryLiteral(programText.toUtf8());
    }
    // The engine refuses by the value rules, but sees a value only once the column's
    // affinity has made a number of a text such as "1e3" (which SQL Server refuses for an
    // int); the bytes of the text are turned into nothing, and the check reads them as text.
    QString refusedLiteral(const QString& value) const override { return binaryLiteral(value.toUtf8()); }
};

// A '…' literal reads a backslash as itself or as an escape, as the database's
// standard_conforming_strings says; an E'…' literal always as an escape.
class PostgreSql : public SqlDialect
{
public:
    QString textLiteral(const QString& text) const override { return quotedLiteral(text); }
    QString quotedLiteral(const QString& text) const override { return quoted(QLatin1String("E"), text, true); }
    QString binaryLiteral(const QByteArray& bytes) const override
    {
        return QLatin1String("E'\\\\x") + bytesToHex(bytes) + QLatin1String("'::bytea");
    }
    // A boolean column takes no integer.
    QString booleanLiteral(bool value) const override
    {
        return value ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    }
    QString textEquals(const QString& column, const QString& literal) const override
    {
        return foldedTextEquals(column, literal);
    }
    QString fromTransactSql(const QString& sql) const override { return rewriteTopClause(sql); }
    QString insertReturningKey(const QString& insert, const QString& keyColumn) const override
    {
        return insert + QLatin1String(" returning ") + keyColumn;
    }
    QString newIdsQuery(qsizetype count) const override
    {
        return QStringLiteral("select newid() from generate_series(1,%1)").arg(count);
    }
    // The server takes the values of an INSERT's VALUES each in its column's type, and numbers
    // its rows in their order: the keys in ascending order are the rows'.
    QString insertRowsStatement(const QString& table, const QStringList& columns, const QStringList& rows,
                                const QString& keyColumn) const override
    {
        const QString statement = multiRowInsert(table, columns, rows);
        if (keyColumn.isEmpty())
            return statement;
        return QStringLiteral("with k as (%1) select %2 from k order by %2")
            .arg(insertReturningKey(statement, keyColumn), keyColumn);
    }
    bool takesStatementsTogether() const override { return true; }
    // The server runs the statements of one query message (psqlODBC sends a batch without
    // parameters as one) as a transaction of their own, unless one is open. The query stands
    // in a block of PL/pgSQL, which every server has, quoted between dollar tags.
    QString failWhenFoundStatement(const QString& query) const override
    {
        const QLatin1String tag("$korvel_guard$");
        if (query.contains(tag))
            return QString();
        return QStringLiteral("DO %1BEGIN IF EXISTS(%2) THEN RAISE EXCEPTION 'found'; END IF; END%1").arg(tag, query);
    }
};

} // namespace

QString SqlDialect::booleanLiteral(bool value) const
{
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

QString SqlDialect::dateTimeLiteral(const QString& programText) const
{
    return quotedLiteral(programText);
}

QString SqlDialect::decimalLiteral(const QString& programText) const
{
    return programText;
}

QString SqlDialect::textEquals(const QString& column, const QString& literal) const
{
    return column + QLatin1Char('=') + literal;
}

QString SqlDialect::fromTransactSql(const QString& sql) const
{
    return sql;
}

QString SqlDialect::insertReturningKey(const QString&, const QString&) const
{
    return QString();
}

QString SqlDialect::newIdsQuery(qsizetype) const
{
    return QString();
}

QString SqlDialect::insertRowsStatement(const QString&, const QStringList&, const QStringList&, const QString&) const
{
    return QString();
}

bool SqlDialect::takesStatementsTogether() const
{
    return false;
}

QString SqlDialect::failWhenFoundStatement(const QString&) const
{
    return QString();
}

QString SqlDialect::openTransactionsQuery() const
{
    return QStringLiteral("select 1");
}

QString SqlDialect::selectingRowCount(const QString&) const
{
    return QString();
}

QString SqlDialect::columnCodePagesQuery(const QString&) const
{
    return QString();
}

QString SqlDialect::refusedLiteral(const QString& value) const
{
    return quotedLiteral(value);
}

QString SqlDialect::savepointStatement(const QString& name) const
{
    return QLatin1String("SAVEPOINT ") + name;
}

QString SqlDialect::rollbackToSavepointStatement(const QString& name) const
{
    return QLatin1String("ROLLBACK TO SAVEPOINT ") + name;
}

QString SqlDialect::releaseSavepointStatement(const QString& name) const
{
    return QLatin1String("RELEASE SAVEPOINT ") + name;
}

QString SqlDialect::quotedLiteral(const QString& text) const
{
    return quoted(QLatin1String(), text, false);
}

const SqlDialect& transactSqlDialect()
{
    static const TransactSql dialect;
    return dialect;
}

const SqlDialect& sqliteDialect()
{
    static const Sqlite dialect;
    return dialect;
}

const SqlDialect& postgreSqlDialect()
{
    static const PostgreSql dialect;
    return dialect;
}

const SqlDialect& standardSqlDialect()
{
    static const StandardSql dialect;
    return dialect;
}

const SqlDialect& backslashEscapingSqlDialect()
{
    static const BackslashEscapingSql dialect;
    return dialect;
}

const SqlDialect* standardDialectReading(const QString& read)
{
    if (read == QLatin1String("\\\\"))
        return &standardSqlDialect();
    if (read == QLatin1String("\\"))
        return &backslashEscapingSqlDialect();
    return nullptr;
}

QString rewriteTopClause(const QString& sql)
{
    // Most statements are no select at all (an import's INSERTs): no need to match them.
    if (!QStringView(sql).trimmed().startsWith(QLatin1String("select"), Qt::CaseInsensitive))
        return sql;
    static const QRegularExpression top(QStringLiteral("^\\s*select\\s+top\\s+(\\d+)\\s+(.*?)[\\s;]*$"),
                                        QRegularExpression::CaseInsensitiveOption |
                                            QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch match = top.match(sql);
    if (!match.hasMatch())
        return sql;
    return QLatin1String("select ") + match.captured(2) + QLatin1String(" limit ") + match.captured(1);
}

} // namespace korvel
