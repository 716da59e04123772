#include "composition/CollectFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "composition/NaturalOrder.h"
#include "files/UFileAbyss_C.h"

TEST(CollectFiles, KeepsPicturesOnlySortedByFullPath) {
    const UTempDirectory folder;
    const std::string s = folder.root + "s/";
    // Empty files are enough: collecting judges names, it opens nothing.
    for (const char* name :
         {"b.png", "a.PNG", "B.gif", "c.jpeg", "d.txt", "png", "e.", "sub/a.bmp", "sub/Z.JPG",
          "x.gif.txt", ".hidden.gif", "t.tar.gif", "f.gif/name", "\xC3\xA9.gif"}) {
        std::filesystem::create_directories(std::filesystem::path(s + name).parent_path());
        WriteFile(s + name, {});
    }
    UFileAbyss_C abyss;
    abyss.AddPath(s.c_str());  // a folder named with its separator gets no second one
    abyss.AddPath((s + "b.png").c_str());
    std::vector<std::string> batch;
    CollectFiles(abyss, [&batch](const char* path) { batch.emplace_back(path); });
    // Byte order of the whole path: upper case before lower case, '.' before letters, bytes above
    // 0x7F after ASCII, and a folder's files mixed in by name, not behind the files found earlier.
    // A path named twice is collected twice; only the last extension of the last component counts.
    EXPECT_EQ(batch, (std::vector<std::string>{
                         s + ".hidden.gif", s + "B.gif", s + "a.PNG", s + "b.png", s + "b.png",
                         s + "sub/Z.JPG", s + "sub/a.bmp", s + "t.tar.gif", s + "\xC3\xA9.gif"}));
}

TEST(NaturalOrder, NumbersGoByValueAndEveryPairHasOneOrder) {
    // In the expected order: equal numbers fall back to bytes ("0" before "00"), numbers of any
    // length compare, and every number sits where its first digit would in byte order.
    std::vector<std::string> sorted = {""};
    std::istringstream names(
        "! -1 0 00 01 1 1a 2 9 09x 10 18446744073709551616 99999999999999999999999 : A a a9/x a10 "
        "a10/x a10b frame2 frame10 \xC3\xBC");
    for (std::string name; names >> name;) {
        sorted.push_back(name);
    }
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        EXPECT_FALSE(IsNaturallyBefore(sorted[i], sorted[i])) << sorted[i];
        for (std::size_t j = i + 1; j < sorted.size(); ++j) {
            EXPECT_TRUE(IsNaturallyBefore(sorted[i], sorted[j]))
                << sorted[i] << " not before " << sorted[j];
            EXPECT_FALSE(IsNaturallyBefore(sorted[j], sorted[i]))
                << sorted[j] << " before " << sorted[i];
        }
    }
}
