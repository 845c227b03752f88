#pragma once

#include <QByteArray>
#include <QString>

// The UTF-8 bytes of the text up to its first NUL, followed by one NUL byte: the size
// counts the terminator, as the label bundle stores it.
QByteArray WideToUtf8(const QString& text);

// The text of UTF-8 bytes up to their first NUL; malformed sequences become U+FFFD.
QString Utf8ToWide(const QByteArray& bytes);
