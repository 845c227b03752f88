#include "app/korvel/Application.h"
#include "config/ConnectionSettings.h"
#include "gui/ProgramContext.h"
#include "db/sqlite/EngineSettings.h"
#include "util/HeapReuse.h"
#include "util/ProcessHardening.h"

#include <QApplication>

using namespace korvel;

int main(int argc, char** argv)
{
    disableCoreDumps();
    keepFreedMemoryForReuse();
    configureEmbeddedEngine();
    QApplication application(argc, argv);
    QtMessageSink messages;
    QtFileDialogs fileDialogs;
    Application program(ProgramContext{exeDirectory(), messages, fileDialogs});
    program.run();
    return 0;
}
