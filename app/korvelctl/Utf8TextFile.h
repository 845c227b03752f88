#pragma once

#include <QString>

#include <optional>

namespace korvel {

class MessageSink;

// The text of a UTF-8 file that a person wrote for korvelctl, without the byte-order mark
// an editor may have put first. A file that cannot be read has the reader's message; one
// that is not UTF-8, "文本不是有效的UTF-8".
std::optional<QString> readUtf8TextFile(const QString& path, MessageSink& messages);

} // namespace korvel
