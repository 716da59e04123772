#pragma once

#include <cstdint>
#include <vector>

#include "composition/USheetPlan_C.h"
#include "foundation/USize_C.h"

namespace NS_Data {

// What a plan comes to, in the figures a user weighs one set of options against another by.
struct USheetSummary_S {
    std::vector<USize_C> sheets;
    // The pictures' own pixels on the sheets, over the sheets' area: 1 when nothing is wasted.
    double covered = 0;
    int32_t pictures = 0;
    // Pictures drawn at the place of an identical one rather than a place of their own.
    int32_t shared = 0;

    static USheetSummary_S Of(const USheetPlan_C& plan);
};

}  // namespace NS_Data
