#include "CollectFiles.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "UError_C.h"
#include "UFileAbyss_C.h"

namespace fs = std::filesystem;

namespace {

using Paths = std::vector<std::string>;

class CollectFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/collectXXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
    }
    void TearDown() override { fs::remove_all(root); }

    // Empty files are enough: collecting judges names, it opens nothing.
    void Make(std::initializer_list<std::string> paths) {
        for (const std::string& relative : paths) {
            fs::create_directories(fs::path(In(relative)).parent_path());
            std::ofstream(In(relative)) << "";
        }
    }
    std::string In(const std::string& relative) const { return root + "/" + relative; }

    Paths Collect() {
        Paths batch;
        CollectFiles(abyss, [&batch](const char* path) { batch.emplace_back(path); });
        return batch;
    }

    std::string root;
    UFileAbyss_C abyss;
};

}  // namespace

TEST_F(CollectFilesTest, KeepsPicturesOnlySortedByFullPath) {
    Make({"s/b.png", "s/a.PNG", "s/B.gif", "s/c.jpeg", "s/d.txt", "s/png", "s/e.", "s/sub/a.bmp",
          "s/sub/Z.JPG", "s/x.gif.txt", "s/.hidden.gif"});
    abyss.AddPath(In("s").c_str());
    abyss.AddPath(In("s/b.png").c_str());
    // Byte order of the whole path: upper case before lower case, '.' before letters, and a
    // folder's files mixed in by name, not behind the files found earlier. A path named twice
    // is collected twice.
    EXPECT_EQ(Collect(), (Paths{In("s/.hidden.gif"), In("s/B.gif"), In("s/a.PNG"), In("s/b.png"),
                                In("s/b.png"), In("s/sub/Z.JPG"), In("s/sub/a.bmp")}));
}

TEST_F(CollectFilesTest, FailedBatchHandsNothingOnAndLeavesTheRestPending) {
    Make({"first.png", "later.png"});
    abyss.AddPath(In("first.png").c_str());
    abyss.AddPath(In("missing.png").c_str());
    abyss.AddPath(In("later.png").c_str());
    Paths handedOn;
    try {
        CollectFiles(abyss, [&handedOn](const char* path) { handedOn.emplace_back(path); });
        ADD_FAILURE() << "collecting a missing path did not fail";
    } catch (const NS_Base::UError_C& error) {
        EXPECT_EQ(error.GetCode(), 1);
        EXPECT_EQ(std::string(error.GetInfoEx()), In("missing.png"));
    }
    EXPECT_EQ(handedOn, Paths{}) << "a failed batch handed paths on";
    EXPECT_EQ(Collect(), Paths{In("later.png")});
}
