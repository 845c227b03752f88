#include "db/sqlite/EngineSettings.h"

#include <sqlite3.h>

namespace korvel {

void configureEmbeddedEngine()
{
    // Refused (and harmless) once the engine has started.
    sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
}

} // namespace korvel
