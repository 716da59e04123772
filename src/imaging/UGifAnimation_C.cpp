#include "imaging/UGifAnimation_C.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "imaging/FileBytes.h"
#include "imaging/UPictureHeader_C.h"

namespace {

struct GifCloser_S {
    void operator()(GifFileType* gif) const { DGifCloseFile(gif, nullptr); }
};

// giflib's input: the bytes of the file, consumed from the front.
int ReadInput(GifFileType* gif, GifByteType* target, int count) {
    auto* rest = static_cast<std::span<const unsigned char>*>(gif->UserData);
    const std::size_t taken = std::min(rest->size(), static_cast<std::size_t>(std::max(count, 0)));
    std::memcpy(target, rest->data(), taken);
    *rest = rest->subspan(taken);
    return static_cast<int>(taken);
}

// The screen and what the next frame's control block said, across the records of one file.
class UScreen_C {
public:
    explicit UScreen_C(GifFileType* file)
        : gif(file),
          width(file->SWidth),
          height(file->SHeight),
          canvas(static_cast<std::size_t>(width) * height, 0) {}

    // False when the file's data fails; the record is then cut short.
    bool ReadExtension();
    // False when the frame's data fails.
    bool ReadImage(const UGifAnimation_C::UTakeFrame_F& take);
    // True when a control block announced a frame that has not come yet.
    bool IsFrameAnnounced() const { return announced; }

private:
    bool ReadRows();
    bool SkipData();
    void FillValues();
    void DrawRow(int y, const std::vector<GifPixelType>& indices);
    void Dispose(const std::vector<uint32_t>& before);

    GifFileType* gif;
    int32_t width;
    int32_t height;
    std::vector<uint32_t> canvas;
    std::array<uint32_t, 256> values{};
    GraphicsControlBlock control{DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
    bool announced = false;
};

bool UScreen_C::ReadExtension() {
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) {
        return false;
    }
    if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4) {
        DGifExtensionToGCB(block[0], block + 1, &control);
        announced = true;
    }
    while (block) {
        if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) {
            return false;
        }
    }
    return true;
}

// Row by row, each drawn as it comes: a frame may declare up to 65535 x 65535 pixels whatever the
// screen, so only one row of it is ever held.
bool UScreen_C::ReadRows() {
    const GifImageDesc& image = gif->Image;
    std::vector<GifPixelType> indices(static_cast<std::size_t>(image.Width));
    static constexpr int starts[] = {0, 4, 2, 1};
    static constexpr int steps[] = {8, 8, 4, 2};
    for (int pass = image.Interlace ? 0 : 3; pass < 4; ++pass) {
        const int start = image.Interlace ? starts[pass] : 0;
        const int step = image.Interlace ? steps[pass] : 1;
        for (int y = start; y < image.Height; y += step) {
            if (DGifGetLine(gif, indices.data(), image.Width) == GIF_ERROR) {
                return false;
            }
            DrawRow(y, indices);
        }
    }
    return true;
}

// The data of a frame without pixels, which has nothing to decode.
bool UScreen_C::SkipData() {
    int codeSize = 0;
    GifByteType* block = nullptr;
    if (DGifGetCode(gif, &codeSize, &block) == GIF_ERROR) {
        return false;
    }
    while (block) {
        if (DGifGetCodeNext(gif, &block) == GIF_ERROR) {
            return false;
        }
    }
    return true;
}

// Each index's value: its colour in the table, 0 (drawing nothing) for the transparent one, and
// opaque black for those the table lacks, all of them without a table, as Chromium shows them.
void UScreen_C::FillValues() {
    constexpr uint32_t OpaqueBlack = 0xFF000000;
    values.fill(OpaqueBlack);
    const ColorMapObject* colours = gif->Image.ColorMap ? gif->Image.ColorMap : gif->SColorMap;
    for (int i = 0; colours && i < colours->ColorCount && i < 256; ++i) {
        const GifColorType& c = colours->Colors[i];
        values[static_cast<std::size_t>(i)] =
            OpaqueBlack | uint32_t{c.Red} << 16 | uint32_t{c.Green} << 8 | c.Blue;
    }
    if (control.TransparentColor >= 0 && control.TransparentColor < 256) {
        values[static_cast<std::size_t>(control.TransparentColor)] = 0;
    }
}

void UScreen_C::DrawRow(int y, const std::vector<GifPixelType>& indices) {
    const GifImageDesc& image = gif->Image;
    const int screenY = image.Top + y;
    const int visible = std::min(image.Width, width - std::min(image.Left, width));
    if (screenY >= height || visible <= 0) {
        return;
    }
    uint32_t* row = canvas.data() + static_cast<std::size_t>(screenY) * width + image.Left;
    for (int x = 0; x < visible; ++x) {
        const uint32_t value = values[indices[static_cast<std::size_t>(x)]];
        if (value != 0) {
            row[x] = value;
        }
    }
}

void UScreen_C::Dispose(const std::vector<uint32_t>& before) {
    const GifImageDesc& image = gif->Image;
    if (control.DisposalMode == DISPOSE_PREVIOUS) {
        canvas = before;
    } else if (control.DisposalMode == DISPOSE_BACKGROUND) {
        for (int y = image.Top; y < image.Top + image.Height && y < height; ++y) {
            for (int x = image.Left; x < image.Left + image.Width && x < width; ++x) {
                canvas[static_cast<std::size_t>(y) * width + x] = 0;
            }
        }
    }
    control = {DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
    announced = false;
}

bool UScreen_C::ReadImage(const UGifAnimation_C::UTakeFrame_F& take) {
    // giflib before 5 kept a frame's own colour table until the next one replaced it; a frame
    // without one must find the file's table, never the one before it, whatever giflib does.
    GifFreeMapObject(gif->Image.ColorMap);
    gif->Image.ColorMap = nullptr;
    if (DGifGetImageDesc(gif) == GIF_ERROR) {
        return false;
    }
    // A frame without pixels still shows the screen as it stands, for its delay.
    const bool empty = gif->Image.Width == 0 || gif->Image.Height == 0;
    const std::vector<uint32_t> before =
        control.DisposalMode == DISPOSE_PREVIOUS ? canvas : std::vector<uint32_t>();
    FillValues();
    if (!(empty ? SkipData() : ReadRows())) {
        return false;
    }
    take(canvas.data(), USize_C(width, height), control.DelayTime * 10);
    Dispose(before);
    return true;
}

// Reads records until `count` frames were handed on or the animation ends; returns -1 then, or
// the number of the frame whose data failed.
int32_t ReadRecords(GifFileType* gif, const UGifAnimation_C::UTakeFrame_F& take, int32_t count) {
    UScreen_C screen(gif);
    for (int32_t frame = 0; frame < count;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        bool read = DGifGetRecordType(gif, &type) != GIF_ERROR;
        // Browsers end the animation at bytes that start no block (junk, a second file) and
        // where the file ends, unless a control block announced a frame that is then missing.
        const bool ended = !read && gif->Error == D_GIF_ERR_READ_FAILED;
        if ((!read && gif->Error == D_GIF_ERR_WRONG_RECORD) ||
            (ended && !screen.IsFrameAnnounced()) || type == TERMINATE_RECORD_TYPE) {
            return -1;
        }
        if (read && type == EXTENSION_RECORD_TYPE) {
            read = screen.ReadExtension();
        } else if (read && type == IMAGE_DESC_RECORD_TYPE) {
            read = screen.ReadImage(take);
            frame += read ? 1 : 0;
        }
        if (!read) {
            return frame;
        }
    }
    return -1;
}

}  // namespace

bool UGifAnimation_C::ReadFrames(std::span<const unsigned char> file, const char* path,
                                 const UTakeFrame_F& take, int32_t count) {
    const UPictureHeader_C header(file);
    if (header.GetFormat() != UPictureHeader_C::Gif || !header.FitsLimit()) {
        return false;
    }
    std::span<const unsigned char> rest = file;
    const std::unique_ptr<GifFileType, GifCloser_S> gif(DGifOpen(&rest, ReadInput, nullptr));
    if (!gif) {
        return false;
    }
    int32_t damaged = -1;
    try {
        damaged = ReadRecords(gif.get(), take, count);
    } catch (const std::bad_alloc&) {
        throw MakeError(2, path);
    }
    if (damaged >= 0) {
        throw MakeError(1, ("frame " + std::to_string(damaged) + " of " + path).c_str());
    }
    return true;
}

bool UGifAnimation_C::ReadFrames(const char* path, const UTakeFrame_F& take) {
    std::vector<unsigned char> file;
    return FileBytes::Read(path, SIZE_MAX, file) && ReadFrames(file, path, take);
}

NS_Base::UError_C UGifAnimation_C::MakeError(int32_t code, const char* extra) {
    static constexpr NS_Base::UMessage_S table[] = {
        {1, TR_NOOP("UError_C", "Fail to read an animation frame:")},
        {2, TR_NOOP("UError_C", "Not enough memory to read the animation:")},
        {0, nullptr},
    };
    return NS_Base::UError_C(code, code == 2 ? NS_Base::SystemError : NS_Base::UserError,
                             ClassName(), table, extra);
}
