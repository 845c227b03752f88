#include "app/korvelctl/Korvelctl.h"

#include "app/korvelctl/Commands.h"
#include "app/korvelctl/StreamMessageSink.h"

#include <array>

namespace {

struct Command
{
    const char* name;
    int (*run)(const QStringList&, CommandContext&);
    const char* synopsis;
};

const std::array<Command, 11> kCommands = {{
    {"encrypt", RunCipherCommand, "encrypt IN OUT           encipher a file with the file cipher"},
    {"decrypt", RunCipherCommand, "decrypt IN OUT           decipher a file (the same operation)"},
    {"values", RunValuesCommand, "values FILE              print the four lists of a value-list file"},
    {"values", RunValuesCommand, "values --build TEXT OUT  make a value-list file from UTF-8 lines list&entry&value"},
    {"settings", RunSettingsCommand,
     "settings [--show-password] FILE\n"
     "                                     print the connection string of a settings file"},
    {"query", RunQueryCommand, "query SETTINGS SQL       print the rows of a statement on a settings file's database"},
    {"create-db", RunCreateDbCommand,
     "create-db FILE [--demo [--scale N]]\n"
     "                                     create an embedded database, with the demo data when asked"},
    {"demo-values", RunDemoValuesCommand,
     "demo-values OUT          write the demo data's value lists as text for values --build"},
    {"bundle", RunBundleCommand,
     "bundle FILE              print the blocks of a label bundle as the import reads them"},
    {"export", RunExportCommand,
     "export SETTINGS LABELNO OUT\n"
     "                                     write a label of a settings file's database to a label bundle"},
    {"import", RunImportCommand,
     "import SETTINGS FILE [--label-no NEW]\n"
     "                                     import a label bundle, all or nothing; NEW replaces a label\n"
     "                                     number that exists already"},
}};

void PrintHelp(QTextStream& stream)
{
    stream << "korvelctl: prepare and inspect Korvel's files and databases\n\nusage:\n";
    for (const Command& command : kCommands)
        stream << "  korvelctl " << command.synopsis << '\n';
}

} // namespace

int UsageError(CommandContext& context, const QString& synopsis)
{
    context.err << "usage: korvelctl " << synopsis << '\n';
    return kExitUsage;
}

int RunKorvelctl(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    if (arguments.isEmpty()) {
        PrintHelp(err);
        return kExitUsage;
    }
    const QString& name = arguments.front();
    if (name == QLatin1String("help") || name == QLatin1String("--help") || name == QLatin1String("-h")) {
        PrintHelp(out);
        return kExitOk;
    }
    StreamMessageSink messages(err);
    CommandContext context{out, err, messages};
    for (const Command& command : kCommands) {
        if (name == QLatin1String(command.name))
            return command.run(arguments, context);
    }
    err << "korvelctl: unknown command '" << name << "'\n";
    PrintHelp(err);
    return kExitUsage;
}
