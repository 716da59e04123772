// Times the resampler against the decoding of the same pictures, one core, and can write what
// it made for the quality check (bench/resample-bench.py).
//
//   resample_bench SCALE LIST.txt [OUT_FOLDER]
//
// LIST.txt holds one picture path a line; OUT_FOLDER gets picture N as N.png.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "imaging/Resample.h"
#include "imaging/UImageData_C.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::vector<UPixels_C> Decode(const std::vector<std::string>& paths) {
    std::vector<UPixels_C> pictures(paths.size());
    for (std::size_t i = 0; i < paths.size(); ++i) {
        UImageData_C image;
        image.LoadFile(paths[i].c_str());
        image.GetVisiblePixels(pictures[i]);
    }
    return pictures;
}

void Save(const UPixels_C& pixels, const std::string& path) {
    UImageData_C image;
    image.CreateFromPixels32(pixels.GetData(), pixels.GetSize().GetWidth(),
                             pixels.GetSize().GetHeight());
    image.SavePng(path.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: resample_bench SCALE LIST.txt [OUT_FOLDER]\n");
        return 2;
    }
    const double scale = std::atof(argv[1]);
    std::vector<std::string> paths;
    std::ifstream list(argv[2]);
    for (std::string line; std::getline(list, line);) {
        paths.push_back(line);
    }
    UImageData_C::PrepareDecoders();
    Clock::time_point start = Clock::now();
    const std::vector<UPixels_C> pictures = Decode(paths);
    const double decoding = Seconds(start);
    std::vector<UPixels_C> scaled(pictures.size());
    start = Clock::now();
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        scaled[i] = Resample::Scale(pictures[i], scale);
    }
    const double resampling = Seconds(start);
    std::printf("%zu pictures: decoding %.3f s, resampling to %g %.3f s (%.2f of decoding)\n",
                paths.size(), decoding, scale, resampling, resampling / decoding);
    for (std::size_t i = 0; argc > 3 && i < scaled.size(); ++i) {
        Save(scaled[i], std::string(argv[3]) + "/" + std::to_string(i) + ".png");
    }
    return 0;
}
