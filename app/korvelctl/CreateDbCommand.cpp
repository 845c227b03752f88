#include "app/korvelctl/Commands.h"
#include "app/korvelctl/Korvelctl.h"

#include "db/sqlite/SqliteClient.h"
#include "demodata/DemoDatabase.h"
#include "util/MessageSink.h"

#include <optional>

namespace {

const QString kSynopsis = QStringLiteral("create-db FILE [--demo [--scale N]]");

struct CreateDbArguments
{
    QString file;
    bool demo = false;
    std::optional<int> scale;
};

// Options may stand before or after the file. False on anything else, after saying what
// is wrong with a scale.
bool ParseArguments(const QStringList& arguments, CreateDbArguments& parsed, CommandContext& context)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--demo") && !parsed.demo) {
            parsed.demo = true;
        } else if (argument == QLatin1String("--scale") && !parsed.scale && i + 1 < arguments.size()) {
            bool ok = false;
            const int scale = arguments[++i].toInt(&ok);
            if (!ok || scale < 1 || scale > kMaxDemoScale) {
                context.err << "korvelctl: --scale takes a whole number from 1 to " << kMaxDemoScale << '\n';
                return false;
            }
            parsed.scale = scale;
        } else if (!argument.startsWith(QLatin1String("--")) && !argument.isEmpty() && parsed.file.isEmpty()) {
            parsed.file = argument;
        } else {
            return false;
        }
    }
    return !parsed.file.isEmpty() && (parsed.demo || !parsed.scale);
}

} // namespace

int RunCreateDbCommand(const QStringList& arguments, CommandContext& context)
{
    CreateDbArguments parsed;
    if (!ParseArguments(arguments, parsed, context))
        return UsageError(context, kSynopsis);
    DemoOptions demo;
    demo.scale = parsed.scale.value_or(1);
    QString error;
    const bool created =
        parsed.demo ? CreateDemoDatabase(parsed.file, demo, error) : CreateEmbeddedDatabase(parsed.file, error);
    if (!created) {
        context.messages.ShowWarning(error);
        return kExitFailure;
    }
    return kExitOk;
}
