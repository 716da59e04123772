#include "PathUtilities.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"

using Paths = std::vector<std::string>;

TEST(PathIterators, WalkChooserResultsAndCommandLines) {
    using Next = int (*)(int32_t&, const char*, std::string&);
    const auto selected = [](const char* bytes, std::size_t size) {
        return std::string(bytes, size);
    };
    const struct Case {
        Next next;
        std::string input;  // a chooser's bytes end in an empty text
        Paths expected;
    } cases[] = {
        {NextSelectedFile, selected("/pics/a.png\0\0", 13), {"/pics/a.png"}},
        {NextSelectedFile, selected("/pics\0a.png\0b.png\0\0", 19), {"/pics/a.png", "/pics/b.png"}},
        {NextSelectedFile, selected("/\0a.png\0b b.png\0\0", 17), {"/a.png", "/b b.png"}},
        {NextSelectedFile, selected("/pics/\0a.png\0\0", 14), {"/pics/a.png"}},
        {NextSelectedFile, selected("\0\0", 2), {}},
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
    struct Case {
        const char* path;
        const char* extension;
        bool expected;
    };
    const Case cases[] = {
        {"/p/pic.PNG", "png", true},   {"/p/png", "png", false},
        {"/p/.png", "png", true},      {"/p/pic.jpeg", "jpg", false},
        {"/p/pic.jpg", "jpeg", false}, {"/set.png/pic", "png", false},
        {"/set.png/pic", "", true},    {"/p/pic.", "", true},
        {"/p/a.tar.gif", "gif", true}, {"/p/pic.\xC3\xA9", "\xC3\x89", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HasExtension(c.path, c.extension), c.expected)
            << "path " << c.path << ", extension " << c.extension;
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
