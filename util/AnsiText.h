#pragma once

#include <QByteArray>
#include <QString>

// The narrow texts of the configuration files are GBK (code page 936), the code page of
// the systems these files are written on.

// The text of GBK bytes up to their first NUL; malformed sequences become U+FFFD.
QString AnsiToWide(const QByteArray& bytes);

// The GBK bytes of the text; false when a character has no GBK form.
[[nodiscard]] bool WideToAnsi(const QString& text, QByteArray& bytes);

// The bytes the text takes in GBK; a character without a GBK form counts as the one byte
// that stands in its place.
qsizetype AnsiLength(const QString& text);
