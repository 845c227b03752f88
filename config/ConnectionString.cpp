#include "config/ConnectionString.h"

#include "config/ConnectionSettings.h"
#include "db/client/ConnectionString.h"

namespace {

QString DataSource(const ConnectionSettings& settings)
{
    if (settings.instance.isEmpty())
        return settings.hostName;
    return settings.hostName + QLatin1Char('\\') + settings.instance;
}

} // namespace

QString BuildConnectionString(const ConnectionSettings& settings)
{
    const QString provider = settings.provider.isEmpty() ? QStringLiteral("sqloledb") : settings.provider;
    const auto quoted = [](const QString& value) { return QuoteConnectionStringValue(value); };
    if (UsesEmbeddedEngine(settings))
        return QStringLiteral("Provider=%1;Data Source=%2;").arg(quoted(provider), quoted(settings.hostName));
    return QStringLiteral("Provider=%1;Data Source=%2;Initial Catalog=%3;User Id=%4;Password=%5;")
        .arg(quoted(provider), quoted(DataSource(settings)), quoted(settings.dataName), quoted(settings.userName),
             quoted(settings.password));
}
