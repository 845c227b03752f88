#pragma once

#include <QByteArray>
#include <QString>

#include <ostream>

// Readable failure output for Qt values in GoogleTest assertions.
void PrintTo(const QString& text, std::ostream* stream);
void PrintTo(const QByteArray& bytes, std::ostream* stream);
