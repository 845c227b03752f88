#include "app/korvelctl/SettingsConnection.h"

#include "config/ConnectionSettings.h"

std::optional<QString> ConnectionStringOfSettings(const QString& settingsPath, MessageSink& messages)
{
    const std::optional<ConnectionSettings> settings = ReadSettingsFile(settingsPath, messages);
    if (!settings)
        return std::nullopt;
    return BuildConnectionString(*settings);
}
