#pragma once

#include <string>
#include <vector>

#include "composition/USheetPlan_C.h"

namespace NS_Data {

// Pictures packed one by one by MaxRects (each cut to its own box with UTrim_E::Each), over
// several sheets with multipack, identical pictures sharing one place unless aliasing is off.
// Raises the sheet limits' code 8, naming the picture by `names` (one per picture; without
// them, by its number from 1), for one that alone is larger than the largest sheet, and code 7
// with the sizes when they do not fit, without multipack, one sheet of the largest side.
USheetPlan_C PlanPacked(const std::vector<const Picture_S*>& pictures,
                        const UComposeOptions_S& options,
                        const std::vector<std::string>* names = nullptr);

}  // namespace NS_Data
