#include "db/DbClientFactory.h"

#include "db/client/ConnectionString.h"
#include "db/odbc/OdbcClient.h"
#include "db/odbc/OdbcFlavour.h"
#include "db/sqlite/SqliteClient.h"

namespace {

QMap<QString, std::function<std::unique_ptr<DbClient>()>>& RegisteredProviders()
{
    static QMap<QString, std::function<std::unique_ptr<DbClient>()>> providers;
    return providers;
}

} // namespace

void RegisterDbProvider(const QString& provider, std::function<std::unique_ptr<DbClient>()> make)
{
    RegisteredProviders().insert(provider.toLower(), std::move(make));
}

std::unique_ptr<DbClient> CreateDbClient(const QString& connectionString, DbError& error)
{
    QMap<QString, QString> attributes;
    if (!ParseConnectionString(connectionString, attributes)) {
        error = DbError::DriverFailure(kUnparsableConnectionString);
        return nullptr;
    }
    const QString provider = attributes.value(QStringLiteral("provider"));
    if (const auto registered = RegisteredProviders().constFind(provider.toLower());
        registered != RegisteredProviders().cend())
        return (*registered)();
    if (provider.compare(QLatin1String("sqlite"), Qt::CaseInsensitive) == 0)
        return std::make_unique<SqliteClient>();
    if (IsSqlServerProvider(provider))
        return std::make_unique<OdbcClient>(OdbcFlavour::SqlServer);
    if (IsGenericOdbcProvider(provider))
        return std::make_unique<OdbcClient>(OdbcFlavour::Generic);
    error = {DbError::kNoProvider, QStringLiteral("未找到提供程序“%1”。该程序可能未正确安装。").arg(provider)};
    return nullptr;
}
