#pragma once

#include <QByteArray>
#include <QString>

namespace korvel {

// Test set-up only: the code under test never writes through these.
void WriteTestFile(const QString& path, const QByteArray& bytes);
QByteArray ReadTestFile(const QString& path);

// Bytes from a hex literal, for files written byte by byte.
QByteArray Hex(const char* hex);

} // namespace korvel
