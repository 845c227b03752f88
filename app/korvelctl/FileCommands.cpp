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

int printValueLists(const QString& path, CommandContext& context)
{
    const Result<ValueLists> lists = readValueListFile(path);
    if (!lists)
        return exitCodeOf(lists.outcome, context);
    for (int list = 0; list < kValueListCount; ++list) {
        const QString& name = valueListNames()[list];
        const ValueList& entries = lists.value[list];
        for (auto entry = entries.cbegin(); entry != entries.cend(); ++entry)
            context.out << name << '\t' << escapeForDisplay(entry.key()) << '\t' << escapeForDisplay(entry.value())
                        << '\n';
    }
    return kExitOk;
}

int buildValueListFile(const QString& sourcePath, const QString& outputPath, CommandContext& context)
{
    const std::optional<QString> text = readUtf8TextFile(sourcePath, context.messages);
    if (!text)
        return kExitFailure;
    QByteArray plaintext;
    QString error;
    if (!valueListPlaintextFromLines(*text, plaintext, error)) {
        context.messages.showWarning(error);
        return kExitFailure;
    }
    return exitCodeOf(writeWholeFile(outputPath, cryptFileData(plaintext)), context);
}

} // namespace

// encrypt and decrypt are one operation: the cipher is its own inverse.
int runCipherCommand(const CommandLine& line, CommandContext& context)
{
    if (line.arguments.size() != 2)
        return kExitUsage;
    const Result<QByteArray> input = readWholeFile(line.arguments[0]);
    if (!input)
        return exitCodeOf(input.outcome, context);
    return exitCodeOf(writeWholeFile(line.arguments[1], cryptFileData(input.value)), context);
}

int runValuesCommand(const CommandLine& line, CommandContext& context)
{
    if (line.options.isSet(kBuildOption))
        return line.arguments.size() == 2 ? buildValueListFile(line.arguments[0], line.arguments[1], context)
                                          : kExitUsage;
    return line.arguments.size() == 1 ? printValueLists(line.arguments[0], context) : kExitUsage;
}

int runDemoValuesCommand(const CommandLine& line, CommandContext& context)
{
    if (line.arguments.size() != 1)
        return kExitUsage;
    return exitCodeOf(writeWholeFile(line.arguments[0], demoValueListText().toUtf8()), context);
}

// Shows a bundle as the import takes it apart, so that a bundle that will not import can
// be looked into: each block's table name on a line of its own, then its rows, the
// column-name row first.
int runBundleCommand(const CommandLine& line, CommandContext& context)
{
    if (line.arguments.size() != 1)
        return kExitUsage;
    const Result<QByteArray> file = readWholeFile(line.arguments[0]);
    if (!file)
        return exitCodeOf(file.outcome, context);
    for (const BundleBlock& block : readBundleText(decodeBundle(file.value))) {
        context.out << escapeForDisplay(block.tableName) << '\n';
        printTextRows(block.rows, context.out);
    }
    return kExitOk;
}

} // namespace korvel
