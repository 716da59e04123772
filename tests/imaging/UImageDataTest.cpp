#include "imaging/UImageData_C.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>
#include <QImage>
#include <QImageWriter>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "PictureFiles.h"
#include "TestSupport.h"

namespace fs = std::filesystem;

// Reaches the held picture, which callers never see.
class UImageDataInspector_C {
public:
    static const QImage& Held(const UImageData_C& image) { return *image.bitmap; }
};

namespace {

const std::string Data = TAVRIN_TEST_DATA "/";

TEST(UImageData, FourBitBmpGifAndJpegLoadAsTheirContentSays) {
    UImageData_C image;
    image.LoadFile((Data + "bmpsuite/g/pal4.bmp").c_str());
    const QImage& held = UImageDataInspector_C::Held(image);
    EXPECT_EQ(held.format(), QImage::Format_Indexed8) << "4-bit BMP";
    EXPECT_LE(held.colorCount(), 16) << "4-bit BMP";

    const UPicture_S gif = LoadPicture(Data + "made/transparent-index.gif");
    EXPECT_EQ(gif.pixels, (std::vector<uint32_t>{0xFFFF0000, gif.pixels[1] & 0xFFFFFF, 0xFFFF0000,
                                                 0xFFFF0000, 0xFFFF0000, 0xFF0000FF}));

    // A JPEG named .png: the content decides, and every pixel is opaque.
    const UTempDirectory folder;
    QImage source(8, 4, QImage::Format_ARGB32);
    source.fill(0x40806040);
    const std::string jpeg = folder.root + "photo.png";
    ASSERT_TRUE(QImageWriter(QString::fromStdString(jpeg), "jpg").write(source));
    const UPicture_S loaded = LoadPicture(jpeg);
    EXPECT_EQ(loaded.width, 8);
    for (size_t i = 0; i < loaded.pixels.size(); ++i) {
        ASSERT_EQ(loaded.pixels[i] >> 24, 0xFFu) << "JPEG pixel " << i;
    }
}

TEST(UImageData, UnreadableFilesFailWithTheirPathAndHoldNothing) {
    const UTempDirectory folder;
    const Bytes whole = ReadFile(Data + "pngsuite/basn6a08.png");
    WriteFile(folder.root + "truncated.png",
              Bytes(whole.begin(), whole.begin() + whole.size() / 2));
    WriteFile(folder.root + "text.png", Bytes{'n', 'o', 't', '\n'});
    UImageData_C image;
    for (const std::string& path :
         {folder.root + "truncated.png", folder.root + "text.png", folder.root + "missing.png",
          folder.root, folder.root + std::string(200, 'a') + ".png"}) {
        image.LoadFile((Data + "pngsuite/basn6a08.png").c_str());
        EXPECT_EQ(FailureOf([&] { image.LoadFile(path.c_str()); }),
                  "UImageData_C 1 Fail to read image file:|" + path.substr(0, 399));
        EXPECT_EQ(CodeOf([&] { image.SavePng((folder.root + "out.png").c_str()); }), 2)
            << path << " left a picture held";
    }
}

// An 8-bit RGBA PNG of width x height whose rows are all zero; `rows` of them are stored.
Bytes BlankPng(uint32_t width, uint32_t height, uint32_t rows) {
    auto chunk = [](Bytes& out, const char* type, const Bytes& data) {
        Bytes body(type, type + 4);
        body.insert(body.end(), data.begin(), data.end());
        for (int shift = 24; shift >= 0; shift -= 8) {
            out.push_back(static_cast<unsigned char>(data.size() >> shift));
        }
        out.insert(out.end(), body.begin(), body.end());
        const uLong crc = crc32(0, body.data(), static_cast<uInt>(body.size()));
        for (int shift = 24; shift >= 0; shift -= 8) {
            out.push_back(static_cast<unsigned char>(crc >> shift));
        }
    };
    Bytes header;
    for (uint32_t side : {width, height}) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            header.push_back(static_cast<unsigned char>(side >> shift));
        }
    }
    header.insert(header.end(), {8, 6, 0, 0, 0});
    const Bytes raw(std::size_t(rows) * (std::size_t(width) * 4 + 1), 0);
    uLongf packedSize = compressBound(raw.size());
    Bytes packed(packedSize);
    compress(packed.data(), &packedSize, raw.data(), raw.size());
    packed.resize(packedSize);
    Bytes png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    chunk(png, "IHDR", header);
    chunk(png, "IDAT", packed);
    chunk(png, "IEND", {});
    return png;
}

// Qt refuses pictures above 128 MB by default; ours go up to 16384 x 16384 pixels, and a header
// that claims more is refused before anything is decoded or allocated.
TEST(UImageData, LargePicturesLoadUpToTheLimitAndBeyondItFailAtOnce) {
    const UTempDirectory folder;
    WriteFile(folder.root + "large.png", BlankPng(6000, 6000, 6000));
    WriteFile(folder.root + "huge.png", BlankPng(100000, 100000, 1));
    UImageData_C image;
    image.LoadFile((folder.root + "large.png").c_str());
    int32_t width = 0;
    uint32_t* values = nullptr;
    image.GetPixels32(values, &width, nullptr);
    EXPECT_EQ(width, 6000);
    EXPECT_EQ(CodeOf([&] { image.LoadFile((folder.root + "huge.png").c_str()); }), 1);
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
        SavePicture(picture, path);
        const Bytes file = ReadFile(path);
        ASSERT_GE(file.size(), 26u) << path;
        EXPECT_EQ(file[24], 8) << "bit depth";
        EXPECT_EQ(file[25], 6) << "colour type";
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
    SavePicture(Gradient(), fifo);
    SavePicture(Gradient(), file);
    Bytes received(65536);
    received.resize(std::max<ssize_t>(0, read(reader, received.data(), received.size())));
    close(reader);
    EXPECT_TRUE(fs::is_fifo(fifo)) << "the FIFO was replaced";
    EXPECT_EQ(received, ReadFile(file)) << "the FIFO's reader got another sheet";

    fs::create_symlink("/dev/null", folder.root + "null");
    fs::create_symlink("/dev/full", folder.root + "full");
    EXPECT_EQ(FailureOf([&] { SavePicture(Gradient(), folder.root + "null"); }), "");
    EXPECT_EQ(FailureOf([&] { SavePicture(Gradient(), folder.root + "full"); }),
              "UImageData_C 4 创建图片文件失败.|" + folder.root + "full : No space left on device");
    EXPECT_TRUE(fs::is_symlink(folder.root + "null") && fs::is_symlink(folder.root + "full"));
}

// Failures that stop root too: each keeps file error 4 and tells the system's reason after the
// path, and leaves nothing behind.
TEST(UImageData, SaveFailuresNameTheirReasonAndLeaveNothing) {
    const UTempDirectory folder;
    UImageData_C image;
    image.CreateFromPixels32(Gradient().pixels.data(), 64, 3);
    EXPECT_EQ(CodeOf([&] { image.CreateFromPixels32(Gradient().pixels.data(), 0, 1); }), 5);
    WriteFile(folder.root + "file", Bytes{'x'});
    fs::create_directory(folder.root + "existing");
    const std::pair<std::string, std::string> cases[] = {
        {folder.root + "missing/out.png", "No such file or directory"},
        {folder.root + "file/out.png", "Not a directory"},
        {folder.root + "existing", "Is a directory"},
        {folder.root + std::string(200, 'b'), "File name too long"},
        {folder.root + "large.png", "File too large"},
    };
    for (const auto& [path, reason] : cases) {
        const UFileSizeLimit limit(100);
        EXPECT_EQ(FailureOf([&] { image.SavePng(path.c_str()); }),
                  "UImageData_C 4 创建图片文件失败.|" + path + " : " + reason);
    }
    EXPECT_TRUE(fs::is_empty(folder.root + "existing"));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.root), fs::directory_iterator()), 2)
        << "a temporary file was left behind";
}

}  // namespace
