#pragma once

#include "util/Outcome.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace korvel {

// Files are handled whole, and counts are 32-bit throughout the file formats, so a file
// of 4 GiB or more is refused rather than silently cut to its low 32 bits.
inline constexpr std::int64_t kMaxWholeFileSize = 0xFFFFFFFFLL;

struct FileReadFailure
{
    enum class Step { Open, Size, read };
    Step step = Step::Open;
    int code = 0; // errno of the failed call
};

// Reads a whole file without telling anybody; for readers whose failures have messages
// of their own. Fails with EFBIG when the file is larger than maxSize.
[[nodiscard]] bool readFileBytes(const QString& path, QByteArray& bytes, FileReadFailure& failure,
                                 std::int64_t maxSize = kMaxWholeFileSize);

// Reads a whole file; a failure says "打开文件失败：%d", "获取文件大小失败：%d" or
// "读文件错误：%d\n" with the system's error number.
Result<QByteArray> readWholeFile(const QString& path);

// What a write does with a symbolic link at the name it is given.
enum class LinkAtTarget {
    WriteThrough, // the file the link names is written, as a person who named the link meant
    Refuse,       // for names the program makes up inside a folder: a link there was put by someone else
};

// Replaces the file with the bytes. The new content goes to a temporary file beside the
// target first and is renamed over it, so a failed write leaves the old file as it was. A
// link at the path is written through, or refused with "%1 是符号链接，不能写入" when
// `links` says so. Only a regular file is ever replaced: an existing device, FIFO or socket
// (or a link to one) is refused with "%1 不是普通文件，不能写入" and a directory with
// "打开文件失败：21", all left as they are. Other failures say "打开文件失败：%d" or
// "写文件错误：%d\n". QSaveFile would do the same dance, but reports a failure
// as a text of its own, and these messages carry the system's error number; hence the POSIX
// calls.
Outcome writeWholeFile(const QString& path, const QByteArray& bytes,
                               LinkAtTarget links = LinkAtTarget::WriteThrough);

} // namespace korvel
