// Any bytes as a command line, one argument per zero-separated piece. Besides not failing, the
// parse must never ask for a sheet without a path to write it to or pictures to put in it, and
// bad usage must say why.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/CommandLine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::vector<std::string> arguments(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            arguments.emplace_back();
        } else {
            arguments.back() += static_cast<char>(data[i]);
        }
    }
    const CommandLine_S line = ParseCommandLine(arguments);
    if (line.action == CommandLine_S::ComposeSheet &&
        (line.compose.output.empty() || line.paths.empty())) {
        std::abort();
    }
    if (line.action == CommandLine_S::BadUsage && line.problem.empty()) {
        std::abort();
    }
    return 0;
}
