#pragma once

#include "app/korvelctl/CommandSupport.h"

namespace korvel {

// The commands on harnesses, jobs and their attributes, through the rules the main window
// follows: its lists, its two cascades and its four writes.
int RunHarnessesCommand(const CommandLine& line, CommandContext& context);
int RunJobsCommand(const CommandLine& line, CommandContext& context);
int RunWiresCommand(const CommandLine& line, CommandContext& context);
int RunStepsCommand(const CommandLine& line, CommandContext& context);
int RunWriteCommand(const CommandLine& line, CommandContext& context);

} // namespace korvel
