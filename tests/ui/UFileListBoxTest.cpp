#include "ui/UFileListBox_C.h"

#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"

using NS_Wnd::UFileListBox_C;

// Names, full paths and emptying are exercised through the dialog; this guards the block edge.
TEST(UFileListBox, RefusesAPathLongerThanItsBlockAndKeepsTheOthers) {
    UFileListBox_C list;
    const std::string fits = "/" + std::string(194, 'f') + ".png";  // 199 bytes
    list.AddFilePath(fits.c_str());
    const std::string tooLong = fits + "x";
    EXPECT_EQ(CodeOf([&] { list.AddFilePath(tooLong.c_str()); }), 1) << "a 200-byte path";
    ASSERT_EQ(list.GetCount(), 1);
    char path[UFileListBox_C::PathCapacity];
    list.GetFilePath(0, path);
    EXPECT_EQ(std::string(path), fits);
    list.GetFilePath(1, path);
    EXPECT_EQ(std::string(path), "") << "an index past the end reads no block";
}
