#pragma once

#include <array>
#include <cstdint>
#include <span>

// What a picture file says about itself before its pixels: the format, told by the first bytes
// alone, the size it declares, and whether the file holds pixel data enough for that size. Reads
// bytes only and decodes nothing, so it is cheap enough to run on every picture of a batch first.
class UPictureHeader_C {
public:
    enum Format_E { Unknown, Png, Bmp, Jpeg, Gif };

    // `bytes` is the whole file, or its beginning when only the size is wanted.
    explicit UPictureHeader_C(std::span<const unsigned char> bytes);

    // How the pixels are stored, as far as the decoders' repairs need it; zero where the format
    // has no such field.
    struct ULayout_S {
        uint32_t depth = 0;               // bits a PNG sample or a BMP pixel takes
        uint32_t colourType = 0;          // PNG
        bool interlaced = false;          // PNG
        bool colourKey = false;           // PNG: a tRNS chunk before the image data
        uint32_t infoSize = 0;            // BMP: the size of the info header
        uint32_t compression = 0;         // BMP
        std::array<uint32_t, 3> masks{};  // BMP: red, green and blue, when the file has them
        uint64_t pixelStart = 0;          // BMP: where the decoder starts on the pixels
        bool topDown = false;             // BMP
    };

    Format_E GetFormat() const { return format; }
    // The name Qt's readers know the format by; empty for Unknown.
    const char* GetFormatName() const;
    // False when the bytes end before the size, or the header is malformed.
    bool HasSize() const { return width > 0 && height > 0; }
    int64_t GetWidth() const { return width; }
    int64_t GetHeight() const { return height; }
    // The frames a GIF shows, each with its data whole (a frame without pixels shows the screen
    // as it stands); 1 for the other formats.
    int32_t GetFrameCount() const { return format == Gif ? frames : 1; }
    // The largest picture decoded: 16384 x 16384 pixels, 1 GiB as ARGB, which keeps every pixel
    // copy within 32-bit sizes.
    static constexpr int64_t MaxSide = 16384;
    static constexpr int64_t MaxPixels = MaxSide * MaxSide;
    // Whether the declared size is there and within MaxPixels.
    bool FitsLimit() const;
    // True when the bytes, taken as the whole file, end before the pixel data the header
    // announces does, or hold far less of it than the declared size needs even at the format's
    // best compression (a file that would decode into mostly fill).
    bool DataEndsEarly() const { return endsEarly; }
    const ULayout_S& GetLayout() const { return layout; }

private:
    void ReadPng();
    void ReadBmp();
    void ReadJpeg();
    void ReadGif();

    std::span<const unsigned char> bytes;
    Format_E format = Unknown;
    int64_t width = 0;
    int64_t height = 0;
    bool endsEarly = true;
    int32_t frames = 0;
    ULayout_S layout;
};
