#include "app/korvelctl/Commands.h"
#include "app/korvelctl/DisplayEscape.h"
#include "app/korvelctl/Korvelctl.h"
#include "app/korvelctl/ValueListSource.h"

#include "config/ValueLists.h"
#include "util/FileCipher.h"
#include "util/FileIO.h"
#include "util/MessageSink.h"

namespace {

int PrintValueLists(const QString& path, CommandContext& context)
{
    ValueLists lists;
    if (!LoadValueListFile(path, lists, context.messages))
        return kExitFailure;
    for (int list = 0; list < kValueListCount; ++list) {
        const QString& name = ValueListNames()[list];
        const ValueList& entries = lists[list];
        for (auto entry = entries.cbegin(); entry != entries.cend(); ++entry)
            context.out << name << '\t' << EscapeForDisplay(entry.key()) << '\t' << EscapeForDisplay(entry.value())
                        << '\n';
    }
    return kExitOk;
}

int BuildValueListFile(const QString& sourcePath, const QString& outputPath, CommandContext& context)
{
    const std::optional<QByteArray> source = ReadWholeFile(sourcePath, context.messages);
    if (!source)
        return kExitFailure;
    if (!source->isValidUtf8()) {
        context.messages.ShowWarning(QStringLiteral("文本不是有效的UTF-8"));
        return kExitFailure;
    }
    QString text = QString::fromUtf8(*source);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    QByteArray plaintext;
    QString error;
    if (!ValueListPlaintextFromLines(text, plaintext, error)) {
        context.messages.ShowWarning(error);
        return kExitFailure;
    }
    return WriteWholeFile(outputPath, CryptFileData(plaintext), context.messages) ? kExitOk : kExitFailure;
}

} // namespace

int RunValuesCommand(const QStringList& arguments, CommandContext& context)
{
    if (arguments.size() == 2 && !arguments[1].startsWith(QLatin1String("--")))
        return PrintValueLists(arguments[1], context);
    if (arguments.size() == 4 && arguments[1] == QLatin1String("--build"))
        return BuildValueListFile(arguments[2], arguments[3], context);
    return UsageError(context, QStringLiteral("values FILE | values --build TEXT OUT"));
}
