#include "imaging/DecodeRepairs.h"

#include <QImage>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

#include "imaging/BmpRuns.h"
#include "imaging/UPictureHeader_C.h"

namespace {

using Bytes = std::span<const unsigned char>;

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

bool QtMisreadsPng(const UPictureHeader_C& header) {
    const UPictureHeader_C::ULayout_S& layout = header.GetLayout();
    return header.GetFormat() == UPictureHeader_C::Png &&
           ((layout.depth == 1 && layout.interlaced) ||
            (layout.depth == 16 && layout.colourType == 2 && layout.colourKey));
}

void WidenBmpChannels(QImage& image, const UPictureHeader_C& header) {
    const UPictureHeader_C::ULayout_S& layout = header.GetLayout();
    if (image.format() != QImage::Format_RGB32 || header.GetFormat() != UPictureHeader_C::Bmp ||
        layout.infoSize < 40 || layout.depth != 16) {
        return;
    }
    // Without masks, 16 bits are five for each channel.
    std::array<uint32_t, 3> masks = {0x7C00, 0x03E0, 0x001F};
    if (layout.compression == 3 || layout.compression == 6) {
        masks = layout.masks;
    } else if (layout.compression != 0) {
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

void ClearBmpRunGaps(QImage& image, const UPictureHeader_C& header, Bytes file) {
    const UPictureHeader_C::ULayout_S& layout = header.GetLayout();
    if (image.format() != QImage::Format_Indexed8 || header.GetFormat() != UPictureHeader_C::Bmp ||
        layout.infoSize < 40 || (layout.compression != 1 && layout.compression != 2)) {
        return;
    }
    const bool topDown = layout.topDown;
    struct UGap_S {
        int row, from, to;
    };
    std::vector<UGap_S> gaps;
    const int height = image.height();
    BmpRuns::Walk(file, layout.pixelStart, image.width(), height, layout.compression == 2,
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
