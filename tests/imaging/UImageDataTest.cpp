#include "imaging/UImageData_C.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "GifFiles.h"
#include "PictureFiles.h"
#include "TestSupport.h"

namespace fs = std::filesystem;

namespace {

const std::string Data = TAVRIN_TEST_DATA "/";

// The image plugins mapped into this process, by file name.
std::vector<std::string> LoadedImagePlugins() {
    std::vector<std::string> plugins;
    std::ifstream maps("/proc/self/maps");
    for (std::string line; std::getline(maps, line);) {
        const std::size_t at = line.find("/imageformats/");
        if (at != std::string::npos) {
            plugins.push_back(line.substr(at + 14));
        }
    }
    return plugins;
}

// The content decides, by its magic bytes, and only the decoder of that format is loaded: other
// plugins installed beside Qt are never asked to guess.
TEST(UImageData, GifAndJpegLoadAsTheirContentSaysThroughTheirOwnDecoderOnly) {
    const UPicture_S gif = LoadPicture(Data + "made/transparent-index.gif");
    EXPECT_EQ(gif.pixels, (std::vector<uint32_t>{0xFFFF0000, gif.pixels[1] & 0xFFFFFF, 0xFFFF0000,
                                                 0xFFFF0000, 0xFFFF0000, 0xFF0000FF}));

    // A JPEG named .png: the content decides, and every pixel is opaque.
    const UTempDirectory folder;
    const std::string jpeg = folder.root + "photo.png";
    fs::copy_file(Data + "made/gradient.jpg", jpeg);
    const UPicture_S loaded = LoadPicture(jpeg);
    EXPECT_EQ(loaded.width, 64);
    for (size_t i = 0; i < loaded.pixels.size(); ++i) {
        ASSERT_EQ(loaded.pixels[i] >> 24, 0xFFu) << "JPEG pixel " << i;
    }
    // Gifs go through giflib: with two of Qt 6.4's plugins used on worker threads, their
    // teardown at exit read freed memory (valgrind, a third of the runs).
    for (const std::string& plugin : LoadedImagePlugins()) {
        EXPECT_EQ(plugin, "libqjpeg.so") << plugin << " was loaded";
    }
}

// An 8-bit RGBA PNG of width x height whose rows are all zero; `rows` of them are stored.
Bytes BlankPng(uint32_t width, uint32_t height, uint32_t rows) {
    Bytes header;
    Append32(header, width, false);
    Append32(header, height, false);
    header.insert(header.end(), {8, 6, 0, 0, 0});
    const Bytes raw(std::size_t(rows) * (std::size_t(width) * 4 + 1), 0);
    uLongf size = compressBound(raw.size());
    std::string packed(size, '\0');
    compress(reinterpret_cast<Bytef*>(packed.data()), &size, raw.data(), raw.size());
    return Png({PngChunk("IHDR", std::string(header.begin(), header.end())),
                PngChunk("IDAT", packed.substr(0, size)), PngChunk("IEND", "")});
}

// Qt refuses pictures above 128 MB by default; ours go up to 16384 x 16384 pixels. A header that
// claims more, or pixel data far short of what the header claims, is refused before anything is
// decoded or allocated.
TEST(UImageData, LargePicturesLoadUpToTheLimitAndBeyondItOrWithoutTheirDataFailAtOnce) {
    const UTempDirectory folder;
    WriteFile(folder.root + "large.png", BlankPng(6000, 6000, 6000));
    WriteFile(folder.root + "huge.png", BlankPng(16385, 16385, 1));
    // Whole files of each format that declare 16384 x 16384 pixels with data for a few.
    WriteFile(folder.root + "bomb.png", BlankPng(16384, 16384, 1));
    WriteFile(
        folder.root + "bomb.gif",
        Bytes{'G', 'I', 'F', '8', '9', 'a', 0, 0x40, 0, 0x40, 0x80, 0, 0, 0,    0, 0, 255, 255,
              255, ',', 0,   0,   0,   0,   0, 0x40, 0, 0x40, 0,    2, 2, 0x4C, 1, 0, ';'});
    Bytes jpeg = ReadFile(Data + "made/gradient.jpg");
    const unsigned char start[] = {0xFF, 0xC0};
    const auto frame =
        std::size_t(std::search(jpeg.begin(), jpeg.end(), start, start + 2) - jpeg.begin()) + 1;
    jpeg[frame + 4] = jpeg[frame + 6] = 0x40;  // height and width: 0x4000
    jpeg[frame + 5] = jpeg[frame + 7] = 0;
    WriteFile(folder.root + "bomb.jpg", jpeg);
    Bytes bmp{'B', 'M', 0, 0, 0,    0, 0, 0, 0,    0, 54, 0, 0, 0,  40,
              0,   0,   0, 0, 0x40, 0, 0, 0, 0x40, 0, 0,  1, 0, 24, 0};
    bmp.resize(1054, 0);
    WriteFile(folder.root + "bomb.bmp", bmp);
    UImageData_C image;
    image.LoadFile((folder.root + "large.png").c_str());
    int32_t width = 0;
    uint32_t* values = nullptr;
    image.GetPixels32(values, &width, nullptr);
    EXPECT_EQ(width, 6000);
    const std::string huge = folder.root + "huge.png";
    const std::string beyond = "UImageData_C 1 Fail to read image file:|" + huge +
                               ": 16385 x 16385 exceeds the 16384 x 16384 limit";
    EXPECT_EQ(FailureOf([&] { image.LoadFile(huge.c_str()); }), beyond);
    EXPECT_EQ(FailureOf([&] { UImageData_C::ReadHeader(huge.c_str()); }), beyond);
    for (const char* bomb : {"bomb.png", "bomb.gif", "bomb.jpg", "bomb.bmp"}) {
        const std::string path = folder.root + bomb;
        EXPECT_EQ(FailureOf([&] { image.LoadFile(path.c_str()); }),
                  "UImageData_C 1 Fail to read image file:|" + path);
        const USize_C declared = UImageData_C::ReadHeader(path.c_str());
        EXPECT_EQ(std::pair(declared.GetWidth(), declared.GetHeight()), std::pair(16384, 16384))
            << bomb;
    }
}

UPicture_S Gradient() {
    UPicture_S picture{64, 3, {}};
    for (uint32_t i = 0; i < 64 * 3; ++i) {
        picture.pixels.push_back((i % 4 == 0 ? 0u : i * 37 % 256) << 24 |
                                 (i * 2654435761u & 0xFFFFFF));
    }
    return picture;
}

// A save replaces the target, or the file a link names, only with a whole RGBA PNG that loads
// back value for value, semi-transparent and clear values included; the link and the old file's
// permissions stay.
TEST(UImageData, SavesReplaceARegularFileOrTheOneALinkNamesWhole) {
    const UPicture_S picture = Gradient();
    const UTempDirectory folder;
    const std::string target = folder.root + "real/sheet.png";
    const std::string link = folder.root + "links/sheet.png";
    fs::create_directories(folder.root + "real");
    fs::create_directories(folder.root + "links");
    fs::create_symlink("../real/sheet.png", link);
    WriteFile(target, Bytes{'o', 'l', 'd'});
    fs::permissions(target, fs::perms(0640));
    for (const std::string& path : {target, link, folder.root + "new.png"}) {
        SaveSheet(picture, path);
        const Bytes file = ReadFile(path);
        EXPECT_TRUE(file.size() > 25 && file[24] == 8 && file[25] == 6) << path << ": not RGBA8";
        EXPECT_EQ(FirstDifference(LoadPicture(path), picture), "") << path;
    }
    EXPECT_TRUE(fs::is_symlink(link)) << "the link was replaced";
    EXPECT_EQ(fs::status(target).permissions(), fs::perms(0640));
    const mode_t mask = umask(0);
    umask(mask);
    EXPECT_EQ(fs::status(folder.root + "new.png").permissions(), fs::perms(0666 & ~mask));
    EXPECT_EQ(NamesWith(folder.root + "real", ".tmp"), std::vector<std::string>{});
}

// What cannot be replaced by a file is written in place: a FIFO, a device, also through a link.
TEST(UImageData, SavesWriteFifosAndCharacterDevicesInPlace) {
    const UTempDirectory folder;
    const std::string fifo = folder.root + "fifo", file = folder.root + "file.png";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // The reader is there first, and the small sheet fits the pipe, so nothing waits.
    const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    SaveSheet(Gradient(), fifo);
    SaveSheet(Gradient(), file);
    Bytes received(65536);
    received.resize(std::max<ssize_t>(0, read(reader, received.data(), received.size())));
    close(reader);
    EXPECT_TRUE(fs::is_fifo(fifo)) << "the FIFO was replaced";
    EXPECT_EQ(received, ReadFile(file)) << "the FIFO's reader got another sheet";

    fs::create_symlink("/dev/null", folder.root + "null");
    fs::create_symlink("/dev/full", folder.root + "full");
    EXPECT_EQ(FailureOf([&] { SaveSheet(Gradient(), folder.root + "null"); }), "");
    EXPECT_EQ(FailureOf([&] { SaveSheet(Gradient(), folder.root + "full"); }),
              "UImageData_C 4 创建图片文件失败.|" + folder.root + "full : No space left on device");
    EXPECT_TRUE(fs::is_symlink(folder.root + "null") && fs::is_symlink(folder.root + "full"));
}

// Failures that stop root too: each keeps file error 4 and tells the system's reason after the
// path, and leaves nothing behind.
TEST(UImageData, SaveFailuresNameTheirReasonAndLeaveNothing) {
    const UTempDirectory folder;
    const UPicture_S picture = Gradient();  // the image shows these pixels where they lie
    UImageData_C image;
    image.CreateFromPixels32(picture.pixels.data(), 64, 3);
    fs::create_directory(folder.root + "existing");
    const std::pair<std::string, std::string> cases[] = {
        {folder.root + "existing", "Is a directory"},
        {folder.root + "large.png", "File too large"},
    };
    for (const auto& [path, reason] : cases) {
        const UFileSizeLimit limit(100);
        EXPECT_EQ(FailureOf([&] { image.SavePng(path.c_str()); }),
                  "UImageData_C 4 创建图片文件失败.|" + path + " : " + reason);
    }
    EXPECT_TRUE(fs::is_empty(folder.root + "existing"));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.root), fs::directory_iterator()), 1)
        << "a temporary file was left behind";
}

// Damage that a decoder would draw as wrong pixels is refused; bytes that libjpeg skips with a
// warning are skipped.
TEST(UImageData, DamagedGifDataIsRefusedAndBytesLibjpegSkipsAreSkipped) {
    const UTempDirectory folder;
    // The codes clear, six reds and end; setting the ninth bit of the second red (byte 48) makes
    // it the end code, five pixels early.
    Bytes gif = MakeGif(3, 2, {{0, 0, 3, 2, std::vector<uint8_t>(6, Red)}});
    gif[48] ^= 0x04;
    const std::string damaged = folder.root + "damaged.gif";
    WriteFile(damaged, gif);
    EXPECT_EQ(FailureOf([&] { LoadPicture(damaged); }),
              "UImageData_C 1 Fail to read image file:|" + damaged);
    // Camera software leaves such bytes: here one zero before the quantisation table.
    const std::string gradient = Data + "made/gradient.jpg";
    Bytes jpeg = ReadFile(gradient);
    const unsigned char table[] = {0xFF, 0xDB};
    jpeg.insert(std::search(jpeg.begin(), jpeg.end(), table, table + 2), 0);
    const std::string stray = folder.root + "stray.jpg";
    WriteFile(stray, jpeg);
    EXPECT_EQ(FailureOf([&] {
                  EXPECT_EQ(FirstDifference(LoadPicture(stray), LoadPicture(gradient)), "");
              }),
              "");
}

// The size is found past the first 64 KiB too: here behind two full application segments.
TEST(UImageData, HeaderBehindLargeMetadataIsFound) {
    const UTempDirectory folder;
    Bytes jpeg = ReadFile(Data + "made/gradient.jpg");
    for (int i = 0; i < 2; ++i) {
        Bytes segment{0xFF, 0xE2, 0xFF, 0xFF};
        segment.resize(65537, 'm');
        jpeg.insert(jpeg.begin() + 2, segment.begin(), segment.end());
    }
    const std::string path = folder.root + "large-metadata.jpg";
    WriteFile(path, jpeg);
    EXPECT_EQ(FailureOf([&] { EXPECT_EQ(LoadPicture(path).width, 64); }), "");
}

}  // namespace
