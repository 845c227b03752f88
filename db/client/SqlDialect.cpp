#include "db/client/SqlDialect.h"

namespace {

class TransactSql : public SqlDialect
{
public:
    QString TextLiteral(const QString& text) const override { return QLatin1Char('N') + QuotedLiteral(text); }
    QString BinaryLiteral(const QByteArray& bytes) const override
    {
        // 0x alone is T-SQL's empty binary value.
        return QLatin1String("0x") + QString::fromLatin1(bytes.toHex().toUpper());
    }
};

class StandardSql : public SqlDialect
{
public:
    QString TextLiteral(const QString& text) const override { return QuotedLiteral(text); }
    QString BinaryLiteral(const QByteArray& bytes) const override
    {
        return QLatin1String("X'") + QString::fromLatin1(bytes.toHex().toUpper()) + QLatin1Char('\'');
    }
};

} // namespace

QString SqlDialect::QuotedLiteral(const QString& text)
{
    QString literal = text;
    literal.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + literal + QLatin1Char('\'');
}

const SqlDialect& TransactSqlDialect()
{
    static const TransactSql dialect;
    return dialect;
}

const SqlDialect& StandardSqlDialect()
{
    static const StandardSql dialect;
    return dialect;
}
