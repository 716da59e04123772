#include "imaging/UPictureHeader_C.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "imaging/BmpRuns.h"
#include "imaging/ByteOrder.h"

namespace {

using namespace ByteOrder;

using Bytes = std::span<const unsigned char>;

// No byte stream inflates more than this many times.
constexpr uint64_t MaxDeflateRatio = 1032;
// An LZW code takes 2 bits at the least and stands for 4096 pixels at the most.
constexpr uint64_t MaxGifPixelsPerByte = 4 * 4096;
// A JPEG MCU covers at most 32 x 32 pixels and Huffman codes it in 1 bit at the least.
constexpr int64_t MaxJpegMcuSide = 32;

// True when `count` bytes start at `at`.
bool Has(Bytes bytes, std::size_t at, std::size_t count) {
    return at <= bytes.size() && count <= bytes.size() - at;
}

bool StartsWith(Bytes bytes, const char* magic, std::size_t length) {
    return Has(bytes, 0, length) && std::memcmp(bytes.data(), magic, length) == 0;
}

uint64_t SaturatingProduct(uint64_t a, uint64_t b) {
    return b != 0 && a > std::numeric_limits<uint64_t>::max() / b
               ? std::numeric_limits<uint64_t>::max()
               : a * b;
}

int PngChannels(unsigned char colourType) {
    switch (colourType) {
        case 0:
        case 3:
            return 1;
        case 2:
            return 3;
        case 4:
            return 2;
        case 6:
            return 4;
        default:
            return 0;
    }
}

// Whether the rows of an uncompressed BMP, each padded to 4 bytes, fit the file.
bool BmpRowsEndEarly(Bytes bytes, uint64_t offset, int64_t width, int64_t height, uint32_t bits) {
    if (bits != 1 && bits != 2 && bits != 4 && bits != 8 && bits != 16 && bits != 24 &&
        bits != 32) {
        return false;  // the decoder refuses these itself
    }
    const uint64_t stride = (uint64_t(width) * bits + 31) / 32 * 4;
    return offset > bytes.size() || uint64_t(height) > (bytes.size() - offset) / stride;
}

// Where the decoder starts on the pixels: at the declared offset, unless the headers and the
// palette, which it reads whole first, reach past it.
uint64_t BmpPixelStart(Bytes bytes, uint32_t offset, uint32_t infoSize, uint32_t bits,
                       uint32_t compression) {
    uint64_t colours = 0;
    if (bits <= 8) {
        const uint32_t used =
            infoSize >= 36 && Has(bytes, 0, 50) ? LittleEndian32(bytes.data() + 46) : 0;
        colours = used != 0 ? used : uint64_t{1} << bits;
    }
    const uint64_t masks = infoSize != 40 ? 0 : compression == 3 ? 12 : compression == 6 ? 16 : 0;
    const uint64_t start = 14 + uint64_t{infoSize} + masks + colours * (infoSize == 12 ? 3 : 4);
    return std::max<uint64_t>(offset, start);
}

// Where the entropy-coded data starting at `at` ends: the first marker other than a restart.
std::size_t JpegEntropyEnd(Bytes bytes, std::size_t at) {
    while (at < bytes.size()) {
        const void* found = std::memchr(bytes.data() + at, 0xFF, bytes.size() - at);
        if (!found) {
            return bytes.size();
        }
        at = std::size_t(static_cast<const unsigned char*>(found) - bytes.data());
        if (!Has(bytes, at, 2)) {
            return bytes.size();
        }
        const unsigned char next = bytes[at + 1];
        if (next != 0x00 && (next < 0xD0 || next > 0xD7)) {
            return at;
        }
        at += 2;
    }
    return bytes.size();
}

// Where the marker after `at` starts (at its last 0xFF), as libjpeg looks for it: bytes before
// it are skipped with a warning, which camera software relies on, and so is a stuffed 0xFF 0x00.
// The size of the file when no marker follows.
std::size_t NextJpegMarker(Bytes bytes, std::size_t at) {
    while (at < bytes.size()) {
        const void* found = std::memchr(bytes.data() + at, 0xFF, bytes.size() - at);
        if (!found) {
            break;
        }
        at = std::size_t(static_cast<const unsigned char*>(found) - bytes.data());
        while (Has(bytes, at, 2) && bytes[at + 1] == 0xFF) {
            ++at;
        }
        if (!Has(bytes, at, 2)) {
            break;
        }
        if (bytes[at + 1] != 0x00) {
            return at;
        }
        at += 2;
    }
    return bytes.size();
}

bool IsJpegFrame(unsigned char marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

std::size_t GifColourTableBytes(unsigned char flags) {
    return (flags & 0x80) != 0 ? std::size_t{3} << ((flags & 7) + 1) : 0;
}

// Skips the sub-blocks at `at` through their terminator, adding their bytes to `total`; the
// size of the file plus one when they run past its end.
std::size_t SkipGifBlocks(Bytes bytes, std::size_t at, uint64_t& total) {
    while (Has(bytes, at, 1)) {
        const std::size_t length = bytes[at];
        if (length == 0) {
            return at + 1;
        }
        total += length;
        at += length + 1;
    }
    return bytes.size() + 1;
}

}  // namespace

UPictureHeader_C::UPictureHeader_C(Bytes file) : bytes(file) {
    if (StartsWith(bytes, reinterpret_cast<const char*>(PngSignature), 8)) {
        format = Png;
        ReadPng();
    } else if (StartsWith(bytes, "BM", 2)) {
        format = Bmp;
        ReadBmp();
    } else if (StartsWith(bytes, "\xFF\xD8\xFF", 3)) {
        format = Jpeg;
        ReadJpeg();
    } else if (StartsWith(bytes, "GIF87a", 6) || StartsWith(bytes, "GIF89a", 6)) {
        format = Gif;
        ReadGif();
    }
}

const char* UPictureHeader_C::GetFormatName() const {
    static const char* const names[] = {"", "png", "bmp", "jpeg", "gif"};
    return names[format];
}

// The header chunk comes first; the file ends with IEND after the last image data chunk.
void UPictureHeader_C::ReadPng() {
    if (!Has(bytes, 8, 25) || std::memcmp(bytes.data() + 12, "IHDR", 4) != 0) {
        return;
    }
    const unsigned char* header = bytes.data() + 16;
    if (BigEndian32(header) > INT32_MAX || BigEndian32(header + 4) > INT32_MAX) {
        return;
    }
    width = BigEndian32(header);
    height = BigEndian32(header + 4);
    layout.depth = header[8];
    layout.colourType = header[9];
    layout.interlaced = header[12] == 1;
    const uint64_t rowBytes = (uint64_t(width) * PngChannels(header[9]) * header[8] + 7) / 8;
    const uint64_t rawBytes = SaturatingProduct(rowBytes + 1, uint64_t(height));
    uint64_t compressed = 0;
    for (std::size_t at = 8; Has(bytes, at, 12);) {
        const uint32_t length = BigEndian32(bytes.data() + at);
        if (length > INT32_MAX || !Has(bytes, at, std::size_t{12} + length)) {
            return;
        }
        const unsigned char* type = bytes.data() + at + 4;
        if (std::memcmp(type, "IDAT", 4) == 0) {
            compressed += length;
        } else if (std::memcmp(type, "tRNS", 4) == 0) {
            layout.colourKey = layout.colourKey || compressed == 0;
        } else if (std::memcmp(type, "IEND", 4) == 0) {
            endsEarly = rawBytes / MaxDeflateRatio > compressed + 1;
            return;
        }
        at += std::size_t{12} + length;
    }
}

// Windows headers of 16 bytes and more, and the 12-byte OS/2 one with 16-bit sides.
void UPictureHeader_C::ReadBmp() {
    if (!Has(bytes, 0, 26)) {
        return;
    }
    const unsigned char* file = bytes.data();
    const uint32_t offset = LittleEndian32(file + 10);
    const uint32_t infoSize = LittleEndian32(file + 14);
    int64_t sideX = 0;
    int64_t sideY = 0;
    uint32_t bits = 0;
    uint32_t compression = 0;
    if (infoSize == 12) {
        sideX = LittleEndian16(file + 18);
        sideY = LittleEndian16(file + 20);
        bits = LittleEndian16(file + 24);
    } else if (infoSize >= 16 && Has(bytes, 0, 30)) {
        sideX = int32_t(LittleEndian32(file + 18));
        sideY = int32_t(LittleEndian32(file + 22));
        bits = LittleEndian16(file + 28);
        compression = infoSize >= 20 && Has(bytes, 0, 34) ? LittleEndian32(file + 30) : 0;
    }
    if (sideX <= 0 || sideY == 0 || sideY == INT32_MIN) {
        return;
    }
    width = sideX;
    height = std::llabs(sideY);
    const uint64_t start = BmpPixelStart(bytes, offset, infoSize, bits, compression);
    layout.depth = bits;
    layout.infoSize = infoSize;
    layout.compression = compression;
    layout.pixelStart = start;
    layout.topDown = sideY < 0;
    if (infoSize >= 40 && Has(bytes, 54, 12)) {
        layout.masks = {LittleEndian32(file + 54), LittleEndian32(file + 58),
                        LittleEndian32(file + 62)};
    }
    if (compression == 1 || compression == 2) {
        endsEarly = start > bytes.size() ||
                    BmpRuns::Walk(bytes, start, width, height, compression == 2, {});
    } else {
        const bool plain = compression == 0 || compression == 3 || compression == 6;
        endsEarly = plain && BmpRowsEndEarly(bytes, start, width, height, bits);
    }
}

// Segments up to each scan, the scan's entropy-coded data, and so on to the end marker.
void UPictureHeader_C::ReadJpeg() {
    uint64_t entropyBytes = 0;
    bool huffman = true;
    for (std::size_t at = 2;;) {
        at = NextJpegMarker(bytes, at);
        if (!Has(bytes, at, 2)) {
            return;
        }
        const unsigned char marker = bytes[at + 1];
        if (marker == 0xD9) {
            const uint64_t mcus = uint64_t((width + MaxJpegMcuSide - 1) / MaxJpegMcuSide) *
                                  uint64_t((height + MaxJpegMcuSide - 1) / MaxJpegMcuSide);
            endsEarly = huffman && entropyBytes * 8 < mcus;
            return;
        }
        if ((marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) {
            at += 2;
            continue;
        }
        const std::size_t length = Has(bytes, at, 4) ? BigEndian16(bytes.data() + at + 2) : 0;
        if (length < 2 || !Has(bytes, at + 2, length)) {
            return;
        }
        if (IsJpegFrame(marker) && width == 0 && length >= 7) {
            height = BigEndian16(bytes.data() + at + 5);
            width = BigEndian16(bytes.data() + at + 7);
            huffman = marker <= 0xC7;
        }
        at += 2 + length;
        if (marker == 0xDA) {
            const std::size_t end = JpegEntropyEnd(bytes, at);
            entropyBytes += end - at;
            at = end;
        }
    }
}

// The logical screen gives the size. Every frame is walked, its data skipped undecoded; the walk
// ends where a browser ends the animation: at the trailer, at bytes that start no block, or where
// a frame's data is cut short.
void UPictureHeader_C::ReadGif() {
    if (!Has(bytes, 0, 13)) {
        return;
    }
    width = LittleEndian16(bytes.data() + 6);
    height = LittleEndian16(bytes.data() + 8);
    std::size_t at = 13 + GifColourTableBytes(bytes[10]);
    for (bool first = true;; first = false) {
        uint64_t unused = 0;
        while (Has(bytes, at, 1) && bytes[at] == 0x21) {
            at = SkipGifBlocks(bytes, at + 2, unused);
        }
        if (!Has(bytes, at, 11) || bytes[at] != 0x2C) {
            return;
        }
        const uint64_t area =
            uint64_t{LittleEndian16(bytes.data() + at + 5)} * LittleEndian16(bytes.data() + at + 7);
        uint64_t data = 0;
        at = SkipGifBlocks(bytes, at + 11 + GifColourTableBytes(bytes[at + 9]), data);
        const bool whole = at <= bytes.size() && data * MaxGifPixelsPerByte >= area;
        if (first) {
            endsEarly = !whole;
        }
        if (!whole) {
            return;
        }
        ++frames;
    }
}

bool UPictureHeader_C::FitsLimit() const {
    return HasSize() && width * height <= MaxPixels;
}
