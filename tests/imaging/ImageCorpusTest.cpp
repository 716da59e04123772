// Conformance images: every picture a user may bring loads with the right pixels, and damaged
// ones fail with the loader's own error rather than a crash.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "UImageData_C.h"

namespace fs = std::filesystem;

namespace {

const fs::path Data = TAVRIN_TEST_DATA;

struct UPicture_S {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;
};

UPicture_S Load(const fs::path& path) {
    UImageData_C image;
    image.LoadFile(path.c_str());
    UPicture_S picture;
    uint32_t* pixels = nullptr;
    image.GetPixels32(pixels, &picture.width, &picture.height);
    picture.pixels.assign(pixels, pixels + size_t(picture.width) * picture.height);
    return picture;
}

// libpng's own reading of a PNG as 8-bit RGBA, without gamma: the reference for Qt's decoding.
bool ReadWithLibpng(std::FILE* file, UPicture_S& picture, std::vector<png_byte>& bytes) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_init_io(png, file);
    png_read_info(png, info);
    png_set_expand(png);
    png_set_scale_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    picture.width = int32_t(png_get_image_width(png, info));
    picture.height = int32_t(png_get_image_height(png, info));
    bytes.resize(size_t(picture.width) * picture.height * 4);
    std::vector<png_bytep> rows(size_t(picture.height));
    for (int32_t y = 0; y < picture.height; ++y) {
        rows[size_t(y)] = bytes.data() + size_t(y) * picture.width * 4;
    }
    png_read_image(png, rows.data());
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

UPicture_S Reference(const fs::path& path) {
    UPicture_S picture;
    std::vector<png_byte> bytes;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    const bool read = file && ReadWithLibpng(file, picture, bytes);
    if (file) {
        std::fclose(file);
    }
    EXPECT_TRUE(read) << "libpng could not read " << path;
    for (size_t i = 0; i < bytes.size(); i += 4) {
        picture.pixels.push_back(uint32_t(bytes[i + 3]) << 24 | uint32_t(bytes[i]) << 16 |
                                 uint32_t(bytes[i + 1]) << 8 | bytes[i + 2]);
    }
    return picture;
}

int ChannelDistance(uint32_t a, uint32_t b) {
    int largest = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        largest = std::max(largest, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
    }
    return largest;
}

// Same size; alpha 0 in exactly the same places; elsewhere channels within `tolerance`.
void ExpectSamePixels(const UPicture_S& actual, const UPicture_S& expected, int tolerance,
                      const std::string& name) {
    ASSERT_EQ(actual.width, expected.width) << name;
    ASSERT_EQ(actual.height, expected.height) << name;
    for (size_t i = 0; i < expected.pixels.size(); ++i) {
        const uint32_t a = actual.pixels[i];
        const uint32_t e = expected.pixels[i];
        const bool clear = (a >> 24) == 0;
        const bool differs =
            clear != ((e >> 24) == 0) || (!clear && ChannelDistance(a, e) > tolerance);
        ASSERT_FALSE(differs) << name << ": pixel (" << i % size_t(expected.width) << ", "
                              << i / size_t(expected.width) << ") is " << std::hex << a
                              << ", expected " << e;
    }
}

std::vector<fs::path> FilesIn(const fs::path& folder) {
    std::vector<fs::path> files{fs::directory_iterator(folder), fs::directory_iterator()};
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

TEST(ImageCorpus, EveryPngSuiteFileMatchesLibpng) {
    const std::vector<fs::path> files = FilesIn(Data / "pngsuite");
    ASSERT_GE(files.size(), 60u);
    for (const fs::path& file : files) {
        const std::string name = file.filename().string();
        // Qt and libpng reduce 16-bit samples with different rounding.
        const int tolerance = name.find("16") != std::string::npos ? 1 : 0;
        ExpectSamePixels(Load(file), Reference(file), tolerance, name);
    }
}

TEST(ImageCorpus, EveryGoodBmpMatchesItsReferenceRendering) {
    // Each good file and the reference rendering of the picture it holds.
    const std::pair<const char*, const char*> cases[] = {
        {"pal1", "pal1"},           {"pal1bg", "pal1bg"},
        {"pal1wb", "pal1"},         {"pal4", "pal4"},
        {"pal4rle", "pal4"},        {"pal8-0", "pal8"},
        {"pal8", "pal8"},           {"pal8nonsquare", "pal8nonsquare-e"},
        {"pal8os2", "pal8"},        {"pal8rle", "pal8"},
        {"pal8topdown", "pal8"},    {"pal8v4", "pal8"},
        {"pal8v5", "pal8"},         {"pal8w124", "pal8w124"},
        {"pal8w125", "pal8w125"},   {"pal8w126", "pal8w126"},
        {"rgb16-565", "rgb16-565"}, {"rgb16-565pal", "rgb16-565"},
        {"rgb16", "rgb16"},         {"rgb24", "rgb24"},
        {"rgb24pal", "rgb24"},      {"rgb32", "rgb24"},
        {"rgb32bf", "rgb24"},
    };
    ASSERT_EQ(std::size(cases), FilesIn(Data / "bmpsuite/g").size()) << "a good file lacks a case";
    for (const auto& [bmp, reference] : cases) {
        const fs::path html = Data / "bmpsuite/html" / (std::string(reference) + ".png");
        // The references were rendered with slightly different palettes and 5-bit scaling.
        ExpectSamePixels(Load(Data / "bmpsuite/g" / (std::string(bmp) + ".bmp")), Reference(html),
                         2, bmp);
    }
}

TEST(ImageCorpus, QuestionableAndBadBmpsLoadOrFailCleanly) {
    for (const char* folder : {"bmpsuite/q", "bmpsuite/b"}) {
        for (const fs::path& file : FilesIn(Data / folder)) {
            try {
                const UPicture_S picture = Load(file);
                EXPECT_GT(picture.width, 0) << file;
            } catch (const NS_Base::UError_C& error) {
                EXPECT_STREQ(error.GetInfo(), "Fail to read image file:") << file;
                EXPECT_STREQ(error.GetInfoEx(), file.c_str());
            }
        }
    }
}
