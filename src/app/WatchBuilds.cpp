#include "app/WatchBuilds.h"

#include <limits.h>
#include <sys/stat.h>

#include <cstdlib>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string_view>

#include "files/PathUtilities.h"
#include "files/UChangeWatch_C.h"
#include "foundation/UError_C.h"

namespace {

// The program's own temporaries and the build's outputs change with every build.
bool IsOwnChange(const std::string& path, const std::vector<std::string>& outputs) {
    return std::string_view(GetFileName(path.c_str())).starts_with(".tavrin-") ||
           std::ranges::find(outputs, path) != outputs.end();
}

void TellChange(const std::vector<std::string>& changed) {
    const std::time_t now = std::time(nullptr);
    char clock[16];
    std::strftime(clock, sizeof(clock), "%H:%M:%S", std::localtime(&now));
    const std::string more =
        changed.size() > 1 ? " and " + std::to_string(changed.size() - 1) + " more" : "";
    std::printf("%s changed: %s%s\n", clock, changed.front().c_str(), more.c_str());
    std::fflush(stdout);
}

// `path` absolute, its folder's links resolved, as the kernel names a watched folder's entries.
std::string Absolute(const std::string& path) {
    const std::string folder = GetFolderPath(path);
    char resolved[PATH_MAX];
    if (::realpath(folder.empty() ? "." : folder.c_str(), resolved) == nullptr) {
        return path;
    }
    const std::string base = resolved;
    return base + (base.ends_with('/') ? "" : "/") + GetFileName(path.c_str());
}

bool IsFolder(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

}  // namespace

UBuildReport_S MakeBuildReport(int status, const std::vector<std::string>& outputs,
                               const std::vector<std::string>& inputs,
                               const std::vector<std::string>& files) {
    UBuildReport_S report;
    report.status = status;
    for (const std::vector<std::string>* read : {&inputs, &files}) {
        for (const std::string& path : *read) {
            const std::string absolute = Absolute(path);
            if (IsFolder(absolute)) {
                report.folders.push_back(absolute);
            }
            report.folders.push_back(GetFolderPath(absolute));
        }
    }
    for (const std::string& path : outputs) {
        report.outputs.push_back(Absolute(path));
    }
    return report;
}

int WatchBuilds(const std::function<UBuildReport_S()>& build, int quietMs) {
    for (;;) {
        UBuildReport_S report = build();
        std::sort(report.folders.begin(), report.folders.end());
        report.folders.erase(std::unique(report.folders.begin(), report.folders.end()),
                             report.folders.end());
        try {
            NS_Data::UChangeWatch_C watch(report.folders, [&](const std::string& path) {
                return IsOwnChange(path, report.outputs);
            });
            std::printf("Watching %zu folders for changes; Ctrl+C stops.\n", report.folders.size());
            std::fflush(stdout);
            TellChange(watch.Wait(quietMs));
        } catch (const NS_Base::UError_C& error) {
            error.Show(nullptr);
            return report.status == 0 ? 1 : report.status;
        }
    }
}
