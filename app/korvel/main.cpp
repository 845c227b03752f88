#include "app/korvel/Application.h"
#include "config/ConnectionSettings.h"
#include "gui/ProgramContext.h"
#include "db/sqlite/EngineSettings.h"
#include "util/HeapReuse.h"
#include "util/ProcessHardening.h"

#include <QApplication>

int main(int argc, char** argv)
{
    DisableCoreDumps();
    KeepFreedMemoryForReuse();
    ConfigureEmbeddedEngine();
    QApplication application(argc, argv);
    korvel::QtMessageSink messages;
    korvel::QtFileDialogs fileDialogs;
    korvel::Application program(korvel::ProgramContext{GetExeDirectory(), messages, fileDialogs});
    program.run();
    return 0;
}
