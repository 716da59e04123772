#include "imaging/UPngEncoder_C.h"

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "PictureFiles.h"
#include "TestSupport.h"

namespace {

// Allocations of at least this many bytes fail while set, on threads other than the tests' own
// unless `anyThread`: a helper thread then runs out of memory in the middle of its work.
std::atomic<std::size_t> failFrom{0};
std::atomic<bool> anyThread{false};
const std::thread::id testThread = std::this_thread::get_id();

}  // namespace

void* operator new(std::size_t size) {
    const std::size_t limit = failFrom.load();
    if (limit > 0 && size >= limit && (anyThread || std::this_thread::get_id() != testThread)) {
        throw std::bad_alloc();
    }
    if (void* memory = std::malloc(size ? size : 1)) {
        return memory;
    }
    throw std::bad_alloc();
}
void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}

namespace {

using Level = UPngEncoder_C::Level;
using Result = UPngEncoder_C::Result;

// Random values; eight rows of them over and over, with clear pixels in every fourth column,
// which compresses to almost nothing only when each stripe sees the rows above it; or a
// gradient with a little noise, as in a photograph, whose rows each want their own filter.
enum class Content { Random, Repeating, Grainy };

// Bands of rows, each of a kind that one filter suits: bytes near zero (None), columns that
// each keep their value (Up), rows that do (Sub), ramps (Paeth) and grain (Average).
uint32_t GrainyPixel(std::size_t x, std::size_t y, uint32_t noise) {
    uint32_t pixel = 0;
    for (unsigned shift = 0; shift < 32; shift += 8) {
        const std::size_t grain = noise >> shift & 0x1F;
        const std::size_t values[] = {(grain & 3) - 1, x * x * 7 + shift, y * y * 7 + shift,
                                      x * (shift / 8 + 1) + y * 3 + (grain & 3), 128 + grain};
        pixel |= static_cast<uint32_t>(values[y / 16 % 5] & 0xFF) << shift;
    }
    return pixel;
}

UPicture_S MakePicture(int32_t width, int32_t height, Content content) {
    UPicture_S picture{width, height, std::vector<uint32_t>(std::size_t(width) * height)};
    std::mt19937 random(static_cast<uint32_t>(width) * 31 + static_cast<uint32_t>(height));
    const auto columns = std::size_t(width);
    const std::size_t period = columns * 8;
    for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
        if (content == Content::Grainy) {
            picture.pixels[i] = GrainyPixel(i % columns, i / columns, random());
        } else if (content == Content::Repeating && i >= period) {
            picture.pixels[i] = picture.pixels[i - period];
        } else {
            const bool clear = content == Content::Repeating && i % columns % 4 == 0;
            picture.pixels[i] = clear ? 0u : random();
        }
    }
    return picture;
}

// The filter types of the rows, in the order of their first use.
std::vector<uint8_t> RowFilters(const std::vector<uint8_t>& rows, const UPicture_S& picture) {
    std::vector<uint8_t> types;
    for (std::size_t at = 0; at < rows.size(); at += std::size_t(picture.width) * 4 + 1) {
        if (std::ranges::find(types, rows[at]) == types.end()) {
            types.push_back(rows[at]);
        }
    }
    return types;
}

// Odd rows come through the scratch row, even rows straight from the picture's memory.
Result Write(const UPicture_S& picture, std::FILE* file, Level level, unsigned threads,
             std::vector<uint32_t> palette = {}) {
    const auto width = static_cast<uint32_t>(picture.width);
    UPngEncoder_C encoder(
        width, static_cast<uint32_t>(picture.height),
        [&](uint32_t y, uint32_t* scratch) {
            const uint32_t* row = picture.pixels.data() + std::size_t{y} * width;
            if (y % 2 == 0) {
                return row;
            }
            std::copy(row, row + width, scratch);
            return static_cast<const uint32_t*>(scratch);
        },
        level);
    encoder.SetPalette(std::move(palette));
    return encoder.Write(file, threads);
}

std::vector<uint8_t> Encode(const UPicture_S& picture, Level level, unsigned threads,
                            std::vector<uint32_t> palette = {}) {
    char* data = nullptr;
    std::size_t size = 0;
    std::FILE* file = ::open_memstream(&data, &size);
    EXPECT_EQ(Write(picture, file, level, threads, std::move(palette)), Result::Written)
        << "writing to memory";
    std::fclose(file);
    std::vector<uint8_t> bytes(data, data + size);
    std::free(data);
    return bytes;
}

uint32_t BigEndian(const uint8_t* bytes) {
    return uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 | bytes[3];
}

// Walks the chunks, checking every CRC, and inflates the joined IDAT data as one zlib stream,
// which checks its Adler-32, the count of filtered bytes and that nothing follows its end.
// Returns the filtered rows.
std::vector<uint8_t> Inflate(const std::vector<uint8_t>& file, const UPicture_S& picture) {
    std::vector<uint8_t> compressed;
    std::size_t at = 8;
    while (at + 12 <= file.size()) {
        const uint32_t length = BigEndian(&file[at]);
        const std::string type(file.begin() + at + 4, file.begin() + at + 8);
        const uLong crc = crc32(0, &file[at + 4], length + 4);
        EXPECT_EQ(crc, BigEndian(&file[at + 8 + length])) << type << " chunk at byte " << at;
        if (type == "IDAT") {
            compressed.insert(compressed.end(), &file[at + 8], &file[at + 8 + length]);
        }
        at += 12 + length;
    }
    EXPECT_EQ(at, file.size()) << "bytes after the last whole chunk";
    std::vector<uint8_t> rows(std::size_t(picture.height) * (std::size_t(picture.width) * 4 + 1));
    uLongf produced = rows.size();
    uLong used = compressed.size();
    EXPECT_EQ(uncompress2(rows.data(), &produced, compressed.data(), &used), Z_OK);
    EXPECT_EQ(produced, rows.size()) << "filtered bytes";
    EXPECT_EQ(used, compressed.size()) << "compressed bytes after the stream's end";
    return rows;
}

// zlib's size for the same filtered rows as one stream, at its default level.
std::size_t OneStreamSize(const std::vector<uint8_t>& rows) {
    uLongf size = compressBound(rows.size());
    std::vector<uint8_t> compressed(size);
    EXPECT_EQ(compress2(compressed.data(), &size, rows.data(), rows.size(), 6), Z_OK);
    return size;
}

// libpng's reading of the file as 0xAARRGGBB values.
UPicture_S ReadWithLibpng(const std::vector<uint8_t>& file) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    UPicture_S picture;
    if (png_image_begin_read_from_memory(&image, file.data(), file.size())) {
        image.format = PNG_FORMAT_BGRA;
        picture.width = int32_t(image.width);
        picture.height = int32_t(image.height);
        picture.pixels.resize(std::size_t(image.width) * image.height);
        png_image_finish_read(&image, nullptr, picture.pixels.data(), 0, nullptr);
    }
    EXPECT_EQ(image.warning_or_error & PNG_IMAGE_ERROR, 0) << image.message;
    png_image_free(&image);
    return picture;
}

// Every level writes one valid stream, the same bytes whatever the number of threads, which
// libpng reads back value for value, and grain takes every filter.
TEST(UPngEncoder, EveryLevelAndShapeDecodesValueForValueOnAnyThreadCount) {
    // Shapes around the stripes of about 1 MiB of filtered rows: one and two rows, a row longer
    // than a stripe, rows longer than deflate's 32 KiB history, a last stripe of one or two rows.
    const std::pair<int32_t, int32_t> shapes[] = {{1, 1},      {3, 2},      {300000, 1},
                                                  {140000, 2}, {700, 1001}, {1, 262145},
                                                  {4097, 65},  {9000, 117}};
    for (const Level level : {Level::Fast, Level::Default, Level::Best}) {
        for (const auto& [width, height] : shapes) {
            for (const Content content : {Content::Random, Content::Repeating, Content::Grainy}) {
                SCOPED_TRACE(testing::Message() << "level " << int(level) << ", " << width << "x"
                                                << height << ", content " << int(content));
                const UPicture_S picture = MakePicture(width, height, content);
                const std::vector<uint8_t> file = Encode(picture, level, 3);
                EXPECT_TRUE(file == Encode(picture, level, 1)) << "one thread wrote other bytes";
                const std::vector<uint8_t> rows = Inflate(file, picture);
                const std::size_t whole = OneStreamSize(rows);
                EXPECT_EQ(FirstDifference(ReadWithLibpng(file), picture), "");
                // Grain is where choosing the filter row by row pays: every filter is used.
                if (content == Content::Grainy && level == Level::Default && width == 700) {
                    std::vector<uint8_t> types = RowFilters(rows, picture);
                    std::ranges::sort(types);
                    EXPECT_EQ(types, (std::vector<uint8_t>{0, 1, 2, 3, 4}));
                }
                // A stripe that does not see the rows above it spells out the eight rows again.
                EXPECT_LE(file.size(), whole + whole / 10 + 1024) << "one stream " << whole;
            }
        }
    }
}

// Palettes of every index width, with rows whose last byte is partly used, read back by libpng
// as the same values, transparency included; a 257th colour leaves no palette.
TEST(UPngEncoder, PalettesOfEveryIndexWidthDecodeValueForValue) {
    constexpr int32_t Height = 520;
    for (const uint32_t colours : {1u, 2u, 3u, 16u, 17u, 256u, 257u}) {
        for (const int32_t width : {1, 13, 700}) {
            SCOPED_TRACE(testing::Message() << colours << " colours, width " << width);
            // Pairs of pixels of a colour, every colour used, odd ones half transparent and
            // colour 0 clear.
            UPicture_S picture{width, Height, std::vector<uint32_t>(std::size_t(width) * Height)};
            for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
                const auto colour = static_cast<uint32_t>(i / 2 % colours);
                picture.pixels[i] =
                    colour == 0 ? 0u : colour * 0x010305u | (colour % 2 ? 0x80u : 0xFFu) << 24;
            }
            std::vector<uint32_t> palette =
                UPngEncoder_C::FindPalette(uint32_t(width), Height, [&](uint32_t y, uint32_t*) {
                    return picture.pixels.data() + std::size_t{y} * std::size_t(width);
                });
            EXPECT_EQ(palette.empty(), colours > 256);
            const std::vector<uint8_t> file =
                Encode(picture, Level::Default, 2, std::move(palette));
            EXPECT_EQ(file[25], colours > 256 ? 6 : 3) << "colour type";
            EXPECT_EQ(FirstDifference(ReadWithLibpng(file), picture), "");
        }
    }
}

// Failures come back as results once every thread is joined, never as a terminated program.
TEST(UPngEncoder, FullDiskAndLackOfMemoryAreReported) {
    const UPicture_S picture = MakePicture(1024, 1024, Content::Random);
    std::FILE* full = std::fopen("/dev/full", "wb");
    ASSERT_NE(full, nullptr);
    // The header fits the buffer, so the failure comes with the first data chunk, while helpers
    // are compressing.
    std::setvbuf(full, nullptr, _IOFBF, 4096);
    EXPECT_EQ(Write(picture, full, Level::Default, 3), Result::WriteFailed) << "full disk";
    std::fclose(full);

    std::FILE* sink = std::fopen("/dev/null", "wb");
    ASSERT_NE(sink, nullptr);
    failFrom = 512 * 1024;
    const Result helperOutOfMemory = Write(picture, sink, Level::Default, 3);
    failFrom = 0;
    std::fclose(sink);
    EXPECT_EQ(helperOutOfMemory, Result::NoMemory) << "a helper ran out of memory";

    const UTempDirectory folder;
    UImageData_C image;
    image.CreateFromPixels32(picture.pixels.data(), picture.width, picture.height);
    anyThread = true;
    failFrom = 512 * 1024;
    const std::string failure = FailureOf([&] { image.SavePng((folder.root + "a.png").c_str()); });
    failFrom = 0;
    anyThread = false;
    EXPECT_NE(failure.find(" 1 Not enough memory.|"), std::string::npos) << failure;
}

}  // namespace
