#include "imaging/BmpRuns.h"

#include <algorithm>

namespace BmpRuns {
namespace {

// The write position, and the gaps left as it jumps.
class UCursor_C {
public:
    UCursor_C(int64_t pictureWidth, int64_t pictureHeight, const UGap_F& gap)
        : width(pictureWidth), height(pictureHeight), onGap(gap) {}

    bool Covered() const { return y >= height || (y == height - 1 && x >= width); }
    void Write(int64_t count) { x += count; }
    // Moves to (`toX`, `toY`), leaving out every pixel in between. Without a receiver of gaps
    // the rows are jumped at once: a header may declare billions of them.
    void Skip(int64_t toX, int64_t toY) {
        if (!onGap && toY > y) {
            y = std::min(toY, height);
            x = 0;
        }
        for (; y < toY && y < height; ++y, x = 0) {
            Report(x, width);
        }
        if (y < height && toX > x) {
            Report(x, toX);
        }
        x = std::max(x, toX);
    }
    void SkipRow() { Skip(0, y + 1); }
    void SkipRest() { Skip(0, height); }
    int64_t X() const { return x; }
    int64_t Y() const { return y; }

private:
    void Report(int64_t from, int64_t to) const {
        if (onGap && std::min(to, width) > from) {
            onGap(y, from, std::min(to, width));
        }
    }

    int64_t width;
    int64_t height;
    const UGap_F& onGap;
    int64_t x = 0;
    int64_t y = 0;
};

bool Has(std::span<const unsigned char> file, std::size_t at, std::size_t count) {
    return at <= file.size() && count <= file.size() - at;
}

}  // namespace

bool Walk(std::span<const unsigned char> file, std::size_t at, int64_t width, int64_t height,
          bool fourBit, const UGap_F& onGap) {
    UCursor_C cursor(width, height, onGap);
    while (cursor.Y() < height) {
        if (!Has(file, at, 2)) {
            const bool early = !cursor.Covered();
            cursor.SkipRest();
            return early;
        }
        const unsigned count = file[at];
        const unsigned code = file[at + 1];
        at += 2;
        if (count > 0) {
            cursor.Write(count);
        } else if (code == 0) {
            cursor.SkipRow();
        } else if (code == 1) {
            break;
        } else if (code == 2) {
            if (!Has(file, at, 2)) {
                cursor.SkipRest();
                return true;
            }
            cursor.Skip(cursor.X() + file[at], cursor.Y() + file[at + 1]);
            at += 2;
        } else {
            const std::size_t literal = fourBit ? (code + 1) / 2 : code;
            if (!Has(file, at, literal)) {
                cursor.SkipRest();
                return true;
            }
            at += literal + (literal & 1);
            cursor.Write(code);
        }
    }
    cursor.SkipRest();
    return false;
}

}  // namespace BmpRuns
