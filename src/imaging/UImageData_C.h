#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "foundation/UAllocator_C.h"
#include "foundation/UError_C.h"
#include "foundation/USize_C.h"
#include "imaging/UPngEncoder_C.h"

class QImage;
namespace NS_Data {
class UAtomicFile_C;
}
class UPictureHeader_C;
class UPixels_C;

// One decoded picture, and the bridge between picture files and plain arrays of 0xAARRGGBB
// values (rows from the top, no gap between rows).
class UImageData_C {
public:
    UImageData_C();
    UImageData_C(const UImageData_C&) = delete;
    UImageData_C& operator=(const UImageData_C&) = delete;
    ~UImageData_C();

    // The size a PNG, BMP, JPEG or GIF file declares, told by its format's magic bytes whatever
    // its extension says, read without decoding a pixel. Fails as LoadFile does for a file that
    // is no such picture, and for a size beyond the limit, which the message then names. With
    // `frames`, the frames a gif shows are counted there, its data walked but not decoded (1 for
    // any other picture).
    static USize_C ReadHeader(const char* path, int32_t* frames = nullptr);
    // Decodes the file as ReadHeader tells its format, and holds the picture. A file that cannot
    // be read, or whose pixel data ends before its declared size, fails with "Fail to read image
    // file:" and the path; memory running out while decoding fails with system error 1, "Not
    // enough memory.", and the path. The object then holds none.
    void LoadFile(const char* path);
    // A copy of the held picture as 0xAARRGGBB values, valid until the next call that uses the
    // pixel memory. `width` and `height` may be null.
    void GetPixels32(uint32_t*& pixels, int32_t* width, int32_t* height);
    // Sizes `pixels` to the held picture and fills it with the picture's 0xAARRGGBB values in one
    // pass, every fully transparent one stored as 0.
    void GetVisiblePixels(UPixels_C& pixels) const;
    // Replaces the held picture by a 32-bit ARGB picture that shows `pixels` where they lie,
    // without a copy: they must stay alive and unchanged while the picture is held.
    void CreateFromPixels32(const uint32_t* pixels, int32_t width, int32_t height);
    // Writes the held picture as an 8-bit RGBA PNG. A regular file is replaced only when the new
    // one is complete; a FIFO or a character device is written in place, and "-" is standard
    // output. A failure raises file error 4 with "<path> : <reason>".
    void SavePng(const char* path, UPngEncoder_C::Level level = UPngEncoder_C::Level::Default);
    // SavePng in two steps for a sheet whose rows `source` draws, so that several files can all
    // be written before any is put in place: WriteSheet opens `file` at `path`, writes and
    // prepares it (UAtomicFile_C::Prepare); CommitSheet puts it in place. Each fails as SavePng
    // does. A name SheetFile::FormatOf takes for WebP gets a lossless WebP, any other a PNG, of
    // palette indices when `indexed` and the sheet has at most 256 colours; false when that was
    // asked for and RGBA written. Either is marked as Tavrin's sheet, and a new file carries
    // `record` (SheetFile::AppendRecord) unless it is empty.
    static bool WriteSheet(NS_Data::UAtomicFile_C& file, const char* path, uint32_t width,
                           uint32_t height, const USheetEncoder_C::RowSource& source,
                           USheetEncoder_C::Level level, bool indexed = false,
                           const std::string& record = {});
    static void CommitSheet(NS_Data::UAtomicFile_C& file);
    void Release();
    // Sets the decoders' limits and loads Qt's JPEG plugin (the one picture format Qt decodes
    // here through a plugin). Call it on the main thread before pictures decode on others: Qt
    // 6.4 ties the plugin's instance to the thread that first asks for it, frees a finished
    // std::thread's data at exit, and the instance then reads it as it is destroyed (Valgrind:
    // an invalid read in QObjectPrivate::~QObjectPrivate in 10 of 10 runs of two JPEGs without
    // this, none with it). It costs 1.4 ms of CPU time once (12.3 -> 13.7 ms for a run of two
    // PNGs).
    static void PrepareDecoders();

    static const char* ClassName() { return "UImageData_C"; }

private:
    // Fails for a header without a size, or with one beyond the limit.
    static void CheckHeader(const UPictureHeader_C& header, const char* path);
    static NS_Base::UError_C MakeFileError(int32_t code, const char* path = nullptr);
    static NS_Base::UError_C MakeImageError(int32_t code, const char* extra = nullptr);
    // The decoded picture of `file`, never null: a decoder's failure raises file error 1, memory
    // running out image error 1, both naming `path`.
    static QImage DecodeWithin(const std::vector<unsigned char>& file,
                               const UPictureHeader_C& header, const char* path);
    static void WriteWith(NS_Data::UAtomicFile_C& file, const char* path,
                          const USheetEncoder_C& encoder, const std::string& record = {});
    // Fails with image error 9 when this Qt cannot read the PNG files it writes.
    static void FindEncoder();

    std::unique_ptr<QImage> bitmap;
    UAllocator_C pixelMemory;
    UAllocator_C paletteMemory;
};
