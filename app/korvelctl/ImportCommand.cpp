#include "app/korvelctl/Commands.h"
#include "app/korvelctl/Korvelctl.h"
#include "app/korvelctl/LabelNoOptionResolver.h"
#include "app/korvelctl/QuietSuccessSink.h"
#include "app/korvelctl/SettingsConnection.h"

#include "labels/LabelBundle.h"
#include "labels/LabelImport.h"

namespace {

struct ImportArguments
{
    QString settings;
    QString file;
    std::optional<QString> newLabelNo;
};

// The option may stand anywhere. An empty value parses, so that it is refused with the
// dialog's message rather than as a usage error.
bool ParseArguments(const QStringList& arguments, ImportArguments& parsed)
{
    QStringList positional;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--label-no") && !parsed.newLabelNo && i + 1 < arguments.size())
            parsed.newLabelNo = arguments[++i];
        else if (argument.startsWith(QLatin1String("--")) || argument.isEmpty())
            return false;
        else
            positional.append(argument);
    }
    if (positional.size() != 2)
        return false;
    parsed.settings = positional[0];
    parsed.file = positional[1];
    return true;
}

} // namespace

// The main window's import; --label-no answers the duplicate-label dialog.
int RunImportCommand(const QStringList& arguments, CommandContext& context)
{
    ImportArguments parsed;
    if (!ParseArguments(arguments, parsed))
        return UsageError(context, QStringLiteral("import SETTINGS FILE [--label-no NEW]"));
    if (parsed.newLabelNo && parsed.newLabelNo->isEmpty()) {
        context.messages.ShowWarning(kEmptyLabelNoText);
        return kExitFailure;
    }
    const std::optional<QString> connection = ConnectionStringOfSettings(parsed.settings, context.messages);
    if (!connection)
        return kExitFailure;
    QuietSuccessSink messages(context.messages);
    LabelNoOptionResolver resolver(parsed.newLabelNo, context.messages);
    return ImportLabel(*connection, parsed.file, resolver, messages) ? kExitOk : kExitFailure;
}
