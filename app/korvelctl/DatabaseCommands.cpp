// The commands on databases: a settings file's connection string and database, a new
// embedded database, the demo data in a server's database.

#include "app/korvelctl/CommandSupport.h"

#include "config/ConnectionSettings.h"
#include "db/sqlite/SqliteClient.h"
#include "demodata/DemoDatabase.h"
#include "demodata/DemoServerData.h"

namespace korvel {

namespace {

// A whole number of the range, or nothing.
std::optional<int> demoScale(const QString& text)
{
    bool ok = false;
    const int scale = text.toInt(&ok);
    if (!ok || scale < 1 || scale > kMaxDemoScale)
        return std::nullopt;
    return scale;
}

// The demo options of --scale; false, with the reason printed, when its value is none.
bool readDemoOptions(const CommandLine& line, CommandContext& context, DemoOptions& options)
{
    if (!line.options.isSet(kScaleOption))
        return true;
    const std::optional<int> scale = demoScale(line.options.value(kScaleOption));
    if (!scale) {
        context.err << "korvelctl: --scale takes a whole number from 1 to " << kMaxDemoScale << '\n';
        return false;
    }
    options.scale = *scale;
    return true;
}

} // namespace

int runSettingsCommand(const CommandLine& line, CommandContext& context)
{
    if (line.arguments.size() != 1)
        return kExitUsage;
    Result<ConnectionSettings> settings = readSettingsFile(line.arguments[0]);
    if (!settings)
        return exitCodeOf(settings.outcome, context);
    if (!line.options.isSet(kShowPasswordOption) && !settings.value.password.isEmpty())
        settings.value.password = QStringLiteral("***");
    context.out << escapeForDisplay(buildConnectionString(settings.value)) << '\n';
    return kExitOk;
}

// The connection and the statement go exactly the program's way, through the settings
// file and Database, so that what this prints is what the program reads.
int runQueryCommand(const CommandLine& line, CommandContext& context)
{
    if (line.arguments.size() != 2)
        return kExitUsage;
    return onOpenSettingsDatabase(line.arguments[0], context, [&](Database& database, MessageSink& messages) {
        // Each row is printed as it is read, so that a large table needs no more memory than
        // a small one; rows read before a failure are printed too, as the program would
        // show them.
        const bool queried =
            database.forEachRow(line.arguments[1], [&context](TextRow& row) { printTextRow(row, context.out); });
        if (!queried)
            messages.showWarning(database.lastError());
        return queried;
    });
}

// The options may stand before or after the file; --scale needs --demo.
int runCreateDbCommand(const CommandLine& line, CommandContext& context)
{
    const bool demo = line.options.isSet(kDemoOption);
    const bool scaled = line.options.isSet(kScaleOption);
    if (line.arguments.size() != 1 || line.arguments[0].isEmpty() || (scaled && !demo))
        return kExitUsage;
    DemoOptions options;
    if (!readDemoOptions(line, context, options))
        return kExitUsage;
    const QString& file = line.arguments[0];
    return exitCodeOf(demo ? createDemoDatabase(file, options) : createEmbeddedDatabase(file), context);
}

// The tables come from db/schema/, made by whoever runs the server; this fills them.
int runLoadDemoCommand(const CommandLine& line, CommandContext& context)
{
    if (line.arguments.size() != 1)
        return kExitUsage;
    DemoOptions options;
    if (!readDemoOptions(line, context, options))
        return kExitUsage;
    return onSettingsDatabase(line.arguments[0], context, [&options](const QString& connection, MessageSink& messages) {
        const Outcome loaded = loadDemoData(connection, options);
        if (!loaded)
            messages.showWarning(loaded.message());
        return loaded.ok();
    });
}

} // namespace korvel
