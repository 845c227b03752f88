#include "db/sqlite/TransactSqlRewrite.h"

#include <QRegularExpression>

QString RewriteTopClause(const QString& sql)
{
    static const QRegularExpression top(QStringLiteral("^\\s*select\\s+top\\s+(\\d+)\\s+(.*?)[\\s;]*$"),
                                        QRegularExpression::CaseInsensitiveOption |
                                            QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch match = top.match(sql);
    if (!match.hasMatch())
        return sql;
    return QLatin1String("select ") + match.captured(2) + QLatin1String(" limit ") + match.captured(1);
}
