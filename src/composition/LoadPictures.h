#pragma once

#include <string>
#include <vector>

#include "composition/PictureGroup_C.h"
#include "composition/UProgress_F.h"

// Adds the pictures at `paths` to `group` in order, telling `progress` (which may be empty)
// after each one. Returns false when `progress` asked to stop; the pictures added before that
// stay in the group. A picture that fails to load raises its error as AddPicture does.
bool LoadPictures(NS_Data::PictureGroup_C& group, const std::vector<std::string>& paths,
                  const UProgress_F& progress);
