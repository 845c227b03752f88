#include "db/odbc/OdbcFlavour.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

// "SQLOLEDB.1" names the same provider as "SQLOLEDB": OLE DB appends version numbers.
QString WithoutVersion(const QString& provider)
{
    static const QRegularExpression version(QStringLiteral("\\.\\d+$"));
    QString name = provider.trimmed();
    name.remove(version);
    return name;
}

} // namespace

bool IsSqlServerProvider(const QString& provider)
{
    static const QStringList providers = {QStringLiteral("sqloledb"), QStringLiteral("msoledbsql"),
                                          QStringLiteral("sqlncli11")};
    return providers.contains(WithoutVersion(provider), Qt::CaseInsensitive);
}

bool IsGenericOdbcProvider(const QString& provider)
{
    return WithoutVersion(provider).compare(QLatin1String("msdasql"), Qt::CaseInsensitive) == 0;
}
