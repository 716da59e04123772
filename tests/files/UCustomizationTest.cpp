#include "files/UCustomization_C.h"

#include <gtest/gtest.h>

#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <tuple>

#include "TestSupport.h"

using G = NS_Data::UGeneralData_C;
using Store = UCustomization_C::UScopedStore_C;

namespace {

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes Int32(int32_t v) {
    return {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
            static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
}

Bytes Record(const std::string& key, int32_t type, const Bytes& data) {
    return Bytes(key.c_str(), key.c_str() + key.size() + 1) + Int32(type) +
           Int32(static_cast<int32_t>(data.size())) + data;
}

Bytes Header(int32_t count) {
    return Bytes{'C', 'U', 'S', 'T'} + Int32(1) + Int32(count);
}

const Bytes example = {
    0x43, 0x55, 0x53, 0x54, 1,    0, 0, 0, 2, 0, 0, 0, 0x41, 0x75, 0x74, 0x6F, 0x43, 0x75, 0x74,
    0,    0,    0,    0,    0,    4, 0, 0, 0, 1, 0, 0, 0,    0x43, 0x6F, 0x6D, 0x70, 0x6F, 0x73,
    0x65, 0x4D, 0x6F, 0x64, 0x65, 0, 0, 0, 0, 0, 4, 0, 0,    0,    2,    0,    0,    0};

class UCustomizationTest : public testing::Test {
protected:
    // Loads "Tavrin.uzn" of `directory` into a scoped store, registers the defaults as the main
    // window does, runs `use`, and saves; returns the number of settings loaded.
    int32_t Run(
        const std::function<void(Store&)>& use = [](Store&) {}, const std::string& directory = "") {
        Store store((directory.empty() ? temp.root : directory).c_str());
        UCustomization_C::LoadCustomization("Tavrin");
        const int32_t loaded = store.Count();
        UCustomization_C::SetDefaultValue(NS_Data::UString_C("ComposeMode"), 1);
        UCustomization_C::SetDefaultValue("AutoCut", 0);
        use(store);
        return loaded;
    }

    UTempDirectory temp;
    const std::string path = temp.root + "Tavrin.uzn";
};

}  // namespace

TEST_F(UCustomizationTest, TheExampleLoadsUnknownKeysAreRefusedAndOnlyChangedSettingsAreWritten) {
    WriteFile(path, example);
    Run([](Store& store) {
        EXPECT_EQ(UCustomization_C::GetValue("ComposeMode"), 2);
        EXPECT_EQ(UCustomization_C::GetValue(NS_Data::UString_C("AutoCut")), 1);
        EXPECT_EQ(FailureOf([] { UCustomization_C::GetValue("Missing"); }),
                  "UCustomizationDictionary_C 1 Fail to get data because unexpected key.|Missing");
        EXPECT_EQ(CodeOf([] { UCustomization_C::SetValue("Missing", 1); }), 2);
        EXPECT_EQ(store.Find("Missing"), nullptr) << "a refused key was added";
    });
    EXPECT_EQ(ReadFile(path), example);
    Run([](Store&) { UCustomization_C::SetValue("AutoCut", 0); });
    EXPECT_EQ(ReadFile(path), Header(1) + Record("ComposeMode", G::Int, Int32(2)));
    Run([](Store&) { UCustomization_C::SetValue("ComposeMode", 1); });
    EXPECT_FALSE(Exists(path)) << "a store at its defaults kept its file";
    Run([](Store&) {
        UCustomization_C::SetValue("ComposeMode", 2);
        UCustomization_C::SetValue(NS_Data::UString_C("AutoCut"), 1);
    });
    EXPECT_EQ(ReadFile(path), example) << "a store that started without a file";
}

// What a foreign file stores under a setting's key reads only when it is an integer of some
// width; anything else is refused, never read as whatever its bytes say.
TEST_F(UCustomizationTest, StoredIntegersOfAnyWidthReadAndOtherTypesAreRefused) {
    const std::tuple<int32_t, Bytes, int32_t, int32_t> cases[] = {
        {G::Int16, {0xFF, 0xFF}, -1, 0},             // sign-extended
        {G::Int64, {5, 0, 0, 0, 9, 0, 0, 0}, 5, 0},  // the low half
        {G::String, {'5', 0}, 0, 2},
    };
    for (const auto& [type, data, expected, raised] : cases) {
        WriteFile(path, Header(1) + Record("ComposeMode", type, data));
        int32_t read = 0, code = 0;
        Run([&](Store&) {
            code = CodeOf([&] { read = UCustomization_C::GetValue("ComposeMode"); });
        });
        EXPECT_EQ(std::pair(read, code), std::pair(expected, raised))
            << "value and error, type " << type;
    }
}

TEST_F(UCustomizationTest, DamageInsideTheThirdRecordKeepsTheFirstTwo) {
    const Bytes firstTwo = Header(3) + Bytes(example.begin() + 12, example.end());
    const Bytes zoom = {'Z', 'o', 'o', 'm', 0};
    const std::pair<Bytes, const char*> cases[] = {
        {{'Z', 'o'}, "ends inside the key"},
        {zoom + Int32(0) + Bytes{4}, "ends inside the size"},
        {zoom + Int32(0) + Int32(4) + Bytes{1, 2}, "ends inside the data"},
        {zoom + Int32(15) + Int32(4) + Int32(1), "type beyond the table"},
        {zoom + Int32(-1) + Int32(4) + Int32(1), "negative type"},
        {zoom + Int32(G::Unknown) + Int32(4) + Int32(1), "Unknown with data"},
        {zoom + Int32(G::String) + Int32(-1) + Int32(1), "String of negative size"},
        {zoom + Int32(G::String) + Int32(0x7FFFFFFF), "String of 2 GiB"},
    };
    for (const auto& [third, what] : cases) {
        WriteFile(path, firstTwo + third);
        EXPECT_EQ(Run([&](Store& store) {
                      EXPECT_EQ(UCustomization_C::GetValue("AutoCut"), 1) << what;
                      EXPECT_EQ(UCustomization_C::GetValue("ComposeMode"), 2) << what;
                      EXPECT_EQ(store.Find("Zoom"), nullptr) << what;
                  }),
                  2)
            << what;
    }
}

TEST_F(UCustomizationTest, AWrongSignLoadsNothingAndTheNextSaveDeletesTheFile) {
    for (int at = 0; at < 4; ++at) {
        Bytes damaged = example;
        damaged[at] ^= 0x20;
        WriteFile(path, damaged);
        EXPECT_EQ(Run(), 0) << "sign byte " << at;
        EXPECT_FALSE(Exists(path)) << "sign byte " << at;
    }
}

// Any path the system takes (4095 bytes) holds the settings; one byte more is left alone.
TEST_F(UCustomizationTest, APathLongerThanTheSystemTakesIsNeitherLoadedNorSaved) {
    const std::size_t room = PATH_MAX - 1 - std::string("Tavrin.uzn").size();
    for (const std::size_t length : {room, room + 1}) {
        const std::string directory =
            MakeDeepFolder(temp.root + std::to_string(length) + "/", length);
        if (length == room) {
            WriteFile(directory + "Tavrin.uzn", example);
        }
        const int32_t loaded =
            Run([](Store&) { UCustomization_C::SetValue("AutoCut", 0); }, directory);
        EXPECT_EQ(loaded, length == room ? 2 : 0) << "folder path of " << length << " bytes";
        if (length == room) {
            EXPECT_NE(ReadFile(directory + "Tavrin.uzn"), example) << "not saved";
        }
    }
}

TEST_F(UCustomizationTest, AFailedSaveKeepsTheOldFile) {
    WriteFile(path, example);
    {
        const UFileSizeLimit limit(example.size() - 1);
        Run([](Store&) { UCustomization_C::SetValue("ComposeMode", 3); });
    }
    EXPECT_EQ(ReadFile(path), example);
    EXPECT_EQ(NamesWith(temp.root, ".tmp"), std::vector<std::string>{});
}

// A link, as a dotfile manager makes, keeps pointing at the file it names, which saves replace.
TEST_F(UCustomizationTest, ALinkKeepsPointingAtTheFileItNames) {
    std::filesystem::create_directory(temp.root + "real");
    WriteFile(temp.root + "real/kept.uzn", example);
    std::filesystem::create_symlink("real/kept.uzn", path);
    EXPECT_EQ(Run([](Store&) {
                  UCustomization_C::SetValue("AutoCut", 0);
                  UCustomization_C::SetValue("ComposeMode", 1);
              }),
              2);
    EXPECT_TRUE(std::filesystem::is_symlink(path));
    EXPECT_EQ(ReadFile(temp.root + "real/kept.uzn"), Header(0)) << "at the defaults";
}

// A file that exists but cannot be read, a FIFO (which would wait for a writer) or one the user
// may not read, is never deleted or replaced: at the defaults nothing happens, and a changed
// setting is reported as not saved.
TEST_F(UCustomizationTest, AFileThatCannotBeReadIsLeftAsItIs) {
    OpenTo(temp.root, true);
    const std::tuple<const char*, std::function<void()>, const char*> cases[] = {
        {"FIFO", [&] { ASSERT_EQ(mkfifo(path.c_str(), 0600), 0); }, "no regular file"},
        {"mode 000",
         [&] {
             WriteFile(path, example);
             std::filesystem::permissions(path, std::filesystem::perms::none);
         },
         "Permission denied"},
    };
    for (const auto& [what, make, reason] : cases) {
        for (const bool changed : {false, true}) {
            std::filesystem::remove(path);
            make();
            const auto before = std::filesystem::status(path);
            testing::internal::CaptureStderr();
            {
                const UUnprivileged nobody;
                alarm(20);
                EXPECT_EQ(Run([changed](Store&) {
                              UCustomization_C::SetValue("AutoCut", changed ? 1 : 0);
                          }),
                          0)
                    << what;
                alarm(0);
            }
            const std::string report = testing::internal::GetCapturedStderr();
            ASSERT_TRUE(Exists(path)) << what << (changed ? ", changed" : ", at the defaults");
            EXPECT_EQ(std::filesystem::status(path).type(), before.type()) << what;
            std::filesystem::permissions(path, std::filesystem::perms::owner_all);
            if (std::filesystem::is_regular_file(path)) {
                EXPECT_EQ(ReadFile(path), example) << what;
            }
            EXPECT_EQ(report, changed ? "Settings file " + path +
                                            ": not saved, it could not be read: " + reason + "\n"
                                      : "")
                << what;
        }
    }
}

// A settings folder that cannot be made is reported with its own reason, not with the missing
// folder that creating the file then meets.
TEST_F(UCustomizationTest, AFolderThatCannotBeMadeIsReportedWithItsReason) {
    namespace fs = std::filesystem;
    OpenTo(temp.root, false);
    fs::create_directory(temp.root + "config");
    fs::permissions(temp.root + "config", fs::perms(0555));
    const std::string directory = temp.root + "config/tavrin/";
    testing::internal::CaptureStderr();
    {
        const UUnprivileged nobody;
        Run([](Store&) { UCustomization_C::SetValue("AutoCut", 1); }, directory);
    }
    const std::string report = testing::internal::GetCapturedStderr();
    fs::permissions(temp.root + "config", fs::perms::owner_all);
    EXPECT_EQ(report, "Settings file " + directory + "Tavrin.uzn: not saved, Permission denied\n");
}
