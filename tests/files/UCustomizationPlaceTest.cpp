#include "files/UCustomizationPlace_C.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>

#include "TestSupport.h"
#include "files/PathUtilities.h"

using Facts = UCustomizationPlace_C::Facts_S;

namespace {

constexpr char marker[] = "../share/applications/tavrin.desktop";

class UCustomizationPlaceTest : public testing::Test {
protected:
    // An unpacked or built program: bin/ alone. `installed` adds the marker beside it and
    // `withFile` a settings file in it.
    Facts Program(bool installed, bool withFile) const {
        std::filesystem::create_directories(temp.root + "bin");
        if (installed) {
            std::filesystem::create_directories(temp.root + "share/applications");
            WriteFile(temp.root + "share/applications/tavrin.desktop", {});
        }
        if (withFile) {
            WriteFile(temp.root + "bin/Tavrin.uzn", {});
        }
        return {temp.root + "bin/", "Tavrin.uzn", marker, temp.root + "xdg", "/home/u", "tavrin"};
    }

    UTempDirectory temp;
};

}  // namespace

TEST_F(UCustomizationPlaceTest, OnlyAProgramInAFolderOfItsOwnKeepsItsSettingsBesideItself) {
    const std::string beside = temp.root + "bin/", config = temp.root + "xdg/tavrin/";
    struct Case {
        bool installed, withFile;
        const char* what;
        std::string expected;
    } const cases[] = {
        {false, false, "a writable folder of its own", beside},
        {true, false, "an installed program, even where it may write (root)", config},
        {true, true, "an installed program that already has a file beside it", beside},
    };
    for (const Case& c : cases) {
        std::filesystem::remove_all(temp.root + "share");
        std::filesystem::remove(temp.root + "bin/Tavrin.uzn");
        EXPECT_EQ(UCustomizationPlace_C::ChooseDirectory(Program(c.installed, c.withFile)),
                  c.expected)
            << c.what;
    }
    Facts missing = Program(false, false);
    missing.programDirectory = temp.root + "gone/";
    EXPECT_EQ(UCustomizationPlace_C::ChooseDirectory(missing), config) << "a folder not writable";
}

TEST(ConfigDirectory, FollowsAnAbsoluteXdgConfigHomeElseTheHomeFolder) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"/cfg/", "/home/u", "/cfg/tavrin/"},
        {"cfg", "/home/u/", "/home/u/.config/tavrin/"},  // a relative one is not valid
        {"", "", ""},
    };
    for (const auto& [configHome, home, expected] : cases) {
        const Facts facts{"", "Tavrin.uzn", marker, configHome, home, "tavrin"};
        EXPECT_EQ(UCustomizationPlace_C::ConfigDirectory(facts), expected)
            << "XDG_CONFIG_HOME=\"" << configHome << "\" HOME=\"" << home << "\"";
    }
}

// The folder beside the program is where an unpacked one keeps its settings.
TEST(GetModuleDirectory, GivesTheTestProgramsFolderOrAnEmptyTextWhenItDoesNotFit) {
    char buffer[4096];
    ASSERT_TRUE(GetModuleDirectory(buffer, sizeof buffer));
    EXPECT_TRUE(Exists(buffer + std::string("files_tests"))) << buffer << " lacks this program";
    char tooSmall[2] = {'x', 'x'};
    EXPECT_FALSE(GetModuleDirectory(tooSmall, sizeof tooSmall));
    EXPECT_EQ(tooSmall[0], '\0') << "a refused directory must leave an empty text";
}
