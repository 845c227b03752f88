#include "app/korvelctl/Commands.h"
#include "app/korvelctl/Korvelctl.h"

#include "demodata/DemoDatabase.h"
#include "util/FileIO.h"

int RunDemoValuesCommand(const QStringList& arguments, CommandContext& context)
{
    if (arguments.size() != 2 || arguments[1].startsWith(QLatin1String("--")))
        return UsageError(context, QStringLiteral("demo-values OUT"));
    return WriteWholeFile(arguments[1], DemoValueListText().toUtf8(), context.messages) ? kExitOk : kExitFailure;
}
