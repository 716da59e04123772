#include "ShellChoosers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PathUtilities.h"
#include "ScriptedShell.h"

using namespace NS_Wnd;

namespace {

constexpr char filter[] = "Image File(*.bmp,*.png)\0*.bmp;*.png;\0Any\0*\0";

// What the dialog reads back from a chooser's result.
std::vector<std::string> Choose(ScriptedShell& shell, uint8_t mode) {
    std::string result;
    std::vector<std::string> paths;
    if (ChooseFile(shell, nullptr, filter, "", result, mode, "png")) {
        EXPECT_TRUE(result.empty());
        return paths;
    }
    std::string path;
    for (int32_t cursor = 0; NextSelectedFile(cursor, result.c_str(), path) == 0;) {
        paths.push_back(path);
    }
    return paths;
}

using Paths = std::vector<std::string>;

}  // namespace

TEST(ChooseFile, ChosenFilesReadBackThroughNextSelectedFile) {
    ScriptedShell shell;
    shell.files = {{"/p/a.png"},
                   {"/p/a.png", "/p/b.png"},
                   {"/a.png", "/b.png"},
                   {"/p/a.png", "/q/r/b.png"},
                   {}};
    EXPECT_EQ(Choose(shell, OpenFiles), Paths{"/p/a.png"});
    EXPECT_EQ(shell.lastFilter, "Image File(*.bmp,*.png) (*.bmp *.png);;Any (*)");
    EXPECT_TRUE(shell.lastSeveral);
    EXPECT_EQ(Choose(shell, OpenFiles), (Paths{"/p/a.png", "/p/b.png"}));
    EXPECT_EQ(Choose(shell, OpenFiles), (Paths{"/a.png", "/b.png"})) << "the root as directory";
    EXPECT_EQ(Choose(shell, OpenFiles), (Paths{"/p/a.png", "/q/r/b.png"})) << "two folders";
    EXPECT_EQ(Choose(shell, OpenFiles), Paths{}) << "cancelled";
}

TEST(ChooseFile, SaveModeAsksForOnePathWithTheDefaultExtension) {
    ScriptedShell shell;
    shell.savePaths = {"/out/sheet.png", "/out/other.png", ""};
    EXPECT_EQ(Choose(shell, SaveFile), Paths{"/out/sheet.png"});
    EXPECT_EQ(shell.lastSuffix, "png");
    EXPECT_EQ(Choose(shell, 7), Paths{"/out/other.png"}) << "a mode above 2 saves";
    EXPECT_EQ(Choose(shell, SaveFile), Paths{}) << "cancelled";
}
