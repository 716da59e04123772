#pragma once

#include <string>
#include <vector>

#include "composition/data/USheetDataPage_S.h"

// One animation of a sheet: its name and its frames, as indexes into the sheet's frame list, in
// the order they play.
struct UAnimation_S {
    std::string name;
    std::vector<std::size_t> frames;
};

// The animation `frame` would belong to by its name (see FindAnimations); empty for none.
std::string FindAnimationName(const USheetDataFrame_S& frame);

// The animations among `frames`: every frame of an animated gif (named NAME#N, with a duration)
// plays in the animation named after the gif without its extension, in its own order; frames
// whose names end in a number (walk_0001.png, walk/02.png, run-3.png) play in the animation
// named by the rest (walk, run), in the numbers' order, when there are at least two of them.
// Animations are listed by their first frame's place in `frames`.
std::vector<UAnimation_S> FindAnimations(const std::vector<USheetDataFrame_S>& frames);

// Notes in each page's meta the animations whose frames lie on more than one page.
void MarkSplitAnimations(std::vector<USheetDataPage_S>& pages);
