#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "composition/PictureGroup_C.h"
#include "composition/UPictureCache_C.h"
#include "composition/UProgress_F.h"

// Decodes the pictures at `paths` on several threads and appends them to `group` in path order,
// telling `progress` (which may be empty) as each one is ready. With `frameDelays`, every frame
// of an animated gif is appended, and the delays of each path's pictures go there (see
// PictureGroup_C::Load). Returns false when `progress` asked to stop; the pictures before
// the first one not loaded then stay in the group. A picture that fails to load raises its
// error, the first in path order, after the pictures before it were appended. With `cache`, the
// pictures are loaded through it.
bool LoadPictures(NS_Data::PictureGroup_C& group, const std::vector<std::string>& paths,
                  const UProgress_F& progress,
                  std::vector<std::vector<int32_t>>* frameDelays = nullptr,
                  NS_Data::UPictureCache_C* cache = nullptr);
