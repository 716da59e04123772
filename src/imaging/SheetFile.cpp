#include "imaging/SheetFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>

#include "files/PathUtilities.h"
#include "foundation/ProductVersion.h"
#include "imaging/ByteOrder.h"

namespace {

using Bytes = std::span<const unsigned char>;

constexpr char Keyword[] = "Software";
constexpr std::size_t KeywordBytes = sizeof Keyword;  // with the zero that ends it
constexpr std::string_view Name = ProductName;
// The TIFF tag "Software" and its type, ASCII text ending in a zero.
constexpr uint32_t SoftwareTag = 0x0131;
constexpr uint32_t Ascii = 2;

// Ordinary files hold a few chunks before their image data (PNG: IHDR, PLTE, tRNS, colour
// information, text; WebP: VP8X, ICCP, the image, EXIF, XMP); a file with more is not ours,
// and the bound keeps a file of a million empty chunks from costing a million reads.
constexpr int MostChunks = 64;
// EXIF blocks of cameras run to about 64 KiB, ours is 39 bytes: only the start of a block is
// read, and a tag pointing past it does not count.
constexpr std::size_t ExifBytes = 4096;

// "Tavrin", alone or followed by a space and a version; zeros that end a text do not count.
bool NamesTavrin(std::string_view value) {
    while (!value.empty() && value.back() == '\0') {
        value.remove_suffix(1);
    }
    return value.starts_with(Name) && (value.size() == Name.size() || value[Name.size()] == ' ');
}

// Exactly `count` bytes at `offset`, or false.
bool ReadAt(int descriptor, uint64_t offset, unsigned char* target, std::size_t count) {
    while (count > 0) {
        const ssize_t got = ::pread(descriptor, target, count, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return false;
        }
        target += got;
        offset += static_cast<uint64_t>(got);
        count -= static_cast<std::size_t>(got);
    }
    return true;
}

// The text chunks up to the first IDAT; only the first bytes of each are read, enough for the
// keyword and the name after it.
bool IsMarkedPng(int descriptor) {
    uint64_t offset = sizeof ByteOrder::PngSignature;
    for (int chunk = 0; chunk < MostChunks; ++chunk) {
        std::array<unsigned char, 8> head{};
        if (!ReadAt(descriptor, offset, head.data(), head.size())) {
            return false;
        }
        const uint32_t length = ByteOrder::BigEndian32(head.data());
        const std::string_view type(reinterpret_cast<const char*>(head.data() + 4), 4);
        if (length > 0x7FFFFFFF || type == "IDAT" || type == "IEND") {
            return false;
        }
        std::array<unsigned char, KeywordBytes + Name.size() + 1> start{};
        const std::size_t wanted = std::min<std::size_t>(length, start.size());
        if (type == "tEXt" && ReadAt(descriptor, offset + 8, start.data(), wanted) &&
            wanted > KeywordBytes && std::memcmp(start.data(), Keyword, KeywordBytes) == 0 &&
            NamesTavrin({reinterpret_cast<const char*>(start.data()) + KeywordBytes,
                         wanted - KeywordBytes})) {
            return true;
        }
        offset += uint64_t{length} + 12;
    }
    return false;
}

// The Software tag of the first directory of a TIFF header, in either byte order. Some writers
// put "Exif" and two zeros before the header, as JPEG files have it.
bool ExifNamesTavrin(Bytes exif) {
    if (exif.size() >= 6 && std::memcmp(exif.data(), "Exif\0\0", 6) == 0) {
        exif = exif.subspan(6);
    }
    if (exif.size() < 8 || exif[0] != exif[1] || (exif[0] != 'I' && exif[0] != 'M')) {
        return false;
    }
    const bool little = exif[0] == 'I';
    const auto get16 = [&](uint64_t at) {
        return little ? ByteOrder::LittleEndian16(&exif[at]) : ByteOrder::BigEndian16(&exif[at]);
    };
    const auto get32 = [&](uint64_t at) {
        return little ? ByteOrder::LittleEndian32(&exif[at]) : ByteOrder::BigEndian32(&exif[at]);
    };
    const uint64_t directory = get32(4);
    if (get16(2) != 42 || directory + 2 > exif.size()) {
        return false;
    }
    const uint32_t entries = get16(directory);
    for (uint64_t entry = directory + 2; entry < directory + 2 + 12 * uint64_t{entries};
         entry += 12) {
        if (entry + 12 > exif.size()) {
            return false;
        }
        if (get16(entry) == SoftwareTag && get16(entry + 2) == Ascii) {
            const uint64_t count = get32(entry + 4);
            const uint64_t at = count <= 4 ? entry + 8 : get32(entry + 8);
            return at + count <= exif.size() &&
                   NamesTavrin({reinterpret_cast<const char*>(&exif[at]), count});
        }
    }
    return false;
}

// The chunks of the RIFF container after its 12-byte header; only an EXIF chunk is read.
bool IsMarkedWebp(int descriptor, uint64_t riffEnd) {
    uint64_t offset = 12;
    for (int chunk = 0; chunk < MostChunks && offset + 8 <= riffEnd; ++chunk) {
        std::array<unsigned char, 8> head{};
        if (!ReadAt(descriptor, offset, head.data(), head.size())) {
            return false;
        }
        const uint32_t size = ByteOrder::LittleEndian32(head.data() + 4);
        if (std::memcmp(head.data(), "EXIF", 4) == 0) {
            std::array<unsigned char, ExifBytes> exif{};
            const std::size_t wanted = std::min<std::size_t>(size, exif.size());
            return ReadAt(descriptor, offset + 8, exif.data(), wanted) &&
                   ExifNamesTavrin(Bytes(exif.data(), wanted));
        }
        // Chunks are padded to an even size.
        offset += 8 + uint64_t{size} + (size & 1);
    }
    return false;
}

bool IsMarked(int descriptor) {
    std::array<unsigned char, 12> start{};
    if (!ReadAt(descriptor, 0, start.data(), start.size())) {
        return false;
    }
    if (std::memcmp(start.data(), ByteOrder::PngSignature, sizeof ByteOrder::PngSignature) == 0) {
        return IsMarkedPng(descriptor);
    }
    const bool webp =
        std::memcmp(start.data(), "RIFF", 4) == 0 && std::memcmp(start.data() + 8, "WEBP", 4) == 0;
    return webp && IsMarkedWebp(descriptor, uint64_t{ByteOrder::LittleEndian32(&start[4])} + 8);
}

void PutLittleEndian(uint32_t value, int bytes, std::vector<unsigned char>& target) {
    for (int byte = 0; byte < bytes; ++byte) {
        target.push_back(static_cast<unsigned char>(value >> (8 * byte)));
    }
}

}  // namespace

namespace SheetFile {

USheetFormat_E FormatOf(const char* name) {
    if (std::strcmp(name, "-") == 0 || HasExtension(name, "png")) {
        return USheetFormat_E::Png;
    }
    return HasExtension(name, "webp") ? USheetFormat_E::Webp : USheetFormat_E::Unknown;
}

std::string Software() {
    return std::string(ProductName) + " " + ProductVersion;
}

std::string SoftwareText() {
    return std::string(Keyword, KeywordBytes) + Software();
}

std::vector<unsigned char> SoftwareExif() {
    const std::string text = Software();
    const auto count = static_cast<uint32_t>(text.size() + 1);
    // A little-endian TIFF header, its directory at byte 8 with one entry, no further directory,
    // then the text with its zero at byte 26.
    std::vector<unsigned char> exif = {'I', 'I', 42, 0};
    PutLittleEndian(8, 4, exif);
    PutLittleEndian(1, 2, exif);
    PutLittleEndian(SoftwareTag, 2, exif);
    PutLittleEndian(Ascii, 2, exif);
    PutLittleEndian(count, 4, exif);
    PutLittleEndian(26, 4, exif);
    PutLittleEndian(0, 4, exif);
    exif.insert(exif.end(), text.begin(), text.end());
    exif.push_back(0);
    return exif;
}

bool IsOwnSheet(const char* path) {
    const int descriptor = ::open(path, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (descriptor < 0) {
        return false;
    }
    struct stat status {};
    const bool marked =
        ::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode) && IsMarked(descriptor);
    ::close(descriptor);
    return marked;
}

}  // namespace SheetFile
