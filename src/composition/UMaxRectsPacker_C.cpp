#include "composition/UMaxRectsPacker_C.h"

#include "composition/USheetLimits_C.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <numeric>
#include <span>

namespace NS_Data {

namespace {

constexpr int32_t OrderCount = 5;

// Descending keys of the five orders; ties keep the input order.
int64_t OrderKey(int32_t order, int32_t w, int32_t h) {
    switch (order) {
        case 0:
            return int64_t{w} * h;
        case 1:
            return int64_t{std::max(w, h)} << 32 | std::min(w, h);
        case 2:
            return int64_t{w} + h;
        case 3:
            return int64_t{h} << 32 | w;
        default:
            return int64_t{w} << 32 | h;
    }
}

// How many boxes a search may place in all its fills: every way fills at least one bin, and sets
// small enough to cost little get more widths and tighter heights. See SearchFree for why it is
// this low.
constexpr int64_t WorkBudget = 30'000;

// Sheet widths over the square root of the boxes' area. Every way fills the first few shapes
// (as many as the budget allows, square first); the long shapes, 2:1 and 1:2 and those between,
// are each filled by bottom-left, and every way fills the best of them.
constexpr std::array<double, 9> ShapeFactors = {1.0, 1.1, 0.91, 1.25, 0.8, 1.5, 0.67, 2.0, 0.5};
constexpr std::array<double, 6> LongFactors = {1.41, 0.71, 1.25, 0.8, 1.5, 0.67};

}  // namespace

UMaxRectsPacker_C::UMaxRectsPacker_C(const USheetOptions_S& sheetOptions,
                                     const UPackingOptions_S& packingOptions, unsigned threadCount)
    : spacing(sheetOptions), packing(packingOptions), threads(std::max(1u, threadCount)) {
    maxSheet = static_cast<int32_t>(USheetLimits_C::GetLargestPackedSide(spacing));
    maxBin = maxSheet - 2 * spacing.border + spacing.padding;
}

UPackResult_S UMaxRectsPacker_C::Pack(const std::vector<USize_C>& sizes) const {
    UPackResult_S result = PackSheets(sizes);
    // One sheet is searched with and without rotation already; further sheets are filled one
    // after another, and turning frames can leave a larger set for the later ones (953 game
    // pictures on sheets of 2048: 16,445,440 pixels turned, 16,421,796 not).
    if (packing.rotate && result.sheets.size() > 1) {
        UPackingOptions_S still = packing;
        still.rotate = false;
        UPackResult_S other = UMaxRectsPacker_C(spacing, still, threads).PackSheets(sizes);
        if (TotalArea(other) < TotalArea(result)) {
            result = std::move(other);
        }
    }
    return result;
}

int64_t UMaxRectsPacker_C::TotalArea(const UPackResult_S& result) {
    int64_t area = 0;
    for (const USize_C& sheet : result.sheets) {
        area += int64_t{sheet.GetWidth()} * sheet.GetHeight();
    }
    return area;
}

UPackResult_S UMaxRectsPacker_C::PackSheets(const std::vector<USize_C>& sizes) const {
    UPackResult_S result;
    result.places.resize(sizes.size());
    std::vector<int32_t> remaining(sizes.size());
    std::iota(remaining.begin(), remaining.end(), 0);
    const UItems_S all = MakeItems(sizes, remaining);
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        if (!FitsAlone(all.width[i], all.height[i])) {
            return {false, {}, {}};
        }
    }
    while (!remaining.empty()) {
        const UItems_S items = MakeItems(sizes, remaining);
        UAttempt_S attempt = Search(items);
        if (!attempt.fits) {
            if (!packing.multipack) {
                return {false, {}, {}};
            }
            attempt = FillMost(items);
        }
        Record(items, attempt, result);
        std::vector<int32_t> left;
        for (std::size_t i = 0; i < items.source.size(); ++i) {
            if (attempt.spots[i].x < 0) {
                left.push_back(items.source[i]);
            }
        }
        remaining = std::move(left);
    }
    return result;
}

UMaxRectsPacker_C::UItems_S UMaxRectsPacker_C::MakeItems(const std::vector<USize_C>& sizes,
                                                         const std::vector<int32_t>& chosen) const {
    UItems_S items;
    const int32_t grow = 2 * spacing.extrude + spacing.padding;
    for (const int32_t index : chosen) {
        const USize_C& size = sizes[std::size_t(index)];
        items.source.push_back(index);
        items.width.push_back(size.GetWidth() + grow);
        items.height.push_back(size.GetHeight() + grow);
        items.area += int64_t{items.width.back()} * items.height.back();
    }
    return items;
}

std::vector<UMaxRectsPacker_C::UOrder_S> UMaxRectsPacker_C::MakeOrders(const UItems_S& items,
                                                                       bool rotate) const {
    std::vector<UOrder_S> orders(OrderCount);
    const std::size_t count = items.width.size();
    for (int32_t o = 0; o < OrderCount; ++o) {
        UOrder_S& order = orders[std::size_t(o)];
        std::vector<std::pair<int64_t, int32_t>> keyed(count);
        for (std::size_t i = 0; i < count; ++i) {
            keyed[i] = {-OrderKey(o, items.width[i], items.height[i]), int32_t(i)};
        }
        std::sort(keyed.begin(), keyed.end());
        order.item.resize(count);
        order.smallWidth.assign(count + 1, INT32_MAX);
        order.smallHeight.assign(count + 1, INT32_MAX);
        for (std::size_t k = count; k-- > 0;) {
            const auto i = std::size_t(keyed[k].second);
            order.item[k] = keyed[k].second;
            int32_t w = items.width[i];
            int32_t h = items.height[i];
            if (rotate) {
                w = h = std::min(w, h);
            }
            order.smallWidth[k] = std::min(order.smallWidth[k + 1], w);
            order.smallHeight[k] = std::min(order.smallHeight[k + 1], h);
        }
    }
    return orders;
}

std::vector<UMaxRectsPacker_C::UWay_S> UMaxRectsPacker_C::MakeWays(
    const std::vector<UOrder_S>& orders, bool rotate) {
    std::vector<UWay_S> ways;
    for (const UOrder_S& order : orders) {
        for (int32_t rule = 0; rule < UMaxRectsBin_C::RuleCount; ++rule) {
            ways.push_back({UMaxRectsBin_C::URule_E(rule), &order, rotate});
        }
    }
    return ways;
}

UMaxRectsPacker_C::UAttempt_S UMaxRectsPacker_C::Fill(const UItems_S& items, const UWay_S& way,
                                                      int32_t binWidth, int32_t binHeight,
                                                      bool skipMisfits) const {
    UAttempt_S attempt;
    attempt.binWidth = binWidth;
    attempt.spots.resize(items.width.size());
    UMaxRectsBin_C bin(binWidth, binHeight, way.rule, way.rotate);
    const UOrder_S& order = *way.order;
    for (std::size_t k = 0; k < order.item.size(); ++k) {
        const auto i = std::size_t(order.item[k]);
        bin.SetSmallest(order.smallWidth[k + 1], order.smallHeight[k + 1]);
        UMaxRectsBin_C::UBox_S box;
        bool turned = false;
        if (!bin.Insert(items.width[i], items.height[i], box, turned)) {
            if (!skipMisfits) {
                return attempt;
            }
            continue;
        }
        attempt.spots[i] = {box.x, box.y, turned};
        attempt.placedArea += int64_t{items.width[i]} * items.height[i];
    }
    attempt.fits = true;
    attempt.usedWidth = bin.GetUsedWidth();
    attempt.usedHeight = bin.GetUsedHeight();
    Finish(attempt);
    return attempt;
}

void UMaxRectsPacker_C::Finish(UAttempt_S& attempt) const {
    attempt.sheetWidth = SheetSide(attempt.usedWidth);
    attempt.sheetHeight = SheetSide(attempt.usedHeight);
    attempt.fits = attempt.sheetWidth <= maxSheet && attempt.sheetHeight <= maxSheet;
}

int32_t UMaxRectsPacker_C::SheetSide(int32_t used) const {
    const int32_t side = used - spacing.padding + 2 * spacing.border;
    if (!spacing.powerOfTwo) {
        return side;
    }
    return static_cast<int32_t>(std::bit_ceil(static_cast<uint32_t>(std::max(side, 1))));
}

bool UMaxRectsPacker_C::FitsAlone(int32_t width, int32_t height) const {
    return width <= maxBin && height <= maxBin;
}

int64_t UMaxRectsPacker_C::SheetArea(const UAttempt_S& attempt, bool square) {
    if (square) {
        const int64_t side = std::max(attempt.sheetWidth, attempt.sheetHeight);
        return side * side;
    }
    return int64_t{attempt.sheetWidth} * attempt.sheetHeight;
}

bool UMaxRectsPacker_C::IsBetter(const UAttempt_S& a, const UAttempt_S& b, bool square) {
    if (a.fits != b.fits) {
        return a.fits;
    }
    const int64_t areaA = SheetArea(a, square);
    const int64_t areaB = SheetArea(b, square);
    if (areaA != areaB || square) {
        return areaA < areaB;
    }
    return std::abs(a.sheetWidth - a.sheetHeight) < std::abs(b.sheetWidth - b.sheetHeight);
}

// With rotation allowed the sheet is searched with and without it, so that turning frames never
// makes a sheet larger than leaving them.
UMaxRectsPacker_C::UAttempt_S UMaxRectsPacker_C::Search(const UItems_S& items) const {
    UAttempt_S best;
    for (const bool rotate : {false, true}) {
        if (rotate && !packing.rotate) {
            break;
        }
        const std::vector<UOrder_S> orders = MakeOrders(items, rotate);
        const std::vector<UWay_S> ways = MakeWays(orders, rotate);
        UAttempt_S attempt =
            spacing.powerOfTwo ? SearchPowersOfTwo(items, ways) : SearchFree(items, ways);
        if (IsBetter(attempt, best, packing.square)) {
            best = std::move(attempt);
        }
    }
    return best;
}

// Sheet sizes come in few steps when both sides are powers of two, so each is tried in order of
// area, squarer first, every way at once, until one holds the set.
UMaxRectsPacker_C::UAttempt_S UMaxRectsPacker_C::SearchPowersOfTwo(
    const UItems_S& items, const std::vector<UWay_S>& ways) const {
    std::vector<std::pair<int32_t, int32_t>> sizes;
    for (int32_t w = 1; w <= maxSheet; w *= 2) {
        for (int32_t h = 1; h <= maxSheet; h *= 2) {
            if (!packing.square || w == h) {
                sizes.emplace_back(w, h);
            }
        }
    }
    std::sort(sizes.begin(), sizes.end(), [](const auto& a, const auto& b) {
        const int64_t areaA = int64_t{a.first} * a.second;
        const int64_t areaB = int64_t{b.first} * b.second;
        if (areaA != areaB) {
            return areaA < areaB;
        }
        return std::abs(a.first - a.second) < std::abs(b.first - b.second) ||
               (std::abs(a.first - a.second) == std::abs(b.first - b.second) && a.first > b.first);
    });
    for (const auto& [w, h] : sizes) {
        const int32_t binWidth = w - 2 * spacing.border + spacing.padding;
        const int32_t binHeight = h - 2 * spacing.border + spacing.padding;
        if (binWidth <= 0 || binHeight <= 0 || int64_t{binWidth} * binHeight < items.area) {
            continue;
        }
        std::vector<UAttempt_S> attempts(ways.size());
        RunInParallel(
            ways.size(),
            [&](std::size_t i) { attempts[i] = Fill(items, ways[i], binWidth, binHeight, false); },
            threads);
        UAttempt_S best = TakeBest(attempts, packing.square);
        if (best.fits) {
            return best;
        }
    }
    return {};
}

std::vector<int32_t> UMaxRectsPacker_C::CandidateWidths(const UItems_S& items, bool rotate,
                                                        std::span<const double> factors) const {
    int32_t narrowest = 1;
    for (std::size_t i = 0; i < items.width.size(); ++i) {
        narrowest = std::max(narrowest,
                             rotate ? std::min(items.width[i], items.height[i]) : items.width[i]);
    }
    const double side = std::sqrt(double(items.area));
    std::vector<int32_t> widths;
    for (const double factor : factors) {
        const auto width = std::clamp(int32_t(std::ceil(side * factor)), narrowest, maxBin);
        if (std::find(widths.begin(), widths.end(), width) == widths.end()) {
            widths.push_back(width);
        }
    }
    return widths;
}

// Free sizes are searched in three steps. Bottom-left, the one rule that never looks at the
// bin's bottom, first fills a bin of each width with room for any height, which gives a height
// that surely holds the set at that width. Then every way fills a bin of each width and its
// height: the first few shapes, as many as the budget allows, and the long shape whose open fill
// made the smallest sheet. Then the best few of each pass are tightened: the height is bisected
// towards the area's bound while a bin of it holds the set. The other rules need a bottom: left
// open, short-side fit made 10,000 mixed boxes 26% taller than bottom-left did, and contact
// point piled them on the bin's far bottom.
//
// Three passes rank the fills: as free sheets, as square sheets (exactly the search --square
// makes, so a free sheet is never larger than the square one), and the long shape's. Large sets
// had room for two widths near square only: 500 trimmed unit sprites got 1157 x 997 where the
// square search found 1069 x 1069, 0.9% smaller, and Pingus's 513 ground pieces, turned, get
// 3359 x 1722 where they got 2383 x 2431 (0.15% smaller).
//
// The fills allowed shrink with the set (WorkBudget boxes in all), because more search buys
// little. Trimmed game art, rotation off (pack_bench; 2 threads on a shared 2-core machine):
//   budget (boxes)      30,000               120,000              300,000 and 3,000,000
//   477 mixed sprites   9,077,685 px 0.12 s  9,072,234 px 0.43 s  9,072,234 px 0.58 s
//   953 (a whole game)  16,446,480 px 0.15 s 16,418,842 px 0.71 s 16,418,842 px 1.55 s
// that is 0.06-0.17% of area for four to ten times the time, while the whole run is to stay
// within a fiftieth of another packer's (7.7 s and 15 s on these sets). With 10,000 mixed boxes
// the budget leaves the floor: seven open fills, the 25 ways at the square width and at the long
// one, one bisection step for each pass; 3.5 s of one core at load 5, where one width and one
// pass took 1.8 s (9.3 s and 3.9 s with rotation, searched with and without it). On sets of
// 500-950 sprites the long shape and the square pass cost 1.4-2.2 times the placement time.
UMaxRectsPacker_C::UAttempt_S UMaxRectsPacker_C::SearchFree(const UItems_S& items,
                                                            const std::vector<UWay_S>& ways) const {
    const int64_t count = std::max<int64_t>(1, int64_t(items.width.size()));
    const auto wayCount = int64_t(ways.size());
    const int64_t fills = std::max<int64_t>(wayCount + 1, WorkBudget / count);
    std::vector<int32_t> widths = CandidateWidths(items, ways[0].rotate, ShapeFactors);
    const auto full =
        std::clamp<std::size_t>(std::size_t(fills / (wayCount + 1)), 1, widths.size());
    const int64_t spare = std::max<int64_t>(0, fills - int64_t(full) * (wayCount + 1));
    widths.resize(full);
    std::vector<std::size_t> first(full);
    std::iota(first.begin(), first.end(), 0);
    std::vector<UPass_S> passes = {{first, true}};
    if (!packing.square) {
        for (const int32_t width : CandidateWidths(items, ways[0].rotate, LongFactors)) {
            if (std::find(widths.begin(), widths.end(), width) == widths.end()) {
                widths.push_back(width);
            }
        }
        passes.insert(passes.begin(), {first, false});
    }
    const std::vector<UAttempt_S> open = FillOpen(items, ways, widths);
    if (open.size() > full) {
        passes.push_back({{full + BestIndex(open, full)}, false});
    }
    const std::vector<UAttempt_S> attempts = FillChosen(items, ways, open, passes);
    UAttempt_S best;
    for (const UPass_S& pass : passes) {
        UAttempt_S attempt = SearchShape(items, ways, attempts, pass, spare);
        if (IsBetter(attempt, best, packing.square)) {
            best = std::move(attempt);
        }
    }
    return best.fits ? best : FillLargest(items, ways);
}

// Bottom-left in a bin open below, one fill for each width.
std::vector<UMaxRectsPacker_C::UAttempt_S> UMaxRectsPacker_C::FillOpen(
    const UItems_S& items, const std::vector<UWay_S>& ways,
    const std::vector<int32_t>& widths) const {
    const UWay_S& bottomLeft = ways[UMaxRectsBin_C::BottomLeft];
    std::vector<UAttempt_S> open(widths.size());
    RunInParallel(
        widths.size(),
        [&](std::size_t i) { open[i] = Fill(items, bottomLeft, widths[i], maxBin, false); },
        threads);
    return open;
}

// Of the free sheets `attempts` made from `from` on, the offset of the smallest.
std::size_t UMaxRectsPacker_C::BestIndex(const std::vector<UAttempt_S>& attempts,
                                         std::size_t from) {
    std::size_t best = from;
    for (std::size_t i = from + 1; i < attempts.size(); ++i) {
        if (IsBetter(attempts[i], attempts[best], false)) {
            best = i;
        }
    }
    return best - from;
}

// Every way fills a bin of each width a pass takes, of the height its open fill used. Attempts
// are by way, then width, as in `open`; widths no pass takes stay unfilled.
std::vector<UMaxRectsPacker_C::UAttempt_S> UMaxRectsPacker_C::FillChosen(
    const UItems_S& items, const std::vector<UWay_S>& ways, const std::vector<UAttempt_S>& open,
    const std::vector<UPass_S>& passes) const {
    std::vector<std::size_t> used;
    for (const UPass_S& pass : passes) {
        for (const std::size_t w : pass.widths) {
            if (std::find(used.begin(), used.end(), w) == used.end()) {
                used.push_back(w);
            }
        }
    }
    std::vector<UAttempt_S> attempts(ways.size() * open.size());
    RunInParallel(
        ways.size() * used.size(),
        [&](std::size_t i) {
            const std::size_t way = i / used.size();
            const UAttempt_S& bound = open[used[i % used.size()]];
            UAttempt_S& attempt = attempts[way * open.size() + used[i % used.size()]];
            if (bound.fits) {
                attempt = Fill(items, ways[way], bound.binWidth, bound.usedHeight, false);
                attempt.way = int32_t(way);
            }
        },
        threads);
    return attempts;
}

// Ranks the attempts at the pass's widths and tightens the best few (their side, for a square
// pass); `spare` fills are left for that.
UMaxRectsPacker_C::UAttempt_S UMaxRectsPacker_C::SearchShape(
    const UItems_S& items, const std::vector<UWay_S>& ways, const std::vector<UAttempt_S>& attempts,
    const UPass_S& pass, int64_t spare) const {
    const bool square = pass.square;
    const std::size_t widthCount = attempts.size() / ways.size();
    std::vector<std::size_t> ranked;
    for (std::size_t way = 0; way < ways.size(); ++way) {
        for (const std::size_t w : pass.widths) {
            ranked.push_back(way * widthCount + w);
        }
    }
    std::stable_sort(ranked.begin(), ranked.end(), [&](std::size_t a, std::size_t b) {
        return IsBetter(attempts[a], attempts[b], square);
    });
    if (!attempts[ranked[0]].fits) {
        return {};
    }
    const std::size_t tightened =
        std::clamp<std::size_t>(std::size_t(spare / 6), 1, std::min<std::size_t>(6, ranked.size()));
    const auto steps = int32_t(std::clamp<int64_t>(spare / int64_t(tightened), 1, 12));
    std::vector<UAttempt_S> tight(tightened + 1);
    RunInParallel(
        tightened,
        [&](std::size_t i) {
            const UAttempt_S& start = attempts[ranked[i]];
            tight[i + 1] = Tighten(items, ways[std::size_t(start.way)], start, steps, square);
        },
        threads);
    tight[0] = attempts[ranked[0]];
    return TakeBest(tight, square);
}

// The best of `attempts`, the earliest among equals.
UMaxRectsPacker_C::UAttempt_S UMaxRectsPacker_C::TakeBest(std::vector<UAttempt_S>& attempts,
                                                          bool square) {
    std::size_t best = 0;
    for (std::size_t i = 1; i < attempts.size(); ++i) {
        if (IsBetter(attempts[i], attempts[best], square)) {
            best = i;
        }
    }
    return std::move(attempts[best]);
}

// Bisects the bin's height (its side when square) between the area's bound and the height that
// `start` used; a bin that holds the set lowers the top to the height it really used.
UMaxRectsPacker_C::UAttempt_S UMaxRectsPacker_C::Tighten(const UItems_S& items, const UWay_S& way,
                                                         const UAttempt_S& start, int32_t steps,
                                                         bool square) const {
    UAttempt_S best = start;
    const int32_t width = start.binWidth;
    int32_t low = int32_t(std::min<int64_t>(maxBin, (items.area + width - 1) / width));
    int32_t high = start.usedHeight - 1;
    if (square) {
        low = int32_t(std::ceil(std::sqrt(double(items.area))));
        high = std::max(start.usedWidth, start.usedHeight) - 1;
    }
    for (int32_t step = 0; step < steps && low <= high; ++step) {
        const int32_t middle = low + (high - low) / 2;
        UAttempt_S attempt = Fill(items, way, square ? middle : width, middle, false);
        attempt.way = start.way;
        if (!attempt.fits) {
            low = middle + 1;
            continue;
        }
        high = (square ? std::max(attempt.usedWidth, attempt.usedHeight) : attempt.usedHeight) - 1;
        if (IsBetter(attempt, best, square)) {
            best = std::move(attempt);
        }
    }
    return best;
}

// A sheet of the largest side filled with as much as every way can put there, so that the first
// sheets hold the most; the sheet is cut to what it holds.
UMaxRectsPacker_C::UAttempt_S UMaxRectsPacker_C::FillMost(const UItems_S& items) const {
    const std::vector<UOrder_S> orders = MakeOrders(items, packing.rotate);
    const std::vector<UWay_S> ways = MakeWays(orders, packing.rotate);
    std::vector<UAttempt_S> attempts(ways.size());
    RunInParallel(
        ways.size(),
        [&](std::size_t i) { attempts[i] = Fill(items, ways[i], maxBin, maxBin, true); }, threads);
    std::size_t most = 0;
    for (std::size_t i = 1; i < attempts.size(); ++i) {
        if (attempts[i].placedArea > attempts[most].placedArea) {
            most = i;
        }
    }
    return attempts[most];
}

// The last resort before a set is found not to fit: every way on the largest bin.
UMaxRectsPacker_C::UAttempt_S UMaxRectsPacker_C::FillLargest(
    const UItems_S& items, const std::vector<UWay_S>& ways) const {
    std::vector<UAttempt_S> attempts(ways.size());
    RunInParallel(
        ways.size(),
        [&](std::size_t i) { attempts[i] = Fill(items, ways[i], maxBin, maxBin, false); }, threads);
    return TakeBest(attempts, packing.square);
}

void UMaxRectsPacker_C::Record(const UItems_S& items, const UAttempt_S& attempt,
                               UPackResult_S& result) const {
    const auto sheet = int32_t(result.sheets.size());
    if (packing.square) {
        const int32_t side = std::max(attempt.sheetWidth, attempt.sheetHeight);
        result.sheets.emplace_back(side, side);
    } else {
        result.sheets.emplace_back(attempt.sheetWidth, attempt.sheetHeight);
    }
    const int32_t margin = spacing.border + spacing.extrude;
    for (std::size_t i = 0; i < items.source.size(); ++i) {
        const USpot_S& spot = attempt.spots[i];
        if (spot.x >= 0) {
            result.places[std::size_t(items.source[i])] = {sheet, spot.x + margin, spot.y + margin,
                                                           spot.turned};
        }
    }
}

}  // namespace NS_Data
