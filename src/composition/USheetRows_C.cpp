#include "composition/USheetRows_C.h"

#include <algorithm>

#include "composition/AlphaBleed.h"
#include "composition/ExtendRow.h"
#include "foundation/RunInParallel.h"

namespace NS_Data {

namespace {

// Rows per band: a row looks only at the frames of its band, so a sheet of thousands of frames
// costs each row a handful of frames, while a frame is listed in few bands.
constexpr int32_t BandHeight = 32;

}  // namespace

USheetRows_C::USheetRows_C(USize_C sheet, std::vector<UPackedFrame_S> placed, uint32_t fill,
                           int32_t extrusion, const UPixelOptions_S& pixels, int32_t padding)
    : frames(std::move(placed)),
      background(fill),
      extrude(extrusion),
      reach(extrusion),
      premultiply(pixels.premultiply),
      width(sheet.GetWidth()),
      height(sheet.GetHeight()) {
    const bool bleed = pixels.alphaBleed && background == 0;
    if (bleed) {
        // Cells a padding of 2p + 1 apart leave the middle column to neither.
        reach = extrude + padding / 2;
    }
    bands.resize(static_cast<std::size_t>(height / BandHeight) + 1);
    for (std::size_t index = 0; index < frames.size(); ++index) {
        const URect_C onSheet = frames[index].GetSheetRect();
        const int32_t top = std::max(0, onSheet.top - reach);
        const int32_t bottom = std::min(height - 1, onSheet.bottom + reach);
        for (int32_t band = top / BandHeight; band <= bottom / BandHeight; ++band) {
            bands[std::size_t(band)].push_back(int32_t(index));
        }
    }
    if (bleed) {
        BleedCells(reach);
    }
}

void USheetRows_C::BleedCells(int32_t margin) {
    const URect_C sheet = URect_C::FromSize({width, height});
    cells.resize(frames.size());
    bled.resize(frames.size());
    RunInParallel(frames.size(), [&](std::size_t index) {
        const URect_C onSheet = frames[index].GetSheetRect();
        const URect_C cell = URect_C{onSheet.left - margin, onSheet.top - margin,
                                     onSheet.right + margin, onSheet.bottom + margin}
                                 .Intersection(sheet);
        std::vector<uint32_t> pixels(std::size_t(cell.GetCells()), 0);
        for (int32_t y = std::max(cell.top, onSheet.top - extrude);
             y <= std::min(cell.bottom, onSheet.bottom + extrude); ++y) {
            DrawExtruded(index, y, pixels.data() + std::size_t(y - cell.top) * cell.GetWidth(),
                         cell.left, cell.GetWidth());
        }
        BleedAlpha(pixels.data(), cell.GetWidth(), cell.GetHeight());
        cells[index] = cell;
        bled[index] = std::move(pixels);
    });
}

void USheetRows_C::Draw(int32_t y, uint32_t* row) const {
    std::fill_n(row, width, background);
    for (const int32_t index : bands[std::size_t(y / BandHeight)]) {
        const auto i = std::size_t(index);
        if (!bled.empty()) {
            const URect_C& cell = cells[i];
            if (y >= cell.top && y <= cell.bottom) {
                const int32_t count = cell.GetWidth();
                std::copy_n(bled[i].data() + std::size_t(y - cell.top) * count, count,
                            row + cell.left);
            }
            continue;
        }
        const URect_C onSheet = frames[i].GetSheetRect();
        if (y >= onSheet.top - extrude && y <= onSheet.bottom + extrude) {
            DrawExtruded(i, y, row, 0, width);
        }
    }
    if (premultiply) {
        std::transform(row, row + width, row, Premultiply);
    }
}

void USheetRows_C::DrawExtruded(std::size_t index, int32_t y, uint32_t* row, int32_t left,
                                int32_t count) const {
    const UPackedFrame_S& frame = frames[index];
    const URect_C onSheet = frame.GetSheetRect();
    // Above and below its frame, extrusion repeats the frame's first or last row.
    DrawFrame(frame, onSheet, std::clamp(y, onSheet.top, onSheet.bottom), row, left, count);
    ExtendRow(onSheet.Moved({-left, 0}), extrude, count, row);
}

// Draws the frame's part of sheet row `y` into `row`, which holds the row's `size` values from
// x = `left`. A frame stored turned clockwise shows, in
// its sheet row v, the picture's column v read from the bottom up.
void USheetRows_C::DrawFrame(const UPackedFrame_S& frame, const URect_C& onSheet, int32_t y,
                             uint32_t* row, int32_t left, int32_t size) const {
    const UPixels_C& picture = *frame.picture;
    const auto stride = std::size_t(picture.GetSize().GetWidth());
    const int32_t v = y - onSheet.top;
    const int32_t count = onSheet.GetWidth();
    thread_local std::vector<uint32_t> turned;
    const uint32_t* from = nullptr;
    if (frame.rotated) {
        turned.resize(std::size_t(count));
        const uint32_t* column = picture.GetData() + std::size_t(frame.kept.left + v);
        for (int32_t u = 0; u < count; ++u) {
            turned[std::size_t(u)] = column[std::size_t(frame.kept.bottom - u) * stride];
        }
        from = turned.data();
    } else {
        from = picture.GetData() + std::size_t(frame.kept.top + v) * stride +
               std::size_t(frame.kept.left);
    }
    if (background == 0) {
        // Over a transparent row drawing is copying, since fully transparent values are 0.
        std::copy_n(from, count, row + (onSheet.left - left));
        return;
    }
    // A view only wraps values; this one is only read from.
    UPixels_C source;
    source.AttachView(const_cast<uint32_t*>(from), onSheet.left, y, count, 1);
    UPixels_C target;
    target.AttachView(row, left, y, size, 1);
    target.Draw(source, 0);
}

}  // namespace NS_Data
