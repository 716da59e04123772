#pragma once

#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "composition/UComposeJob_C.h"

// What composes wrote or left up to date, and every picture and folder they read: the rule a
// depfile gives make and ninja.
struct UBuilt_S {
    std::vector<std::string> files;
    std::vector<std::string> read;
};

// Collects the command line's paths as one batch, composes the pictures among them and writes
// the sheet, which is never itself one of the pictures, unless the files there are up to date
// and --force is not given; writes the depfile either way. Returns the exit status: 0 when the
// sheet was written or left up to date, 1 after printing an error (the sheet file is then neither
// written nor changed), 2 when the sheet or the data file is named as a picture to read, or the two
// name one file. With `built`, what it wrote and read goes there.
int RunCompose(const CommandLine_S& commandLine, UBuilt_S* built = nullptr);

// The error record as its notice would show it, with plain line breaks, after `prefix`.
void PrintError(const NS_Base::UError_C& error, const std::string& prefix = {});

// Composes a batch already collected and cleared of the job's own files, unless the files there
// are up to date and `line` does not force them, with the warnings and, with `progress`, the
// progress line on standard error and, on a terminal, a line naming the files written or left
// alone. `folders` are those walked to collect it. Adds to `built` where given. Returns 0, or 1
// after printing the error, each error line starting with `prefix` when it is given. Batches may
// be composed on several threads at once, each without the progress line.
int ComposeBatch(const NS_Data::UComposeJob_C& job, const CommandLine_S& line,
                 const std::vector<UBatchEntry_S>& batch, std::vector<std::string> folders,
                 const std::string& prefix = {}, UBuilt_S* built = nullptr, bool progress = true);

// Writes `built` as a Makefile rule at `path`, unless it is empty; 0, or 1 after printing why
// not.
int WriteDepfile(const std::string& path, const UBuilt_S& built);
