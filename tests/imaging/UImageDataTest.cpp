#include "UImageData_C.h"

#include <gtest/gtest.h>
#include <unistd.h>
#include <QImage>
#include <QImageWriter>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

// Reaches the held picture, which callers never see.
class UImageDataInspector_C {
public:
    static const QImage& Held(const UImageData_C& image) { return *image.bitmap; }
};

namespace {

const fs::path Data = TAVRIN_TEST_DATA;

class UImageDataTest : public testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / ("tavrin-imaging-" + std::to_string(::getpid()));
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    std::vector<uint32_t> Pixels(int32_t& width, int32_t& height) {
        uint32_t* pixels = nullptr;
        image.GetPixels32(pixels, &width, &height);
        return {pixels, pixels + size_t(width) * height};
    }

    fs::path folder;
    UImageData_C image;
};

template <class Operation>
std::pair<int32_t, std::string> Failure(Operation operation) {
    try {
        operation();
    } catch (const NS_Base::UError_C& error) {
        EXPECT_STREQ(error.GetPosition(), "UImageData_C");
        return {error.GetCode(), std::string(error.GetInfo()) + "|" + error.GetInfoEx()};
    }
    return {0, ""};
}

}  // namespace

TEST_F(UImageDataTest, FourBitBmpIsHeldAsIndexedWithItsPalette) {
    image.LoadFile((Data / "bmpsuite/g/pal4.bmp").c_str());
    const QImage& held = UImageDataInspector_C::Held(image);
    EXPECT_EQ(held.format(), QImage::Format_Indexed8);
    EXPECT_LE(held.colorCount(), 16);
    int32_t width = 0;
    int32_t height = 0;
    const std::vector<uint32_t> pixels = Pixels(width, height);
    for (int y = 0; y < height; y += 7) {
        for (int x = 0; x < width; x += 5) {
            ASSERT_EQ(pixels[size_t(y) * width + x], held.color(held.pixelIndex(x, y)))
                << "pixel (" << x << ", " << y << ")";
        }
    }
}

TEST_F(UImageDataTest, GifTransparentIndexAndJpegOpacityComeThrough) {
    image.LoadFile((Data / "made/transparent-index.gif").c_str());
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels = Pixels(width, height);
    EXPECT_EQ(pixels, (std::vector<uint32_t>{0xFFFF0000, 0x00000000 | (pixels[1] & 0xFFFFFF),
                                             0xFFFF0000, 0xFFFF0000, 0xFFFF0000, 0xFF0000FF}));

    // A JPEG named .png: the content decides, and every pixel is opaque.
    QImage source(8, 4, QImage::Format_ARGB32);
    source.fill(0x40806040);
    const fs::path jpeg = folder / "photo.png";
    ASSERT_TRUE(QImageWriter(QString::fromStdString(jpeg.string()), "jpg").write(source));
    image.LoadFile(jpeg.c_str());
    pixels = Pixels(width, height);
    EXPECT_EQ(width, 8);
    for (size_t i = 0; i < pixels.size(); ++i) {
        ASSERT_EQ(pixels[i] >> 24, 0xFFu) << "pixel " << i;
    }
}

TEST_F(UImageDataTest, UnreadableFilesFailWithTheirPath) {
    std::ifstream whole(Data / "pngsuite/basn6a08.png", std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(whole), {}};
    std::ofstream(folder / "truncated.png", std::ios::binary) << bytes.substr(0, bytes.size() / 2);
    std::ofstream(folder / "text.png") << "not a picture\n";
    const std::string tooLong = (folder / std::string(200, 'a')).string() + ".png";
    for (const fs::path& path : {folder / "truncated.png", folder / "text.png",
                                 folder / "missing.png", folder, fs::path(tooLong)}) {
        image.LoadFile((Data / "pngsuite/basn6a08.png").c_str());
        EXPECT_EQ(Failure([&] { image.LoadFile(path.c_str()); }),
                  std::make_pair(1, "Fail to read image file:|" + path.string().substr(0, 399)));
        EXPECT_EQ(Failure([&] { image.SavePng((folder / "out.png").c_str()); }).first, 2)
            << path << " left a picture held";
    }
}

TEST_F(UImageDataTest, SavedPngLoadsBackValueForValue) {
    std::vector<uint32_t> values;
    for (uint32_t i = 0; i < 64 * 3; ++i) {
        values.push_back((i % 4 == 0 ? 0u : i * 37 % 256) << 24 | (i * 2654435761u & 0xFFFFFF));
    }
    image.CreateFromPixels32(values.data(), 64, 3);
    const fs::path target = folder / "sheet.png";
    std::ofstream(target) << "old";
    image.SavePng(target.c_str());
    std::ifstream file(target, std::ios::binary);
    char header[26];
    file.read(header, 26);
    EXPECT_EQ(header[24], 8) << "bit depth";
    EXPECT_EQ(header[25], 6) << "colour type";
    image.Release();
    image.LoadFile(target.c_str());
    int32_t width = 0;
    int32_t height = 0;
    const std::vector<uint32_t> loaded = Pixels(width, height);
    ASSERT_EQ(loaded.size(), values.size());
    for (size_t i = 0; i < values.size(); ++i) {
        ASSERT_EQ(loaded[i], values[i]) << "pixel " << i;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

TEST_F(UImageDataTest, FailedSavesRaiseFileErrorFourAndLeaveNothing) {
    const uint32_t value = 0x80FFFFFF;
    image.CreateFromPixels32(&value, 1, 1);
    std::ofstream(folder / "file") << "x";
    fs::create_directory(folder / "existing");
    const std::string tooLong = (folder / std::string(200, 'b')).string();
    for (const fs::path& path : {folder / "missing/out.png", folder / "file/out.png",
                                 folder / "existing", fs::path(tooLong)}) {
        EXPECT_EQ(Failure([&] { image.SavePng(path.c_str()); }),
                  std::make_pair(4, "创建图片文件失败.|" + path.string().substr(0, 399)));
    }
    if (::geteuid() != 0) {
        fs::create_directory(folder / "locked");
        fs::permissions(folder / "locked", fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_EQ(Failure([&] { image.SavePng((folder / "locked/out.png").c_str()); }).first, 4);
        fs::permissions(folder / "locked", fs::perms::owner_all);
    }
    EXPECT_TRUE(fs::is_empty(folder / "existing"));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()),
              ::geteuid() != 0 ? 3 : 2);
}

TEST_F(UImageDataTest, BadSizesAndEmptyObjectsAreRefused) {
    const uint32_t value = 0xFF123456;
    image.CreateFromPixels32(&value, 1, 1);
    EXPECT_EQ(Failure([&] { image.CreateFromPixels32(&value, 0, 1); }).first, 5);
    uint32_t* pixels = nullptr;
    image.GetPixels32(pixels, nullptr, nullptr);
    EXPECT_EQ(pixels[0], value) << "the held picture changed";
    image.Release();
    EXPECT_EQ(Failure([&] { image.GetPixels32(pixels, nullptr, nullptr); }),
              std::make_pair(2, std::string("No image data to operated.|")));
}
