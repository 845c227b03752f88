#include "db/odbc/PostgreSqlDialect.h"

#include "db/client/SqlDialect.h"

namespace {

class PostgreSql : public SqlDialect
{
public:
    QString TextLiteral(const QString& text) const override { return QuotedLiteral(text); }
    QString BinaryLiteral(const QByteArray& bytes) const override
    {
        return QLatin1String("'\\x") + QString::fromLatin1(bytes.toHex().toUpper()) + QLatin1String("'::bytea");
    }
};

} // namespace

const SqlDialect& PostgreSqlDialect()
{
    static const PostgreSql dialect;
    return dialect;
}
