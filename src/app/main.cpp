#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/ComposeCommand.h"
#include "app/ProjectCommand.h"
#include "app/WatchBuilds.h"
#include "app/WindowProjects.h"
#include "foundation/ProductVersion.h"
#include "foundation/ShownText.h"
#include "ui/AppMosaro_C.h"
#include "ui/ULanguage_C.h"

namespace {

// One build of the command line's sheet or projects; what it read and wrote goes to `built`.
int Build(const CommandLine_S& commandLine, UBuilt_S* built) {
    return commandLine.action == CommandLine_S::BuildProjects ? RunProjects(commandLine, built)
                                                              : RunCompose(commandLine, built);
}

// A build and the folders it read, for --watch alone: resolving the folders of 2,000 pictures
// takes 11,000 system calls, more than the rest of a build with nothing to do.
UBuildReport_S BuildAndReport(const CommandLine_S& commandLine) {
    UBuilt_S built;
    const int status = Build(commandLine, &built);
    return MakeBuildReport(status, built.files, built.read, commandLine.projects);
}

}  // namespace

int main(int argc, char** argv) {
    NS_Wnd::ULanguage_C::Choose();
    const CommandLine_S commandLine =
        ParseCommandLine(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
    switch (commandLine.action) {
        case CommandLine_S::ShowHelp:
            std::fputs(GetUsageText().c_str(), stdout);
            return 0;
        case CommandLine_S::ShowVersion:
            std::puts(ProductTitle);
            return 0;
        case CommandLine_S::BadUsage:
            std::fprintf(stderr, "tavrin: %s\n%s", commandLine.problem.c_str(),
                         NS_Base::ShownText("CommandLine", HelpPointer).c_str());
            return 2;
        case CommandLine_S::ComposeSheet:
        case CommandLine_S::BuildProjects:
            return commandLine.watch ? WatchBuilds([&] { return BuildAndReport(commandLine); })
                                     : Build(commandLine, nullptr);
        case CommandLine_S::OpenWindow:
            break;
    }
    // Qt would abort with exit status 134 where it finds no display, and a build script would
    // wait on a window that nobody sees.
    if (!CanOpenWindow([](const char* name) { return std::getenv(name); })) {
        const std::string problem = NS_Base::ShownText(
            "main", "no display to open the window on; -o SHEET.png composes without a window");
        std::fprintf(stderr, "tavrin: %s\n", problem.c_str());
        return 2;
    }
    return NS_Wnd::AppMosaro_C::Run(commandLine.paths, MakeWindowProjectFiles());
}
