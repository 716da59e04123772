#pragma once

#include "app/CommandLine.h"
#include "app/ComposeCommand.h"

// Builds every sheet of the command line's project files in one run, pictures shared by several
// sheets decoded once. Returns 2, having written nothing, when a project file or a sheet's
// options are bad, or when two sheets would write one file or a sheet would write over an input;
// otherwise builds the sheets two at a time, reports a sheet that fails by its name and
// goes on with the others, and returns 1 when any failed, else 0.
// With `built`, what the sheets wrote and read goes there.
int RunProjects(const CommandLine_S& commandLine, UBuilt_S* built = nullptr);
