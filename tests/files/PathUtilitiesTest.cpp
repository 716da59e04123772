#include "PathUtilities.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

namespace {

// Runs an iterator from cursor 0 to its end and returns every path it produced. Stops after
// `limit` paths so that an iterator that never ends fails the test instead of hanging it.
template <class Next>
std::vector<std::string> Drain(Next next, const char* input, int limit = 10) {
    std::vector<std::string> paths;
    int32_t cursor = 0;
    std::string out;
    while (next(cursor, input, out) == 0 && static_cast<int>(paths.size()) < limit) {
        paths.push_back(out);
    }
    return paths;
}

using Paths = std::vector<std::string>;

}  // namespace

TEST(NextSelectedFile, WalksEveryFormOfAChooserResult) {
    struct Case {
        const char* what;
        std::string selection;  // the chooser's bytes, ending in an empty text
        Paths expected;
    };
    const Case cases[] = {
        {"one chosen file", std::string("/pics/a.png\0\0", 13), {"/pics/a.png"}},
        {"folder and two names",
         std::string("/pics\0a.png\0b.png\0\0", 19),
         {"/pics/a.png", "/pics/b.png"}},
        {"the root needs no separator",
         std::string("/\0a.png\0b b.png\0\0", 17),
         {"/a.png", "/b b.png"}},
        {"a folder ending in a separator", std::string("/pics/\0a.png\0\0", 14), {"/pics/a.png"}},
        {"nothing chosen", std::string("\0\0", 2), {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Drain(NextSelectedFile, c.selection.c_str()), c.expected) << c.what;
    }
}

TEST(NextCommandLinePath, SplitsOnlyQuotedCommandLines) {
    struct Case {
        const char* what;
        const char* text;
        Paths expected;
    };
    const Case cases[] = {
        {"unquoted text is one path, blanks included", "/a b.png /c.png", {"/a b.png /c.png"}},
        {"two quoted paths", "\"/a b.png\" \"/c.png\"", {"/a b.png", "/c.png"}},
        {"empty quotes yield nothing", "\"\" \"/c.png\"", {"/c.png"}},
        {"text outside quotes is ignored", "\"/a.png\" junk \"/c.png\" tail", {"/a.png", "/c.png"}},
        {"an unclosed quote drops its text", "\"/a.png\" \"/unclosed", {"/a.png"}},
        {"an empty command line", "", {}},
        {"only a quote", "\"", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Drain(NextCommandLinePath, c.text), c.expected) << c.what;
    }
}

TEST(GetFileName, PointsJustAfterTheLastSeparator) {
    struct Case {
        const char* path;
        const char* name;
    };
    const Case cases[] = {
        {"/pics/set/a.png", "a.png"},
        {"a.png", "a.png"},
        {"/pics/", ""},
        {"/", ""},
        {"", ""},
        {"/a.b/c", "c"},
    };
    for (const Case& c : cases) {
        const char* name = GetFileName(c.path);
        EXPECT_STREQ(name, c.name) << "path " << c.path;
        EXPECT_TRUE(name >= c.path && name <= c.path + std::string(c.path).size())
            << "the name of " << c.path << " does not point into the path";
    }
}

TEST(HasExtension, ComparesTheLastComponentsExtensionWithoutCase) {
    struct Case {
        const char* path;
        const char* extension;
        bool expected;
    };
    const Case cases[] = {
        {"/p/pic.PNG", "png", true},    {"/p/pic.png", "PNG", true},
        {"/p/png", "png", false},       {"/p/.png", "png", true},
        {"/p/pic.jpeg", "jpg", false},  {"/p/pic.jpg", "jpeg", false},
        {"/set.png/pic", "png", false}, {"/set.png/pic", "", true},
        {"/p/pic.", "png", false},      {"/p/pic.", "", true},
        {"/p/a.tar.gif", "gif", true},  {"/p/a.gif.tar", "gif", false},
        {"pic.Gif", "gif", true},       {"/p/pic.pn", "png", false},
        {"/p/pic.pngx", "png", false},  {"/p/pic.\xC3\xA9", "\xC3\x89", false},
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
    struct stat program;
    EXPECT_EQ(stat((directory + "files_tests").c_str(), &program), 0)
        << directory << " does not hold this test program";

    char tooSmall[2] = {'x', 'x'};
    EXPECT_FALSE(GetModuleDirectory(tooSmall, sizeof tooSmall));
    EXPECT_EQ(tooSmall[0], '\0') << "a refused directory must leave an empty text";
}
