#include "UFileListBox_C.h"

#include <gtest/gtest.h>

#include <string>

using NS_Wnd::UFileListBox_C;

namespace {

std::string PathOf(const UFileListBox_C& list, int32_t index) {
    char path[UFileListBox_C::PathCapacity];
    list.GetFilePath(index, path);
    return path;
}

}  // namespace

TEST(UFileListBox, ShowsNamesAndKeepsFullPathsInOrderAdded) {
    UFileListBox_C list;
    list.AddFilePath("/pics/sub/b.png");
    list.AddFilePath("/pics/other/b.png");
    list.AddFilePath("/a.gif");
    ASSERT_EQ(list.GetCount(), 3);
    EXPECT_EQ(list.item(0)->text(), "b.png");
    EXPECT_EQ(list.item(1)->text(), "b.png");
    EXPECT_EQ(list.item(2)->text(), "a.gif");
    EXPECT_EQ(PathOf(list, 0), "/pics/sub/b.png");
    EXPECT_EQ(PathOf(list, 1), "/pics/other/b.png");
    EXPECT_EQ(PathOf(list, 2), "/a.gif");
    EXPECT_EQ(PathOf(list, 3), "") << "an index past the end reads no block";
}

TEST(UFileListBox, RemoveAllEmptiesAndTheListTakesNewEntries) {
    UFileListBox_C list;
    list.RemoveAll();
    EXPECT_EQ(list.GetCount(), 0);
    list.AddFilePath("/x/\xE5\x9B\xBE.png");
    list.RemoveAll();
    EXPECT_EQ(list.GetCount(), 0);
    list.AddFilePath("/y.bmp");
    EXPECT_EQ(PathOf(list, 0), "/y.bmp");
    // Destroying the list with an entry frees its block; the leak checker guards that.
}

TEST(UFileListBox, RefusesAPathLongerThanItsBlockAndKeepsEarlierEntries) {
    UFileListBox_C list;
    list.AddFilePath("/first.png");
    const std::string fits = "/" + std::string(194, 'f') + ".png";  // 199 bytes
    list.AddFilePath(fits.c_str());
    const std::string tooLong = "/" + std::string(195, 'l') + ".png";  // 200 bytes
    try {
        list.AddFilePath(tooLong.c_str());
        FAIL() << "a 200-byte path was accepted";
    } catch (const NS_Base::UError_C& error) {
        EXPECT_EQ(error.GetCode(), 1);
        EXPECT_STREQ(error.GetPosition(), "UFileListBox_C");
        EXPECT_EQ(error.GetInfoEx(), tooLong);
    }
    ASSERT_EQ(list.GetCount(), 2);
    EXPECT_EQ(PathOf(list, 1), fits);
}
