#pragma once

#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "composition/UComposeJob_C.h"

// Collects the command line's paths as one batch, composes the pictures among them and writes
// the sheet, which is never itself one of the pictures. Returns the exit status: 0 when the
// sheet was written, 1 after printing an error (the sheet file is then neither written nor
// changed), 2 when the sheet or the data file is named as a picture to read, or the two name
// one file.
int RunCompose(const CommandLine_S& commandLine);

// The error record as its notice would show it, with plain line breaks, after `prefix`.
void PrintError(const NS_Base::UError_C& error, const std::string& prefix = {});

// Composes a batch already collected and cleared of the job's own files, with the progress line
// and warnings on standard error and, on a terminal, a line naming the files written. Returns 0,
// or 1 after printing the error, each error line starting with `prefix` when it is given.
int ComposeBatch(const NS_Data::UComposeJob_C& job, const NS_Data::UComposeOptions_S& options,
                 const std::vector<UBatchEntry_S>& batch, const std::string& prefix = {});
