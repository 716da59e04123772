#include "composition/PackPlanner.h"

#include <algorithm>
#include <string>
#include <unordered_map>

#include "composition/UMaxRectsPacker_C.h"
#include "composition/USheetLimits_C.h"
#include "foundation/RunInParallel.h"
#include "foundation/ShownText.h"

namespace NS_Data {
namespace {

std::vector<URect_C> KeptAreas(const std::vector<const Picture_S*>& pictures, UTrim_E trim) {
    std::vector<URect_C> kept;
    kept.reserve(pictures.size());
    for (const Picture_S* picture : pictures) {
        kept.push_back(USheetPlan_C::KeptArea(*picture, trim));
    }
    return kept;
}

// The kept pixels' value, row by row; equal pictures hash equal.
uint64_t HashKept(const UPixels_C& pixels, const URect_C& kept) {
    const auto stride = static_cast<std::size_t>(pixels.GetSize().GetWidth());
    uint64_t hash = 1469598103934665603ull ^ (uint64_t(kept.GetWidth()) << 32 | kept.GetHeight());
    for (int32_t y = kept.top; y <= kept.bottom; ++y) {
        const uint32_t* row = pixels.GetData() + std::size_t(y) * stride + std::size_t(kept.left);
        for (int32_t x = 0; x < kept.GetWidth(); ++x) {
            hash = (hash ^ row[x]) * 1099511628211ull;
        }
    }
    return hash;
}

bool SameKept(const UPixels_C& a, const URect_C& keptA, const UPixels_C& b, const URect_C& keptB) {
    if (keptA.GetWidth() != keptB.GetWidth() || keptA.GetHeight() != keptB.GetHeight()) {
        return false;
    }
    const auto strideA = static_cast<std::size_t>(a.GetSize().GetWidth());
    const auto strideB = static_cast<std::size_t>(b.GetSize().GetWidth());
    for (int32_t y = 0; y < keptA.GetHeight(); ++y) {
        const uint32_t* rowA = a.GetData() + std::size_t(keptA.top + y) * strideA + keptA.left;
        const uint32_t* rowB = b.GetData() + std::size_t(keptB.top + y) * strideB + keptB.left;
        if (!std::equal(rowA, rowA + keptA.GetWidth(), rowB)) {
            return false;
        }
    }
    return true;
}

// For each picture, the first picture with the same kept pixels (itself when none is earlier):
// hashes first, on every core, then bytes compared where hashes meet.
std::vector<int32_t> FindIdentical(const std::vector<const Picture_S*>& pictures,
                                   const std::vector<URect_C>& kept) {
    std::vector<uint64_t> hashes(pictures.size());
    RunInParallel(pictures.size(),
                  [&](std::size_t i) { hashes[i] = HashKept(pictures[i]->pixels, kept[i]); });
    std::unordered_multimap<uint64_t, int32_t> seen;
    std::vector<int32_t> first(pictures.size());
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        first[i] = static_cast<int32_t>(i);
        const auto [from, to] = seen.equal_range(hashes[i]);
        for (auto it = from; it != to; ++it) {
            const auto j = static_cast<std::size_t>(it->second);
            if (SameKept(pictures[i]->pixels, kept[i], pictures[j]->pixels, kept[j])) {
                first[i] = it->second;
                break;
            }
        }
        if (first[i] == static_cast<int32_t>(i)) {
            seen.emplace(hashes[i], first[i]);
        }
    }
    return first;
}

std::string DescribeUnfitting(const std::vector<USize_C>& sizes, const USheetOptions_S& options) {
    int64_t area = 0;
    for (const USize_C& size : sizes) {
        area += int64_t{size.GetWidth()} * size.GetHeight();
    }
    const std::string side = std::to_string(USheetLimits_C::GetLargestPackedSide(options));
    return NS_Base::FillIn(
        NS_Base::ShownText("PackPlanner", "%1 pictures of %2 pixels in all, limit %3 x %3"),
        {std::to_string(sizes.size()), std::to_string(area), side});
}

// Refuses the first picture that no sheet holds even alone, before any packing: its kept box,
// grown by its extrusion and the border, must fit the largest side (the sheet is square, so
// turning it does not help).
void RefuseLargePictures(const std::vector<URect_C>& kept, const UComposeOptions_S& options,
                         const std::vector<std::string>* names) {
    const USheetOptions_S& sheet = options.sheet;
    const int64_t side = USheetLimits_C::GetLargestPackedSide(sheet);
    const int64_t grow = 2 * int64_t{sheet.extrude} + 2 * int64_t{sheet.border};
    for (std::size_t i = 0; i < kept.size(); ++i) {
        const int64_t width = kept[i].GetWidth();
        const int64_t height = kept[i].GetHeight();
        if (width + grow <= side && height + grow <= side) {
            continue;
        }
        const std::string name =
            names && i < names->size() ? (*names)[i] : "picture " + std::to_string(i + 1);
        std::string text = name + " is " + std::to_string(width) + " x " + std::to_string(height) +
                           (options.trim == UTrim_E::Each ? " once trimmed" : "");
        if (grow > 0) {
            text += ", " + std::to_string(width + grow) + " x " + std::to_string(height + grow) +
                    " with its extrusion and the border";
        }
        USheetLimits_C::RefuseLargePicture(text + "; limit " + std::to_string(side) + " x " +
                                           std::to_string(side));
    }
}

}  // namespace

USheetPlan_C PlanPacked(const std::vector<const Picture_S*>& pictures,
                        const UComposeOptions_S& options, const std::vector<std::string>* names) {
    const std::vector<URect_C> kept = KeptAreas(pictures, options.trim);
    RefuseLargePictures(kept, options, names);
    std::vector<int32_t> drawn(pictures.size());
    for (std::size_t i = 0; i < drawn.size(); ++i) {
        drawn[i] = static_cast<int32_t>(i);
    }
    if (options.packing.alias) {
        drawn = FindIdentical(pictures, kept);
    }
    // Only the pictures that are drawn take room.
    std::vector<USize_C> sizes;
    std::vector<int32_t> packedAs(pictures.size(), -1);
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        if (drawn[i] == static_cast<int32_t>(i)) {
            packedAs[i] = static_cast<int32_t>(sizes.size());
            sizes.push_back(kept[i].GetSize());
        }
    }
    const UPackResult_S packed = UMaxRectsPacker_C(options.sheet, options.packing).Pack(sizes);
    // Every picture fits a sheet alone, so only one sheet, without multipack, can fail here.
    if (!packed.fits) {
        USheetLimits_C::RefuseUnfitting(DescribeUnfitting(sizes, options.sheet));
    }
    std::vector<USheetPlan_C::UPlacement_S> placements;
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        const auto& place = packed.places[std::size_t(packedAs[std::size_t(drawn[i])])];
        const URect_C onSheet = URect_C::FromPointSize({place.x, place.y}, kept[i].GetSize());
        placements.push_back({place.sheet,
                              {onSheet, kept[i], pictures[i]->pixels.GetSize()},
                              place.rotated,
                              drawn[i]});
    }
    return {packed.sheets, std::move(placements)};
}

}  // namespace NS_Data
