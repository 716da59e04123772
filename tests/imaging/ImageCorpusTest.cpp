// Conformance images: every picture a user may bring loads with the right pixels, and damaged
// ones fail with the loader's own error rather than a crash.
#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "PictureFiles.h"
#include "TestSupport.h"

namespace fs = std::filesystem;

namespace {

const fs::path Data = TAVRIN_TEST_DATA;

// libpng's own reading of a PNG as 8-bit RGBA, without gamma: the reference for Qt's decoding.
// Nothing that libpng may jump over has a destructor.
UPicture_S Reference(const fs::path& path) {
    UPicture_S picture;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        ADD_FAILURE() << "no file " << path;
        return picture;
    }
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (!setjmp(png_jmpbuf(png))) {
        png_init_io(png, file);
        png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
        png_read_png(png, info,
                     PNG_TRANSFORM_EXPAND | PNG_TRANSFORM_SCALE_16 | PNG_TRANSFORM_GRAY_TO_RGB,
                     nullptr);
        picture.width = int32_t(png_get_image_width(png, info));
        picture.height = int32_t(png_get_image_height(png, info));
        const png_bytepp rows = png_get_rows(png, info);
        for (int32_t y = 0; y < picture.height; ++y) {
            for (const png_byte* at = rows[y]; at < rows[y] + picture.width * 4; at += 4) {
                picture.pixels.push_back(uint32_t{at[3]} << 24 | uint32_t{at[0]} << 16 |
                                         uint32_t{at[1]} << 8 | at[2]);
            }
        }
    }
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(file);
    EXPECT_GT(picture.width, 0) << "libpng could not read " << path;
    return picture;
}

std::vector<fs::path> FilesIn(const fs::path& folder) {
    std::vector<fs::path> files{fs::directory_iterator(folder), fs::directory_iterator()};
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

// Also a 16-bit colour key whose chunk has a bad checksum: libpng drops the chunk and then
// delivers three channels where the colour-key repair expects four, and no byte it did not write
// may reach the picture.
TEST(ImageCorpus, EveryPngSuiteFileMatchesLibpng) {
    std::vector<fs::path> files = FilesIn(Data / "pngsuite");
    ASSERT_GE(files.size(), 60u);
    files.push_back(Data / "made/rgb16-trns-bad-crc.png");
    for (const fs::path& file : files) {
        const std::string name = file.filename().string();
        // Qt and libpng reduce 16-bit samples with different rounding.
        const int tolerance = name.find("16") != std::string::npos ? 1 : 0;
        EXPECT_EQ(FirstDifference(LoadPicture(file), Reference(file), tolerance), "") << name;
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
        const UPicture_S loaded = LoadPicture(Data / "bmpsuite/g" / (std::string(bmp) + ".bmp"));
        EXPECT_EQ(FirstDifference(loaded, Reference(html), 2), "") << bmp;
    }
}

// Also the files the fuzzer found, each of which once took minutes: the alarm ends such a run.
TEST(ImageCorpus, QuestionableBadAndFuzzFoundFilesLoadOrFailCleanly) {
    for (const char* folder : {"bmpsuite/q", "bmpsuite/b", "fuzz/picture_loader"}) {
        for (const fs::path& file : FilesIn(Data / folder)) {
            alarm(5);
            const std::string failure = FailureOf([&] { LoadPicture(file); });
            // A size beyond the limit is named after the path.
            EXPECT_TRUE(
                failure.empty() ||
                failure.starts_with("UImageData_C 1 Fail to read image file:|" + file.string()))
                << failure;
            alarm(0);
        }
    }
}

// A picture cut short in its pixel data fails as damaged, whatever its format; its header still
// reads, so that a batch can be sized before anything is decoded.
TEST(ImageCorpus, TruncatedPicturesOfEveryFormatFailAsDamaged) {
    const UTempDirectory folder;
    // Each sample and the bytes that may go while every pixel is still there (the end marks of
    // RLE data, the GIF trailer).
    const std::pair<std::string, std::size_t> samples[] = {
        {Data / "bmpsuite/g/rgb24.bmp", 0},   {Data / "bmpsuite/g/pal8rle.bmp", 3},
        {Data / "bmpsuite/g/pal4rle.bmp", 3}, {Data / "made/transparent-index.gif", 1},
        {Data / "pngsuite/basn6a08.png", 0},  {Data / "made/gradient.jpg", 0},
    };
    for (const auto& [sample, spare] : samples) {
        const Bytes whole = ReadFile(sample);
        const UPicture_S expected = LoadPicture(sample);
        const std::string cut = folder.root + "cut-" + fs::path(sample).filename().string();
        for (const std::size_t kept :
             {whole.size() / 2, whole.size() * 3 / 4, whole.size() - spare - 1}) {
            WriteFile(cut, Bytes(whole.begin(), whole.begin() + long(kept)));
            EXPECT_EQ(FailureOf([&] { LoadPicture(cut); }),
                      "UImageData_C 1 Fail to read image file:|" + cut)
                << kept << " of " << whole.size() << " bytes";
            if (kept > whole.size() / 2) {
                EXPECT_EQ(UImageData_C::ReadHeader(cut.c_str()).GetWidth(), expected.width) << cut;
            }
        }
        WriteFile(cut, Bytes(whole.begin(), whole.end() - long(spare)));
        EXPECT_EQ(FirstDifference(LoadPicture(cut), expected), "")
            << cut << " lost only spare bytes";
    }
}

// Move and end codes leave pixels out, which the decoder never writes: they are transparent,
// and every other pixel is the one the full picture has there.
TEST(ImageCorpus, PixelsRunLengthCodesLeaveOutAreTransparent) {
    for (const char* depth : {"4", "8"}) {
        const std::string name = std::string("pal") + depth + "rletrns";
        const UPicture_S gaps = LoadPicture(Data / "bmpsuite/q" / (name + ".bmp"));
        const UPicture_S full =
            LoadPicture(Data / "bmpsuite/g" / (std::string("pal") + depth + "rle.bmp"));
        ASSERT_EQ(gaps.pixels.size(), full.pixels.size()) << name;
        std::size_t left = 0;
        for (std::size_t i = 0; i < gaps.pixels.size(); ++i) {
            left += gaps.pixels[i] == 0;
            ASSERT_TRUE(gaps.pixels[i] == 0 || gaps.pixels[i] == full.pixels[i])
                << name << ": pixel " << i << " is " << std::hex << gaps.pixels[i];
        }
        EXPECT_EQ(left, 416u) << name << ": transparent pixels";
    }
}
