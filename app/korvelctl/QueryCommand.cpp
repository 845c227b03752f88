#include "app/korvelctl/Commands.h"
#include "app/korvelctl/DisplayEscape.h"
#include "app/korvelctl/Korvelctl.h"

#include "config/ConnectionSettings.h"
#include "config/ConnectionString.h"
#include "db/CAdoDatabase.h"
#include "util/MessageSink.h"

namespace {

void PrintRows(const TextTable& rows, QTextStream& out)
{
    for (const TextRow& row : rows) {
        for (qsizetype field = 0; field < row.size(); ++field) {
            if (field > 0)
                out << '\t';
            out << EscapeForDisplay(row[field]);
        }
        out << '\n';
    }
}

} // namespace

// The connection and the statement go exactly the program's way, through the settings
// file and CAdoDatabase, so that what this prints is what the program reads.
int RunQueryCommand(const QStringList& arguments, CommandContext& context)
{
    if (arguments.size() != 3 || arguments[1].startsWith(QLatin1String("--")))
        return UsageError(context, QStringLiteral("query SETTINGS SQL"));
    const std::optional<ConnectionSettings> settings = ReadSettingsFile(arguments[1], context.messages);
    if (!settings)
        return kExitFailure;
    CAdoDatabase database;
    if (!database.Open(BuildConnectionString(*settings))) {
        context.messages.ShowWarning(database.m_strError);
        return kExitFailure;
    }
    TextTable rows;
    const bool queried = database.Query(arguments[2], &rows);
    // Rows read before a failure are printed too, as the program would show them.
    PrintRows(rows, context.out);
    if (!queried) {
        context.messages.ShowWarning(database.m_strError);
        return kExitFailure;
    }
    return kExitOk;
}
