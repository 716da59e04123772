#include "imaging/SheetFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <zlib.h>
#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <span>
#include <string_view>

#include "files/ContentHash.h"
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

// The record's chunk: PNG's tEXt keyword, or WebP's chunk name; the body ends in a line of
// fixed width: the size and sampled hash of the bytes before the chunk, and the text's length.
constexpr char RecordKeyword[] = "Tavrin build";
constexpr std::size_t RecordKeywordBytes = sizeof RecordKeyword;
constexpr char RecordChunk[] = "TBLD";
constexpr std::size_t TrailerBytes = 41;
constexpr std::array<unsigned char, 12> PngEnd = {0,   0,   0,    0,    'I',  'E',
                                                  'N', 'D', 0xAE, 0x42, 0x60, 0x82};
// No record is longer: 2000 pictures with long paths take about 400 KiB.
constexpr uint32_t MostRecordBytes = 64 << 20;

bool WriteAt(int descriptor, uint64_t offset, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put =
            ::pwrite(descriptor, bytes.data() + done, bytes.size() - done, off_t(offset + done));
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            return false;
        }
        done += std::size_t(put);
    }
    return true;
}

std::string BigEndian(uint32_t value) {
    std::string bytes(4, '\0');
    ByteOrder::PutBigEndian32(value, reinterpret_cast<unsigned char*>(bytes.data()));
    return bytes;
}

std::string LittleEndian(uint32_t value) {
    std::vector<unsigned char> bytes;
    PutLittleEndian(value, 4, bytes);
    return {bytes.begin(), bytes.end()};
}

// `text`, padded to an even length for RIFF, and the trailer for `prefix` bytes before it.
std::string RecordBody(const std::string& text, uint64_t prefix, uint64_t hash) {
    std::string body = text;
    if ((body.size() + TrailerBytes) % 2 != 0) {
        body += ' ';
    }
    char trailer[TrailerBytes + 1];
    std::snprintf(trailer, sizeof trailer, "\n%016llx%016llx%08x",
                  static_cast<unsigned long long>(prefix), static_cast<unsigned long long>(hash),
                  static_cast<unsigned>(body.size()));
    return body + trailer;
}

std::string PngChunk(const std::string& data) {
    const std::string typed = "tEXt" + data;
    const auto crc =
        uint32_t(::crc32(0, reinterpret_cast<const Bytef*>(typed.data()), uInt(typed.size())));
    return BigEndian(uint32_t(data.size())) + typed + BigEndian(crc);
}

// Puts the record in place of IEND and IEND after it.
bool AppendPng(int descriptor, uint64_t size, const std::string& text) {
    std::array<unsigned char, 12> end{};
    uint64_t hash = 0;
    if (size < 12 || !ReadAt(descriptor, size - 12, end.data(), end.size()) || end != PngEnd ||
        !HashSample(descriptor, size - 12, hash)) {
        errno = EINVAL;
        return false;
    }
    const std::string data =
        std::string(RecordKeyword, RecordKeywordBytes) + RecordBody(text, size - 12, hash);
    return WriteAt(descriptor, size - 12,
                   PngChunk(data) + std::string(PngEnd.begin(), PngEnd.end()));
}

// The RIFF size covers the record, and is set before the bytes before the record are hashed.
bool AppendWebp(int descriptor, uint64_t size, const std::string& text) {
    const uint64_t total = size + 8 + RecordBody(text, 0, 0).size();
    uint64_t hash = 0;
    if (total > 0xFFFFFFFF || !WriteAt(descriptor, 4, LittleEndian(uint32_t(total - 8)))) {
        return false;
    }
    if (!HashSample(descriptor, size, hash)) {
        errno = EINVAL;
        return false;
    }
    const std::string data = RecordBody(text, size, hash);
    return WriteAt(descriptor, size, RecordChunk + LittleEndian(uint32_t(data.size())) + data);
}

// The record's chunk, header and all, whose body ends at `end` of the file: `head` bytes of
// chunk header and `lead` of keyword before the text. Empty when the bytes before the chunk are
// not those recorded.
std::string ReadChunk(int descriptor, uint64_t end, uint64_t head, std::size_t lead) {
    char trailer[TrailerBytes + 1] = {};
    unsigned long long prefix = 0;
    unsigned long long hash = 0;
    unsigned length = 0;
    if (end < TrailerBytes ||
        !ReadAt(descriptor, end - TrailerBytes, reinterpret_cast<unsigned char*>(trailer),
                TrailerBytes) ||
        std::sscanf(trailer, "\n%16llx%16llx%8x", &prefix, &hash, &length) != 3 ||
        length > MostRecordBytes || end < TrailerBytes + length + lead + head ||
        prefix != end - TrailerBytes - length - lead - head) {
        return {};
    }
    std::string chunk(head + lead + length, '\0');
    uint64_t actual = 0;
    if (!ReadAt(descriptor, prefix, reinterpret_cast<unsigned char*>(chunk.data()), chunk.size()) ||
        !HashSample(descriptor, prefix, actual) || actual != hash) {
        return {};
    }
    return chunk;
}

// The text of a chunk read by ReadChunk, when its header says `type` (at `typeAt`: PNG puts the
// length first, RIFF the name) and the length it read.
std::string RecordText(const std::string& chunk, uint32_t declared, const char* type,
                       std::size_t typeAt, std::string_view lead) {
    if (chunk.size() < 8 + lead.size() || declared != chunk.size() - 8 + TrailerBytes ||
        chunk.compare(typeAt, 4, type) != 0 || chunk.compare(8, lead.size(), lead) != 0) {
        return {};
    }
    std::string text = chunk.substr(8 + lead.size());
    if (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    return text;
}

std::string ReadPngRecord(int descriptor, uint64_t size) {
    std::array<unsigned char, 12> end{};
    if (size < 16 || !ReadAt(descriptor, size - 12, end.data(), end.size()) || end != PngEnd) {
        return {};
    }
    const std::string chunk = ReadChunk(descriptor, size - 16, 8, RecordKeywordBytes);
    const auto* bytes = reinterpret_cast<const unsigned char*>(chunk.data());
    return chunk.empty() ? std::string()
                         : RecordText(chunk, ByteOrder::BigEndian32(bytes), "tEXt", 4,
                                      {RecordKeyword, RecordKeywordBytes});
}

std::string ReadWebpRecord(int descriptor, uint64_t size, uint64_t riffSize) {
    if (riffSize + 8 != size) {
        return {};
    }
    const std::string chunk = ReadChunk(descriptor, size, 8, 0);
    const auto* bytes = reinterpret_cast<const unsigned char*>(chunk.data());
    return chunk.empty()
               ? std::string()
               : RecordText(chunk, ByteOrder::LittleEndian32(bytes + 4), RecordChunk, 0, {});
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

// The format is told by the first bytes, as IsMarked tells it.
bool AppendRecord(int descriptor, const std::string& record) {
    struct stat status {};
    std::array<unsigned char, 12> start{};
    if (::fstat(descriptor, &status) != 0 || !ReadAt(descriptor, 0, start.data(), start.size())) {
        return false;
    }
    const auto size = static_cast<uint64_t>(status.st_size);
    if (std::memcmp(start.data(), ByteOrder::PngSignature, sizeof ByteOrder::PngSignature) == 0) {
        return AppendPng(descriptor, size, record);
    }
    if (std::memcmp(start.data(), "RIFF", 4) == 0) {
        return AppendWebp(descriptor, size, record);
    }
    errno = EINVAL;
    return false;
}

std::string ReadRecord(const char* path) {
    const int descriptor = ::open(path, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (descriptor < 0) {
        return {};
    }
    struct stat status {};
    std::array<unsigned char, 12> start{};
    std::string record;
    if (::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode) &&
        ReadAt(descriptor, 0, start.data(), start.size())) {
        const auto size = static_cast<uint64_t>(status.st_size);
        if (std::memcmp(start.data(), ByteOrder::PngSignature, sizeof ByteOrder::PngSignature) ==
            0) {
            record = ReadPngRecord(descriptor, size);
        } else if (std::memcmp(start.data(), "RIFF", 4) == 0) {
            record = ReadWebpRecord(descriptor, size, ByteOrder::LittleEndian32(&start[4]));
        }
    }
    ::close(descriptor);
    return record;
}

}  // namespace SheetFile
