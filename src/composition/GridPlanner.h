#pragma once

#include <vector>

#include "composition/USheetPlan_C.h"

namespace NS_Data {

// A row, a column or a grid (options.layout) of equal cells, each picture at its cell's top-left:
// whole pictures, all cut to the box that holds every visible pixel of any of them, or each cut
// to its own box (options.trim), the cell then as large as the largest. Raises the sheet limits'
// codes 2, 4 and 6.
USheetPlan_C PlanGrid(const std::vector<const Picture_S*>& pictures,
                      const UComposeOptions_S& options);

}  // namespace NS_Data
