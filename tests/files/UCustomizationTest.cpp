#include "UCustomization_C.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "UTempDirectory.h"

using NS_Data::UGeneralData_C;
using Bytes = std::vector<unsigned char>;
using Store = UCustomization_C::UScopedStore_C;

namespace {

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes Int32(int32_t value) {
    const auto bits = static_cast<uint32_t>(value);
    return {static_cast<unsigned char>(bits), static_cast<unsigned char>(bits >> 8),
            static_cast<unsigned char>(bits >> 16), static_cast<unsigned char>(bits >> 24)};
}

Bytes Key(const std::string& key) {
    return Bytes(key.begin(), key.end()) + Bytes{0};
}

Bytes Record(const std::string& key, int32_t type, const Bytes& data) {
    return Key(key) + Int32(type) + Int32(static_cast<int32_t>(data.size())) + data;
}

Bytes Header(int32_t count) {
    return Bytes{'C', 'U', 'S', 'T'} + Int32(1) + Int32(count);
}

const Bytes example = {
    0x43, 0x55, 0x53, 0x54, 0x01, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x41, 0x75,
    0x74, 0x6F, 0x43, 0x75, 0x74, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00,
    0x01, 0x00, 0x00, 0x00, 0x43, 0x6F, 0x6D, 0x70, 0x6F, 0x73, 0x65, 0x4D, 0x6F, 0x64,
    0x65, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,
};

// Settings of every kind that nobody registers, in the order a save writes them.
const std::vector<Bytes> foreignRecords = {
    Record("Area", UGeneralData_C::Area, Bytes(16, 0xA5)),
    Record("Blob", UGeneralData_C::Binary, {1, 0, 2}),
    Record("Empty", UGeneralData_C::String, {}),
    Record("Name", UGeneralData_C::String, {'h', 'i', 0}),
    Record("Short", UGeneralData_C::Int16, {0xFF, 0xFF}),
    Record("Wide", UGeneralData_C::Double, {1, 2, 3, 4, 5, 6, 7, 8}),
};

Bytes ForeignFile() {
    Bytes file = Header(static_cast<int32_t>(foreignRecords.size()));
    for (const Bytes& record : foreignRecords) {
        file = file + record;
    }
    return file;
}

// Registers the two settings of the main window, as it does when it is built.
void RegisterWindowDefaults() {
    UCustomization_C::SetDefaultValue(NS_Data::UString_C("ComposeMode"), 1);
    UCustomization_C::SetDefaultValue("AutoCut", 0);
}

NS_Base::UError_C ErrorOf(const auto& action) {
    try {
        action();
    } catch (const NS_Base::UError_C& error) {
        return error;
    }
    return NS_Base::UError_C(0, 0, "none", nullptr);
}

class UCustomizationTest : public testing::Test {
protected:
    // Loads the settings file of `directory` into a scoped store, runs `use`, then saves.
    static int32_t Run(const std::string& directory, const auto& use) {
        Store store(directory.c_str());
        UCustomization_C::LoadCustomization("Tavrin");
        const int32_t loaded = store.Count();
        use(store);
        return loaded;
    }
    int32_t Run(const auto& use) { return Run(temp.Directory(), use); }
    int32_t LoadOnly() {
        return Run([](Store&) {});
    }

    UTempDirectory temp;
    const std::string path = temp.Path("Tavrin.uzn");
};

}  // namespace

TEST_F(UCustomizationTest, TheExampleFileLoadsAndIsWrittenBackByteForByte) {
    UTempDirectory::WriteFile(path, example);
    Run([](Store&) {
        RegisterWindowDefaults();
        EXPECT_EQ(UCustomization_C::GetValue("ComposeMode"), 2);
        EXPECT_EQ(UCustomization_C::GetValue(NS_Data::UString_C("AutoCut")), 1);
    });
    EXPECT_EQ(UTempDirectory::ReadFile(path), example);

    std::filesystem::remove(path);
    Run([](Store&) {
        RegisterWindowDefaults();
        UCustomization_C::SetValue("ComposeMode", 2);
        UCustomization_C::SetValue(NS_Data::UString_C("AutoCut"), 1);
    });
    EXPECT_EQ(UTempDirectory::ReadFile(path), example) << "a store without a file wrote otherwise";
}

TEST_F(UCustomizationTest, OnlySettingsThatDifferFromTheirDefaultsAreStored) {
    UTempDirectory::WriteFile(path, example);
    Run([](Store&) {
        RegisterWindowDefaults();
        UCustomization_C::SetValue("AutoCut", 0);
    });
    EXPECT_EQ(UTempDirectory::ReadFile(path), Header(1) + Record("ComposeMode", 0, Int32(2)));

    Run([](Store&) {
        RegisterWindowDefaults();
        UCustomization_C::SetValue("ComposeMode", 1);
    });
    EXPECT_FALSE(UTempDirectory::Exists(path)) << "a store at its defaults kept its file";
    Run([](Store&) { RegisterWindowDefaults(); });
    EXPECT_FALSE(UTempDirectory::Exists(path)) << "a store at its defaults made a file";
}

TEST_F(UCustomizationTest, SettingsNobodyRegistersSurviveARoundTrip) {
    UTempDirectory::WriteFile(path, ForeignFile());
    EXPECT_EQ(Run([](Store&) { RegisterWindowDefaults(); }), 6);
    EXPECT_EQ(UTempDirectory::ReadFile(path), ForeignFile());
}

TEST_F(UCustomizationTest, AConflictingDefaultIsRefusedAndChangesNothing) {
    UTempDirectory::WriteFile(path, example);
    Run([](Store&) {
        RegisterWindowDefaults();
        RegisterWindowDefaults();
        const NS_Base::UError_C error =
            ErrorOf([] { UCustomization_C::SetDefaultValue("ComposeMode", 2); });
        EXPECT_EQ(error.GetCode(), 1);
        EXPECT_EQ(error.GetKind(), NS_Base::SystemError);
        EXPECT_STREQ(error.GetPosition(), "UCustomization_C");
        EXPECT_STREQ(error.GetInfoEx(), "ComposeMode");
        EXPECT_EQ(UCustomization_C::GetValue("ComposeMode"), 2);
    });
    EXPECT_EQ(UTempDirectory::ReadFile(path), example) << "the refused default was recorded";
}

TEST_F(UCustomizationTest, MisuseRaisesTheStoresErrors) {
    UTempDirectory::WriteFile(path, ForeignFile());
    Run([](Store&) {
        struct Case {
            std::function<void()> action;
            int32_t code;
            const char* position;
            const char* message;
        };
        const Case cases[] = {
            {[] { UCustomization_C::LoadCustomization("Tavrin"); }, 2, "UCustomization_C",
             "It`s too late to load customization file."},
            {[] { UCustomization_C::GetValue("Missing"); }, 1, "UCustomizationDictionary_C",
             "Fail to get data because unexpected key."},
            {[] { UCustomization_C::SetValue("Missing", 1); }, 2, "UCustomizationDictionary_C",
             "Fail to set data because unexpected key."},
            {[] { UCustomization_C::GetValue("Name"); }, 2, "UGeneralData_C",
             "No data for pointed type."},
        };
        for (const Case& c : cases) {
            const NS_Base::UError_C error = ErrorOf(c.action);
            EXPECT_EQ(error.GetCode(), c.code) << c.message;
            EXPECT_STREQ(error.GetPosition(), c.position);
            EXPECT_STREQ(error.GetInfo(), c.message);
        }
        EXPECT_EQ(UCustomization_C::GetValue("Short"), -1);
    });
}

TEST_F(UCustomizationTest, DamageInsideTheThirdRecordKeepsTheFirstTwo) {
    const Bytes firstTwo = Header(3) + Bytes(example.begin() + 12, example.end());
    struct Case {
        Bytes third;
        const char* what;
    };
    const Case cases[] = {
        {{'Z', 'o'}, "file ends inside the key"},
        {Key("Zoom") + Bytes{0, 0}, "file ends inside the type"},
        {Key("Zoom") + Int32(0) + Bytes{4}, "file ends inside the size"},
        {Key("Zoom") + Int32(0) + Int32(4) + Bytes{1, 2}, "file ends inside the data"},
        {Key("Zoom") + Int32(15) + Int32(4) + Int32(1), "type beyond the table"},
        {Key("Zoom") + Int32(-1) + Int32(4) + Int32(1), "negative type"},
        {Key("Zoom") + Int32(14) + Int32(4) + Int32(1), "Unknown with data"},
        {Key("Zoom") + Int32(12) + Int32(-1) + Int32(1), "String of negative size"},
        {Key("Zoom") + Int32(13) + Int32(5) + Int32(1), "Binary longer than the file"},
        {Key("Zoom") + Int32(12) + Int32(0x7FFFFFFF), "String of 2 GiB"},
    };
    for (const Case& c : cases) {
        UTempDirectory::WriteFile(path, firstTwo + c.third);
        Run([&](Store& store) {
            EXPECT_EQ(store.Count(), 2) << c.what;
            EXPECT_EQ(store.Find("Zoom"), nullptr) << c.what;
            EXPECT_EQ(UCustomization_C::GetValue("AutoCut"), 1) << c.what;
            EXPECT_EQ(UCustomization_C::GetValue("ComposeMode"), 2) << c.what;
        });
    }
}

TEST_F(UCustomizationTest, AWrongSignLoadsNothingAndTheNextSaveDeletesTheFile) {
    for (int at = 0; at < 4; ++at) {
        Bytes damaged = example;
        damaged[at] ^= 0x20;
        UTempDirectory::WriteFile(path, damaged);
        EXPECT_EQ(LoadOnly(), 0) << "sign byte " << at;
        EXPECT_FALSE(UTempDirectory::Exists(path)) << "sign byte " << at;
    }
}

TEST_F(UCustomizationTest, EveryTruncationLoadsTheRecordsItHoldsWhole) {
    const Bytes file = ForeignFile();
    std::vector<std::size_t> recordEnds;
    std::size_t end = Header(0).size();
    for (const Bytes& record : foreignRecords) {
        recordEnds.push_back(end += record.size());
    }
    for (std::size_t length = 0; length <= file.size(); ++length) {
        UTempDirectory::WriteFile(path, Bytes(file.begin(), file.begin() + length));
        const auto whole = std::count_if(recordEnds.begin(), recordEnds.end(),
                                         [&](std::size_t e) { return e <= length; });
        EXPECT_EQ(LoadOnly(), whole) << "file cut to " << length << " bytes";
    }
}

TEST_F(UCustomizationTest, RandomByteFlipsLoadWithoutHarm) {
    const Bytes file = ForeignFile() + Record("ComposeMode", 0, Int32(2));
    std::mt19937 random(20240611);
    for (int round = 0; round < 400; ++round) {
        Bytes damaged = file;
        const int flips = 1 + round % 3;
        for (int i = 0; i < flips; ++i) {
            damaged[random() % damaged.size()] = static_cast<unsigned char>(random());
        }
        UTempDirectory::WriteFile(path, damaged);
        Run([&](Store& store) {
            EXPECT_LE(store.Count(), 7) << "round " << round;
            RegisterWindowDefaults();
        });
    }
}

TEST_F(UCustomizationTest, APathThatDoesNotFitIsNeitherLoadedNorSaved) {
    // The directory's own length decides whether "<directory>Tavrin.uzn" fits 199 bytes.
    const std::size_t room = 199 - temp.Directory().size() - std::string("Tavrin.uzn/").size();
    struct Case {
        std::size_t nameLength;
        int32_t loaded;
    };
    for (const Case c : {Case{room, 2}, Case{room + 1, 0}}) {
        const std::string directory = temp.Path(std::string(c.nameLength, 'd')) + "/";
        std::filesystem::create_directory(directory);
        const std::string file = directory + "Tavrin.uzn";
        UTempDirectory::WriteFile(file, example);
        EXPECT_EQ(Run(directory,
                      [](Store&) {
                          RegisterWindowDefaults();
                          UCustomization_C::SetValue("AutoCut", 0);
                      }),
                  c.loaded)
            << "path of " << file.size() << " bytes";
        const bool saved = UTempDirectory::ReadFile(file) != example;
        EXPECT_EQ(saved, c.loaded != 0) << "path of " << file.size() << " bytes";
    }
}

TEST_F(UCustomizationTest, ASaveThatCannotBeCompletedLeavesNoFile) {
    if (!UTempDirectory::Exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full to stand for a full disk";
    }
    std::filesystem::create_symlink("/dev/full", path);
    EXPECT_EQ(Run([](Store&) {
                  RegisterWindowDefaults();
                  UCustomization_C::SetValue("ComposeMode", 0);
              }),
              0);
    EXPECT_FALSE(UTempDirectory::Exists(path));
}

TEST(UCustomization, TheProgramsFileLiesBesideTheProgram) {
    const std::string exe = std::filesystem::read_symlink("/proc/self/exe").string();
    const std::string expected = exe.substr(0, exe.rfind('/') + 1) + "Tavrin.uzn";
    const std::string made = UCustomization_C::MakeCustomizationPath("Tavrin").GetString();
    EXPECT_EQ(made, expected.size() < 200 ? expected : "");
}
