#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "app/CommandLine.h"

// Writes the manual page at build time: the template named first, with the options made from the
// parser's own definitions, to the file named second.
int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: tavrin_manual TEMPLATE PAGE\n", stderr);
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::string page = MakeManualPage(
        std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
    if (page.empty()) {
        std::fprintf(stderr, "tavrin_manual: %s: no line for the options\n", argv[1]);
        return 1;
    }
    std::ofstream out(argv[2], std::ios::binary);
    out << page;
    out.close();
    return out ? 0 : 1;
}
