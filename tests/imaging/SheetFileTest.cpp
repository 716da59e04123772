#include "imaging/SheetFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <webp/decode.h>
#include <webp/encode.h>

#include <string>
#include <vector>

#include "PictureFiles.h"
#include "TestSupport.h"
#include "files/UAtomicFile_C.h"

namespace {

using Level = USheetEncoder_C::Level;

Bytes WebpChunk(const std::string& fourcc, const Bytes& body, uint32_t size = 0) {
    Bytes chunk;
    Append(chunk, fourcc);
    Append32(chunk, size ? size : static_cast<uint32_t>(body.size()), true);
    chunk.insert(chunk.end(), body.begin(), body.end());
    chunk.resize(chunk.size() + chunk.size() % 2);
    return chunk;
}

Bytes Webp(const std::vector<Bytes>& chunks, uint32_t riffSize = 0) {
    Bytes body;
    for (const Bytes& chunk : chunks) {
        body.insert(body.end(), chunk.begin(), chunk.end());
    }
    Bytes file;
    Append(file, "RIFF");
    Append32(file, riffSize ? riffSize : static_cast<uint32_t>(body.size() + 4), true);
    Append(file, "WEBP");
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

// A TIFF header whose one directory holds `entries` entries, the first an ASCII tag `tag`
// holding `text` at `offset` (0: right after the directory).
Bytes Exif(const std::string& text, bool little = true, uint32_t offset = 0, uint32_t entries = 1,
           uint32_t tag = 0x0131) {
    Bytes exif;
    Append(exif, little ? "II" : "MM");
    const auto put16 = [&](uint32_t value) {
        little ? exif.insert(exif.end(), {uint8_t(value), uint8_t(value >> 8)})
               : exif.insert(exif.end(), {uint8_t(value >> 8), uint8_t(value)});
    };
    put16(42);
    Append32(exif, 8, little);
    put16(entries);
    put16(tag);
    put16(2);
    Append32(exif, static_cast<uint32_t>(text.size() + 1), little);
    Append32(exif, offset ? offset : 26, little);
    Append32(exif, 0, little);
    Append(exif, text);
    exif.push_back(0);
    return exif;
}

// A plain lossless WebP of one pixel, as libwebp writes it for anyone.
Bytes PlainWebp() {
    const uint8_t pixel[4] = {1, 2, 3, 255};
    uint8_t* output = nullptr;
    const std::size_t size = WebPEncodeLosslessBGRA(pixel, 1, 1, 4, &output);
    Bytes file(output, output + size);
    WebPFree(output);
    return file;
}

TEST(SheetFile, TheNameDecidesTheFormatInAnyCase) {
    using F = USheetFormat_E;
    const std::pair<const char*, F> cases[] = {
        {"a.png", F::Png},         {"dir.x/A.PnG", F::Png}, {"-", F::Png},
        {"S.WEBP", F::Webp},       {"out", F::Unknown},     {"a.webp/out", F::Unknown},
        {"a.png.gif", F::Unknown}, {"--", F::Unknown}};
    for (const auto& [name, format] : cases) {
        EXPECT_EQ(SheetFile::FormatOf(name), format) << name;
    }
}

// Every writer and level marks its sheet, and the pixels read back as given: the colour under
// full transparency too for WebP, which keeps it.
TEST(SheetFile, EverySheetWriterMarksItsFileAndKeepsItsPixels) {
    UPicture_S picture{37, 23, {}};
    for (int i = 0; i < 37 * 23; ++i) {
        picture.pixels.push_back(i % 5 == 0 ? 0x00123456u : 0xFF000000u | uint32_t(i % 7) * 0x2030);
    }
    const auto rows = [&](uint32_t y, uint32_t*) { return &picture.pixels[y * 37]; };
    const UTempDirectory folder;
    for (const char* name : {"s.png", "s.webp"}) {
        for (const bool indexed : {false, true}) {
            for (const Level level : {Level::Fast, Level::Default, Level::Best}) {
                SCOPED_TRACE(testing::Message()
                             << name << " indexed " << indexed << " level " << int(level));
                const std::string path = folder.root + name;
                NS_Data::UAtomicFile_C file;
                UImageData_C::WriteSheet(file, path.c_str(), 37, 23, rows, level, indexed);
                UImageData_C::CommitSheet(file);
                EXPECT_TRUE(SheetFile::IsOwnSheet(path.c_str()));
                const Bytes bytes = ReadFile(path);
                const bool webp = name[2] == 'w';
                EXPECT_EQ(FirstDifference(webp ? DecodeWebp(bytes) : LoadPicture(path), picture,
                                          webp ? -1 : 0),
                          "");
                EXPECT_EQ(!webp && indexed, bytes.size() > 25 && bytes[25] == 3) << "palette";
            }
        }
    }
}

TEST(SheetFile, OnlyMarkedSheetsAreOwnWhateverTheBytesClaim) {
    const std::string ours = SheetFile::SoftwareText();
    const Bytes header = PngChunk("IHDR", std::string("\0\0\0\1\0\0\0\1\x08\x06\0\0\0", 13));
    const Bytes text = PngChunk("tEXt", ours);
    const Bytes data = PngChunk("IDAT", "x");
    std::vector<Bytes> manyChunks{header};
    manyChunks.insert(manyChunks.end(), 70, PngChunk("aaAa", ""));
    manyChunks.push_back(text);
    const Bytes plainWebp = PlainWebp();
    const Bytes image(plainWebp.begin() + 12, plainWebp.end());
    const auto exif = [&](const Bytes& block) { return Webp({image, WebpChunk("EXIF", block)}); };
    Bytes exifPrefixed;
    Append(exifPrefixed, std::string("Exif\0\0", 6));
    const Bytes tiff = Exif("Tavrin 1.0");
    exifPrefixed.insert(exifPrefixed.end(), tiff.begin(), tiff.end());
    const std::pair<Bytes, bool> cases[] = {
        {Png({header, text, data}), true},
        {Png({header, PngChunk("tEXt", std::string("Software\0Tavrin", 15))}), true},
        {exif(Exif("Tavrin")), true},
        {exif(Exif("Tavrin 9", false)), true},
        {exif(exifPrefixed), true},
        // Other software, other keywords, the mark after the image data or beyond the bound.
        {Png({header, PngChunk("tEXt", std::string("Software\0GIMP 2.10", 18)), data}), false},
        {Png({header, PngChunk("tEXt", std::string("Software\0Tavrinette", 19))}), false},
        {Png({header, PngChunk("tEXt", std::string("Comment\0Tavrin", 14))}), false},
        {Png({header, data, text}), false},
        {Png(manyChunks), false},
        {plainWebp, false},
        {exif(Exif("GIMP")), false},
        {exif(Exif("Tavrin", true, 26, 1, 0x010E)), false},
        // Lengths and offsets that point past the file or the bytes read.
        {Png({header, PngChunk("tEXt", "", 0xFFFFFFF0), text}), false},
        {Png({header, PngChunk("tEXt", std::string("Software\0Tav", 12), 40)}), false},
        {exif(Exif("Tavrin", true, 0xFFFFFFF0)), false},
        {exif(Exif("Tavrin", true, 26, 0xFFFF, 0x010E)), false},
        {Webp({WebpChunk("VP8L", {}, 0xFFFFFFFF), WebpChunk("EXIF", Exif("Tavrin"))}), false},
        {Webp({image, WebpChunk("EXIF", Exif("Tavrin"))}, 12), false},
        {Webp({WebpChunk("EXIF", Bytes(tiff.begin(), tiff.begin() + 30), 39)}), false},
        {{'G', 'I', 'F', '8', '9', 'a'}, false},
        {{}, false}};
    const UTempDirectory folder;
    const std::string path = folder.root + "f";
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        WriteFile(path, cases[i].first);
        EXPECT_EQ(SheetFile::IsOwnSheet(path.c_str()), cases[i].second) << "case " << i;
    }
    // A sheet cut before its mark is whole is no sheet; nor are a folder, a FIFO, no file.
    const Bytes sheet = Png({header, text, data});
    for (std::size_t size = 0; size < 8 + header.size() + 8 + ours.size() - 6; ++size) {
        WriteFile(path, Bytes(sheet.begin(), sheet.begin() + std::ptrdiff_t(size)));
        EXPECT_FALSE(SheetFile::IsOwnSheet(path.c_str())) << "cut at " << size;
    }
    ASSERT_EQ(::mkfifo((folder.root + "fifo").c_str(), 0600), 0);
    for (const std::string& other : {folder.root, folder.root + "fifo", folder.root + "none"}) {
        EXPECT_FALSE(SheetFile::IsOwnSheet(other.c_str())) << other;
    }
}

}  // namespace
