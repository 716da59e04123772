#include "composition/USheetRows_C.h"

#include <algorithm>

#include "composition/ExtendRow.h"

namespace NS_Data {

USheetRows_C::USheetRows_C(const USheetLayout_S& sheetLayout,
                           const std::vector<const UPixels_C*>& pictures, uint32_t fill)
    : layout(sheetLayout),
      background(fill),
      width(static_cast<int32_t>(sheetLayout.GetWidth())),
      height(static_cast<int32_t>(sheetLayout.GetHeight())) {
    placed.reserve(pictures.size());
    for (std::size_t index = 0; index < pictures.size(); ++index) {
        const UPixels_C& pixels = *pictures[index];
        // A picture that misses the cell has nothing visible to draw: the cell holds
        // everything visible of every picture. Its one-pixel frame is the background.
        if (!pixels.GetSize().IsNotEmpty() ||
            !pixels.GetArea().Intersection(layout.cell).IsNotEmpty()) {
            placed.push_back({});
            continue;
        }
        const auto cellIndex = static_cast<int64_t>(index);
        const UFrame_S frame = layout.PlaceFrame(cellIndex, pixels.GetSize());
        placed.push_back(
            {pixels.MakeView(layout.GetCellOrigin(cellIndex) - layout.cell.GetTopLeft()),
             frame.onSheet, frame.inSource});
    }
}

void USheetRows_C::Draw(int32_t y, uint32_t* row) const {
    std::fill_n(row, width, background);
    // Cell rows and their extrusion never share a sheet row, so only one cell row reaches `y`.
    const int64_t pitch =
        layout.cell.GetHeight() + 2 * int64_t{layout.spacing.extrude} + layout.spacing.padding;
    const int64_t cellRow = (int64_t{y} - layout.spacing.border) / pitch;
    if (y < layout.spacing.border || cellRow >= layout.rows) {
        return;
    }
    const int32_t extrude = layout.spacing.extrude;
    const auto first = static_cast<std::size_t>(cellRow * layout.columns);
    const std::size_t end =
        std::min(placed.size(), first + static_cast<std::size_t>(layout.columns));
    for (std::size_t index = first; index < end; ++index) {
        const UPlaced_S& picture = placed[index];
        if (!picture.frame.IsNotEmpty() || y < picture.frame.top - extrude ||
            y > picture.frame.bottom + extrude) {
            continue;
        }
        // Above and below its frame, extrusion repeats the frame's first or last row.
        DrawPicture(picture, std::clamp(y, picture.frame.top, picture.frame.bottom), row);
        ExtendRow(picture.frame, extrude, width, row);
    }
}

// Draws the picture's part of sheet row `y` into `row`.
void USheetRows_C::DrawPicture(const UPlaced_S& picture, int32_t y, uint32_t* row) const {
    if (background != 0) {
        UPixels_C target;
        target.AttachView(row, 0, y, width, 1);
        target.Draw(picture.view, 0);
        return;
    }
    // Over a transparent row drawing is copying, since fully transparent values are 0; and
    // outside its frame a picture holds nothing visible.
    const std::size_t pictureWidth = static_cast<std::size_t>(picture.view.GetSize().GetWidth());
    const uint32_t* from =
        picture.view.GetData() +
        static_cast<std::size_t>(picture.kept.top + y - picture.frame.top) * pictureWidth +
        static_cast<std::size_t>(picture.kept.left);
    std::copy_n(from, picture.frame.GetWidth(), row + picture.frame.left);
}

}  // namespace NS_Data
