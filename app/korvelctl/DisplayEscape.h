#pragma once

#include <QString>

// A value printed on one line: backslash, tab, CR and LF as \\, \t, \r and \n.
QString EscapeForDisplay(const QString& value);
