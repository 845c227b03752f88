#pragma once

#include <QByteArray>
#include <QString>

// The text a person writes for a value-list file: one "list&entry&value" line per entry,
// lines ending in LF or CRLF, a final ';' on a line allowed, blank lines skipped. Gives
// the file's GBK plaintext (before enciphering), or false and a message naming the
// offending line: one that is not three fields, names no known list, holds a ';' or NUL
// that the file cannot carry, or a character without a GBK form.
[[nodiscard]] bool ValueListPlaintextFromLines(const QString& text, QByteArray& plaintext, QString& error);
