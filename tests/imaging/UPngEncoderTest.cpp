#include "imaging/UPngEncoder_C.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "PictureFiles.h"
#include "TestSupport.h"

namespace {

// Random values, or eight rows of random values over and over (with clear pixels in every fourth
// column), which compresses to almost nothing as long as the history reaches back eight rows.
UPicture_S MakePicture(int32_t width, int32_t height, bool repeating) {
    UPicture_S picture{width, height, std::vector<uint32_t>(std::size_t(width) * height)};
    std::mt19937 random(static_cast<uint32_t>(width) * 31 + static_cast<uint32_t>(height));
    const std::size_t period = std::size_t(width) * 8;
    for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
        if (repeating && i >= period) {
            picture.pixels[i] = picture.pixels[i - period];
        } else {
            picture.pixels[i] = repeating && i % std::size_t(width) % 4 == 0 ? 0u : random();
        }
    }
    return picture;
}

// Odd rows come through the scratch row, even rows straight from the picture's memory.
bool Write(const UPicture_S& picture, std::FILE* file, bool split) {
    const auto width = static_cast<uint32_t>(picture.width);
    const UPngEncoder_C encoder(
        width, static_cast<uint32_t>(picture.height), [&](uint32_t y, uint32_t* scratch) {
            const uint32_t* row = picture.pixels.data() + std::size_t{y} * width;
            if (y % 2 == 0) {
                return row;
            }
            std::copy(row, row + width, scratch);
            return static_cast<const uint32_t*>(scratch);
        });
    return encoder.Write(file, split);
}

std::vector<uint8_t> Encode(const UPicture_S& picture, bool split) {
    char* data = nullptr;
    std::size_t size = 0;
    std::FILE* file = ::open_memstream(&data, &size);
    EXPECT_TRUE(Write(picture, file, split)) << "writing to memory failed";
    std::fclose(file);
    std::vector<uint8_t> bytes(data, data + size);
    std::free(data);
    return bytes;
}

uint32_t BigEndian(const uint8_t* bytes) {
    return uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 | bytes[3];
}

// Walks the chunks, checking every CRC, and inflates the joined IDAT data as one zlib stream,
// which checks the adler32, the count of filtered bytes of `picture` and that nothing follows the
// stream's end. Returns the filtered rows.
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

// Split in halves on two threads or not, the file holds the same filtered rows at about the
// same size, and decodes value for value.
TEST(UPngEncoder, EveryShapeAndContentDecodesValueForValue) {
    // Shapes around the split: one and two rows, odd heights, rows too narrow for one of them to
    // fill the 32 KiB window, and a row of more than a megabyte that cannot be split.
    const std::pair<int32_t, int32_t> shapes[] = {
        {1, 1}, {3, 2}, {300000, 1}, {140000, 2}, {700, 1001}, {1, 262145}, {4097, 65}};
    const UTempDirectory folder;
    for (const auto& [width, height] : shapes) {
        for (const bool repeating : {false, true}) {
            SCOPED_TRACE(testing::Message()
                         << width << "x" << height << " repeating " << repeating);
            const UPicture_S picture = MakePicture(width, height, repeating);
            const std::vector<uint8_t> whole = Encode(picture, false);
            const std::vector<uint8_t> halves = Encode(picture, true);
            EXPECT_TRUE(Inflate(whole, picture) == Inflate(halves, picture)) << "filtered rows";
            // A lower half compressed without the upper half's last bytes as history has to
            // spell out the eight repeating rows again: 45% more at 700 x 1001.
            EXPECT_LE(halves.size(), whole.size() + whole.size() / 100 + 16)
                << "one stream " << whole.size() << " bytes";
            WriteFile(folder.root + "sheet.png", halves);
            EXPECT_EQ(FirstDifference(LoadPicture(folder.root + "sheet.png"), picture), "");
        }
    }
}

TEST(UPngEncoder, FullDiskIsReportedWhileTheLowerHalfIsCompressed) {
    std::FILE* full = std::fopen("/dev/full", "wb");
    ASSERT_NE(full, nullptr);
    // The header fits the buffer, so the failure comes with the first data chunk, while the
    // lower half is being compressed on the other thread.
    std::setvbuf(full, nullptr, _IOFBF, 4096);
    EXPECT_FALSE(Write(MakePicture(1024, 1024, false), full, true)) << "a full disk went unseen";
    std::fclose(full);
}

}  // namespace
