#pragma once

#include <QString>

namespace korvel {

// The integer a value text starts with, read as the C runtime's _wtoi reads it: leading
// white space skipped, an optional sign, then ASCII digits up to the first other
// character; no digits give 0, and values beyond 32 bits are held at the nearest limit.
// The integer value lists' entries are shown and written so.
int leadingInteger(const QString& text);

} // namespace korvel
