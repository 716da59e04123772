#include "imaging/DecodeRepairs.h"

#include <QImage>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

#include "imaging/BmpRuns.h"
#include "imaging/PngReader.h"

namespace {

using Bytes = std::span<const unsigned char>;

uint32_t BigEndian32(const unsigned char* bytes) {
    return uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 | bytes[3];
}
uint32_t LittleEndian32(const unsigned char* bytes) {
    return uint32_t{bytes[3]} << 24 | uint32_t{bytes[2]} << 16 | uint32_t{bytes[1]} << 8 | bytes[0];
}
uint16_t LittleEndian16(const unsigned char* bytes) {
    return uint16_t(bytes[1] << 8 | bytes[0]);
}

// Whether Qt 6.4 gets the PNG wrong: 16-bit RGB with a tRNS chunk (before the image data),
// whose rows it scrambles, and interlaced 1-bit, whose bits it leaves partly unwritten.
bool QtMisreadsPng(Bytes file) {
    static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (file.size() < 33 || std::memcmp(file.data(), signature, 8) != 0 ||
        std::memcmp(file.data() + 12, "IHDR", 4) != 0) {
        return false;
    }
    const unsigned char* header = file.data() + 16;
    if (header[8] == 1 && header[12] == 1) {
        return true;
    }
    if (header[8] != 16 || header[9] != 2) {
        return false;
    }
    for (std::size_t at = 33; file.size() - at >= 12;) {
        const unsigned char* chunk = file.data() + at;
        const uint32_t length = BigEndian32(chunk);
        if (std::memcmp(chunk + 4, "tRNS", 4) == 0) {
            return true;
        }
        if (std::memcmp(chunk + 4, "IDAT", 4) == 0 || length > file.size() - at - 12) {
            return false;
        }
        at += std::size_t{12} + length;
    }
    return false;
}

// The red, green and blue masks of a 16-bit BMP.
bool FindBmpMasks(Bytes file, std::array<uint32_t, 3>& masks) {
    const unsigned char* header = file.data();
    if (file.size() < 54 || header[0] != 'B' || header[1] != 'M' ||
        LittleEndian32(header + 14) < 40 || LittleEndian16(header + 28) != 16) {
        return false;
    }
    const uint32_t compression = LittleEndian32(header + 30);
    if (compression == 0) {
        masks = {0x7C00, 0x03E0, 0x001F};
        return true;
    }
    if ((compression != 3 && compression != 6) || file.size() < 66) {
        return false;
    }
    masks = {LittleEndian32(header + 54), LittleEndian32(header + 58), LittleEndian32(header + 62)};
    return true;
}

// The start of run-length coded data of a BMP, its depth and its row order.
bool FindBmpRuns(Bytes file, std::size_t& offset, bool& fourBit, bool& topDown) {
    const unsigned char* header = file.data();
    if (file.size() < 54 || header[0] != 'B' || header[1] != 'M' ||
        LittleEndian32(header + 14) < 40) {
        return false;
    }
    const uint32_t compression = LittleEndian32(header + 30);
    offset = LittleEndian32(header + 10);
    fourBit = compression == 2;
    topDown = int32_t(LittleEndian32(header + 22)) < 0;
    return compression == 1 || compression == 2;
}

// Undoes Qt's shift of an n-bit value into 8 bits, then repeats the value's bits downwards.
uint32_t Rescale(uint32_t shifted, int bits) {
    const uint32_t value = shifted >> (8 - bits);
    uint32_t result = value << (8 - bits);
    for (int filled = bits; filled < 8; filled += bits) {
        result |= result >> bits;
    }
    return result & 0xFF;
}

}  // namespace

namespace DecodeRepairs {

void RedecodePng(QImage& image, Bytes file) {
    if (!QtMisreadsPng(file)) {
        return;
    }
    QImage decoded(image.width(), image.height(), QImage::Format_ARGB32);
    const bool read = !decoded.isNull() && PngReader::ReadRgba(file, decoded);
    // A file libpng refuses is refused as a whole rather than shown with Qt's mixed-up rows.
    image = read ? std::move(decoded) : QImage();
}

void WidenBmpChannels(QImage& image, Bytes file) {
    std::array<uint32_t, 3> masks{};
    if (image.format() != QImage::Format_RGB32 || !FindBmpMasks(file, masks)) {
        return;
    }
    std::array<int, 3> bits{};
    for (std::size_t i = 0; i < 3; ++i) {
        bits[i] = std::popcount(masks[i]);
        if (bits[i] < 1 || bits[i] > 8) {
            return;
        }
    }
    for (int y = 0; y < image.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            row[x] = qRgb(int(Rescale(uint32_t(qRed(row[x])), bits[0])),
                          int(Rescale(uint32_t(qGreen(row[x])), bits[1])),
                          int(Rescale(uint32_t(qBlue(row[x])), bits[2])));
        }
    }
}

void ClearBmpRunGaps(QImage& image, Bytes file) {
    std::size_t offset = 0;
    bool fourBit = false;
    bool topDown = false;
    if (image.format() != QImage::Format_Indexed8 || !FindBmpRuns(file, offset, fourBit, topDown)) {
        return;
    }
    struct UGap_S {
        int row, from, to;
    };
    std::vector<UGap_S> gaps;
    const int height = image.height();
    BmpRuns::Walk(file, offset, image.width(), height, fourBit,
                  [&](int64_t y, int64_t from, int64_t to) {
                      gaps.push_back({topDown ? int(y) : height - 1 - int(y), int(from), int(to)});
                  });
    if (gaps.empty()) {
        return;
    }
    // Any index will do: it is only there so that the conversion reads nothing unwritten.
    for (const UGap_S& gap : gaps) {
        std::memset(image.scanLine(gap.row) + gap.from, 0, std::size_t(gap.to - gap.from));
    }
    image = image.convertToFormat(QImage::Format_ARGB32);
    for (const UGap_S& gap : gaps) {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(gap.row));
        std::fill(row + gap.from, row + gap.to, 0u);
    }
}

}  // namespace DecodeRepairs
