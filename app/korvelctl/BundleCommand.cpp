#include "app/korvelctl/Commands.h"
#include "app/korvelctl/DisplayEscape.h"
#include "app/korvelctl/Korvelctl.h"
#include "app/korvelctl/RowPrinting.h"

#include "labels/LabelBundle.h"
#include "util/FileIO.h"

// Shows a bundle as the import takes it apart, so that a bundle that will not import can
// be looked into: each block's table name on a line of its own, then its rows, the
// column-name row first.
int RunBundleCommand(const QStringList& arguments, CommandContext& context)
{
    if (arguments.size() != 2 || arguments[1].startsWith(QLatin1String("--")))
        return UsageError(context, QStringLiteral("bundle FILE"));
    const std::optional<QByteArray> file = ReadWholeFile(arguments[1], context.messages);
    if (!file)
        return kExitFailure;
    for (const BundleBlock& block : ReadBundleText(DecodeBundle(*file))) {
        context.out << EscapeForDisplay(block.tableName) << '\n';
        PrintTextRows(block.rows, context.out);
    }
    return kExitOk;
}
