#pragma once

#include <QByteArray>
#include <QString>

namespace korvel {

// Test set-up only: the code under test never writes through these.
void writeTestFile(const QString& path, const QByteArray& bytes);
QByteArray readTestFile(const QString& path);

// Bytes from a hex literal, for files written byte by byte.
QByteArray hex(const char* hex);

} // namespace korvel
