#pragma once

#include <string>
#include <vector>

#include "composition/UComposeOptions_S.h"

namespace NS_Data {

// The options one rule may forbid, and the options whose value forbids them. Each front end
// names them its own way: the command line by its flags, the window by its controls.
enum class UOption_E { Rotate, Square, Multipack, NoAlias, Premultiply, Layout, DataForm };

// `option` is set, but the value of `cause` leaves it no use or no correct meaning.
struct UOptionConflict_S {
    UOption_E option;
    UOption_E cause;
    // Why, where the cause's name alone does not say it: the data form's own reason ("turns
    // frames the other way"), in the user's language; empty otherwise.
    std::string reason;
};

// Every conflict among `options`, the data form's first, then the packing options in the order
// Rotate, Square, Multipack, NoAlias. A flag counts as set when it differs from its default.
std::vector<UOptionConflict_S> FindConflicts(const UComposeOptions_S& options);

// `options` with each option that a conflict names put back to its default, so that none is
// left.
UComposeOptions_S WithoutConflicts(UComposeOptions_S options);

}  // namespace NS_Data
