#include "ShellChoosers.h"

#include <gtest/gtest.h>

#include <QDir>

#include <string>
#include <vector>

#include "PathUtilities.h"
#include "ScriptedShell.h"

using namespace NS_Wnd;

namespace {

constexpr char pictureFilter[] = "Image File(*.bmp,*.png,*.jpg,*.gif)\0*.bmp;*.png;*.jpg;*.gif;\0";

std::vector<std::string> ReadSelection(const std::string& selection) {
    std::vector<std::string> paths;
    int32_t cursor = 0;
    std::string path;
    while (NextSelectedFile(cursor, selection.c_str(), path) == 0 && paths.size() < 10) {
        paths.push_back(path);
    }
    return paths;
}

}  // namespace

TEST(ChooseFile, OneOrSeveralFilesReadBackThroughNextSelectedFile) {
    ScriptedShell shell;
    shell.files = {{"/pics/a.png"},
                   {"/pics/a.png", "/pics/b.png"},
                   {"/a.png", "/b.png"},
                   {"/p/a.png", "/q/r/b.png"}};
    std::string result;
    ASSERT_FALSE(ChooseFile(shell, nullptr, pictureFilter, "", result, OpenFiles, nullptr));
    EXPECT_EQ(result, std::string("/pics/a.png\0\0", 13));
    EXPECT_EQ(ReadSelection(result), (std::vector<std::string>{"/pics/a.png"}));
    EXPECT_TRUE(shell.lastSeveral);
    EXPECT_EQ(shell.lastFilter, "Image File(*.bmp,*.png,*.jpg,*.gif) (*.bmp *.png *.jpg *.gif)");

    ASSERT_FALSE(ChooseFile(shell, nullptr, pictureFilter, "", result, OpenFiles, nullptr));
    EXPECT_EQ(result, std::string("/pics\0a.png\0b.png\0\0", 19));
    EXPECT_EQ(ReadSelection(result), (std::vector<std::string>{"/pics/a.png", "/pics/b.png"}));

    ASSERT_FALSE(ChooseFile(shell, nullptr, pictureFilter, "", result, OpenFiles, nullptr));
    EXPECT_EQ(ReadSelection(result), (std::vector<std::string>{"/a.png", "/b.png"}));
    // Files from different folders still read back whole.
    ASSERT_FALSE(ChooseFile(shell, nullptr, pictureFilter, "", result, OpenFiles, nullptr));
    EXPECT_EQ(ReadSelection(result), (std::vector<std::string>{"/p/a.png", "/q/r/b.png"}));
}

TEST(ChooseFile, CancelGivesTrueAndAnEmptyResult) {
    ScriptedShell shell;
    shell.files = {{}};
    shell.savePaths = {QString()};
    std::string result = "left over";
    EXPECT_TRUE(ChooseFile(shell, nullptr, pictureFilter, "", result, OpenFiles, nullptr));
    EXPECT_TRUE(result.empty());
    EXPECT_TRUE(ChooseFile(shell, nullptr, pictureFilter, "", result, SaveFile, "png"));
    EXPECT_TRUE(result.empty());
}

TEST(ChooseFile, SaveModeAsksForOnePathWithTheDefaultExtension) {
    ScriptedShell shell;
    shell.savePaths = {"/out/sheet.png", "/out/other.png"};
    shell.files = {{"/one.gif"}};
    std::string result;
    ASSERT_FALSE(ChooseFile(shell, nullptr, "32-bits Image File(.png)\0*.png\0", "/start", result,
                            SaveFile, "png"));
    EXPECT_EQ(result, std::string("/out/sheet.png\0\0", 16));
    EXPECT_EQ(shell.lastSuffix, "png");
    EXPECT_EQ(shell.lastDirectory, "/start");
    EXPECT_EQ(shell.lastFilter, "32-bits Image File(.png) (*.png)");
    // A mode above 2 is the save chooser.
    ASSERT_FALSE(ChooseFile(shell, nullptr, "", "", result, 7, "png"));
    EXPECT_EQ(result, std::string("/out/other.png\0\0", 16));
    ASSERT_FALSE(ChooseFile(shell, nullptr, "", "", result, OpenFile, nullptr));
    EXPECT_FALSE(shell.lastSeveral);
}

TEST(ChooseDirectory, StartsInTheCurrentDirectoryAndReportsCancel) {
    ScriptedShell shell;
    shell.directories = {"/pics", QString()};
    std::string path;
    EXPECT_FALSE(ChooseDirectory(shell, nullptr, "Please select directory:", path));
    EXPECT_EQ(path, "/pics");
    EXPECT_EQ(shell.lastTitle, "Please select directory:");
    EXPECT_EQ(shell.lastDirectory, QDir::currentPath());
    EXPECT_TRUE(ChooseDirectory(shell, nullptr, "Please select directory:", path));
    EXPECT_TRUE(path.empty());
}

TEST(NextDroppedFile, YieldsLocalPathsAndPassesOverOtherUrls) {
    const QList<QUrl> drop = {QUrl::fromLocalFile("/pics/a b.png"),
                              QUrl("https://example.org/x.png"),
                              QUrl::fromLocalFile("/pics/\xE5\x9B\xBE")};
    std::vector<std::string> paths;
    int32_t cursor = 0;
    std::string path;
    while (NextDroppedFile(cursor, drop, path) == 0 && paths.size() < 10) {
        paths.push_back(path);
    }
    EXPECT_EQ(paths, (std::vector<std::string>{"/pics/a b.png", "/pics/\xE5\x9B\xBE"}));
    EXPECT_EQ(NextDroppedFile(cursor, drop, path), 1) << "the end stays the end";
}
