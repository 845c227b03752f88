#pragma once

#include <QStringList>
#include <QTextStream>

namespace korvel {

enum KorvelctlExit { kExitOk = 0, kExitFailure = 1, kExitUsage = 2 };

// Runs one korvelctl command (the arguments after the program name). Results go to `out`
// as UTF-8, failures to `err` as the program's own message texts, and, when `err` is a
// terminal, the progress of long runs. "--help" after a command describes it, "--help" or
// "help" alone lists the commands, "--version" gives the version.
int runKorvelctl(const QStringList& arguments, QTextStream& out, QTextStream& err, bool errIsTerminal = false);

} // namespace korvel
