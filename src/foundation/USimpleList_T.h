#pragma once

#include "foundation/UList_T.h"

namespace NS_Data {

// The identifier list under its own name, for collecting and sorting plain values such as paths.
template <class Element, class FileType>
class USimpleList_T : public UList_T<Element, FileType> {
public:
    const char* ClassName() const override { return "USimpleList_T"; }
};

}  // namespace NS_Data
