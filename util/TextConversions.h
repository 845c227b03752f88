#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace korvel {

// The program's texts are UTF-16 inside; these are the narrow forms they take at the
// edges: GBK for the configuration files, UTF-8 for label bundles, hexadecimal for binary
// values.

// GBK (code page 936) is the code page of the systems the configuration files are written
// on.

// The text of GBK bytes up to their first NUL; malformed sequences become U+FFFD.
QString ansiToWide(const QByteArray& bytes);

// The GBK bytes of the text; false when a character has no GBK form.
[[nodiscard]] bool wideToAnsi(const QString& text, QByteArray& bytes);

// SQL Server keeps the text of char, varchar and text columns in the Windows code page of
// the column's collation (936 GBK, 1252 Latin-1, 950, 932, 949, 1250, …); code page 0
// stands for UTF-8 here. Every one of those code pages writes ASCII as it stands.

// The bytes the text takes in the code page; none when a character has no form in it, or
// the system knows no such code page (then only ASCII is known to have one).
std::optional<qsizetype> codePageLength(const QString& text, int codePage);

// The first character of the text that has no form in the code page (both halves of a
// surrogate pair); empty when each has one.
QString firstCharacterOutsideCodePage(const QString& text, int codePage);

// The UTF-8 bytes of the text up to its first NUL, followed by one NUL byte: the size
// counts the terminator, as the label bundle stores it.
QByteArray wideToUtf8(const QString& text);

// The text of UTF-8 bytes up to their first NUL; malformed sequences become U+FFFD.
QString utf8ToWide(const QByteArray& bytes);

// Two upper-case hexadecimal digits per byte, no separators.
QString bytesToHex(const QByteArray& bytes);

// Whether the text is whole bytes of hexadecimal digits, in either case: what bytesToHex
// writes and hexToBytes reads without guessing.
bool isHexText(const QString& text);

// One byte per pair of characters; an odd last character is ignored. Each pair is read as
// strtol reads it in base 16 (leading blanks and a sign allowed, reading stops at the
// first non-digit, no digit gives 0) and keeps the low 8 bits, so "1G" gives 0x01 and
// "-1" gives 0xFF.
QByteArray hexToBytes(const QString& hex);

// The order of texts as the program's lists show them: by their case-folded form, texts
// that fold alike in their given order. Gives the positions of the texts in that order.
QList<qsizetype> orderIgnoringCase(const QStringList& texts);

} // namespace korvel
