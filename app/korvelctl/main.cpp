#include "app/korvelctl/Korvelctl.h"
#include "db/sqlite/EngineSettings.h"
#include "util/HeapReuse.h"
#include "util/ProcessHardening.h"

#include <QCoreApplication>

#include <cstdio>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

using namespace korvel;

namespace {

bool isTerminal(FILE* stream)
{
#ifdef _WIN32
    return _isatty(_fileno(stream)) != 0;
#else
    return isatty(fileno(stream)) != 0;
#endif
}

} // namespace

int main(int argc, char** argv)
{
    disableCoreDumps();
    keepFreedMemoryForReuse();
    configureEmbeddedEngine();
    QCoreApplication application(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int exitCode = runKorvelctl(QCoreApplication::arguments().mid(1), out, err, isTerminal(stderr));
    out.flush();
    err.flush();
    return exitCode;
}
