#include "app/korvelctl/AttributeCommands.h"

#include "app/korvelctl/Utf8TextFile.h"
#include "app/korvelctl/WriteList.h"
#include "attributes/AttributeWrites.h"
#include "attributes/Cascades.h"
#include "attributes/NumberLists.h"
#include "config/ValueLists.h"

#include <QDir>
#include <QFileInfo>

#include <map>
#include <utility>

namespace korvel {

namespace {

// One number a line, as the window lists them; a failure prints nothing but its reason.
bool printNumbers(const Result<QStringList>& numbers, CommandContext& context, MessageSink& messages)
{
    if (!numbers) {
        messages.showWarning(numbers.message());
        return false;
    }
    for (const QString& number : numbers.value)
        context.out << escapeForDisplay(number) << '\n';
    return true;
}

int listNumbers(const CommandLine& line, CommandContext& context,
                Result<QStringList> (*numbersOf)(Database& database))
{
    if (line.arguments.size() != 1)
        return kExitUsage;
    return onOpenSettingsDatabase(line.arguments[0], context, [&](Database& database, MessageSink& messages) {
        return printNumbers(numbersOf(database), context, messages);
    });
}

int listChildren(const CommandLine& line, CommandContext& context, const Cascade& cascade)
{
    if (line.arguments.size() != 2 || line.arguments[1].isEmpty())
        return kExitUsage;
    return onOpenSettingsDatabase(line.arguments[0], context, [&](Database& database, MessageSink& messages) {
        Result<Children> children = childrenOf(database, cascade, line.arguments[1]);
        return printNumbers({children.outcome, std::move(children.value.numbers)}, context, messages);
    });
}

// Writes the values one after the other, each as the window writes it. The first that
// cannot be written ends the run with its reason, its line named.
class WriteRun
{
public:
    WriteRun(Database& database, const ValueLists& lists) : m_database(database), m_lists(lists) {}

    // A refusal names the line of the file that asked for the write.
    Outcome write(const RequestedWrite& request)
    {
        Outcome outcome = writeOne(request);
        if (outcome || request.line == 0)
            return outcome;
        return Outcome::failure(QStringLiteral("第%1行：").arg(request.line) + outcome.message());
    }

private:
    Outcome writeOne(const RequestedWrite& request)
    {
        const AttributeWrite& attribute = *request.attribute;
        const Outcome chosen =
            requireChoices(attribute, !request.number.isEmpty(), request.child, request.entry);
        if (!chosen)
            return chosen;
        const Result<QString> value = entryValue(attribute, m_lists, request.entry);
        if (!value)
            return value.outcome;
        const Result<QString> id = recordId(*attribute.cascade, request.number);
        if (!id)
            return id.outcome;
        return writeAttribute(m_database, attribute, id.value, request.child, value.value);
    }

    // A record named on many lines is looked up once.
    Result<QString> recordId(const Cascade& cascade, const QString& number)
    {
        const auto key = std::make_pair(&cascade, number);
        if (const auto known = m_ids.find(key); known != m_ids.end())
            return {Outcome::success(), known->second};
        Result<QString> id = korvel::recordId(m_database, cascade, number);
        if (id)
            m_ids.emplace(key, id.value);
        return id;
    }

    Database& m_database;
    const ValueLists& m_lists;
    std::map<std::pair<const Cascade*, QString>, QString> m_ids;
};

// All the writes in one transaction, or none: the first that fails rolls everything back.
// Gives the line of the write refused (0 for the options, or when the commit failed).
Result<qsizetype> writeAll(Database& database, const ValueLists& lists,
                                   const QList<RequestedWrite>& writes)
{
    if (!database.beginTransaction())
        return {Outcome::failure(database.lastError()), 0};
    WriteRun run(database, lists);
    for (const RequestedWrite& request : writes) {
        const Outcome written = run.write(request);
        if (!written) {
            // A rollback that fails leaves the writes uncommitted all the same: they go
            // with the connection.
            (void)database.rollbackTransaction();
            return {written, request.line};
        }
    }
    if (!database.commitTransaction())
        return {Outcome::failure(database.lastError()), 0};
    return {Outcome::success(), 0};
}

QString valueListPath(const CommandLine& line)
{
    if (line.options.isSet(kValuesOption))
        return line.options.value(kValuesOption);
    return QFileInfo(line.arguments[0]).dir().filePath(kValueListFileName);
}

// The writes the words ask for: an empty list when they do not fit the command, nothing
// after a refusal, which has been told.
std::optional<QList<RequestedWrite>> requestedWrites(const CommandLine& line, CommandContext& context)
{
    if (!line.options.isSet(kFromOption)) {
        const std::optional<RequestedWrite> write = writeFromOptions(line.options);
        return write ? QList<RequestedWrite>{*write} : QList<RequestedWrite>{};
    }
    if (!namesOnlyAFile(line.options))
        return QList<RequestedWrite>{};
    const std::optional<QString> text = readUtf8TextFile(line.options.value(kFromOption), context.messages);
    if (!text)
        return std::nullopt;
    Result<QList<RequestedWrite>> writes = writesFromText(*text);
    if (!writes) {
        context.messages.showWarning(writes.message());
        return std::nullopt;
    }
    return std::move(writes.value);
}

// The summary line on stdout, and the reason for a refusal on stderr.
bool report(const Result<qsizetype>& written, qsizetype count, CommandContext& context, MessageSink& messages)
{
    if (written) {
        context.out << QStringLiteral("写入 %1 个值：成功 %1 个\n").arg(count);
        return true;
    }
    messages.showWarning(written.message());
    context.out << QStringLiteral("写入 %1 个值：成功 0 个，全部拒绝").arg(count);
    if (written.value > 0)
        context.out << QStringLiteral("（第%1行）").arg(written.value);
    context.out << '\n';
    return false;
}

} // namespace

int runHarnessesCommand(const CommandLine& line, CommandContext& context)
{
    return listNumbers(line, context, harnessNumbers);
}

int runJobsCommand(const CommandLine& line, CommandContext& context)
{
    return listNumbers(line, context, jobNumbers);
}

int runWiresCommand(const CommandLine& line, CommandContext& context)
{
    return listChildren(line, context, kWiresOfHarness);
}

int runStepsCommand(const CommandLine& line, CommandContext& context)
{
    return listChildren(line, context, kStepsOfJob);
}

// Values written from a command line as the window's write buttons write them, all or
// none.
int runWriteCommand(const CommandLine& line, CommandContext& context)
{
    if (line.arguments.size() != 1)
        return kExitUsage;
    const std::optional<QList<RequestedWrite>> writes = requestedWrites(line, context);
    if (!writes)
        return kExitFailure;
    if (writes->isEmpty())
        return kExitUsage;
    const Result<ValueLists> lists = readValueListFile(valueListPath(line));
    if (!lists)
        return exitCodeOf(lists.outcome, context);
    return onOpenSettingsDatabase(line.arguments[0], context, [&](Database& database, MessageSink& messages) {
        return report(writeAll(database, lists.value, *writes), writes->size(), context, messages);
    });
}

} // namespace korvel
