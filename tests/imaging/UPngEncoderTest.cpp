#include "UPngEncoder_C.h"

#include <gtest/gtest.h>
#include <zlib.h>
#include <QImage>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct UPicture_S {
    uint32_t width;
    uint32_t height;
    std::vector<uint32_t> values;
};

enum class Content { Random, Repeating };

// Random values, or eight rows of random values over and over (with clear pixels in every
// fourth column), which compresses to almost nothing as long as the history reaches back eight
// rows.
UPicture_S MakePicture(uint32_t width, uint32_t height, Content content) {
    UPicture_S picture{width, height, std::vector<uint32_t>(std::size_t{width} * height)};
    for (std::size_t i = 0; i < picture.values.size(); ++i) {
        const std::size_t x = i % width;
        const std::size_t y = i / width;
        uint32_t state =
            static_cast<uint32_t>(content == Content::Random ? i + 1 : (y % 8) * width + x + 1);
        state *= 2654435761u;
        state ^= state >> 15;
        state *= 2246822519u;
        state ^= state >> 13;
        picture.values[i] = content == Content::Repeating && x % 4 == 0 ? 0u : state;
    }
    return picture;
}

// Odd rows come through the scratch row, even rows straight from the picture's memory.
std::vector<uint8_t> Encode(const UPicture_S& picture, bool split, bool* written = nullptr) {
    char* data = nullptr;
    std::size_t size = 0;
    std::FILE* file = ::open_memstream(&data, &size);
    const UPngEncoder_C encoder(
        picture.width, picture.height, [&picture](uint32_t y, uint32_t* scratch) {
            const uint32_t* row = picture.values.data() + std::size_t{y} * picture.width;
            if (y % 2 == 0) {
                return row;
            }
            std::copy(row, row + picture.width, scratch);
            return static_cast<const uint32_t*>(scratch);
        });
    const bool ok = encoder.Write(file, split);
    std::fclose(file);
    std::vector<uint8_t> bytes(data, data + size);
    std::free(data);
    if (written) {
        *written = ok;
    }
    return bytes;
}

uint32_t BigEndian(const uint8_t* bytes) {
    return uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 | bytes[3];
}

// Walks the chunks, checking every CRC, and inflates the joined IDAT data as one zlib stream,
// which checks the adler32 and that nothing follows the stream's end. Returns the filtered rows.
std::vector<uint8_t> Inflate(const std::vector<uint8_t>& file) {
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
    std::vector<uint8_t> rows(compressed.size() * 4 + (1 << 24));
    z_stream stream{};
    inflateInit(&stream);
    stream.next_in = compressed.data();
    stream.avail_in = static_cast<uInt>(compressed.size());
    stream.next_out = rows.data();
    stream.avail_out = static_cast<uInt>(rows.size());
    EXPECT_EQ(inflate(&stream, Z_FINISH), Z_STREAM_END) << (stream.msg ? stream.msg : "");
    EXPECT_EQ(stream.avail_in, 0u) << "compressed bytes after the stream's end";
    rows.resize(stream.total_out);
    inflateEnd(&stream);
    return rows;
}

void ExpectDecodesTo(const std::vector<uint8_t>& file, const UPicture_S& picture) {
    const QImage decoded = QImage::fromData(file.data(), static_cast<int>(file.size()), "PNG")
                               .convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(decoded.width(), static_cast<int>(picture.width));
    ASSERT_EQ(decoded.height(), static_cast<int>(picture.height));
    for (uint32_t y = 0; y < picture.height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(decoded.constScanLine(int(y)));
        for (uint32_t x = 0; x < picture.width; ++x) {
            const uint32_t expected = picture.values[std::size_t{y} * picture.width + x];
            ASSERT_EQ(row[x], expected) << std::hex << "pixel (" << std::dec << x << ", " << y
                                        << ") of " << picture.width << "x" << picture.height;
        }
    }
}

// Shapes around the split: one and two rows, odd heights, rows too narrow for one of them to
// fill the 32 KiB window, and a row of more than a megabyte that cannot be split.
struct UShape_S {
    uint32_t width;
    uint32_t height;
};
constexpr UShape_S Shapes[] = {{1, 1},     {3, 2},      {300000, 1}, {140000, 2},
                               {600, 999}, {1, 262145}, {4097, 65}};

TEST(UPngEncoderTest, EveryShapeAndContentDecodesValueForValue) {
    for (const UShape_S shape : Shapes) {
        for (const Content content : {Content::Random, Content::Repeating}) {
            SCOPED_TRACE(testing::Message() << shape.width << "x" << shape.height << " content "
                                            << static_cast<int>(content));
            const UPicture_S picture = MakePicture(shape.width, shape.height, content);
            bool written = false;
            const std::vector<uint8_t> file = Encode(picture, true, &written);
            ASSERT_TRUE(written);
            EXPECT_EQ(Inflate(file).size(), std::size_t{shape.height} * (shape.width * 4 + 1));
            ExpectDecodesTo(file, picture);
        }
    }
}

TEST(UPngEncoderTest, HalvesHoldTheRowsOfOneStreamAtTheSameSize) {
    for (const Content content : {Content::Random, Content::Repeating}) {
        const UPicture_S picture = MakePicture(700, 1001, content);
        const std::vector<uint8_t> whole = Encode(picture, false);
        const std::vector<uint8_t> halves = Encode(picture, true);
        EXPECT_TRUE(Inflate(whole) == Inflate(halves))
            << "filtered rows differ, content " << static_cast<int>(content);
        // A lower half compressed without the upper half's last bytes as history has to spell
        // out the eight repeating rows again: 45% more here.
        EXPECT_LE(halves.size(), whole.size() + whole.size() / 100 + 16)
            << "one stream " << whole.size() << " bytes, content " << static_cast<int>(content);
    }
}

TEST(UPngEncoderTest, FailedWritesAndBadSizesReportFalse) {
    const UPicture_S picture = MakePicture(1024, 1024, Content::Random);
    std::FILE* full = std::fopen("/dev/full", "wb");
    ASSERT_NE(full, nullptr);
    // The header fits the buffer, so the failure comes with the first data chunk, while the
    // lower half is being compressed on the other thread.
    std::setvbuf(full, nullptr, _IOFBF, 4096);
    const UPngEncoder_C encoder(picture.width, picture.height, [&picture](uint32_t y, uint32_t*) {
        return picture.values.data() + std::size_t{y} * picture.width;
    });
    EXPECT_FALSE(encoder.Write(full)) << "a full disk reported as written";
    std::fclose(full);
    bool written = true;
    for (const UShape_S shape : {UShape_S{0, 5}, UShape_S{5, 0}, UShape_S{0x80000000u, 1}}) {
        Encode({shape.width, shape.height, {}}, true, &written);
        EXPECT_FALSE(written) << shape.width << "x" << shape.height << " accepted";
    }
}

}  // namespace
