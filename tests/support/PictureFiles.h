#pragma once

// Helpers of the imaging and composition tests: generated ARGB pictures written as PNG files
// through the codec bridge, picture files read back as values, and raised errors with their
// extra text.

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "foundation/UError_C.h"
#include "imaging/UImageData_C.h"

struct UPicture_S {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;  // 0xAARRGGBB, rows from the top
};

inline void SavePicture(const UPicture_S& picture, const std::string& path) {
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

// Where `actual` differs from `expected`: their sizes, or the first pixel that differs; empty
// when they are the same.
inline std::string FirstDifference(const UPicture_S& actual, const UPicture_S& expected) {
    std::ostringstream text;
    if (actual.width != expected.width || actual.height != expected.height) {
        text << actual.width << " x " << actual.height << " pixels, not " << expected.width << " x "
             << expected.height;
        return text.str();
    }
    for (std::size_t i = 0; i < expected.pixels.size(); ++i) {
        if (actual.pixels[i] != expected.pixels[i]) {
            text << "pixel (" << i % expected.width << ", " << i / expected.width << ") is 0x"
                 << std::hex << actual.pixels[i] << ", not 0x" << expected.pixels[i];
            return text.str();
        }
    }
    return "";
}

// The error that `action` raises as "position code message|extra"; empty when none.
inline std::string FailureOf(const auto& action) {
    try {
        action();
    } catch (const NS_Base::UError_C& error) {
        return std::string(error.GetPosition()) + " " + std::to_string(error.GetCode()) + " " +
               error.GetInfo() + "|" + error.GetInfoEx();
    }
    return "";
}
