// Times the packer on one set of sizes and prints the sheets it makes, for the figures beside
// the size search and for comparing sheets with another packer on the same pictures.
//
//   pack_bench [--threads N] [--rotate] [--pot] [--square] [--multipack] [--padding N]
//              [--border N] [--extrude N] [--max-size N] (--random COUNT SEED | SIZES.txt)
//
// SIZES.txt holds one "width height" a line (trimmed sizes, as bench/pack-sets.py writes them).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "composition/UMaxRectsPacker_C.h"

using NS_Data::UMaxRectsPacker_C;
using NS_Data::UPackResult_S;

namespace {

// Sprites, tiles and a few large backdrops, in the mix game art tends to have.
std::vector<USize_C> RandomSizes(int32_t count, uint32_t seed) {
    std::vector<USize_C> sizes;
    uint64_t state = seed * 6364136223846793005ull + 1442695040888963407ull;
    const auto next = [&](int32_t below) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return int32_t((state >> 33) % uint64_t(below));
    };
    for (int32_t i = 0; i < count; ++i) {
        const int32_t kind = next(100);
        const int32_t scale = kind < 70 ? 48 : kind < 95 ? 128 : 320;
        sizes.emplace_back(4 + next(scale), 4 + next(scale));
    }
    return sizes;
}

std::vector<USize_C> ReadSizes(const char* path) {
    std::vector<USize_C> sizes;
    std::ifstream in(path);
    int32_t w = 0;
    int32_t h = 0;
    while (in >> w >> h) {
        sizes.emplace_back(w, h);
    }
    return sizes;
}

}  // namespace

int main(int argc, char** argv) {
    NS_Data::USheetOptions_S spacing;
    NS_Data::UPackingOptions_S packing;
    unsigned threads = GetWorkerThreads();
    std::vector<USize_C> sizes;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto value = [&] { return i + 1 < argc ? std::atoi(argv[++i]) : 0; };
        if (arg == "--threads") {
            threads = unsigned(value());
        } else if (arg == "--rotate") {
            packing.rotate = true;
        } else if (arg == "--pot") {
            spacing.powerOfTwo = true;
        } else if (arg == "--square") {
            packing.square = true;
        } else if (arg == "--multipack") {
            packing.multipack = true;
        } else if (arg == "--padding") {
            spacing.padding = value();
        } else if (arg == "--border") {
            spacing.border = value();
        } else if (arg == "--extrude") {
            spacing.extrude = value();
        } else if (arg == "--max-size") {
            spacing.maxSize = value();
        } else if (arg == "--random") {
            const int32_t count = value();
            sizes = RandomSizes(count, uint32_t(value()));
        } else {
            sizes = ReadSizes(argv[i]);
        }
    }
    const auto start = std::chrono::steady_clock::now();
    const UPackResult_S result = UMaxRectsPacker_C(spacing, packing, threads).Pack(sizes);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!result.fits) {
        std::printf("does not fit; %.3f s\n", seconds);
        return 1;
    }
    int64_t used = 0;
    for (const USize_C& size : sizes) {
        used += int64_t{size.GetWidth()} * size.GetHeight();
    }
    int64_t area = 0;
    std::string sheets;
    for (const USize_C& sheet : result.sheets) {
        area += int64_t{sheet.GetWidth()} * sheet.GetHeight();
        sheets += " " + std::to_string(sheet.GetWidth()) + "x" + std::to_string(sheet.GetHeight());
    }
    std::printf("rects %zu sheets%s area %lld used %.4f time %.3f s\n", sizes.size(),
                sheets.c_str(), static_cast<long long>(area), double(used) / double(area), seconds);
    return 0;
}
