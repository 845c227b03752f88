#include "app/korvelctl/Korvelctl.h"
#include "util/ProcessHardening.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    DisableCoreDumps();
    QCoreApplication application(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int exitCode = RunKorvelctl(QCoreApplication::arguments().mid(1), out, err);
    out.flush();
    err.flush();
    return exitCode;
}
