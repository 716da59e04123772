#include "ui/UFileListBox_C.h"

#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"

using NS_Wnd::UFileListBox_C;

// Names, full paths and emptying are exercised through the dialog; this guards the path limit.
TEST(UFileListBox, RefusesAPathLongerThanItsRecordAndKeepsTheOthers) {
    UFileListBox_C list;
    const std::string fits = "/" + std::string(194, 'f') + ".png";  // 199 bytes
    list.AddFilePath(fits.c_str());
    EXPECT_EQ(CodeOf([&] { list.AddFilePath((fits + "x").c_str()); }), 1) << "a 200-byte path";
    ASSERT_EQ(list.GetCount(), 1);
    EXPECT_EQ(list.GetFilePath(0), fits);
    EXPECT_EQ(list.GetFilePath(1), "") << "an index past the end";
}
