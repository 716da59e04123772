#include "composition/USheetLayout_S.h"

#include <algorithm>
#include <bit>
#include <cstdlib>

namespace NS_Data {

int64_t USheetLayout_S::Span(int64_t count, int64_t side) const {
    if (count <= 0) {
        return 0;
    }
    const int64_t span = count * (side + 2 * int64_t{spacing.extrude}) +
                         (count - 1) * spacing.padding + 2 * int64_t{spacing.border};
    if (!spacing.powerOfTwo) {
        return span;
    }
    return static_cast<int64_t>(std::bit_ceil(static_cast<uint64_t>(std::max<int64_t>(span, 1))));
}

UPoint_C USheetLayout_S::GetCellOrigin(int64_t index) const {
    const int64_t margin = int64_t{spacing.border} + spacing.extrude;
    const int64_t pitchX = cell.GetWidth() + 2 * int64_t{spacing.extrude} + spacing.padding;
    const int64_t pitchY = cell.GetHeight() + 2 * int64_t{spacing.extrude} + spacing.padding;
    return {static_cast<int32_t>(margin + index % columns * pitchX),
            static_cast<int32_t>(margin + index / columns * pitchY)};
}

UFrame_S USheetLayout_S::PlaceFrame(int64_t index, USize_C size) const {
    const URect_C kept = URect_C::FromSize(size).Intersection(cell);
    // A picture with nothing inside the cell is wholly transparent: it keeps one transparent
    // pixel, the cell's first, rather than a zero-sized frame that engines refuse.
    if (!kept.IsNotEmpty()) {
        const URect_C pixel = URect_C::FromSize({1, 1});
        return {pixel.Moved(GetCellOrigin(index)), pixel, size};
    }
    return {kept.Moved(GetCellOrigin(index) - cell.GetTopLeft()), kept, size};
}

USheetLayout_S USheetLayout_S::Plan(const std::vector<URect_C>& areas, ULayout_E shape,
                                    const USheetOptions_S& options) {
    const URect_C cell = UniteAreas(areas);
    const auto count = static_cast<int64_t>(areas.size());
    USheetLayout_S layout{cell, count, 1, options};
    if (options.columns > 0) {
        layout.columns = options.columns;
        layout.rows = (count + options.columns - 1) / options.columns;
    } else if (shape == ULayout_E::Column) {
        layout.columns = 1;
        layout.rows = count;
    } else if (shape != ULayout_E::Row) {
        const USheetLayout_S grid = SearchGrid(cell, count);
        layout.columns = grid.columns;
        layout.rows = grid.rows;
    } else if (count == 0) {
        layout.rows = 0;
    }
    return layout;
}

URect_C USheetLayout_S::UniteAreas(const std::vector<URect_C>& areas) {
    URect_C cell;
    for (const URect_C& area : areas) {
        if (area.IsNotEmpty()) {
            cell = cell.IsNotEmpty() ? cell.Union(area) : area;
        }
    }
    return cell;
}

USheetLayout_S USheetLayout_S::SearchGrid(const URect_C& cell, int64_t count) {
    const int64_t cellWidth = cell.GetWidth();
    const int64_t cellHeight = cell.GetHeight();
    USheetLayout_S best{cell, 0, 0, {}};
    int64_t bestDistance = -1;
    // Falling from `count` and replacing only on a strictly smaller distance keeps the larger
    // column count among equals.
    for (int64_t columns = count; columns >= 1; --columns) {
        const int64_t rows = (count + columns - 1) / columns;
        const int64_t distance = std::llabs(cellWidth * columns - cellHeight * rows);
        if (bestDistance < 0 || distance < bestDistance) {
            bestDistance = distance;
            best.columns = columns;
            best.rows = rows;
        }
    }
    return best;
}

}  // namespace NS_Data
