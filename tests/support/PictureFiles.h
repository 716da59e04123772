#pragma once

// Helpers of the imaging, composition and program tests: generated ARGB pictures written as PNG
// files by Qt (as any other program would write them: without the mark of Tavrin's own sheets),
// picture files read back as values through the codec bridge, and the bytes of PNG and WebP
// files for tests that look inside them.

#include <webp/decode.h>
#include <zlib.h>
#include <QBuffer>
#include <QByteArray>
#include <QImage>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "foundation/URect_C.h"
#include "imaging/UImageData_C.h"

struct UPicture_S {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;  // 0xAARRGGBB, rows from the top
};

// Encoded in memory, so that a name of any bytes is written as it is.
inline void SavePicture(const UPicture_S& picture, const std::string& path) {
    const QImage image(reinterpret_cast<const uchar*>(picture.pixels.data()), picture.width,
                       picture.height, picture.width * 4, QImage::Format_ARGB32);
    QByteArray encoded;
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        throw std::runtime_error("cannot encode " + path);
    }
    WriteFile(path, Bytes(encoded.begin(), encoded.end()));
}

// Written as a sheet, through the codec bridge: marked as Tavrin's.
inline void SaveSheet(const UPicture_S& picture, const std::string& path) {
    UImageData_C image;
    image.CreateFromPixels32(picture.pixels.data(), picture.width, picture.height);
    image.SavePng(path.c_str());
}

inline UPicture_S LoadPicture(const std::string& path) {
    UImageData_C image;
    image.LoadFile(path.c_str());
    UPicture_S picture;
    uint32_t* values = nullptr;
    image.GetPixels32(values, &picture.width, &picture.height);
    picture.pixels.assign(values, values + std::size_t(picture.width) * picture.height);
    return picture;
}

// Files byte by byte: PNG chunks with their CRC.
inline void Append(Bytes& bytes, const std::string& text) {
    bytes.insert(bytes.end(), text.begin(), text.end());
}

inline void Append32(Bytes& bytes, uint32_t value, bool little) {
    for (int byte = 0; byte < 4; ++byte) {
        bytes.push_back(static_cast<unsigned char>(value >> (little ? 8 * byte : 24 - 8 * byte)));
    }
}

inline Bytes PngChunk(const std::string& type, const std::string& body, uint32_t length = 0) {
    Bytes chunk;
    Append32(chunk, length ? length : static_cast<uint32_t>(body.size()), false);
    Append(chunk, type + body);
    Append32(chunk, static_cast<uint32_t>(crc32(0, &chunk[4], uInt(type.size() + body.size()))),
             false);
    return chunk;
}

// A signature, then `chunks`.
inline Bytes Png(const std::vector<Bytes>& chunks) {
    Bytes file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    for (const Bytes& chunk : chunks) {
        file.insert(file.end(), chunk.begin(), chunk.end());
    }
    return file;
}

// A WebP file's pixels as libwebp decodes them; none when it cannot.
inline UPicture_S DecodeWebp(const Bytes& bytes) {
    UPicture_S picture;
    uint8_t* decoded = WebPDecodeBGRA(bytes.data(), bytes.size(), &picture.width, &picture.height);
    if (decoded) {
        // BGRA bytes are 0xAARRGGBB values on a little-endian machine.
        const auto* values = reinterpret_cast<const uint32_t*>(decoded);
        picture.pixels.assign(values, values + std::size_t(picture.width) * picture.height);
        WebPFree(decoded);
    }
    return picture;
}

// Channels within `tolerance` of each other, or alpha 0 in both whatever the colours; with no
// tolerance, the same value.
inline bool IsAlike(uint32_t a, uint32_t b, int tolerance) {
    if (tolerance < 0 || a >> 24 == 0 || b >> 24 == 0) {
        return tolerance < 0 ? a == b : a >> 24 == b >> 24;
    }
    for (int shift = 0; shift < 32; shift += 8) {
        if (std::abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF)) > tolerance) {
            return false;
        }
    }
    return true;
}

// Where `actual` differs from `expected`: their sizes, or the first pixel that is not alike;
// empty when they are alike.
inline std::string FirstDifference(const UPicture_S& actual, const UPicture_S& expected,
                                   int tolerance = -1) {
    std::ostringstream text;
    if (actual.width != expected.width || actual.height != expected.height) {
        text << actual.width << " x " << actual.height << " pixels, not " << expected.width << " x "
             << expected.height;
        return text.str();
    }
    for (std::size_t i = 0; i < expected.pixels.size(); ++i) {
        if (!IsAlike(actual.pixels[i], expected.pixels[i], tolerance)) {
            text << "pixel (" << i % expected.width << ", " << i / expected.width << ") is 0x"
                 << std::hex << actual.pixels[i] << ", not 0x" << expected.pixels[i];
            return text.str();
        }
    }
    return "";
}

// Repeats the edge pixels of `frame` (inclusive sides) `amount` pixels outward on `sheet`, a
// picture `width` x `height` in row order, pixel by pixel: the slow way the sheet writers'
// references extrude.
inline void ExtrudeFrame(std::vector<uint32_t>& sheet, int32_t width, int32_t height,
                         const URect_C& frame, int32_t amount) {
    const auto at = [width](int32_t x, int32_t y) { return std::size_t(y) * width + x; };
    for (int32_t y = std::max(frame.top - amount, 0);
         y <= std::min(frame.bottom + amount, height - 1); ++y) {
        for (int32_t x = std::max(frame.left - amount, 0);
             x <= std::min(frame.right + amount, width - 1); ++x) {
            sheet[at(x, y)] = sheet[at(std::clamp(x, frame.left, frame.right),
                                       std::clamp(y, frame.top, frame.bottom))];
        }
    }
}
