#include "app/korvelctl/Commands.h"
#include "app/korvelctl/Korvelctl.h"

#include "util/FileCipher.h"
#include "util/FileIO.h"

// encrypt and decrypt are one operation: the cipher is its own inverse.
int RunCipherCommand(const QStringList& arguments, CommandContext& context)
{
    if (arguments.size() != 3)
        return UsageError(context, arguments.front() + QLatin1String(" IN OUT"));
    const std::optional<QByteArray> input = ReadWholeFile(arguments[1], context.messages);
    if (!input)
        return kExitFailure;
    return WriteWholeFile(arguments[2], CryptFileData(*input), context.messages) ? kExitOk : kExitFailure;
}
