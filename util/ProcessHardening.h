#pragma once

namespace korvel {

// Keeps the passwords a process holds (the settings file's, the typed one) out of core
// files: the process writes none, and other processes of the user cannot attach to it.
// Called first thing by the programs.
void disableCoreDumps();

} // namespace korvel
