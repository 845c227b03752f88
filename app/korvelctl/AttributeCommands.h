#pragma once

#include "app/korvelctl/CommandSupport.h"

namespace korvel {

// The commands on harnesses, jobs and their attributes, through the rules the main window
// follows: its lists, its two cascades and its four writes.
int runHarnessesCommand(const CommandLine& line, CommandContext& context);
int runJobsCommand(const CommandLine& line, CommandContext& context);
int runWiresCommand(const CommandLine& line, CommandContext& context);
int runStepsCommand(const CommandLine& line, CommandContext& context);
int runWriteCommand(const CommandLine& line, CommandContext& context);

} // namespace korvel
