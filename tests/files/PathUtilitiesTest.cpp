#include "files/PathUtilities.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "TestSupport.h"

using Paths = std::vector<std::string>;
using namespace std::string_literals;

TEST(PathIterators, WalkChooserResultsAndCommandLines) {
    using Next = int (*)(int32_t&, const char*, std::string&);
    const struct Case {
        Next next;
        std::string input;  // a chooser's bytes end in an empty text
        Paths expected;
    } cases[] = {
        {NextSelectedFile, "/pics\0a.png\0b.png\0\0"s, {"/pics/a.png", "/pics/b.png"}},
        {NextSelectedFile, "/\0a.png\0b b.png\0\0"s, {"/a.png", "/b b.png"}},
        {NextSelectedFile, "/pics/\0a.png\0\0"s, {"/pics/a.png"}},
        // Only a command line that starts with a quote is split, into its quoted stretches.
        {NextCommandLinePath, "/a b.png /c.png", {"/a b.png /c.png"}},
        {NextCommandLinePath, "\"/a b.png\" \"/c.png\"", {"/a b.png", "/c.png"}},
        {NextCommandLinePath, "\"\" \"/c.png\"", {"/c.png"}},
        {NextCommandLinePath, "\"/a.png\" junk \"/c.png\" tail", {"/a.png", "/c.png"}},
        {NextCommandLinePath, "\"/a.png\" \"/unclosed", {"/a.png"}},
        {NextCommandLinePath, "", {}},
        {NextCommandLinePath, "\"", {}},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        Paths paths;
        int32_t cursor = 0;
        std::string out;
        // Bounded, so that an iterator that never ends fails instead of hanging.
        while (cases[i].next(cursor, cases[i].input.c_str(), out) == 0 && paths.size() < 10) {
            paths.push_back(out);
        }
        EXPECT_EQ(paths, cases[i].expected) << "case " << i;
    }
}

TEST(GetFileName, PointsJustAfterTheLastSeparator) {
    const std::pair<const char*, const char*> cases[] = {
        {"/pics/set/a.png", "a.png"}, {"a.png", "a.png"}, {"/pics/", ""}, {"/", ""}, {"", ""}};
    for (const auto& [path, name] : cases) {
        EXPECT_STREQ(GetFileName(path), name) << "path " << path;
    }
}

TEST(HasExtension, ComparesTheLastComponentsExtensionWithoutCase) {
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"/p/pic.PNG", "png", true},   {"/p/png", "png", false},
        {"/p/.png", "png", true},      {"/p/pic.jpeg", "jpg", false},
        {"/p/pic.jpg", "jpeg", false}, {"/set.png/pic", "png", false},
        {"/set.png/pic", "", true},    {"/p/pic.", "", true},
        {"/p/a.tar.gif", "gif", true}, {"/p/pic.\xC3\xA9", "\xC3\x89", false},
    };
    for (const auto& [path, extension, expected] : cases) {
        EXPECT_EQ(HasExtension(path, extension), expected)
            << "path " << path << ", extension " << extension;
    }
}

TEST(GetModuleDirectory, GivesTheTestProgramsFolderWithItsSeparator) {
    char buffer[4096];
    ASSERT_TRUE(GetModuleDirectory(buffer, sizeof buffer));
    const std::string directory = buffer;
    ASSERT_FALSE(directory.empty());
    EXPECT_EQ(directory.back(), '/');
    EXPECT_TRUE(Exists(directory + "files_tests")) << directory << " does not hold this program";

    char tooSmall[2] = {'x', 'x'};
    EXPECT_FALSE(GetModuleDirectory(tooSmall, sizeof tooSmall));
    EXPECT_EQ(tooSmall[0], '\0') << "a refused directory must leave an empty text";
}
