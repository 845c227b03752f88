#pragma once

#include <QByteArray>
#include <QString>

// Two upper-case hexadecimal digits per byte, no separators.
QString BytesToHex(const QByteArray& bytes);

// One byte per pair of characters; an odd last character is ignored. Each pair is read as
// strtol reads it in base 16 (leading blanks and a sign allowed, reading stops at the
// first non-digit, no digit gives 0) and keeps the low 8 bits, so "1G" gives 0x01 and
// "-1" gives 0xFF.
QByteArray HexToBytes(const QString& hex);
