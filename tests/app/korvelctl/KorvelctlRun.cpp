#include "tests/app/korvelctl/KorvelctlRun.h"

#include "app/korvelctl/Korvelctl.h"

namespace korvel {

KorvelctlRun runKorvelctlInProcess(const QStringList& arguments, bool terminal)
{
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    const int exitCode = runKorvelctl(arguments, outStream, errStream, terminal);
    outStream.flush();
    errStream.flush();
    return {exitCode, out, err};
}

} // namespace korvel
