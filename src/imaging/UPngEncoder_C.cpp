#include "imaging/UPngEncoder_C.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <numeric>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "foundation/RunInParallel.h"
#include "imaging/ByteOrder.h"
#include "imaging/SheetFile.h"

namespace {

using Level = UPngEncoder_C::Level;
using Result = UPngEncoder_C::Result;

// Compression choices, measured on the benchmark's grids (decoded, filtered as below, deflated in
// one piece on one core; CPU seconds, size against ImageMagick 6.9's PNG32 of the same pixels):
//   filter, deflate                  frames 2048²    mixed 3190²     frames 4096²    64px 4096²
//   adaptive (libpng's), zlib 6      0.18 s  1.00    0.44 s  1.00    0.56 s  0.99    0.94 s  1.00
//   Up, zlib 6                       0.10 s  0.90    0.25 s  0.97    0.27 s  0.89    0.68 s  0.87
//   None, zlib 6                     0.08 s  0.68    0.21 s  1.23    0.27 s  0.80    0.40 s  0.66
//   Up, zlib 6 tuned 4/8/258/16      0.08 s  0.93    0.19 s  0.98    0.25 s  0.88    0.43 s  0.91
//   Up, zlib 6 tuned 4/4/258/4       0.08 s  1.02    0.19 s  1.01    0.25 s  0.98    0.38 s  0.96
//   Up, zlib 3 (or tuned 4/16/258/8) 0.06 s  1.25    0.15 s  1.19    0.17 s  1.54    0.35 s  1.12
//   Up, ISA-L level 1 (or 2)         0.02 s  1.41    0.07 s  1.15    0.11 s  1.56    0.14 s  1.14
//   Up, zlib 9                       0.90 s  0.91    1.14 s  0.96    1.04 s  0.86    6.8 s   0.88
//   Up / None, tuned 32/258/258/256  0.16 s  0.89    0.31 s  0.96    0.32 s  0.87    1.15 s  0.86
//                                    0.10 s  0.67    0.26 s  1.21    0.32 s  0.76    0.52 s  0.64
// (tuned g/l/n/c: zlib's good, lazy, nice and chain lengths.) Libpng's per-row adaptive choice
// loses to a single filter for the whole picture, and which filter wins depends on the picture:
// None on drawn sprites, Up on photographs. So each picture tries its candidates on eight samples
// of 1/256 of its rows (32 to 256 KiB, or fewer whole rows when a row is larger) and keeps the
// smallest, about 6% of the default's work, shared among the threads.
// A third candidate chooses None or Up row by row, by libpng's rule of the smaller sum of signed
// bytes: it wins where one tall sheet mixes photographs and sprites (the benchmark's mixed
// column, 319 x 31900: 1.059 -> 1.027 of ImageMagick's size; the frames512 column 0.994 ->
// 0.956) and is never chosen where it does not, as on every other benchmark sheet.
// ISA-L is three to four times as fast, but 14-56% larger, zlib's fast levels 12-54%: both miss
// `fast`'s bound of 1.15 on the drawn frames, so `fast` is the cheapest lazy matching that keeps
// within it, only 0-15% quicker than the default. Libdeflate level 6 took 0.6 times zlib's time
// for a 2% smaller 2048² sheet but cannot leave a stream open for the next stripe; its checksums,
// four to five times faster than zlib's, are used. Level 9 spent 18 times the default's time on
// the 64-pixel frames for a larger file; `best` stops at a chain of 128 and also tries Sub and
// Paeth. A chain of 256 took 1.45 to 1.63 times the default's time on the pixel art, the mixed
// grid and the Pingus art for files 0.02-1.4% smaller; at 128 best takes 1.03-1.49 times it (64:
// up to 4% larger). A chain of 1024 was no smaller than 256.
// Those choices lose on grain, gradients and photographs (bench/size-bench.py's sheets, here
// composed by Pillow; size against ImageMagick's PNG of the same pixels, which Pillow's matches
// within 1.6%):
//   candidates, default level                 noisy 2048²  photos 2240x2400  painted 1792²
//   Up, None, None-or-Up                         1.138         1.215           1.170
//   + each row's best of five, libpng's rule     1.095         1.113           1.154
//   ... with Z_FILTERED                          1.002         1.000           1.089
//   ... and memory level 9                       1.000         0.999           1.088
//   ... and a longer search (good/lazy/nice/chain 8/16/258/256) when 1% smaller: 0.974 on
//       painted, in twice the time (zlib 6's 8/16/128/128: 1.000 in 1.5 times); it gains
//       0.03% on the photographs in four times the time
//   ... and zlib 6's search when it is smaller at all: Tavrin's noisy sheet (transparent
//       pixels cleared) 1.0001 -> 0.9998, in 1.1 times the time; larger on the photographs
// Flat sprites keep their filters (frames128 0.734, pixel art 0.937, Pingus ground art 0.794).
// `best`'s chain of 256 made the photographs 0.1% smaller in four times the default's time, so
// `best` also tries the default's search on rows filtered each their own way, and keeps it
// unless the long search is 1% smaller; the default's deep search is among its candidates too,
// so a painted sheet is never larger at `best` than at the default. Deflate cannot reach 0.92 of
// the peers on grain. The five filters' loops vectorise (-O3: 0.78 s for the photographs' 21 MB on
// one core, -O2: 2.3 s). On two busy cores the encoder alone went from 0.20 to 0.37 s on the noisy
// sheet, 0.25 to 0.52 s on the photographs and 0.11 to 0.55 s on the painted one (its long search);
// the flat sheets kept their time and their bytes.
struct USettings_S {
    int good;
    int lazy;
    int nice;
    int chain;
    uint8_t zlibFlags;  // the compression level the zlib header announces
};

// Searches for rows filtered each their own way, chosen by samples: zlib's level 6, a little
// smaller on noisy sprites, and the longer one that smooth gradients need.
constexpr USettings_S Zlib6Settings = {8, 16, 128, 128, 0x9C};
constexpr USettings_S DeepSettings = {8, 16, 258, 256, 0x9C};

constexpr USettings_S SettingsFor(Level level) {
    switch (level) {
        case Level::Fast:
            return {4, 4, 258, 4, 0x5E};
        case Level::Best:
            return {32, 258, 258, 128, 0xDA};
        case Level::Default:
            break;
    }
    return {4, 8, 258, 16, 0x9C};
}

// Palette indices are a quarter to an eighth of the RGBA bytes, so a longer search costs little.
// The benchmark's pixel art (1024², 15 colours, 4-bit indices; size against its RGBA sheet at
// the default level, wall time on two cores): the RGBA search 0.506 in 0.08 s, zlib 6's 0.487
// in 0.10 s, a chain of 256 0.484 in 0.15 s, zlib 9's 0.478 in 0.41 s.
constexpr USettings_S PaletteSettingsFor(Level level) {
    switch (level) {
        case Level::Fast:
            return SettingsFor(Level::Default);
        case Level::Best:
            return {32, 258, 258, 4096, 0xDA};
        case Level::Default:
            break;
    }
    return Zlib6Settings;
}

constexpr std::size_t RgbaBytes = 4;
constexpr std::size_t PaletteSize = 256;

// The fewest bits that hold an index into `colours` entries, as PNG allows them: 1, 2, 4 or 8.
// Pixel art of 16 colours takes half the bytes at 4 bits, and deflates to 0.55 of 8-bit indices.
unsigned IndexBits(std::size_t colours) {
    unsigned bits = 1;
    while ((std::size_t{1} << bits) < colours) {
        bits *= 2;
    }
    return bits;
}
constexpr std::size_t Window = 32768;
// zlib's largest memory level for rows filtered each their own way: a longer hash and blocks of
// twice as many symbols, 0.1-0.2% smaller on noisy sprites and photographs, which then match
// their peers' size. Flat sprites gain nothing from it and took 5-10% longer.
constexpr int MemoryLevel = 8;
constexpr int FilteredMemoryLevel = 9;
// Stripes of about this many filtered bytes; each re-filters its Window of history, 3% more work.
constexpr uint64_t StripeBytes = uint64_t{1} << 20;
constexpr uint64_t SampleShare = 256;
constexpr uint64_t SampleBytesAtLeast = uint64_t{1} << 15;
constexpr uint64_t SampleBytesAtMost = uint64_t{1} << 18;
constexpr uint32_t Samples = 8;
constexpr std::size_t ChunkBytes = std::size_t{1} << 16;

bool WriteBytes(std::FILE* file, const void* data, std::size_t count) {
    return count == 0 || std::fwrite(data, 1, count, file) == count;
}

// `type` is the four-letter chunk name; the CRC covers it and the data.
bool WriteChunk(std::FILE* file, const char* type, const uint8_t* data, std::size_t count) {
    std::array<uint8_t, 8> head{};
    ByteOrder::PutBigEndian32(static_cast<uint32_t>(count), head.data());
    std::memcpy(head.data() + 4, type, 4);
    const uint32_t crc = libdeflate_crc32(libdeflate_crc32(0, type, 4), data, count);
    std::array<uint8_t, 4> tail{};
    ByteOrder::PutBigEndian32(crc, tail.data());
    return WriteBytes(file, head.data(), head.size()) && WriteBytes(file, data, count) &&
           WriteBytes(file, tail.data(), tail.size());
}

// Gathers the zlib stream, from its header to its checksum, into IDAT chunks of ChunkBytes; a
// failure sticks.
class UChunkWriter_C {
public:
    UChunkWriter_C(std::FILE* target, uint8_t zlibFlags) : file(target) {
        buffer.reserve(ChunkBytes);
        buffer.assign({0x78, zlibFlags});
    }

    bool Append(const uint8_t* data, std::size_t count) {
        while (ok && count > 0) {
            const std::size_t taken = std::min(count, ChunkBytes - buffer.size());
            buffer.insert(buffer.end(), data, data + taken);
            data += taken;
            count -= taken;
            if (buffer.size() == ChunkBytes) {
                Flush();
            }
        }
        return ok;
    }
    // Ends the stream with the checksum of all the uncompressed bytes.
    bool Finish(uint32_t adler) {
        std::array<uint8_t, 4> trailer{};
        ByteOrder::PutBigEndian32(adler, trailer.data());
        return Append(trailer.data(), trailer.size()) && Flush();
    }

private:
    bool Flush() {
        if (ok && !buffer.empty()) {
            ok = WriteChunk(file, "IDAT", buffer.data(), buffer.size());
            buffer.clear();
        }
        return ok;
    }

    std::FILE* file;
    std::vector<uint8_t> buffer;
    bool ok = true;
};

// Filters of 4-byte pixels: each writes `count` filtered bytes of `row` against the raw row above
// (`previous`). Plain loops, which the compiler vectorises.
enum FilterType : uint8_t {
    None = 0,
    Sub = 1,
    Up = 2,
    Average = 3,
    Paeth = 4,
    Adaptive = 0xFE,
    NoneOrUp = 0xFF
};

template <std::size_t PixelBytes>
void FilterAs(FilterType type, const uint8_t* row, const uint8_t* previous, uint8_t* out,
              std::size_t count) {
    switch (type) {
        case Sub:
            std::memcpy(out, row, PixelBytes);
            for (std::size_t i = PixelBytes; i < count; ++i) {
                out[i] = static_cast<uint8_t>(row[i] - row[i - PixelBytes]);
            }
            return;
        case Up:
            for (std::size_t i = 0; i < count; ++i) {
                out[i] = static_cast<uint8_t>(row[i] - previous[i]);
            }
            return;
        case Average:
            for (std::size_t i = 0; i < count; ++i) {
                const unsigned left = i < PixelBytes ? 0 : row[i - PixelBytes];
                out[i] = static_cast<uint8_t>(row[i] - ((left + previous[i]) >> 1));
            }
            return;
        case Paeth:
            for (std::size_t i = 0; i < count; ++i) {
                // With nothing to the left the predictor is the byte above.
                const int left = i < PixelBytes ? 0 : row[i - PixelBytes];
                const int up = previous[i];
                const int corner = i < PixelBytes ? 0 : previous[i - PixelBytes];
                const int toLeft = std::abs(up - corner);
                const int toUp = std::abs(left - corner);
                const int toCorner = std::abs(left + up - 2 * corner);
                const int predictor =
                    toLeft <= toUp && toLeft <= toCorner ? left : (toUp <= toCorner ? up : corner);
                out[i] = static_cast<uint8_t>(row[i] - predictor);
            }
            return;
        case None:
        case Adaptive:
        case NoneOrUp:
            break;
    }
    std::memcpy(out, row, count);
}

// Pixels of 4 bytes (RGBA) or 1 (palette indices), each a loop of its own to vectorise.
void Filter(FilterType type, const uint8_t* row, const uint8_t* previous, uint8_t* out,
            std::size_t count, std::size_t pixelBytes) {
    pixelBytes == 1 ? FilterAs<1>(type, row, previous, out, count)
                    : FilterAs<4>(type, row, previous, out, count);
}

// A way to encode the picture, tried on samples. Rows filtered each by its own best filter are
// noisy at the level of single bytes, where deflate's short matches cost more than the literals
// they replace: zlib's Z_FILTERED drops matches under six bytes, as libpng does whenever it
// filters. How long deflate searches is part of the way, as noise gains nothing from a long
// search that smooth gradients need; a longer search than the cheapest has to make the samples
// at least 1/margin smaller to be chosen.
enum class Search : uint8_t { AtLevel, Light, Zlib6, Deep };

struct UCandidate_S {
    FilterType filter;
    int strategy = Z_DEFAULT_STRATEGY;
    Search search = Search::AtLevel;
    uint64_t margin = 0;
};

struct UPicture_S {
    uint32_t width;
    uint32_t height;
    const UPngEncoder_C::RowSource& source;
    USettings_S settings;
    // Sorted colours whose indices the rows hold instead of RGBA, or empty.
    const std::vector<uint32_t>& palette;

    std::size_t PixelBytes() const { return palette.empty() ? RgbaBytes : 1; }
    uint64_t RowBytes() const {
        return palette.empty() ? uint64_t{width} * RgbaBytes
                               : (uint64_t{width} * IndexBits(palette.size()) + 7) / 8;
    }
};

// The compressed bytes of some rows, with the checksum and count of the filtered bytes in them.
struct UStripe_S {
    std::vector<uint8_t> output;
    uint32_t adler = 1;
    uint64_t length = 0;
};

// Filters and deflates runs of rows on one thread. Throws std::bad_alloc only when built.
class UStripeEncoder_C {
public:
    explicit UStripeEncoder_C(const UPicture_S& picture)
        : image(picture),
          rowBytes(picture.RowBytes()),
          scratch(picture.width),
          current(rowBytes),
          previous(rowBytes) {
        Start(MemoryLevel);
    }
    UStripeEncoder_C(const UStripeEncoder_C&) = delete;
    UStripeEncoder_C& operator=(const UStripeEncoder_C&) = delete;
    ~UStripeEncoder_C() { deflateEnd(&stream); }

    // Rows [first, end) as raw deflate that ends the stream when `last`, else stops on a byte
    // boundary. When `primed` it continues the rows above: their last Window filtered bytes are
    // its history, so a stripe costs hardly more than the same rows in one stream.
    // Throws std::bad_alloc when zlib has no memory for another memory level.
    bool Encode(uint32_t first, uint32_t end, const UCandidate_S& way, bool primed, bool last,
                UStripe_S& stripe) {
        const int wanted = way.strategy == Z_FILTERED ? FilteredMemoryLevel : MemoryLevel;
        if (wanted != memoryLevel) {
            deflateEnd(&stream);
            Start(wanted);
        }
        deflateReset(&stream);
        deflateParams(&stream, 6, way.strategy);
        const USettings_S settings = SearchSettings(way.search);
        deflateTune(&stream, settings.good, settings.lazy, settings.nice, settings.chain);
        if (primed && first > 0 && !Prime(first, way.filter)) {
            return false;
        }
        FilterRows(first, end, way.filter);
        stripe.adler = libdeflate_adler32(1, filtered.data(), filtered.size());
        stripe.length = filtered.size();
        stripe.output.resize(filtered.size() / 4 + 64);
        return Deflate(last ? Z_FINISH : Z_SYNC_FLUSH, stripe.output);
    }

private:
    void Start(int level) {
        stream = z_stream{};
        memoryLevel = 0;
        if (deflateInit2(&stream, 6, Z_DEFLATED, -15, level, Z_DEFAULT_STRATEGY) != Z_OK) {
            throw std::bad_alloc();
        }
        memoryLevel = level;
    }

    USettings_S SearchSettings(Search search) const {
        switch (search) {
            case Search::Light:
                return SettingsFor(Level::Default);
            case Search::Zlib6:
                return Zlib6Settings;
            case Search::Deep:
                return DeepSettings;
            case Search::AtLevel:
                break;
        }
        return image.settings;
    }

    // Filtering depends only on a row and the one above, so the history is filtered again here.
    bool Prime(uint32_t first, FilterType type) {
        const auto rows =
            static_cast<uint32_t>(std::min<uint64_t>(first, Window / (rowBytes + 1) + 1));
        FilterRows(first - rows, first, type);
        const std::size_t kept = std::min(filtered.size(), Window);
        return deflateSetDictionary(&stream, filtered.data() + filtered.size() - kept,
                                    static_cast<uInt>(kept)) == Z_OK;
    }

    void FilterRows(uint32_t first, uint32_t end, FilterType type) {
        std::fill(previous.begin(), previous.end(), 0);
        if (first > 0 && type != None && type != Sub) {
            ReadRow(first - 1, previous.data());
        }
        filtered.resize((end - first) * (rowBytes + 1));
        uint8_t* out = filtered.data();
        for (uint32_t y = first; y < end; ++y, out += rowBytes + 1) {
            ReadRow(y, current.data());
            if (type == Adaptive) {
                FilterBestOfAll(out);
            } else {
                out[0] = type == NoneOrUp ? ChooseRowFilter(current.data(), previous.data()) : type;
                Filter(static_cast<FilterType>(out[0]), current.data(), previous.data(), out + 1,
                       rowBytes, image.PixelBytes());
            }
            std::swap(current, previous);
        }
    }

    // Every filter tried on the row, the one of the smallest score kept (the first on a tie).
    void FilterBestOfAll(uint8_t* out) {
        trial.resize(rowBytes);
        chosen.resize(rowBytes);
        uint64_t least = UINT64_MAX;
        for (const FilterType type : {None, Sub, Up, Average, Paeth}) {
            Filter(type, current.data(), previous.data(), trial.data(), rowBytes,
                   image.PixelBytes());
            const uint64_t score = Score(trial.data());
            if (score < least) {
                least = score;
                out[0] = type;
                std::swap(trial, chosen);
            }
        }
        std::memcpy(out + 1, chosen.data(), rowBytes);
    }

    // libpng's rule of thumb for how well filtered bytes compress: small distances from 0 either
    // way make short codes.
    uint64_t Score(const uint8_t* bytes) const {
        uint64_t sum = 0;
        for (std::size_t i = 0; i < rowBytes; ++i) {
            sum += static_cast<uint8_t>(std::abs(static_cast<int8_t>(bytes[i])));
        }
        return sum;
    }

    // None or Up, whichever leaves the smaller bytes (as signed distances from 0): the rule of
    // thumb libpng uses, here between the two filters that do well on sheets.
    FilterType ChooseRowFilter(const uint8_t* row, const uint8_t* above) const {
        uint64_t raw = 0;
        uint64_t up = 0;
        for (std::size_t i = 0; i < rowBytes; ++i) {
            raw += static_cast<uint8_t>(std::abs(static_cast<int8_t>(row[i])));
            up += static_cast<uint8_t>(std::abs(static_cast<int8_t>(row[i] - above[i])));
        }
        return up < raw ? Up : None;
    }

    void ReadRow(uint32_t y, uint8_t* rgba) {
        const uint32_t* values = image.source(y, scratch.data());
        if (!image.palette.empty()) {
            ReadIndices(values, rgba);
            return;
        }
        for (uint32_t x = 0; x < image.width; ++x, rgba += RgbaBytes) {
            const uint32_t value = values[x];
            rgba[0] = static_cast<uint8_t>(value >> 16);
            rgba[1] = static_cast<uint8_t>(value >> 8);
            rgba[2] = static_cast<uint8_t>(value);
            rgba[3] = static_cast<uint8_t>(value >> 24);
        }
    }

    // Packs each pixel's index, the leftmost in the highest bits; a run of one colour is looked
    // up once.
    void ReadIndices(const uint32_t* values, uint8_t* out) const {
        const unsigned bits = IndexBits(image.palette.size());
        std::fill(out, out + rowBytes, 0);
        uint32_t index = 0;
        for (uint32_t x = 0; x < image.width; ++x) {
            if (x == 0 || values[x] != values[x - 1]) {
                index = static_cast<uint32_t>(std::ranges::lower_bound(image.palette, values[x]) -
                                              image.palette.begin());
            }
            const uint64_t at = uint64_t{x} * bits;
            out[at / 8] |= static_cast<uint8_t>(index << (8 - bits - at % 8));
        }
    }

    // Compresses all of `filtered` into `output`, growing it as needed, and trims it.
    bool Deflate(int flush, std::vector<uint8_t>& output) {
        constexpr std::size_t Piece = std::size_t{1} << 30;
        std::size_t fed = 0;
        std::size_t produced = 0;
        int result = Z_OK;
        do {
            if (produced == output.size()) {
                output.resize(output.size() + output.size() / 2 + 64);
            }
            const std::size_t input = std::min(filtered.size() - fed, Piece);
            stream.next_in = filtered.data() + fed;
            stream.avail_in = static_cast<uInt>(input);
            stream.next_out = output.data() + produced;
            stream.avail_out = static_cast<uInt>(std::min(output.size() - produced, Piece));
            const uInt room = stream.avail_out;
            result = deflate(&stream, fed + input == filtered.size() ? flush : Z_NO_FLUSH);
            fed += input - stream.avail_in;
            produced += room - stream.avail_out;
        } while (result == Z_OK && (fed < filtered.size() || stream.avail_out == 0));
        output.resize(produced);
        return flush == Z_FINISH ? result == Z_STREAM_END : result == Z_OK;
    }

    const UPicture_S& image;
    std::size_t rowBytes;
    std::vector<uint32_t> scratch;
    std::vector<uint8_t> current;
    std::vector<uint8_t> previous;
    std::vector<uint8_t> filtered;
    std::vector<uint8_t> trial;
    std::vector<uint8_t> chosen;
    z_stream stream{};
    int memoryLevel = 0;
};

// Rows sampled to choose how to encode: `samples` runs of `rows` rows, `spacing` rows apart.
struct USampling_S {
    uint32_t rows;
    uint32_t samples;
    uint64_t spacing;
};

USampling_S PlanSamples(const UPicture_S& picture) {
    const uint64_t rowBytes = picture.RowBytes() + 1;
    const uint64_t sampleBytes =
        std::clamp(rowBytes * picture.height / SampleShare, SampleBytesAtLeast, SampleBytesAtMost);
    const auto rows =
        static_cast<uint32_t>(std::clamp<uint64_t>(sampleBytes / rowBytes, 1, picture.height));
    // Rows wider than a sample make fewer samples, so the bytes sampled stay within budget.
    const auto budget = static_cast<uint32_t>(
        std::clamp<uint64_t>(Samples * sampleBytes / (rows * rowBytes), 1, Samples));
    const uint32_t samples = std::min(budget, picture.height / rows);
    return {rows, samples, samples > 1 ? (picture.height - rows) / (samples - 1) : 0};
}

// The candidate whose samples compress smallest, each sample a stream of its own. The samples
// are shared out among `threads`, each with an encoder of its own.
UCandidate_S Smallest(const UPicture_S& picture, const USampling_S& sampling,
                      std::span<const UCandidate_S> candidates, unsigned threads) {
    const uint32_t samples = sampling.samples;
    const std::size_t tasks = candidates.size() * samples;
    const unsigned used = static_cast<unsigned>(std::min<std::size_t>(threads, tasks));
    std::vector<std::size_t> sizes(tasks);
    RunInParallel(
        used,
        [&](std::size_t thread) {
            UStripeEncoder_C encoder(picture);
            UStripe_S stripe;
            for (std::size_t task = thread; task < tasks; task += used) {
                const auto first = static_cast<uint32_t>(sampling.spacing * (task % samples));
                encoder.Encode(first, first + sampling.rows, candidates[task / samples], false,
                               true, stripe);
                sizes[task] = stripe.output.size();
            }
        },
        used);
    UCandidate_S best = candidates[0];
    uint64_t bestSize = UINT64_MAX;
    for (std::size_t candidate = 0; candidate < candidates.size(); ++candidate) {
        const auto from = sizes.begin() + static_cast<std::ptrdiff_t>(candidate * samples);
        uint64_t size = std::accumulate(from, from + samples, uint64_t{0});
        const uint64_t margin = candidates[candidate].margin;
        size += margin > 0 ? size / margin : 0;
        if (size < bestSize) {
            best = candidates[candidate];
            bestSize = size;
        }
    }
    return best;
}

// The filters first; only where each row's own filter wins, the searches for it, so that flat
// sprites pay for one candidate more (frames 512²: the searches with the filters took 25% more
// time than before, with them only after, 6%). The filter that wins is written with the level's
// own search; `best` compares its filters with zlib 6's search instead of its own: every
// benchmark sheet kept its filter and its size, and best's time over the default's fell from
// 1.40 to 1.24 on the pixel art, 1.34 to 1.24 on the 64-pixel frames and 1.49 to 1.42 on the
// Pingus art (means of 10 runs). The default's light search chose a worse filter for the 512²
// frames (13% larger).
UCandidate_S ChooseFilter(const UPicture_S& picture, Level level, unsigned threads) {
    static constexpr UCandidate_S Quick[] = {{Up}, {None}, {NoneOrUp}, {Adaptive, Z_FILTERED}};
    static constexpr UCandidate_S QuickSearches[] = {{Adaptive, Z_FILTERED},
                                                     {Adaptive, Z_FILTERED, Search::Zlib6},
                                                     {Adaptive, Z_FILTERED, Search::Deep, 100}};
    constexpr int Plain = Z_DEFAULT_STRATEGY;
    constexpr Search Sampled = Search::Zlib6;
    static constexpr UCandidate_S All[] = {
        {Up, Plain, Sampled},    {None, Plain, Sampled},     {Sub, Plain, Sampled},
        {Paeth, Plain, Sampled}, {NoneOrUp, Plain, Sampled}, {Adaptive, Z_FILTERED, Sampled}};
    static constexpr UCandidate_S AllSearches[] = {{Adaptive, Z_FILTERED, Search::AtLevel, 100},
                                                   {Adaptive, Z_FILTERED, Search::Light},
                                                   {Adaptive, Z_FILTERED, Search::Zlib6},
                                                   {Adaptive, Z_FILTERED, Search::Deep, 100}};
    const USampling_S sampling = PlanSamples(picture);
    const bool best = level == Level::Best;
    using List = std::span<const UCandidate_S>;
    const UCandidate_S chosen =
        Smallest(picture, sampling, best ? List(All) : List(Quick), threads);
    if (chosen.filter != Adaptive || level == Level::Fast) {
        return {chosen.filter, chosen.strategy};
    }
    return Smallest(picture, sampling, best ? List(AllSearches) : List(QuickSearches), threads);
}

// Hands out stripes in order to the threads that encode them and to the one that writes them,
// keeping at most `ahead` stripes claimed but not yet written.
class UStripeQueue_C {
public:
    UStripeQueue_C(uint32_t count, uint32_t limit) : stripes(count), ready(count), ahead(limit) {}

    // The next stripe to encode; none once all are handed out or something failed. With `wait`
    // it waits for room, else it returns none when there is no room.
    std::optional<uint32_t> Claim(bool wait) {
        std::unique_lock lock(mutex);
        const auto room = [this] { return Stopped() || claimed < written + ahead; };
        if (wait) {
            changed.wait(lock, room);
        }
        if (Stopped() || !room()) {
            return std::nullopt;
        }
        return claimed++;
    }
    UStripe_S& operator[](uint32_t index) { return stripes[index]; }
    void Done(uint32_t index) {
        {
            const std::lock_guard lock(mutex);
            ready[index] = true;
        }
        changed.notify_all();
    }
    // The first failure is the one reported.
    void Fail(Result result) {
        {
            const std::lock_guard lock(mutex);
            failure = failure == Result::Written ? result : failure;
        }
        changed.notify_all();
    }
    // The next stripe to write once it is encoded; none when all are written or on failure.
    // With `wait` false it does not wait for the stripe.
    UStripe_S* NextToWrite(bool wait) {
        std::unique_lock lock(mutex);
        const auto available = [this] {
            return failure != Result::Written || written == stripes.size() || ready[written];
        };
        if (wait) {
            changed.wait(lock, available);
        }
        const bool usable = failure == Result::Written && written < stripes.size();
        return usable && ready[written] ? &stripes[written] : nullptr;
    }
    // Frees the written stripe's memory and makes room for another.
    void Written() {
        {
            const std::lock_guard lock(mutex);
            stripes[written] = UStripe_S();
            ++written;
        }
        changed.notify_all();
    }
    bool Finished() {
        const std::lock_guard lock(mutex);
        return failure != Result::Written || written == stripes.size();
    }
    Result Outcome() {
        const std::lock_guard lock(mutex);
        return failure;
    }

private:
    bool Stopped() const { return failure != Result::Written || claimed == stripes.size(); }

    std::mutex mutex;
    std::condition_variable changed;
    std::vector<UStripe_S> stripes;
    std::vector<bool> ready;
    uint32_t ahead;
    uint32_t claimed = 0;
    uint32_t written = 0;
    Result failure = Result::Written;
};

// How the picture is cut and filtered; shared by every thread, read only.
struct UPlan_S {
    const UPicture_S& picture;
    UCandidate_S way;
    uint32_t rowsPerStripe;
};

// Encodes one claimed stripe; a failure stops every thread.
void EncodeStripe(const UPlan_S& plan, UStripeEncoder_C& encoder, UStripeQueue_C& queue,
                  uint32_t index) {
    const uint32_t first = index * plan.rowsPerStripe;
    const uint32_t end = std::min(plan.picture.height - first, plan.rowsPerStripe) + first;
    if (encoder.Encode(first, end, plan.way, true, end == plan.picture.height, queue[index])) {
        queue.Done(index);
    } else {
        queue.Fail(Result::WriteFailed);
    }
}

// A helper's work: encodes stripes until none is left.
void EncodeStripes(const UPlan_S& plan, UStripeQueue_C& queue) {
    UStripeEncoder_C encoder(plan.picture);
    while (const std::optional<uint32_t> index = queue.Claim(true)) {
        EncodeStripe(plan, encoder, queue, *index);
    }
}

// The writer's work: writes every stripe that is ready and, while the next one is still being
// encoded elsewhere, encodes one itself; with no helper it encodes them all.
void WriteStripes(const UPlan_S& plan, UStripeQueue_C& queue, UChunkWriter_C& chunks,
                  uint32_t& adler) {
    UStripeEncoder_C encoder(plan.picture);
    while (!queue.Finished()) {
        if (UStripe_S* stripe = queue.NextToWrite(false)) {
            if (!chunks.Append(stripe->output.data(), stripe->output.size())) {
                queue.Fail(Result::WriteFailed);
                return;
            }
            adler = static_cast<uint32_t>(
                adler32_combine(adler, stripe->adler, static_cast<z_off_t>(stripe->length)));
            queue.Written();
        } else if (const std::optional<uint32_t> index = queue.Claim(false)) {
            EncodeStripe(plan, encoder, queue, *index);
        } else {
            queue.NextToWrite(true);
        }
    }
}

Result WriteData(const UPicture_S& picture, Level level, unsigned threads, std::FILE* file) {
    const UPlan_S plan{picture, ChooseFilter(picture, level, threads),
                       static_cast<uint32_t>(std::clamp<uint64_t>(
                           StripeBytes / (picture.RowBytes() + 1), 1, picture.height))};
    const uint32_t count = (picture.height - 1) / plan.rowsPerStripe + 1;
    threads = std::clamp(threads, 1u, count);
    UStripeQueue_C queue(count, 2 * threads);
    UChunkWriter_C chunks(file, picture.settings.zlibFlags);
    uint32_t adler = 1;
    // One task writes, the others encode. A failure stops them all, since a helper waiting for
    // room would otherwise wait for a writer that is gone.
    RunInParallel(
        threads,
        [&](std::size_t task) {
            try {
                task == 0 ? WriteStripes(plan, queue, chunks, adler) : EncodeStripes(plan, queue);
            } catch (const std::bad_alloc&) {
                queue.Fail(Result::NoMemory);
            }
        },
        threads);
    const Result outcome = queue.Outcome();
    if (outcome != Result::Written) {
        return outcome;
    }
    return chunks.Finish(adler) ? Result::Written : Result::WriteFailed;
}

}  // namespace

UPngEncoder_C::UPngEncoder_C(uint32_t columns, uint32_t rows, RowSource rowSource, Level chosen)
    : width(columns), height(rows), source(std::move(rowSource)), level(chosen) {}

UPngEncoder_C::Result UPngEncoder_C::Write(std::FILE* file, unsigned threads) const {
    constexpr uint32_t Limit = 0x7FFFFFFF;
    if (!file || width == 0 || height == 0 || width > Limit || height > Limit || !source) {
        return Result::WriteFailed;
    }
    if (threads == 0) {
        threads = GetWorkerThreads();
    }
    try {
        const UPicture_S picture{width, height, source,
                                 palette.empty() ? SettingsFor(level) : PaletteSettingsFor(level),
                                 palette};
        if (!WriteHeader(file)) {
            return Result::WriteFailed;
        }
        const Result written = WriteData(picture, level, threads, file);
        if (written != Result::Written) {
            return written;
        }
        static constexpr uint8_t End[] = {0};
        return WriteChunk(file, "IEND", End, 0) ? Result::Written : Result::WriteFailed;
    } catch (const std::bad_alloc&) {
        return Result::NoMemory;
    }
}

uint64_t UPngEncoder_C::GetMemory(uint32_t width, unsigned threads) {
    // zlib's state at window bits 15 and memory level 9: 384 KiB and a little.
    constexpr uint64_t DeflateState = uint64_t{1} << 19;
    const uint64_t row = uint64_t{width} * RgbaBytes + 1;
    const uint64_t stripe = std::max(StripeBytes, row);
    // Each thread's three rows, its filtered stripe and the stripe deflated (larger than its
    // input at worst), and two more deflated stripes a thread waiting to be written.
    return std::max(threads, 1u) * (3 * row + 5 * stripe + DeflateState);
}

bool UPngEncoder_C::WriteHeader(std::FILE* file) const {
    // Width, height, 8 bits per channel, RGBA or palette, deflate, adaptive filtering, no
    // interlace.
    std::array<uint8_t, 13> header = {0, 0, 0, 0, 0, 0, 0, 0, 8, 6, 0, 0, 0};
    ByteOrder::PutBigEndian32(width, header.data());
    ByteOrder::PutBigEndian32(height, header.data() + 4);
    header[8] = palette.empty() ? 8 : static_cast<uint8_t>(IndexBits(palette.size()));
    header[9] = palette.empty() ? 6 : 3;
    // The mark that tells Tavrin's sheets from pictures, before the image data, where a reader
    // looking for it stops.
    const std::string software = SheetFile::SoftwareText();
    return WriteBytes(file, ByteOrder::PngSignature, sizeof ByteOrder::PngSignature) &&
           WriteChunk(file, "IHDR", header.data(), header.size()) && WritePalette(file) &&
           WriteChunk(file, "tEXt", reinterpret_cast<const uint8_t*>(software.data()),
                      software.size());
}

bool UPngEncoder_C::WritePalette(std::FILE* file) const {
    std::vector<uint8_t> colours;
    std::vector<uint8_t> alphas;
    for (const uint32_t value : palette) {
        colours.insert(colours.end(),
                       {static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 8),
                        static_cast<uint8_t>(value)});
        alphas.push_back(static_cast<uint8_t>(value >> 24));
    }
    // Entries past the last one that is not opaque need no alpha of their own.
    while (!alphas.empty() && alphas.back() == 0xFF) {
        alphas.pop_back();
    }
    return palette.empty() ||
           (WriteChunk(file, "PLTE", colours.data(), colours.size()) &&
            (alphas.empty() || WriteChunk(file, "tRNS", alphas.data(), alphas.size())));
}

std::vector<uint32_t> UPngEncoder_C::FindPalette(uint32_t width, uint32_t height,
                                                 const RowSource& source) {
    std::vector<uint32_t> colours;
    std::vector<uint32_t> scratch(width);
    for (uint32_t y = 0; y < height; ++y) {
        const uint32_t* row = source(y, scratch.data());
        for (uint32_t x = 0; x < width; ++x) {
            // Runs of one colour are the common case in the pictures that fit a palette.
            if (x > 0 && row[x] == row[x - 1]) {
                continue;
            }
            const auto at = std::ranges::lower_bound(colours, row[x]);
            if (at == colours.end() || *at != row[x]) {
                if (colours.size() == PaletteSize) {
                    return {};
                }
                colours.insert(at, row[x]);
            }
        }
    }
    return colours;
}

void UPngEncoder_C::SetPalette(std::vector<uint32_t> colours) {
    palette = std::move(colours);
}

bool UPngEncoder_C::UsePalette() {
    SetPalette(FindPalette(width, height, source));
    return !palette.empty();
}
