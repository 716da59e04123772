#include "composition/UComposeOptions_S.h"

#include <cstdio>

namespace NS_Data {

ULayout_E LayoutFromComposeMode(int32_t mode) {
    switch (mode) {
        case 0:
            return ULayout_E::Row;
        case 1:
            return ULayout_E::Column;
        default:
            return ULayout_E::Grid;
    }
}

int32_t ComposeModeFromLayout(ULayout_E layout) {
    switch (layout) {
        case ULayout_E::Row:
            return 0;
        case ULayout_E::Column:
            return 1;
        default:
            return 2;
    }
}

// A new option that changes the output must be added to CanonicalText, or a sheet built
// without it is taken as up to date with it; this size changes when a field is added.
static_assert(sizeof(void*) != 8 || sizeof(UComposeOptions_S) == 184,
              "an option was added: put it into CanonicalText, then update the size here");

std::string CanonicalText(const UComposeOptions_S& options) {
    const USheetOptions_S& sheet = options.sheet;
    const UPackingOptions_S& packing = options.packing;
    const UDataOptions_S& data = options.data;
    char text[512];
    std::snprintf(text, sizeof text,
                  "layout %d trim %d padding %d border %d extrude %d columns %d pot %d max %lld "
                  "rotate %d square %d multipack %d alias %d form %d fps %d pivot %d %.17g %.17g "
                  "compression %d indexed %d gif %d background %08x bleed %d premultiply %d",
                  int(options.layout), int(options.trim), sheet.padding, sheet.border,
                  sheet.extrude, sheet.columns, int(sheet.powerOfTwo),
                  static_cast<long long>(sheet.maxSize), int(packing.rotate), int(packing.square),
                  int(packing.multipack), int(packing.alias), int(data.form), data.fps,
                  int(data.hasPivot), data.pivotX, data.pivotY, int(options.encoding.compression),
                  int(options.encoding.indexed), int(options.allGifFrames),
                  unsigned(options.background), int(options.pixels.alphaBleed),
                  int(options.pixels.premultiply));
    std::string variants;
    for (const UVariant_S& variant : options.variants) {
        char scale[32];
        std::snprintf(scale, sizeof scale, "%.17g", variant.scale);
        variants += " " + variant.suffix + ":" + scale;
    }
    return "output " + options.output + "\ndata " + data.path + "\n" + text + "\nvariants" +
           variants;
}

}  // namespace NS_Data
