#pragma once

#include "app/korvelctl/CommandSupport.h"

// The commands on harnesses and jobs, through the rules the main window follows: its
// lists and its two cascades.
int RunHarnessesCommand(const CommandLine& line, CommandContext& context);
int RunJobsCommand(const CommandLine& line, CommandContext& context);
int RunWiresCommand(const CommandLine& line, CommandContext& context);
int RunStepsCommand(const CommandLine& line, CommandContext& context);
