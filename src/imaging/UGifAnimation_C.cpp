#include "imaging/UGifAnimation_C.h"

#include <fcntl.h>
#include <gif_lib.h>

#include <memory>
#include <string>
#include <vector>

namespace {

struct GifCloser_S {
    void operator()(GifFileType* gif) const { DGifCloseFile(gif, nullptr); }
};

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
    bool ReadImage(const UGifAnimation_C::UTakeFrame_F& take);
    // True when a control block announced a frame that has not come yet.
    bool IsFrameAnnounced() const { return announced; }

private:
    bool ReadRows(std::vector<GifPixelType>& indices) const;
    void Draw(const std::vector<GifPixelType>& indices);
    void Dispose(const std::vector<uint32_t>& before);

    GifFileType* gif;
    int32_t width;
    int32_t height;
    std::vector<uint32_t> canvas;
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

// The frame's colour indices, rows in display order whether or not they are interlaced.
bool UScreen_C::ReadRows(std::vector<GifPixelType>& indices) const {
    const GifImageDesc& image = gif->Image;
    indices.resize(static_cast<std::size_t>(image.Width) * image.Height);
    static constexpr int starts[] = {0, 4, 2, 1};
    static constexpr int steps[] = {8, 8, 4, 2};
    for (int pass = image.Interlace ? 0 : 3; pass < 4; ++pass) {
        const int start = image.Interlace ? starts[pass] : 0;
        const int step = image.Interlace ? steps[pass] : 1;
        for (int y = start; y < image.Height; y += step) {
            if (DGifGetLine(gif, &indices[static_cast<std::size_t>(y) * image.Width],
                            image.Width) == GIF_ERROR) {
                return false;
            }
        }
    }
    return true;
}

void UScreen_C::Draw(const std::vector<GifPixelType>& indices) {
    const GifImageDesc& image = gif->Image;
    const ColorMapObject* colours = image.ColorMap ? image.ColorMap : gif->SColorMap;
    for (int y = 0; y < image.Height; ++y) {
        for (int x = 0; x < image.Width; ++x) {
            const int index = indices[static_cast<std::size_t>(y) * image.Width + x];
            const int screenX = image.Left + x;
            const int screenY = image.Top + y;
            // Indices the colour table lacks show nothing, like the transparent one.
            if (screenX >= width || screenY >= height || index == control.TransparentColor ||
                !colours || index >= colours->ColorCount) {
                continue;
            }
            const GifColorType& c = colours->Colors[index];
            canvas[static_cast<std::size_t>(screenY) * width + screenX] =
                0xFF000000u | uint32_t{c.Red} << 16 | uint32_t{c.Green} << 8 | c.Blue;
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
    std::vector<GifPixelType> indices;
    if (DGifGetImageDesc(gif) == GIF_ERROR || !ReadRows(indices)) {
        return false;
    }
    const std::vector<uint32_t> before =
        control.DisposalMode == DISPOSE_PREVIOUS ? canvas : std::vector<uint32_t>();
    Draw(indices);
    take(canvas.data(), USize_C(width, height), control.DelayTime * 10);
    Dispose(before);
    return true;
}

}  // namespace

bool UGifAnimation_C::ReadFrames(const char* path, const UTakeFrame_F& take) {
    const int handle = ::open(path, O_RDONLY | O_CLOEXEC);
    // giflib closes the handle with the file, or at once when it cannot open one.
    const std::unique_ptr<GifFileType, GifCloser_S> gif(
        handle < 0 ? nullptr : DGifOpenFileHandle(handle, nullptr));
    if (!gif || gif->SWidth <= 0 || gif->SHeight <= 0) {
        return false;
    }
    UScreen_C screen(gif.get());
    for (int32_t frame = 0;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        bool read = DGifGetRecordType(gif.get(), &type) != GIF_ERROR;
        // A file that stops after a whole frame lacks only its trailer.
        const bool ended = !read && gif->Error == D_GIF_ERR_READ_FAILED;
        if ((ended && !screen.IsFrameAnnounced()) || type == TERMINATE_RECORD_TYPE) {
            return true;
        }
        if (read && type == EXTENSION_RECORD_TYPE) {
            read = screen.ReadExtension();
        } else if (read && type == IMAGE_DESC_RECORD_TYPE) {
            read = screen.ReadImage(take);
            frame += read ? 1 : 0;
        }
        if (!read) {
            throw MakeError(1, ("frame " + std::to_string(frame) + " of " + path).c_str());
        }
    }
}

NS_Base::UError_C UGifAnimation_C::MakeError(int32_t code, const char* extra) {
    static constexpr NS_Base::UMessage_S table[] = {
        {1, "Fail to read an animation frame:"},
        {0, nullptr},
    };
    return NS_Base::UError_C(code, NS_Base::UserError, ClassName(), table, extra);
}
