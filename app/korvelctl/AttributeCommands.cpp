#include "app/korvelctl/AttributeCommands.h"

#include "attributes/Cascades.h"
#include "attributes/NumberLists.h"

namespace {

// One number a line, as the window lists them; a failure prints nothing but its reason.
bool PrintNumbers(const korvel::Result<QStringList>& numbers, CommandContext& context, MessageSink& messages)
{
    if (!numbers) {
        messages.ShowWarning(numbers.message());
        return false;
    }
    for (const QString& number : numbers.value)
        context.out << EscapeForDisplay(number) << '\n';
    return true;
}

int ListNumbers(const CommandLine& line, CommandContext& context,
                korvel::Result<QStringList> (*numbersOf)(CAdoDatabase& database))
{
    if (line.arguments.size() != 1)
        return kExitUsage;
    return OnOpenSettingsDatabase(line.arguments[0], context, [&](CAdoDatabase& database, MessageSink& messages) {
        return PrintNumbers(numbersOf(database), context, messages);
    });
}

int ListChildren(const CommandLine& line, CommandContext& context, const korvel::Cascade& cascade)
{
    if (line.arguments.size() != 2 || line.arguments[1].isEmpty())
        return kExitUsage;
    return OnOpenSettingsDatabase(line.arguments[0], context, [&](CAdoDatabase& database, MessageSink& messages) {
        korvel::Result<korvel::Children> children = korvel::childrenOf(database, cascade, line.arguments[1]);
        return PrintNumbers({children.outcome, std::move(children.value.numbers)}, context, messages);
    });
}

} // namespace

int RunHarnessesCommand(const CommandLine& line, CommandContext& context)
{
    return ListNumbers(line, context, korvel::harnessNumbers);
}

int RunJobsCommand(const CommandLine& line, CommandContext& context)
{
    return ListNumbers(line, context, korvel::jobNumbers);
}

int RunWiresCommand(const CommandLine& line, CommandContext& context)
{
    return ListChildren(line, context, korvel::kWiresOfHarness);
}

int RunStepsCommand(const CommandLine& line, CommandContext& context)
{
    return ListChildren(line, context, korvel::kStepsOfJob);
}
