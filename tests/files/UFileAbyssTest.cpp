#include "UFileAbyss_C.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Paths = std::vector<std::string>;
using PathSet = std::set<std::string>;

// A temporary folder filled from a table of relative paths; a path ending in '/' is a folder.
class FileAbyssTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/abyssXXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
    }
    void TearDown() override { fs::remove_all(root); }

    void Make(std::initializer_list<std::string> paths) {
        for (const std::string& relative : paths) {
            fs::create_directories(fs::path(In(relative)).parent_path());
            if (relative.back() != '/') {
                std::ofstream(In(relative)) << "x";
            }
        }
    }
    std::string In(const std::string& relative) const { return root + "/" + relative; }

    // Every file path up to the end; a walk that does not end fails the test.
    Paths DrainAll() {
        Paths files;
        PathRecord_S record;
        while (abyss.GetNextFile(record) == 0 && files.size() < 1000) {
            files.push_back(record.path);
        }
        EXPECT_LT(files.size(), 1000u) << "the walk does not end";
        return files;
    }
    PathSet DrainSet() {
        const Paths files = DrainAll();
        EXPECT_EQ(PathSet(files.begin(), files.end()).size(), files.size()) << "a path came twice";
        return PathSet(files.begin(), files.end());
    }

    // Expects the next call to fail with a user error of this class; returns code and path.
    std::pair<int32_t, std::string> NextError() {
        PathRecord_S record;
        try {
            abyss.GetNextFile(record);
            ADD_FAILURE() << "GetNextFile returned " << record.path << " instead of failing";
        } catch (const NS_Base::UError_C& error) {
            EXPECT_EQ(error.GetKind(), NS_Base::UserError);
            EXPECT_STREQ(error.GetPosition(), "UFileAbyss_C");
            return {error.GetCode(), error.GetInfoEx()};
        }
        return {0, ""};
    }

    std::string root;
    UFileAbyss_C abyss;
};

}  // namespace

TEST_F(FileAbyssTest, AddedPathsComeFirstAndFoldersAreWalkedBreadthFirst) {
    Make({"a/x.png", "a/sub/y.png", "a/sub/deeper/w.gif", "z.png"});
    abyss.AddPath(In("a").c_str());
    abyss.AddPath(In("z.png").c_str());
    EXPECT_EQ(DrainAll(),
              (Paths{In("z.png"), In("a/x.png"), In("a/sub/y.png"), In("a/sub/deeper/w.gif")}));
}

TEST_F(FileAbyssTest, MissingPathFailsAndThePathsBehindItStayPending) {
    Make({"f.png"});
    abyss.AddPath(In("missing.png").c_str());
    abyss.AddPath(In("f.png").c_str());
    EXPECT_EQ(NextError(), std::make_pair(1, In("missing.png")));
    EXPECT_EQ(DrainAll(), Paths{In("f.png")});
}

TEST_F(FileAbyssTest, HiddenEntriesCountAndEmptyFoldersYieldNothing) {
    Make({"d/.hidden.png", "d/...", "d/..x", "d/.dir/inner", "d/empty/"});
    // A folder named with its separator gets no second one.
    abyss.AddPath((In("d") + "/").c_str());
    EXPECT_EQ(DrainSet(),
              (PathSet{In("d/.hidden.png"), In("d/..."), In("d/..x"), In("d/.dir/inner")}));
}

TEST_F(FileAbyssTest, LinksAreFollowedAndCyclesEnd) {
    Make({"top/a.png", "top/sub/b.png", "outside/c.png"});
    fs::create_symlink(In("top"), In("top/sub/back"));  // leads back into an enclosing folder
    fs::create_symlink(".", In("top/sub/self"));
    fs::create_symlink(In("outside"), In("top/out"));  // reached only through the link
    fs::create_symlink(In("top/a.png"), In("top/alias.png"));
    fs::create_symlink(In("gone.png"), In("top/dangling.png"));  // handed out as a file
    abyss.AddPath(In("top").c_str());
    EXPECT_EQ(DrainSet(), (PathSet{In("top/a.png"), In("top/sub/b.png"), In("top/out/c.png"),
                                   In("top/alias.png"), In("top/dangling.png")}));
}

TEST_F(FileAbyssTest, PathsLongerThanARecordAreRefused) {
    const std::string fits = In(std::string(PathRecord_S::MaxLength - In("").size(), 'f'));
    ASSERT_EQ(fits.size(), 199u);
    std::ofstream(fits) << "x";
    abyss.AddPath(fits.c_str());
    EXPECT_EQ(DrainAll(), Paths{fits});

    const std::string tooLong = fits + "g";
    try {
        abyss.AddPath(tooLong.c_str());
        ADD_FAILURE() << "a 200-byte path was queued";
    } catch (const NS_Base::UError_C& error) {
        EXPECT_EQ(error.GetCode(), 2);
        EXPECT_STREQ(error.GetInfo(), "File path is too long:");
        EXPECT_EQ(error.GetInfoEx(), tooLong);
    }
    EXPECT_EQ(DrainAll(), Paths{}) << "the refused path was queued";
}

TEST_F(FileAbyssTest, WalkRefusesAnEntryTooLongForARecordButKeepsItsSiblings) {
    Make({"w/short.png"});
    const std::string tooLong =
        In("w/" + std::string(PathRecord_S::Capacity - In("w/").size(), 'n'));
    std::ofstream(tooLong) << "x";
    abyss.AddPath(In("w").c_str());
    EXPECT_EQ(NextError(), std::make_pair(2, tooLong));
    EXPECT_EQ(DrainAll(), Paths{In("w/short.png")});
}
