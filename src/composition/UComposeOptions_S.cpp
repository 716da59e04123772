#include "composition/UComposeOptions_S.h"

namespace NS_Data {

ULayout_E LayoutFromComposeMode(int32_t mode) {
    switch (mode) {
        case 0:
            return ULayout_E::Row;
        case 1:
            return ULayout_E::Column;
        default:
            return ULayout_E::Grid;
    }
}

int32_t ComposeModeFromLayout(ULayout_E layout) {
    switch (layout) {
        case ULayout_E::Row:
            return 0;
        case ULayout_E::Column:
            return 1;
        default:
            return 2;
    }
}

}  // namespace NS_Data
