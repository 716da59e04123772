#include <cstdio>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/ComposeCommand.h"
#include "foundation/ProductVersion.h"
#include "ui/AppMosaro_C.h"

int main(int argc, char** argv) {
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
                         GetUsageText().c_str());
            return 2;
        case CommandLine_S::ComposeSheet:
            return RunCompose(commandLine);
        case CommandLine_S::OpenWindow:
            break;
    }
    return NS_Wnd::AppMosaro_C::Run(commandLine.paths);
}
