#include "imaging/DecodeRepairs.h"

#include <png.h>
#include <QImage>

#include <array>
#include <bit>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

uint32_t BigEndian32(const unsigned char* bytes) {
    return uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 | bytes[3];
}
uint16_t BigEndian16(const unsigned char* bytes) {
    return uint16_t(bytes[0] << 8 | bytes[1]);
}
uint32_t LittleEndian32(const unsigned char* bytes) {
    return uint32_t{bytes[3]} << 24 | uint32_t{bytes[2]} << 16 | uint32_t{bytes[1]} << 8 | bytes[0];
}
uint16_t LittleEndian16(const unsigned char* bytes) {
    return uint16_t(bytes[1] << 8 | bytes[0]);
}

[[noreturn]] void OnError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}
void OnWarning(png_structp, png_const_charp) {}

class UFile_C {
public:
    explicit UFile_C(const char* path) : file(std::fopen(path, "rb")) {}
    ~UFile_C() {
        if (file) {
            std::fclose(file);
        }
    }
    bool Read(unsigned char* target, std::size_t count) {
        return file && std::fread(target, 1, count, file) == count;
    }
    bool Skip(long count) { return file && std::fseek(file, count, SEEK_CUR) == 0; }
    std::FILE* Get() const { return file; }

private:
    std::FILE* file;
};

// The 16-bit red, green and blue of a colour type 2 PNG's tRNS chunk, found before its data.
bool FindPngColourKey(const char* path, std::array<uint16_t, 3>& key) {
    static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    UFile_C file(path);
    unsigned char head[8];
    if (!file.Read(head, 8) || std::memcmp(head, signature, 8) != 0) {
        return false;
    }
    while (file.Read(head, 8)) {
        const uint32_t length = BigEndian32(head);
        unsigned char body[13];
        if (std::memcmp(head + 4, "IHDR", 4) == 0) {
            if (length != 13 || !file.Read(body, 13) || body[8] != 16 || body[9] != 2) {
                return false;
            }
            file.Skip(4);
        } else if (std::memcmp(head + 4, "tRNS", 4) == 0) {
            if (length != 6 || !file.Read(body, 6)) {
                return false;
            }
            key = {BigEndian16(body), BigEndian16(body + 2), BigEndian16(body + 4)};
            return true;
        } else if (std::memcmp(head + 4, "IDAT", 4) == 0 || length > 0x7FFFFFFF ||
                   !file.Skip(long(length) + 4)) {
            return false;
        }
    }
    return false;
}

// The red, green and blue masks of a 16-bit BMP.
bool FindBmpMasks(const char* path, std::array<uint32_t, 3>& masks) {
    UFile_C file(path);
    unsigned char header[66];
    if (!file.Read(header, 54) || header[0] != 'B' || header[1] != 'M' ||
        LittleEndian32(header + 14) < 40 || LittleEndian16(header + 28) != 16) {
        return false;
    }
    const uint32_t compression = LittleEndian32(header + 30);
    if (compression == 0) {
        masks = {0x7C00, 0x03E0, 0x001F};
        return true;
    }
    if ((compression != 3 && compression != 6) || !file.Read(header + 54, 12)) {
        return false;
    }
    masks = {LittleEndian32(header + 54), LittleEndian32(header + 58), LittleEndian32(header + 62)};
    return true;
}

// Reads a 16-bit RGB PNG through libpng, whose tRNS handling is right, into an ARGB image of
// the same size; nothing with a destructor lives across the setjmp.
bool ReadRgba(std::FILE* file, QImage& image) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_init_io(png, file);
    png_read_info(png, info);
    if (png_get_image_width(png, info) != uint32_t(image.width()) ||
        png_get_image_height(png, info) != uint32_t(image.height())) {
        png_longjmp(png, 1);
    }
    png_set_tRNS_to_alpha(png);
    png_set_scale_16(png);
    if constexpr (std::endian::native == std::endian::little) {
        png_set_bgr(png);
    } else {
        png_set_swap_alpha(png);
    }
    png_read_update_info(png, info);
    for (int pass = png_set_interlace_handling(png); pass > 0; --pass) {
        for (int y = 0; y < image.height(); ++y) {
            png_read_row(png, image.scanLine(y), nullptr);
        }
    }
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
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

void ApplyPngColourKey(QImage& image, const char* path) {
    std::array<uint16_t, 3> key{};
    if (image.depth() != 64 || !FindPngColourKey(path, key)) {
        return;
    }
    QImage decoded(image.width(), image.height(), QImage::Format_ARGB32);
    const UFile_C file(path);
    const bool read = !decoded.isNull() && file.Get() && ReadRgba(file.Get(), decoded);
    // A file libpng refuses is refused as a whole rather than shown with Qt's mixed-up rows.
    image = read ? std::move(decoded) : QImage();
}

void WidenBmpChannels(QImage& image, const char* path) {
    std::array<uint32_t, 3> masks{};
    if (image.format() != QImage::Format_RGB32 || !FindBmpMasks(path, masks)) {
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

}  // namespace DecodeRepairs
