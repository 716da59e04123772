#include "composition/UOptionConflict_S.h"

#include <utility>

#include "composition/data/UDataForm_S.h"
#include "foundation/ShownText.h"

namespace NS_Data {

std::vector<UOptionConflict_S> FindConflicts(const UComposeOptions_S& options) {
    std::vector<UOptionConflict_S> conflicts;
    const UDataForm_S& form = GetDataForm(options.data.form);
    if (options.packing.rotate && form.refusesRotate) {
        conflicts.push_back({UOption_E::Rotate, UOption_E::DataForm,
                             NS_Base::ShownText("UDataForm_S", form.refusesRotate)});
    }
    // A browser draws a PNG as straight alpha, whatever the page asks.
    if (options.pixels.premultiply && options.data.form == UDataOptions_S::Css) {
        conflicts.push_back(
            {UOption_E::Premultiply, UOption_E::DataForm,
             NS_Base::ShownText("UOptionConflict_S",
                                "is drawn by browsers, which read a sheet as straight alpha")});
    }
    // Only the packer turns pictures, squares its sheet, opens further sheets or lets
    // identical pictures share a place; the grid planners have one cell per picture.
    if (options.layout == ULayout_E::Packed) {
        return conflicts;
    }
    const UPackingOptions_S& packing = options.packing;
    const UPackingOptions_S defaults;
    const std::pair<bool, UOption_E> flags[] = {
        {packing.rotate, UOption_E::Rotate},
        {packing.square, UOption_E::Square},
        {packing.multipack, UOption_E::Multipack},
        {packing.alias != defaults.alias, UOption_E::NoAlias},
    };
    for (const auto& [set, option] : flags) {
        if (set) {
            conflicts.push_back({option, UOption_E::Layout, {}});
        }
    }
    return conflicts;
}

UComposeOptions_S WithoutConflicts(UComposeOptions_S options) {
    const UPackingOptions_S defaults;
    for (const UOptionConflict_S& conflict : FindConflicts(options)) {
        switch (conflict.option) {
            case UOption_E::Rotate:
                options.packing.rotate = defaults.rotate;
                break;
            case UOption_E::Square:
                options.packing.square = defaults.square;
                break;
            case UOption_E::Multipack:
                options.packing.multipack = defaults.multipack;
                break;
            case UOption_E::Premultiply:
                options.pixels.premultiply = false;
                break;
            default:
                options.packing.alias = defaults.alias;
                break;
        }
    }
    return options;
}

}  // namespace NS_Data
