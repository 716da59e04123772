#include "UFileAbyss_C.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

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
            const fs::path full = root + "/" + relative;
            if (relative.back() == '/') {
                fs::create_directories(full);
            } else {
                fs::create_directories(full.parent_path());
                std::ofstream(full) << "x";
            }
        }
    }
    void Link(const std::string& target, const std::string& relative) {
        fs::create_symlink(target, root + "/" + relative);
    }
    std::string In(const std::string& relative) const { return root + "/" + relative; }

    // Every file path up to the end, failing the test on an error or a walk without end.
    std::vector<std::string> DrainAll() {
        std::vector<std::string> files;
        PathRecord_S record;
        while (abyss.GetNextFile(record) == 0) {
            files.push_back(record.path);
            if (files.size() > 1000) {
                ADD_FAILURE() << "the walk does not end";
                break;
            }
        }
        return files;
    }

    std::string root;
    UFileAbyss_C abyss;
};

// Calls GetNextFile expecting a user error of this class; returns its code and extra text.
std::pair<int32_t, std::string> ExpectError(UFileAbyss_C& abyss) {
    PathRecord_S record;
    try {
        abyss.GetNextFile(record);
    } catch (const NS_Base::UError_C& error) {
        EXPECT_EQ(error.GetKind(), NS_Base::UserError);
        EXPECT_STREQ(error.GetPosition(), "UFileAbyss_C");
        return {error.GetCode(), error.GetInfoEx()};
    }
    ADD_FAILURE() << "GetNextFile returned " << record.path << " instead of failing";
    return {0, ""};
}

using Paths = std::vector<std::string>;
using PathSet = std::set<std::string>;

}  // namespace

TEST_F(FileAbyssTest, AddedPathsComeFirstAndFoldersAreWalkedBreadthFirst) {
    Make({"a/x.png", "a/sub/y.png", "a/sub/deeper/w.gif", "z.png"});
    abyss.AddPath(In("a").c_str());
    abyss.AddPath(In("z.png").c_str());
    EXPECT_EQ(DrainAll(),
              (Paths{In("z.png"), In("a/x.png"), In("a/sub/y.png"), In("a/sub/deeper/w.gif")}));
}

TEST_F(FileAbyssTest, EachLevelComesOutBeforeTheNextOne) {
    Make({"t/1a", "t/1b", "t/d1/2a", "t/d1/2b", "t/d2/2c", "t/d1/e/3a", "t/d2/f/3b"});
    abyss.AddPath(In("t").c_str());
    const Paths files = DrainAll();
    ASSERT_EQ(PathSet(files.begin(), files.end()),
              (PathSet{In("t/1a"), In("t/1b"), In("t/d1/2a"), In("t/d1/2b"), In("t/d2/2c"),
                       In("t/d1/e/3a"), In("t/d2/f/3b")}));
    // Each file's name starts with its depth below t.
    for (std::size_t i = 1; i < files.size(); ++i) {
        const auto level = [](const std::string& path) {
            return fs::path(path).filename().string()[0];
        };
        EXPECT_LE(level(files[i - 1]), level(files[i]))
            << files[i - 1] << " is deeper than " << files[i] << ", which came after it";
    }
}

TEST_F(FileAbyssTest, MissingPathFailsAndThePathsBehindItStayPending) {
    Make({"f.png"});
    abyss.AddPath(In("missing.png").c_str());
    abyss.AddPath(In("f.png").c_str());
    const auto [code, extra] = ExpectError(abyss);
    EXPECT_EQ(code, 1);
    EXPECT_EQ(extra, In("missing.png"));
    EXPECT_EQ(DrainAll(), Paths{In("f.png")});
}

TEST_F(FileAbyssTest, EmptyFolderYieldsNothing) {
    Make({"empty/"});
    abyss.AddPath(In("empty").c_str());
    EXPECT_EQ(DrainAll(), Paths{});
}

TEST_F(FileAbyssTest, OnlyDotAndDotDotAreLeftOut) {
    Make({"d/.hidden.png", "d/...", "d/..x", "d/.dir/inner"});
    abyss.AddPath(In("d").c_str());
    const Paths files = DrainAll();
    EXPECT_EQ(PathSet(files.begin(), files.end()),
              (PathSet{In("d/.hidden.png"), In("d/..."), In("d/..x"), In("d/.dir/inner")}));
}

TEST_F(FileAbyssTest, FolderNamedWithItsSeparatorGetsNoSecondOne) {
    Make({"d/a.png"});
    abyss.AddPath((In("d") + "/").c_str());
    EXPECT_EQ(DrainAll(), Paths{In("d/a.png")});

    abyss.AddPath("/");
    PathRecord_S record;
    ASSERT_EQ(abyss.GetNextFile(record), 0);
    EXPECT_EQ(std::string(record.path).rfind("//", 0), std::string::npos)
        << "an entry of the root came out as " << record.path;
    abyss.Clear();
    EXPECT_EQ(abyss.GetNextFile(record), 1) << "Clear left " << record.path << " pending";
}

TEST_F(FileAbyssTest, LinksAreFollowedAndCyclesEnd) {
    Make({"top/a.png", "top/sub/b.png", "outside/c.png"});
    Link(In("top"), "top/sub/back");  // leads back into an enclosing folder
    Link(".", "top/sub/self");
    Link(In("outside"), "top/out");  // a folder reached only through a link
    Link(In("top/a.png"), "top/alias.png");
    abyss.AddPath(In("top").c_str());
    const Paths files = DrainAll();
    const PathSet unique(files.begin(), files.end());
    EXPECT_EQ(unique.size(), files.size()) << "a file came out twice";
    EXPECT_TRUE(unique.count(In("top/a.png")) && unique.count(In("top/sub/b.png")) &&
                unique.count(In("top/out/c.png")) && unique.count(In("top/alias.png")))
        << "missing files among " << files.size() << " paths";
    EXPECT_EQ(files.size(), 4u);
}

TEST_F(FileAbyssTest, LinkLeadingNowhereIsHandedOutAsAFile) {
    Make({"d/"});
    Link(In("d/gone.png"), "d/dangling.png");
    abyss.AddPath(In("d").c_str());
    EXPECT_EQ(DrainAll(), Paths{In("d/dangling.png")});
}

TEST_F(FileAbyssTest, PathsLongerThanARecordAreRefused) {
    // The longest path a record holds is 199 bytes.
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
        EXPECT_EQ(std::string(error.GetInfoEx()), tooLong);
    }
    PathRecord_S record;
    EXPECT_EQ(abyss.GetNextFile(record), 1) << "the refused path was queued";
}

TEST_F(FileAbyssTest, WalkRefusesAnEntryTooLongForARecordButKeepsItsSiblings) {
    Make({"w/short.png"});
    const std::string longName(PathRecord_S::Capacity - In("w/").size(), 'n');
    std::ofstream(In("w/" + longName)) << "x";
    abyss.AddPath(In("w").c_str());
    const auto [code, extra] = ExpectError(abyss);
    EXPECT_EQ(code, 2);
    EXPECT_EQ(extra, In("w/" + longName));
    EXPECT_EQ(DrainAll(), Paths{In("w/short.png")});
}
