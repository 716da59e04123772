#pragma once

#include "app/CommandLine.h"

// Collects the command line's paths as one batch, composes the pictures among them and writes
// the sheet, which is never itself one of the pictures, unless the files there are up to date
// and --force is not given; writes the depfile either way. Returns the exit status: 0 when the
// sheet was written or left up to date, 1 after printing an error (the sheet file is then neither
// written nor changed), 2 when the sheet or the data file is named as a picture to read, or the two
// name one file.
int RunCompose(const CommandLine_S& commandLine);
