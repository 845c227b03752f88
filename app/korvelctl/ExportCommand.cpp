#include "app/korvelctl/Commands.h"
#include "app/korvelctl/Korvelctl.h"
#include "app/korvelctl/QuietSuccessSink.h"
#include "app/korvelctl/SettingsConnection.h"

#include "labels/LabelBundle.h"
#include "labels/LabelExport.h"

// The main window's export, the label number given instead of chosen.
int RunExportCommand(const QStringList& arguments, CommandContext& context)
{
    if (arguments.size() != 4 || arguments[1].startsWith(QLatin1String("--")))
        return UsageError(context, QStringLiteral("export SETTINGS LABELNO OUT"));
    if (arguments[2].isEmpty()) {
        context.messages.ShowWarning(kEmptyLabelNoText);
        return kExitFailure;
    }
    const std::optional<QString> connection = ConnectionStringOfSettings(arguments[1], context.messages);
    if (!connection)
        return kExitFailure;
    QuietSuccessSink messages(context.messages);
    return ExportLabel(*connection, arguments[2], arguments[3], messages) ? kExitOk : kExitFailure;
}
