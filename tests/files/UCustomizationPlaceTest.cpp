#include "files/UCustomizationPlace_C.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "TestSupport.h"
#include "files/PathUtilities.h"
#include "files/UCustomization_C.h"

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
    missing.programDirectory.clear();
    EXPECT_EQ(UCustomizationPlace_C::ChooseDirectory(missing), config) << "an unknown folder";
}

TEST(ConfigDirectory, FollowsAnAbsoluteXdgConfigHomeElseTheHomeFolder) {
    struct Case {
        const char* configHome;
        const char* home;
        const char* expected;
    } const cases[] = {
        {"/cfg", "/home/u", "/cfg/tavrin/"},
        {"/cfg/", "/home/u", "/cfg/tavrin/"},
        {"cfg", "/home/u/", "/home/u/.config/tavrin/"},  // a relative one is not valid
        {"", "/home/u", "/home/u/.config/tavrin/"},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        const Facts facts{"", "Tavrin.uzn", marker, c.configHome, c.home, "tavrin"};
        EXPECT_EQ(UCustomizationPlace_C::ConfigDirectory(facts), c.expected)
            << "XDG_CONFIG_HOME=\"" << c.configHome << "\" HOME=\"" << c.home << "\"";
    }
}

TEST_F(UCustomizationPlaceTest, TheConfigFolderIsMadePrivateOnlyWhenASettingIsSaved) {
    const std::string folder = temp.root + "xdg/tavrin/";
    const auto runWindow = [&](int32_t layout) {
        UCustomization_C::UScopedStore_C store("");
        UCustomization_C::LoadCustomization("Tavrin", folder.c_str());
        UCustomization_C::SetDefaultValue("ComposeMode", 1);
        UCustomization_C::SetValue("ComposeMode", layout);
    };
    runWindow(1);
    EXPECT_FALSE(Exists(temp.root + "xdg")) << "made for a store at its defaults";
    runWindow(0);
    struct stat info {};
    ASSERT_EQ(::stat(folder.c_str(), &info), 0) << "not made for a changed setting";
    EXPECT_EQ(info.st_mode & 0777, 0700u) << "the settings folder is open to others";
    EXPECT_TRUE(Exists(folder + "Tavrin.uzn"));
}

TEST_F(UCustomizationPlaceTest, ASaveThatFailsIsReportedOnceWithItsPath) {
    // Below a plain file no folder can be made, not even by root.
    WriteFile(temp.root + "plain", {});
    const std::string folder = temp.root + "plain/tavrin/";
    EXPECT_FALSE(MakeDirectories(folder));
    testing::internal::CaptureStderr();
    {
        UCustomization_C::UScopedStore_C store("");
        UCustomization_C::LoadCustomization("Tavrin", folder.c_str());
        UCustomization_C::SetDefaultValue("AutoCut", 0);
        UCustomization_C::SetValue("AutoCut", 1);
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Settings file " + folder + "Tavrin.uzn: not saved, Not a directory\n");
}
