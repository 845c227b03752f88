#pragma once

#include <QString>
#include <QStringList>

namespace korvel {

// What one in-process korvelctl run printed and returned.
struct KorvelctlRun
{
    int exitCode;
    QString out;
    QString err;
};

// `terminal`: as if stderr were a terminal, where long runs show their progress.
KorvelctlRun runKorvelctlInProcess(const QStringList& arguments, bool terminal = false);

} // namespace korvel
