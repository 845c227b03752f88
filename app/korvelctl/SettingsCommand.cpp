#include "app/korvelctl/Commands.h"
#include "app/korvelctl/Korvelctl.h"

#include "config/ConnectionSettings.h"

int RunSettingsCommand(const QStringList& arguments, CommandContext& context)
{
    const bool showPassword = arguments.size() == 3 && arguments[1] == QLatin1String("--show-password");
    if (arguments.size() != (showPassword ? 3 : 2) || arguments.back().startsWith(QLatin1String("--")))
        return UsageError(context, QStringLiteral("settings [--show-password] FILE"));

    std::optional<ConnectionSettings> settings = ReadSettingsFile(arguments.back(), context.messages);
    if (!settings)
        return kExitFailure;
    if (!showPassword && !settings->password.isEmpty())
        settings->password = QStringLiteral("***");
    context.out << BuildConnectionString(*settings) << '\n';
    return kExitOk;
}
