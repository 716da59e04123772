#include "composition/CollectFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "files/UFileAbyss_C.h"

TEST(CollectFiles, KeepsPicturesOnlySortedByFullPath) {
    const UTempDirectory folder;
    const std::string s = folder.root + "s/";
    // Empty files are enough: collecting judges names, it opens nothing.
    for (const char* name : {"b.png", "a.PNG", "B.gif", "c.jpeg", "d.txt", "png", "e.", "sub/a.bmp",
                             "sub/Z.JPG", "x.gif.txt", ".hidden.gif", "t.tar.gif", "f.gif/name"}) {
        std::filesystem::create_directories(std::filesystem::path(s + name).parent_path());
        WriteFile(s + name, {});
    }
    UFileAbyss_C abyss;
    abyss.AddPath((folder.root + "s").c_str());
    abyss.AddPath((s + "b.png").c_str());
    std::vector<std::string> batch;
    CollectFiles(abyss, [&batch](const char* path) { batch.emplace_back(path); });
    // Byte order of the whole path: upper case before lower case, '.' before letters, and a
    // folder's files mixed in by name, not behind the files found earlier. A path named twice
    // is collected twice; only the last extension of the last component counts.
    EXPECT_EQ(batch, (std::vector<std::string>{s + ".hidden.gif", s + "B.gif", s + "a.PNG",
                                               s + "b.png", s + "b.png", s + "sub/Z.JPG",
                                               s + "sub/a.bmp", s + "t.tar.gif"}));
}
