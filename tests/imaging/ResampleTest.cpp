#include "imaging/Resample.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>

namespace {

using Shade = std::function<uint32_t(int32_t x, int32_t y)>;

UPixels_C Make(USize_C size, const Shade& shade) {
    UPixels_C pixels;
    pixels.SetSize(size);
    for (int32_t y = 0; y < size.GetHeight(); ++y) {
        for (int32_t x = 0; x < size.GetWidth(); ++x) {
            pixels.GetData()[y * size.GetWidth() + x] = shade(x, y);
        }
    }
    return pixels;
}

// 0xAARRGGBB of smooth waves in every channel, alpha included, sampled at the centre of pixel
// (x, y) of a picture `scale` times the size of the one the waves were drawn for.
uint32_t Wave(int32_t x, int32_t y, double scale) {
    const double u = (x + 0.5) / scale / 40;
    const double v = (y + 0.5) / scale / 40;
    const auto channel = [](double value) { return uint32_t(std::lround(127.5 + 127 * value)); };
    return channel(std::sin(3 * u + v)) << 24 | channel(std::cos(2 * u)) << 16 |
           channel(std::sin(4 * v + 1)) << 8 | channel(std::cos(u - 2 * v));
}

}  // namespace

// Art drawn at twice the size and halved matches the same art drawn at its size: channel by
// channel within 3 levels where it is visible, colour read through premultiplied alpha.
TEST(Resample, TwiceTheSizeHalvedMatchesTheArtAtItsSize) {
    for (const USize_C size : {USize_C(64, 48), USize_C(33, 17)}) {
        const UPixels_C halved =
            Resample::Scale(Make({size.GetWidth() * 2, size.GetHeight() * 2},
                                 [](int32_t x, int32_t y) { return Wave(x, y, 2); }),
                            0.5);
        int worst = 0;
        for (int32_t i = 0; i < int32_t(size.GetArea()); ++i) {
            const uint32_t made = halved.GetData()[i];
            const uint32_t wanted = Wave(i % size.GetWidth(), i / size.GetWidth(), 1);
            for (int shift = 0; shift < 32; shift += 8) {
                const auto premultiplied = [shift](uint32_t value) {
                    const int channel = int(value >> shift & 0xFF);
                    return shift == 24 ? channel : channel * int(value >> 24) / 255;
                };
                worst = std::max(worst, std::abs(premultiplied(made) - premultiplied(wanted)));
            }
        }
        EXPECT_LE(worst, 3) << size.GetWidth() << " x " << size.GetHeight();
    }
}

// A red square on transparent black keeps pure red wherever the scaled edge shows at all: the
// black of the transparent pixels never darkens it, and transparent pixels stay 0.
TEST(Resample, EdgesKeepTheirColourOverTransparentPixels) {
    const UPixels_C square = Make({40, 40}, [](int32_t x, int32_t y) {
        return x >= 7 && x < 29 && y >= 11 && y < 30 ? 0xFFFF0000u : 0u;
    });
    for (const double scale : {0.5, 0.3, 0.77, 1.5, 3.0}) {
        const UPixels_C scaled = Resample::Scale(square, scale);
        int edges = 0;
        for (uint32_t i = 0; i < scaled.GetSize().GetArea(); ++i) {
            const uint32_t value = scaled.GetData()[i];
            const uint32_t alpha = value >> 24;
            edges += alpha > 0 && alpha < 255;
            EXPECT_TRUE(alpha == 0 ? value == 0 : (value & 0xFFFFFF) == 0xFF0000)
                << "scale " << scale << ", pixel " << i << ": " << std::hex << value;
        }
        EXPECT_GT(edges, 0) << "scale " << scale << " left no edge to check";
    }
}
