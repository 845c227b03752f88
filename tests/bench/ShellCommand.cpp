#include "tests/bench/ShellCommand.h"

#include <QProcess>

#include <cstdio>
#include <cstdlib>

void RunReferenceProgram(const QString& program, const QStringList& arguments, const QString& inputFile)
{
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    if (!inputFile.isEmpty())
        process.setStandardInputFile(inputFile);
    process.start(program, arguments);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        std::fprintf(stderr, "%s failed: %s\n", qPrintable(program), process.readAllStandardError().constData());
        std::exit(1);
    }
}
