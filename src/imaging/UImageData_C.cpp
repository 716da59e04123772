#include "imaging/UImageData_C.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QLoggingCategory>

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <new>
#include <span>
#include <string>
#include <vector>

#include "files/PathRecord_S.h"
#include "files/UAtomicFile_C.h"
#include "imaging/DecodeRepairs.h"
#include "imaging/FileBytes.h"
#include "imaging/PngReader.h"
#include "imaging/SheetFile.h"
#include "imaging/UGifAnimation_C.h"
#include "imaging/UPictureHeader_C.h"
#include "imaging/UPixels_C.h"
#include "imaging/UPngEncoder_C.h"
#include "imaging/UWebpEncoder_C.h"

namespace {

// Qt refuses decodes above its allocation limit (128 MB by default). Decoders of 16 bits per
// channel hold 8 bytes per pixel before the conversion to ARGB.
constexpr int AllocationLimitMb = static_cast<int>(UPictureHeader_C::MaxPixels * 8 / (1024 * 1024));

// Enough for the header of nearly every picture; the rest is read only when it is not.
constexpr std::size_t HeaderBytes = 64 * 1024;
constexpr std::size_t WholeFile = std::numeric_limits<std::size_t>::max();

using Bytes = std::vector<unsigned char>;

// The formats held as loaded; every other one becomes ARGB at load.
bool IsHeldFormat(QImage::Format format) {
    return format == QImage::Format_Indexed8 || format == QImage::Format_RGB888 ||
           format == QImage::Format_RGB32 || format == QImage::Format_ARGB32;
}

// A picture of the declared size, as the decoders below fill it.
QImage Allocate(const UPictureHeader_C& header) {
    return QImage(static_cast<int>(header.GetWidth()), static_cast<int>(header.GetHeight()),
                  QImage::Format_ARGB32);
}

// The first frame as the animation's reader composes it, so that a still picture and the first
// cell of an animation are the same, and damaged image data is refused rather than drawn.
QImage DecodeGif(const Bytes& file, const UPictureHeader_C& header, const char* path) {
    QImage image;
    const auto take = [&](const uint32_t* pixels, USize_C size, int32_t) {
        image = Allocate(header);
        if (!image.isNull() && size.GetWidth() == image.width() &&
            size.GetHeight() == image.height()) {
            std::memcpy(image.bits(), pixels, std::size_t(size.GetArea()) * 4);
        }
    };
    if (!UGifAnimation_C::ReadFrames(file, path, take, 1)) {
        return {};
    }
    return image;
}

// Set once: pictures decode on several threads at a time. libjpeg's warnings are about data it
// skipped or mended (stray bytes before a marker, from camera software); data it cannot decode
// fails the read. They are not printed, so that a run prints nothing on success.
void ConfigureDecoders() {
    static const bool configured =
        (QImageReader::setAllocationLimit(AllocationLimitMb),
         QLoggingCategory::setFilterRules(QStringLiteral("qt.gui.imageio.jpeg.warning=false")),
         true);
    (void)configured;
}

// Decodes the first picture of the file with the decoder of the format its header tells, and
// with no other: no decoder is asked to guess, so no other image plugin is ever loaded. No
// colour conversion and no rotation. A null image means the file cannot be read.
QImage Decode(const Bytes& file, const UPictureHeader_C& header, const char* path) {
    if (header.GetFormat() == UPictureHeader_C::Gif) {
        return DecodeGif(file, header, path);
    }
    if (DecodeRepairs::QtMisreadsPng(header)) {
        // A file libpng refuses is refused as a whole rather than shown with Qt's mix-up.
        QImage image = Allocate(header);
        return !image.isNull() && PngReader::ReadRgba(file, image) ? image : QImage();
    }
    if (header.GetFormat() == UPictureHeader_C::Png) {
        QImage image = Allocate(header);
        if (!image.isNull() && PngReader::ReadTrueColour(file, image)) {
            return image;
        }
    }
    ConfigureDecoders();
    QBuffer device;
    device.setData(QByteArray::fromRawData(reinterpret_cast<const char*>(file.data()),
                                           static_cast<qsizetype>(file.size())));
    device.open(QIODevice::ReadOnly);
    QImageReader reader(&device, header.GetFormatName());
    reader.setAutoDetectImageFormat(false);
    reader.setAutoTransform(false);
    QImage image;
    if (!reader.read(&image) || image.width() != header.GetWidth() ||
        image.height() != header.GetHeight()) {
        return {};
    }
    DecodeRepairs::WidenBmpChannels(image, header);
    DecodeRepairs::ClearBmpRunGaps(image, header, file);
    return image;
}

// Reads the rows of a held picture as 0xAARRGGBB values, whichever of the held formats it has.
class URowReader_C {
public:
    explicit URowReader_C(const QImage& picture) : image(picture) {
        // Indices beyond the palette show as opaque black rather than reading past it.
        palette.fill(0xFF000000u);
        const QList<QRgb> colours = image.colorTable();
        for (qsizetype i = 0; i < colours.size() && i < 256; ++i) {
            palette[static_cast<std::size_t>(i)] = colours[i];
        }
    }

    // Row `y`: the picture's own memory when it already holds ARGB, else `scratch` filled.
    const uint32_t* Row(int y, uint32_t* scratch) const {
        const uchar* line = image.constScanLine(y);
        const int width = image.width();
        switch (image.format()) {
            case QImage::Format_ARGB32:
                return reinterpret_cast<const uint32_t*>(line);
            case QImage::Format_RGB32:
                for (int x = 0; x < width; ++x) {
                    scratch[x] = reinterpret_cast<const uint32_t*>(line)[x] | 0xFF000000u;
                }
                break;
            case QImage::Format_RGB888:
                for (int x = 0; x < width; ++x, line += 3) {
                    scratch[x] =
                        0xFF000000u | uint32_t{line[0]} << 16 | uint32_t{line[1]} << 8 | line[2];
                }
                break;
            default:
                for (int x = 0; x < width; ++x) {
                    scratch[x] = palette[line[x]];
                }
                break;
        }
        return scratch;
    }

private:
    const QImage& image;
    std::array<uint32_t, 256> palette;
};

using Result = USheetEncoder_C::Result;

// Writes the encoder's picture as `file`'s new content, with `record` after its image data
// where the file is a new one, prepared to be put in place. A failed write raises with the
// system's reason; memory running out abandons the file and returns NoMemory.
Result WriteThrough(const USheetEncoder_C& encoder, NS_Data::UAtomicFile_C& file,
                    const std::string& record) {
    const int copy = ::fcntl(file.GetDescriptor(), F_DUPFD_CLOEXEC, 0);
    std::FILE* stream = copy < 0 ? nullptr : ::fdopen(copy, "wb");
    if (!stream) {
        const int reason = errno;
        if (copy >= 0) {
            ::close(copy);
        }
        file.Fail(reason);
    }
    std::setvbuf(stream, nullptr, _IOFBF, 1 << 16);
    errno = 0;
    Result written = encoder.Write(stream);
    int reason = errno;
    if (std::fclose(stream) != 0 && written == Result::Written) {
        written = Result::WriteFailed;
        reason = errno;
    }
    if (written == Result::NoMemory) {
        file.Abandon();
        return written;
    }
    if (written == Result::Written && !record.empty() && !file.GetTarget().empty() &&
        !SheetFile::AppendRecord(file.GetDescriptor(), record)) {
        written = Result::WriteFailed;
        reason = errno;
    }
    if (written != Result::Written) {
        file.Fail(reason != 0 ? reason : EIO);
    }
    file.Prepare();
    return written;
}

}  // namespace

UImageData_C::UImageData_C() = default;

UImageData_C::~UImageData_C() = default;

USize_C UImageData_C::ReadHeader(const char* path, int32_t* frames) {
    Bytes bytes;
    if (!PathRecord_S::Fits(path) || !FileBytes::Read(path, HeaderBytes, bytes)) {
        throw MakeFileError(1, path);
    }
    // A gif's frames are counted over the whole file.
    if (bytes.size() == HeaderBytes) {
        const UPictureHeader_C start(bytes);
        if ((!start.HasSize() || (frames && start.GetFormat() == UPictureHeader_C::Gif)) &&
            !FileBytes::Read(path, WholeFile, bytes)) {
            throw MakeFileError(1, path);
        }
    }
    const UPictureHeader_C header(bytes);
    CheckHeader(header, path);
    if (frames) {
        *frames = std::max(header.GetFrameCount(), 1);
    }
    return {static_cast<int32_t>(header.GetWidth()), static_cast<int32_t>(header.GetHeight())};
}

void UImageData_C::LoadFile(const char* path) {
    Release();
    Bytes file;
    if (!PathRecord_S::Fits(path) || !FileBytes::Read(path, WholeFile, file)) {
        throw MakeFileError(1, path);
    }
    // The header of the bytes decoded, not the one the batch was sized by: the file may have
    // been replaced since.
    const UPictureHeader_C header(file);
    CheckHeader(header, path);
    // Refused before decoding: the decoder would fill the missing part, which for a picture
    // declared large costs gigabytes.
    if (header.DataEndsEarly()) {
        throw MakeFileError(1, path);
    }
    QImage image = DecodeWithin(file, header, path);
    if (!IsHeldFormat(image.format())) {
        image = image.convertToFormat(QImage::Format_ARGB32);
        if (image.isNull()) {
            throw MakeImageError(1, path);
        }
    }
    bitmap = std::make_unique<QImage>(std::move(image));
}

QImage UImageData_C::DecodeWithin(const std::vector<unsigned char>& file,
                                  const UPictureHeader_C& header, const char* path) {
    QImage image;
    try {
        image = Decode(file, header, path);
        // A decoder's failure and its allocation's look alike; a picture of this size that
        // cannot be allocated now tells them apart.
        if (image.isNull() && Allocate(header).isNull()) {
            throw std::bad_alloc();
        }
    } catch (const std::bad_alloc&) {
        throw MakeImageError(1, path);
    } catch (const NS_Base::UError_C& failure) {
        // The animation reader's: a damaged first frame, or memory running out.
        throw failure.GetKind() == NS_Base::SystemError ? MakeImageError(1, path)
                                                        : MakeFileError(1, path);
    }
    if (image.isNull()) {
        throw MakeFileError(1, path);
    }
    return image;
}

void UImageData_C::GetPixels32(uint32_t*& pixels, int32_t* width, int32_t* height) {
    if (!bitmap) {
        throw MakeImageError(2);
    }
    const int columns = bitmap->width();
    const int rows = bitmap->height();
    const uint64_t bytes =
        uint64_t{static_cast<uint32_t>(columns)} * 4 * static_cast<uint32_t>(rows);
    if (bytes > UINT32_MAX) {
        throw MakeImageError(1);
    }
    uint32_t* target = nullptr;
    pixelMemory.GetMemory(target, static_cast<uint32_t>(bytes));
    const URowReader_C reader(*bitmap);
    for (int y = 0; y < rows; ++y) {
        uint32_t* row = target + static_cast<std::size_t>(y) * static_cast<std::size_t>(columns);
        const uint32_t* values = reader.Row(y, row);
        if (values != row) {
            std::memcpy(row, values, static_cast<std::size_t>(columns) * 4);
        }
    }
    pixels = target;
    if (width) {
        *width = columns;
    }
    if (height) {
        *height = rows;
    }
}

void UImageData_C::GetVisiblePixels(UPixels_C& pixels) const {
    if (!bitmap) {
        throw MakeImageError(2);
    }
    const int columns = bitmap->width();
    pixels.SetSize(USize_C(columns, bitmap->height()));
    const URowReader_C reader(*bitmap);
    uint32_t* row = pixels.GetData();
    for (int y = 0; y < bitmap->height(); ++y, row += columns) {
        const uint32_t* values = reader.Row(y, row);
        for (int x = 0; x < columns; ++x) {
            const uint32_t value = values[x];
            row[x] = (value >> 24) != 0 ? value : 0;
        }
    }
}

void UImageData_C::CreateFromPixels32(const uint32_t* pixels, int32_t width, int32_t height) {
    if (width < 1 || height < 1) {
        throw MakeImageError(5);
    }
    // Rows are addressed with a 32-bit count of bytes.
    if (int64_t{width} * 4 > std::numeric_limits<int>::max()) {
        throw MakeImageError(5);
    }
    Release();
    auto image = std::make_unique<QImage>(reinterpret_cast<const uchar*>(pixels), width, height,
                                          width * 4, QImage::Format_ARGB32);
    if (image->isNull()) {
        throw MakeImageError(1);
    }
    bitmap = std::move(image);
}

void UImageData_C::SavePng(const char* path, UPngEncoder_C::Level level) {
    if (!bitmap) {
        throw MakeImageError(2);
    }
    const URowReader_C reader(*bitmap);
    const UPngEncoder_C encoder(
        static_cast<uint32_t>(bitmap->width()), static_cast<uint32_t>(bitmap->height()),
        [&reader](uint32_t y, uint32_t* scratch) {
            return reader.Row(static_cast<int>(y), scratch);
        },
        level);
    NS_Data::UAtomicFile_C file;
    WriteWith(file, path, encoder);
    CommitSheet(file);
}

bool UImageData_C::WriteSheet(NS_Data::UAtomicFile_C& file, const char* path, uint32_t width,
                              uint32_t height, const USheetEncoder_C::RowSource& source,
                              USheetEncoder_C::Level level, bool indexed,
                              const std::string& record) {
    if (SheetFile::FormatOf(path) == USheetFormat_E::Webp) {
        WriteWith(file, path, UWebpEncoder_C(width, height, source, level), record);
        return !indexed;
    }
    UPngEncoder_C encoder(width, height, source, level);
    const bool fits = indexed && encoder.UsePalette();
    WriteWith(file, path, encoder, record);
    return fits || !indexed;
}

void UImageData_C::CommitSheet(NS_Data::UAtomicFile_C& file) {
    try {
        file.Commit();
    } catch (const NS_Base::UError_C& failure) {
        throw MakeFileError(4, failure.GetInfoEx());
    }
}

void UImageData_C::WriteWith(NS_Data::UAtomicFile_C& file, const char* path,
                             const USheetEncoder_C& encoder, const std::string& record) {
    if (!PathRecord_S::Fits(path)) {
        throw MakeFileError(4, (std::string(path) + " : " + std::strerror(ENAMETOOLONG)).c_str());
    }
    FindEncoder();
    Result written = Result::Written;
    try {
        file.Open(path, NS_Data::UAtomicFile_C::Streams);
        written = WriteThrough(encoder, file, record);
    } catch (const NS_Base::UError_C& failure) {
        throw MakeFileError(4, failure.GetInfoEx());
    }
    if (written == Result::NoMemory) {
        throw MakeImageError(1);
    }
}

void UImageData_C::PrepareDecoders() {
    ConfigureDecoders();
    // Asking for a reader of nothing makes the plugin's instance.
    static const bool loaded = [] {
        QBuffer nothing;
        QImageReader reader(&nothing, "jpeg");
        reader.setAutoDetectImageFormat(false);
        return reader.canRead();
    }();
    (void)loaded;
}

void UImageData_C::Release() {
    bitmap.reset();
}

void UImageData_C::CheckHeader(const UPictureHeader_C& header, const char* path) {
    if (!header.HasSize()) {
        throw MakeFileError(1, path);
    }
    if (!header.FitsLimit()) {
        const std::string reason = std::string(path) + ": " + std::to_string(header.GetWidth()) +
                                   " x " + std::to_string(header.GetHeight()) + " exceeds the " +
                                   std::to_string(UPictureHeader_C::MaxSide) + " x " +
                                   std::to_string(UPictureHeader_C::MaxSide) + " limit";
        throw MakeFileError(1, reason.c_str());
    }
}

// The sheet is written by our own encoder, but only by a Qt that reads PNG itself, so that a
// build without it reports so instead of writing a file nothing else here could read. Asking
// Qt's writers at run time would load every image plugin installed.
void UImageData_C::FindEncoder() {
    if (!QT_CONFIG(imageformat_png)) {
        throw MakeImageError(9);
    }
}

NS_Base::UError_C UImageData_C::MakeFileError(int32_t code, const char* path) {
    static constexpr NS_Base::UMessage_S table[] = {
        {1, TR_NOOP("UError_C", "Fail to read image file:")},
        {2, TR_NOOP("UError_C", "该图片不是索引图片.")},
        {3, TR_NOOP("UError_C", "The pixel format of image file must be 32-bits:")},
        {4, TR_NOOP("UError_C", "创建图片文件失败.")},
        {0, nullptr},
    };
    return NS_Base::UError_C(code, NS_Base::UserError, ClassName(), table, path);
}

NS_Base::UError_C UImageData_C::MakeImageError(int32_t code, const char* extra) {
    static constexpr NS_Base::UMessage_S table[] = {
        {1, TR_NOOP("UError_C", "Not enough memory.")},
        {2, TR_NOOP("UError_C", "No image data to operated.")},
        {3, TR_NOOP("UError_C", "Fail to get pixel index from current image.")},
        {4, TR_NOOP("UError_C", "Unexpected data format of current image.")},
        {5, TR_NOOP("UError_C", "Unexpected image size.")},
        {6, TR_NOOP("UError_C", "Unexpected character size.")},
        {7, TR_NOOP("UError_C", "New palette size mismatches original palette size.")},
        {8, TR_NOOP("UError_C", "Fail to create new image.")},
        {9, TR_NOOP("UError_C", "Unexpected image format.")},
        {10, TR_NOOP("UError_C", "Fail to clone image because unexpected area.")},
        {11, TR_NOOP("UError_C", "Unexpected palette size.")},
        {12, TR_NOOP("UError_C", "Fail to set pixels because unexpected size.")},
        {13, TR_NOOP("UError_C", "Image format must be 8-bits or 32-bits.")},
        {0, nullptr},
    };
    return NS_Base::UError_C(code, NS_Base::SystemError, ClassName(), table, extra);
}
