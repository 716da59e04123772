#pragma once

// Small gif files made by the tests: a four-colour palette, frames with their own place,
// transparency, disposal and delay, and image data stored as plain 9-bit codes (a clear code
// before the code table would grow), so every byte is known.

#include <cstdint>
#include <iterator>
#include <vector>

#include "TestSupport.h"

// Palette indices of the made files, and the values a reader shows for them.
enum UGifColour_E : uint8_t { Black, Red, Green, Blue };
constexpr uint32_t gifValues[] = {0xFF000000, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF};

struct UGifFrame_S {
    int left, top, width, height;
    std::vector<uint8_t> indices;  // rows from the top
    int disposal = 1;              // 0 unspecified, 1 keep, 2 background, 3 previous
    int transparent = -1;          // the transparent index, or none
    int delay = 0;                 // hundredths of a second
    bool interlaced = false;
    std::vector<uint32_t> palette = {};  // the frame's own colour table (4 colours), or none
};

inline void PutWord(Bytes& out, int value) {
    out.push_back(static_cast<uint8_t>(value & 0xFF));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

// The indices as 9-bit codes in sub-blocks of at most 255 bytes, with the end code.
inline void PutImageData(Bytes& out, const std::vector<uint8_t>& indices) {
    Bytes codes;
    uint32_t bits = 0;
    int count = 0;
    const auto put = [&](uint32_t code) {
        bits |= code << count;
        for (count += 9; count >= 8; count -= 8, bits >>= 8) {
            codes.push_back(static_cast<uint8_t>(bits));
        }
    };
    for (std::size_t i = 0; i < indices.size(); ++i) {
        if (i % 250 == 0) {
            put(256);  // clear
        }
        put(indices[i]);
    }
    put(257);  // end
    codes.push_back(static_cast<uint8_t>(bits));
    out.push_back(8);  // minimum code size
    for (std::size_t at = 0; at < codes.size(); at += 255) {
        const std::size_t size = std::min<std::size_t>(255, codes.size() - at);
        out.push_back(static_cast<uint8_t>(size));
        out.insert(out.end(), codes.begin() + at, codes.begin() + at + size);
    }
    out.push_back(0);
}

// The rows of an interlaced frame in the order the file keeps them.
inline std::vector<uint8_t> Interlace(const UGifFrame_S& frame) {
    std::vector<uint8_t> rows;
    for (const auto& [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}}) {
        for (int y = start; y < frame.height; y += step) {
            rows.insert(rows.end(), frame.indices.begin() + y * frame.width,
                        frame.indices.begin() + (y + 1) * frame.width);
        }
    }
    return rows;
}

inline void PutColours(Bytes& out, const std::vector<uint32_t>& colours) {
    for (const uint32_t value : colours) {
        out.insert(out.end(), {uint8_t(value >> 16), uint8_t(value >> 8), uint8_t(value)});
    }
}

// With `globalTable` false the file has no colour table of its own: frames without one have
// none at all.
inline Bytes MakeGif(int width, int height, const std::vector<UGifFrame_S>& frames,
                     bool globalTable = true) {
    Bytes out = {'G', 'I', 'F', '8', '9', 'a'};
    PutWord(out, width);
    PutWord(out, height);
    out.insert(out.end(), {uint8_t(globalTable ? 0x81 : 0), 0, 0});  // a table of 4 colours
    if (globalTable) {
        PutColours(out, {std::begin(gifValues), std::end(gifValues)});
    }
    for (const UGifFrame_S& frame : frames) {
        out.insert(out.end(), {0x21, 0xF9, 4});
        out.push_back(static_cast<uint8_t>(frame.disposal << 2 | (frame.transparent >= 0)));
        PutWord(out, frame.delay);
        out.insert(out.end(), {static_cast<uint8_t>(std::max(frame.transparent, 0)), 0, 0x2C});
        for (const int value : {frame.left, frame.top, frame.width, frame.height}) {
            PutWord(out, value);
        }
        out.push_back(uint8_t((frame.interlaced ? 0x40 : 0) | (frame.palette.empty() ? 0 : 0x81)));
        PutColours(out, frame.palette);
        PutImageData(out, frame.interlaced ? Interlace(frame) : frame.indices);
    }
    out.push_back(0x3B);
    return out;
}
