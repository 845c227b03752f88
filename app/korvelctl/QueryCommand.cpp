#include "app/korvelctl/Commands.h"
#include "app/korvelctl/Korvelctl.h"
#include "app/korvelctl/RowPrinting.h"
#include "app/korvelctl/SettingsConnection.h"

#include "db/CAdoDatabase.h"
#include "util/MessageSink.h"

// The connection and the statement go exactly the program's way, through the settings
// file and CAdoDatabase, so that what this prints is what the program reads.
int RunQueryCommand(const QStringList& arguments, CommandContext& context)
{
    if (arguments.size() != 3 || arguments[1].startsWith(QLatin1String("--")))
        return UsageError(context, QStringLiteral("query SETTINGS SQL"));
    const std::optional<QString> connection = ConnectionStringOfSettings(arguments[1], context.messages);
    if (!connection)
        return kExitFailure;
    CAdoDatabase database;
    if (!database.Open(*connection)) {
        context.messages.ShowWarning(database.m_strError);
        return kExitFailure;
    }
    TextTable rows;
    const bool queried = database.Query(arguments[2], &rows);
    // Rows read before a failure are printed too, as the program would show them.
    PrintTextRows(rows, context.out);
    if (!queried) {
        context.messages.ShowWarning(database.m_strError);
        return kExitFailure;
    }
    return kExitOk;
}
