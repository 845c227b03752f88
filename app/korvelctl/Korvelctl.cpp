#include "app/korvelctl/Korvelctl.h"

#include "app/korvelctl/AttributeCommands.h"
#include "app/korvelctl/CommandSupport.h"
#include "app/korvelctl/WriteList.h"
#include "demodata/DemoDatabase.h"

#include <QCommandLineOption>

#include <vector>

namespace korvel {

namespace {

// One way of calling a command, with what it does; a line of the help.
struct CommandForm
{
    const char* synopsis; // after "korvelctl "
    const char* summary;  // lines after the first are indented under it
};

struct Command
{
    const char* name;
    std::vector<CommandForm> forms;
    QList<QCommandLineOption> options;
    int (*run)(const CommandLine&, CommandContext&);
};

const QCommandLineOption& helpOption()
{
    static const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("show this help"));
    return help;
}

const std::vector<Command>& commands()
{
    static const std::vector<Command> commands = {
        {"encrypt", {{"encrypt IN OUT", "encipher a file with the file cipher"}}, {}, runCipherCommand},
        {"decrypt", {{"decrypt IN OUT", "decipher a file (the same operation)"}}, {}, runCipherCommand},
        {"values",
         {{"values FILE", "print the four lists of a value-list file"},
          {"values --build TEXT OUT", "make a value-list file from UTF-8 lines list&entry&value"}},
         {QCommandLineOption(kBuildOption, QStringLiteral("make the file OUT from the text TEXT"))},
         runValuesCommand},
        {"settings",
         {{"settings [--show-password] FILE", "print the connection string of a settings file"}},
         {QCommandLineOption(kShowPasswordOption, QStringLiteral("print the password instead of ***"))},
         runSettingsCommand},
        {"query",
         {{"query SETTINGS SQL", "print the rows of a statement on a settings file's database"}},
         {},
         runQueryCommand},
        {"create-db",
         {{"create-db FILE [--demo [--scale N]]", "create an embedded database, with the demo data when asked"}},
         {QCommandLineOption(kDemoOption, QStringLiteral("fill it with the demo data")),
          QCommandLineOption(kScaleOption, QStringLiteral("N times as much demo data, N from 1 to %1").arg(kMaxDemoScale),
                             QStringLiteral("N"))},
         runCreateDbCommand},
        {"load-demo",
         {{"load-demo SETTINGS [--scale N]",
           "fill the empty tables of a settings file's database with the demo\ndata of create-db --demo"}},
         {QCommandLineOption(kScaleOption, QStringLiteral("N times as much demo data, N from 1 to %1").arg(kMaxDemoScale),
                             QStringLiteral("N"))},
         runLoadDemoCommand},
        {"demo-values",
         {{"demo-values OUT", "write the demo data's value lists as text for values --build"}},
         {},
         runDemoValuesCommand},
        {"bundle", {{"bundle FILE", "print the blocks of a label bundle as the import reads them"}}, {}, runBundleCommand},
        {"labels",
         {{"labels SETTINGS", "print every label: its number, its controls and item rows"}},
         {},
         runLabelsCommand},
        {"export",
         {{"export SETTINGS LABELNO OUT", "write a label of a settings file's database to a label bundle"},
          {"export SETTINGS --all DIR", "write every label to a bundle of its own in DIR"},
          {"export SETTINGS LABELNO... --to DIR", "write each label to a bundle of its own in DIR"}},
         {QCommandLineOption(kAllOption, QStringLiteral("every label of the database")),
          QCommandLineOption(kToOption, QStringLiteral("the folder for the bundles, one a label"), QStringLiteral("DIR"))},
         runExportCommand},
        {"import",
         {{"import SETTINGS FILE [--label-no NEW]",
           "import a label bundle, all or nothing; NEW replaces a label\nnumber that exists already"},
          {"import SETTINGS FILE...", "import each bundle in its own transaction; a summary at the end"}},
         {QCommandLineOption(kLabelNoOption, QStringLiteral("the number for a label whose number exists already"),
                             QStringLiteral("NEW"))},
         runImportCommand},
        {"check",
         {{"check SETTINGS FILE...", "tell what would keep each bundle from importing; changes nothing"}},
         {},
         runCheckCommand},
        {"harnesses", {{"harnesses SETTINGS", "print every harness number"}}, {}, runHarnessesCommand},
        {"jobs", {{"jobs SETTINGS", "print every job number"}}, {}, runJobsCommand},
        {"wires", {{"wires SETTINGS HARNESSNO", "print the wires of a harness"}}, {}, runWiresCommand},
        {"steps", {{"steps SETTINGS JOBNO", "print the steps (LineID) of a job"}}, {}, runStepsCommand},
        {"write",
         {{"write SETTINGS --harness H --wire W --connection-type|--test-group NAME",
           "write the value of a value-list entry to a wire"},
          {"write SETTINGS --job J --step S --test-mode|--test-group-2 NAME",
           "write the value of a value-list entry to a step"},
          {"write SETTINGS --from FILE",
           "write the values of a file's lines\nATTRIBUTE<TAB>NUMBER<TAB>CHILD<TAB>NAME, all or none"}},
         writeOptions(),
         runWriteCommand},
    };
    return commands;
}

// "  korvelctl SYNOPSIS  summary", the summaries in one column, two blanks at least after
// their synopsis (the manual page is made from the help and parts the two there); a
// synopsis too long for its column puts its summary on the next line.
void printForm(QTextStream& stream, const CommandForm& form)
{
    constexpr int kSynopsisWidth = 25;
    constexpr int kLeastGap = 2;
    const QString indent(2 + 10 + kSynopsisWidth, QLatin1Char(' '));
    const QString synopsis = QString::fromUtf8(form.synopsis);
    stream << "  korvelctl " << synopsis;
    const bool fits = synopsis.size() + kLeastGap <= kSynopsisWidth;
    stream << (fits ? QString(kSynopsisWidth - synopsis.size(), QLatin1Char(' ')) : QLatin1Char('\n') + indent);
    stream << QString::fromUtf8(form.summary).replace(QLatin1Char('\n'), QLatin1Char('\n') + indent) << '\n';
}

void printHelp(QTextStream& stream)
{
    stream << "korvelctl: prepare and inspect Korvel's files and databases\n\nusage:\n";
    for (const Command& command : commands()) {
        for (const CommandForm& form : command.forms)
            printForm(stream, form);
    }
    printForm(stream, {"COMMAND --help", "describe a command and its options"});
    printForm(stream, {"--version", "print korvelctl's version"});
}

void printCommandHelp(QTextStream& stream, const Command& command)
{
    stream << "usage:\n";
    for (const CommandForm& form : command.forms)
        printForm(stream, form);
    stream << "\noptions:\n";
    for (const QCommandLineOption& option : command.options + QList<QCommandLineOption>{helpOption()}) {
        QStringList names;
        for (const QString& name : option.names())
            names.append((name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name);
        QString flags = names.join(QStringLiteral(", "));
        if (!option.valueName().isEmpty())
            flags += QLatin1Char(' ') + option.valueName();
        stream << "  " << flags.leftJustified(16) << ' ' << option.description() << '\n';
    }
}

int usageError(QTextStream& err, const Command& command)
{
    QStringList synopses;
    for (const CommandForm& form : command.forms)
        synopses.append(QString::fromUtf8(form.synopsis));
    err << "usage: korvelctl " << synopses.join(QStringLiteral(" | ")) << '\n';
    return kExitUsage;
}

// An option given twice is as wrong as one the command does not have.
bool eachOptionOnce(const QCommandLineParser& parser)
{
    QStringList seen;
    for (const QString& name : parser.optionNames()) {
        if (seen.contains(name))
            return false;
        seen.append(name);
    }
    return true;
}

int runCommand(const Command& command, const QStringList& words, QTextStream& out, QTextStream& err,
               bool errIsTerminal)
{
    QCommandLineParser parser;
    parser.addOptions(command.options);
    parser.addOption(helpOption());
    if (!parser.parse(QStringList{QString::fromUtf8(command.name)} + words) || !eachOptionOnce(parser))
        return usageError(err, command);
    if (parser.isSet(helpOption())) {
        printCommandHelp(out, command);
        return kExitOk;
    }
    StreamMessageSink messages(err);
    CommandContext context{out, err, messages, errIsTerminal};
    const int exitCode = command.run(CommandLine{parser.positionalArguments(), parser}, context);
    return exitCode == kExitUsage ? usageError(err, command) : exitCode;
}

} // namespace

int runKorvelctl(const QStringList& arguments, QTextStream& out, QTextStream& err, bool errIsTerminal)
{
    // The program's own options stand before the command; what follows it is the command's.
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QCommandLineOption version(QStringLiteral("version"), QStringLiteral("print korvelctl's version"));
    parser.addOption(helpOption());
    parser.addOption(version);
    const bool parsed = parser.parse(QStringList{QStringLiteral("korvelctl")} + arguments);
    const QStringList words = parser.positionalArguments();
    if (parsed && parser.isSet(version)) {
        out << "korvelctl " << KORVEL_VERSION << '\n';
        return kExitOk;
    }
    if (parsed && (parser.isSet(helpOption()) || words.value(0) == QLatin1String("help"))) {
        printHelp(out);
        return kExitOk;
    }
    if (!parsed) {
        err << "korvelctl: " << parser.errorText() << '\n';
        printHelp(err);
        return kExitUsage;
    }
    if (words.isEmpty()) {
        printHelp(err);
        return kExitUsage;
    }
    for (const Command& command : commands()) {
        if (words.front() == QLatin1String(command.name))
            return runCommand(command, words.mid(1), out, err, errIsTerminal);
    }
    err << "korvelctl: unknown command '" << words.front() << "'\n";
    printHelp(err);
    return kExitUsage;
}

} // namespace korvel
