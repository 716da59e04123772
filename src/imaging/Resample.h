#pragma once

#include "imaging/UPixels_C.h"

// Pictures drawn at another size, for the sheets of other resolutions made from the same art.
namespace Resample {

// `source` scaled by `scale`, each side rounded and never below 1, filtered with colour weighted
// by alpha, so that the colour of transparent pixels never bleeds into the edges (no dark
// fringe), and returned with straight alpha; every pixel left fully transparent is 0, as loaded
// pictures keep them.
UPixels_C Scale(const UPixels_C& source, double scale);

}  // namespace Resample
