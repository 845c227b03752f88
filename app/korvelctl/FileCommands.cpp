// The commands on Korvel's files: the cipher, the value lists, the demo's value lists and
// label bundles.

#include "app/korvelctl/CommandSupport.h"

#include "app/korvelctl/Utf8TextFile.h"
#include "config/ValueLists.h"
#include "demodata/DemoDatabase.h"
#include "labels/LabelBundle.h"
#include "util/FileCipher.h"
#include "util/FileIO.h"

namespace korvel {

namespace {

int PrintValueLists(const QString& path, CommandContext& context)
{
    const Result<ValueLists> lists = readValueListFile(path);
    if (!lists)
        return ExitCodeOf(lists.outcome, context);
    for (int list = 0; list < kValueListCount; ++list) {
        const QString& name = valueListNames()[list];
        const ValueList& entries = lists.value[list];
        for (auto entry = entries.cbegin(); entry != entries.cend(); ++entry)
            context.out << name << '\t' << EscapeForDisplay(entry.key()) << '\t' << EscapeForDisplay(entry.value())
                        << '\n';
    }
    return kExitOk;
}

int BuildValueListFile(const QString& sourcePath, const QString& outputPath, CommandContext& context)
{
    const std::optional<QString> text = ReadUtf8TextFile(sourcePath, context.messages);
    if (!text)
        return kExitFailure;
    QByteArray plaintext;
    QString error;
    if (!ValueListPlaintextFromLines(*text, plaintext, error)) {
        context.messages.showWarning(error);
        return kExitFailure;
    }
    return ExitCodeOf(writeWholeFile(outputPath, cryptFileData(plaintext)), context);
}

} // namespace

// encrypt and decrypt are one operation: the cipher is its own inverse.
int RunCipherCommand(const CommandLine& line, CommandContext& context)
{
    if (line.arguments.size() != 2)
        return kExitUsage;
    const Result<QByteArray> input = readWholeFile(line.arguments[0]);
    if (!input)
        return ExitCodeOf(input.outcome, context);
    return ExitCodeOf(writeWholeFile(line.arguments[1], cryptFileData(input.value)), context);
}

int RunValuesCommand(const CommandLine& line, CommandContext& context)
{
    if (line.options.isSet(kBuildOption))
        return line.arguments.size() == 2 ? BuildValueListFile(line.arguments[0], line.arguments[1], context)
                                          : kExitUsage;
    return line.arguments.size() == 1 ? PrintValueLists(line.arguments[0], context) : kExitUsage;
}

int RunDemoValuesCommand(const CommandLine& line, CommandContext& context)
{
    if (line.arguments.size() != 1)
        return kExitUsage;
    return ExitCodeOf(writeWholeFile(line.arguments[0], demoValueListText().toUtf8()), context);
}

// Shows a bundle as the import takes it apart, so that a bundle that will not import can
// be looked into: each block's table name on a line of its own, then its rows, the
// column-name row first.
int RunBundleCommand(const CommandLine& line, CommandContext& context)
{
    if (line.arguments.size() != 1)
        return kExitUsage;
    const Result<QByteArray> file = readWholeFile(line.arguments[0]);
    if (!file)
        return ExitCodeOf(file.outcome, context);
    for (const BundleBlock& block : readBundleText(decodeBundle(file.value))) {
        context.out << EscapeForDisplay(block.tableName) << '\n';
        PrintTextRows(block.rows, context.out);
    }
    return kExitOk;
}

} // namespace korvel
