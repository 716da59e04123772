#pragma once

#include <cstdint>
#include <vector>

namespace NS_Data {

// One bin filled by MaxRects: the free space is kept as every maximal free rectangle (they may
// overlap), each box goes into the free rectangle its rule scores best, and the free rectangles
// it cuts are split and those contained in others dropped. Coordinates are the bin's own, right
// and bottom exclusive.
class UMaxRectsBin_C {
public:
    enum URule_E : int32_t { ShortSide, LongSide, BestArea, BottomLeft, ContactPoint };
    static constexpr int32_t RuleCount = 5;

    struct UBox_S {
        int32_t x = 0;
        int32_t y = 0;
        int32_t r = 0;
        int32_t b = 0;
    };

    UMaxRectsBin_C(int32_t width, int32_t height, URule_E rule, bool rotate);

    // Free space narrower than `width` or lower than `height` is dropped, as no later box could
    // use it; both only grow between calls.
    void SetSmallest(int32_t width, int32_t height);
    // Places a `width` x `height` box, turned when that scores better and rotation is on;
    // false when no free rectangle holds it either way.
    bool Insert(int32_t width, int32_t height, UBox_S& placed, bool& turned);

    int32_t GetUsedWidth() const { return usedRight; }
    int32_t GetUsedHeight() const { return usedBottom; }

private:
    struct UScore_S {
        int64_t primary = INT64_MAX;
        int64_t secondary = INT64_MAX;
        bool operator<(const UScore_S& o) const {
            return primary < o.primary || (primary == o.primary && secondary < o.secondary);
        }
    };

    struct UChoice_S {
        UScore_S score;
        std::size_t target = SIZE_MAX;
        bool turned = false;
    };

    template <URule_E Rule>
    void Choose(int32_t width, int32_t height, UChoice_S& choice) const;
    template <URule_E Rule>
    UScore_S Score(const UBox_S& space, int32_t width, int32_t height, const UScore_S& best) const;
    int64_t Contact(const UBox_S& space, const UBox_S& box, int64_t least) const;
    int64_t Along(int32_t x0, int32_t x1, int32_t y0, int32_t y1, const UBox_S& box) const;
    void Split(const UBox_S& box);
    void Mark(const UBox_S& box);
    void Cut(const UBox_S& space, const UBox_S& box);
    void Add(const UBox_S& space);
    void Compact();
    bool IsCovered(const UBox_S& piece, std::size_t index) const;
    void Remember(const UBox_S& box);

    int32_t width;
    int32_t height;
    URule_E rule;
    bool rotate;
    int32_t smallestWidth = 1;
    int32_t smallestHeight = 1;
    int32_t usedRight = 0;
    int32_t usedBottom = 0;
    // The free rectangles, a list per side so that the passes over them stay simple loops. A
    // rectangle split away is only marked dead (right edge -1, which nothing fits or meets) and
    // the lists are compacted when a quarter is dead, so an insertion rewrites no list.
    std::vector<int32_t> freeX;
    std::vector<int32_t> freeY;
    std::vector<int32_t> freeR;
    std::vector<int32_t> freeB;
    std::size_t dead = 0;
    // Per free rectangle: 1 when the placed box overlaps it, 2 when it shares an edge line.
    std::vector<uint8_t> marks;
    // Per free rectangle: 1 when it holds the box being placed.
    mutable std::vector<uint8_t> holds;
    std::vector<UBox_S> fresh;
    std::vector<UBox_S> touching;
    // Placed boxes by grid cell, for the contact rule only.
    std::vector<UBox_S> boxes;
    std::vector<std::vector<int32_t>> cells;
    mutable std::vector<uint32_t> seen;
    mutable uint32_t query = 0;
    int32_t cellSide = 1;
    int32_t gridColumns = 0;
    int32_t gridRows = 0;
};

}  // namespace NS_Data
