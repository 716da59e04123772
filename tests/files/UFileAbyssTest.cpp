#include "files/UFileAbyss_C.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>

#include "TestSupport.h"

namespace fs = std::filesystem;
using Paths = std::vector<std::string>;

namespace {

class FileAbyssTest : public ::testing::Test {
protected:
    // Makes a file at each path relative to the temporary folder.
    void Make(std::initializer_list<std::string> paths) {
        for (const std::string& relative : paths) {
            fs::create_directories(fs::path(In(relative)).parent_path());
            WriteFile(In(relative), {'x'});
        }
    }
    std::string In(const std::string& relative) const { return temp.root + relative; }

    // Every file path up to the end; a walk that does not end fails the test.
    Paths DrainAll(bool sorted = false) {
        Paths files;
        PathRecord_S record;
        while (abyss.GetNextFile(record) == 0 && files.size() < 1000) {
            files.push_back(record.path);
        }
        EXPECT_LT(files.size(), 1000u) << "the walk does not end";
        if (sorted) {
            std::sort(files.begin(), files.end());
        }
        return files;
    }

    UTempDirectory temp;
    UFileAbyss_C abyss;
};

}  // namespace

TEST_F(FileAbyssTest, LinksAreFollowedAndCyclesEndWithinEachNamedPath) {
    Make({"top/a.png", "top/sub/b.png", "outside/c.png"});
    fs::create_symlink(In("top"), In("top/sub/back"));  // leads back into an enclosing folder
    fs::create_symlink(".", In("top/sub/self"));
    fs::create_symlink(In("outside"), In("top/out"));  // reached only through the link
    fs::create_symlink(In("top/a.png"), In("top/alias.png"));
    fs::create_symlink(In("gone.png"), In("top/dangling.png"));  // handed out as a file
    const Paths once = {In("top/a.png"), In("top/alias.png"), In("top/dangling.png"),
                        In("top/out/c.png"), In("top/sub/b.png")};
    abyss.AddPath(In("top").c_str());
    EXPECT_EQ(DrainAll(true), once);

    // Each named path is walked on its own, as a file named twice is handed out twice.
    abyss.AddPath(In("top").c_str());
    abyss.AddPath(In("top/sub/back").c_str());
    Paths twice;
    for (const std::string& path : once) {
        twice.insert(twice.end(), {path, In("top/sub/back") + path.substr(In("top").size())});
    }
    std::sort(twice.begin(), twice.end());
    EXPECT_EQ(DrainAll(true), twice);
}

// A path longer than the system takes (4095 bytes), met while walking a folder: the rest of the
// folder is kept. (A named path of that length is refused as the program starts.)
TEST_F(FileAbyssTest, PathsLongerThanTheSystemTakesAreRefusedButTheirSiblingsKept) {
    const std::string deep = MakeDeepFolder(temp.root, 4000);
    WriteFile(deep + "short.png", {'x'});
    const std::string name(PathRecord_S::Capacity - deep.size(), 'n');
    const int folder = open(deep.c_str(), O_RDONLY | O_DIRECTORY);
    close(openat(folder, name.c_str(), O_CREAT | O_WRONLY, 0600));
    abyss.AddPath(deep.c_str());
    PathRecord_S record;
    // An error record keeps the first 399 bytes of the path.
    const std::string failure = FailureOf([&] { abyss.GetNextFile(record); });
    EXPECT_EQ(failure, "UFileAbyss_C 2 File path is too long:|" + (deep + name).substr(0, 399));
    EXPECT_EQ(DrainAll(), Paths{deep + "short.png"});
    unlinkat(folder, name.c_str(), 0);
    close(folder);
}

// A folder that cannot be listed fails the walk, naming the folder and the reason, as an
// unreadable picture does; the pictures beside it are still handed out.
TEST_F(FileAbyssTest, AFolderThatCannotBeListedFailsWithItsReason) {
    Make({"w/a.png", "w/locked/hidden.png"});
    OpenTo(temp.root, false);
    OpenTo(In("w"), false);
    fs::permissions(In("w/locked"), fs::perms::none);
    abyss.AddPath(In("w").c_str());
    Paths files;
    std::string failure;
    {
        const UUnprivileged nobody;
        PathRecord_S record;
        int next = 0;
        for (int i = 0; i < 5 && next == 0; ++i) {
            failure += FailureOf([&] {
                next = abyss.GetNextFile(record);
                if (next == 0) {
                    files.push_back(record.path);
                }
            });
        }
    }
    fs::permissions(In("w/locked"), fs::perms::owner_all);
    EXPECT_EQ(failure,
              "UFileAbyss_C 3 Fail to list directory:|" + In("w/locked") + " : Permission denied");
    EXPECT_EQ(files, Paths{In("w/a.png")});
}
