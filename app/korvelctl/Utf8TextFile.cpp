#include "app/korvelctl/Utf8TextFile.h"

#include "util/FileIO.h"
#include "util/MessageSink.h"

namespace korvel {

std::optional<QString> readUtf8TextFile(const QString& path, MessageSink& messages)
{
    const Result<QByteArray> bytes = readWholeFile(path);
    if (!bytes) {
        messages.showWarning(bytes.message());
        return std::nullopt;
    }
    if (!bytes.value.isValidUtf8()) {
        messages.showWarning(QStringLiteral("文本不是有效的UTF-8"));
        return std::nullopt;
    }
    QString text = QString::fromUtf8(bytes.value);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

} // namespace korvel
