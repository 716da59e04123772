#pragma once

#include <functional>
#include <string>
#include <vector>

// What one build read and wrote, so that the next waits on the right folders; every path
// absolute, as the folders' changes are told.
struct UBuildReport_S {
    int status = 0;
    // Every folder whose entries the build read: each picture's own folder, each folder walked,
    // the project file's.
    std::vector<std::string> folders;
    // What the build writes; changes there are its own.
    std::vector<std::string> outputs;
};

// The report of a build that ended with `status`, wrote `outputs` and read `inputs` (pictures and
// folders) and `files` besides (project files): the folders to watch are those read and those
// holding what was read, absolute.
UBuildReport_S MakeBuildReport(int status, const std::vector<std::string>& outputs,
                               const std::vector<std::string>& inputs,
                               const std::vector<std::string>& files);

// Builds, then waits for a change in any folder the build read and builds again, until the
// process is ended, one line per change on standard output. A change within `quietMs` of the
// last is part of the same. Returns only when a build cannot be watched (its status then).
int WatchBuilds(const std::function<UBuildReport_S()>& build, int quietMs = 100);
