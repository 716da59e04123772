#include "composition/LoadPictures.h"

bool LoadPictures(NS_Data::PictureGroup_C& group, const std::vector<std::string>& paths,
                  const UProgress_F& progress) {
    for (std::size_t i = 0; i < paths.size(); ++i) {
        group.AddPicture(paths[i].c_str());
        if (progress && !progress(i + 1, paths.size())) {
            return false;
        }
    }
    return true;
}
