#pragma once

#include <memory>
#include <string>
#include <vector>

#include "composition/Picture_S.h"
#include "composition/UComposeOptions_S.h"

namespace NS_Wnd {

// What a preview is made of: decoded pictures, their names as the data file would write them,
// and the options. `holder` owns the pictures, so that a preview still being drawn keeps them
// alive after the list has changed.
struct UPreviewInput_S {
    std::shared_ptr<const void> holder;
    std::vector<const NS_Data::NS_GroupElementDeclare::Picture_S*> pictures;
    std::vector<std::string> names;
    NS_Data::UComposeOptions_S options;
};

}  // namespace NS_Wnd
