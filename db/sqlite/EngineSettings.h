#pragma once

namespace korvel {

// Sets the embedded engine up for the whole process, before its first use: SQLite then
// keeps no statistics of its memory, which the program never reads and which cost a lock
// around every allocation (an import of a large label makes millions). Called first thing by
// the programs; later it changes nothing.
void configureEmbeddedEngine();

} // namespace korvel
