#include "UCustomization_C.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

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

Bytes Key(const std::string& key) {
    return Bytes(key.c_str(), key.c_str() + key.size() + 1);
}

Bytes Record(const std::string& key, int32_t type, const Bytes& data) {
    return Key(key) + Int32(type) + Int32(static_cast<int32_t>(data.size())) + data;
}

Bytes Header(int32_t count) {
    return Bytes{'C', 'U', 'S', 'T'} + Int32(1) + Int32(count);
}

const Bytes example = {
    0x43, 0x55, 0x53, 0x54, 1,    0, 0, 0, 2, 0, 0, 0, 0x41, 0x75, 0x74, 0x6F, 0x43, 0x75, 0x74,
    0,    0,    0,    0,    0,    4, 0, 0, 0, 1, 0, 0, 0,    0x43, 0x6F, 0x6D, 0x70, 0x6F, 0x73,
    0x65, 0x4D, 0x6F, 0x64, 0x65, 0, 0, 0, 0, 0, 4, 0, 0,    0,    2,    0,    0,    0};

// Settings of every kind that nobody registers, in the order a save writes them.
const std::vector<Bytes> foreign = {
    Record("Area", G::Area, Bytes(16, 0xA5)), Record("Blob", G::Binary, {1, 0, 2}),
    Record("Empty", G::String, {}),           Record("Name", G::String, {'h', 'i', 0}),
    Record("Short", G::Int16, {0xFF, 0xFF}),  Record("Wide", G::Double, Bytes(8, 0x3F)),
};

Bytes ForeignFile() {
    Bytes file = Header(static_cast<int32_t>(foreign.size()));
    for (const Bytes& record : foreign) {
        file = file + record;
    }
    return file;
}

// What the main window does when it is built.
void RegisterWindowDefaults() {
    UCustomization_C::SetDefaultValue(NS_Data::UString_C("ComposeMode"), 1);
    UCustomization_C::SetDefaultValue("AutoCut", 0);
}

class UCustomizationTest : public testing::Test {
protected:
    // Loads "Tavrin.uzn" of `directory` into a scoped store, runs `use`, and saves; returns the
    // number of settings loaded.
    static int32_t Run(const std::string& directory, const auto& use) {
        Store store(directory.c_str());
        UCustomization_C::LoadCustomization("Tavrin");
        const int32_t loaded = store.Count();
        use(store);
        return loaded;
    }
    int32_t Run(const auto& use) { return Run(temp.root, use); }
    int32_t LoadOnly() {
        return Run([](Store&) {});
    }

    UTempDirectory temp;
    const std::string path = temp.root + "Tavrin.uzn";
};

}  // namespace

TEST_F(UCustomizationTest, TheExampleFileLoadsAndIsWrittenBackByteForByte) {
    WriteFile(path, example);
    Run([](Store&) {
        RegisterWindowDefaults();
        EXPECT_EQ(UCustomization_C::GetValue("ComposeMode"), 2);
        EXPECT_EQ(UCustomization_C::GetValue(NS_Data::UString_C("AutoCut")), 1);
    });
    EXPECT_EQ(ReadFile(path), example);

    std::filesystem::remove(path);
    Run([](Store&) {
        RegisterWindowDefaults();
        UCustomization_C::SetValue("ComposeMode", 2);
        UCustomization_C::SetValue(NS_Data::UString_C("AutoCut"), 1);
    });
    EXPECT_EQ(ReadFile(path), example) << "a store that started without a file";
}

TEST_F(UCustomizationTest, OnlySettingsThatDifferFromTheirDefaultsAreStored) {
    WriteFile(path, example);
    Run([](Store&) {
        RegisterWindowDefaults();
        UCustomization_C::SetValue("AutoCut", 0);
    });
    EXPECT_EQ(ReadFile(path), Header(1) + Record("ComposeMode", G::Int, Int32(2)));
    Run([](Store&) {
        RegisterWindowDefaults();
        UCustomization_C::SetValue("ComposeMode", 1);
    });
    EXPECT_FALSE(Exists(path)) << "a store at its defaults kept its file";
    Run([](Store&) { RegisterWindowDefaults(); });
    EXPECT_FALSE(Exists(path)) << "a store at its defaults made a file";
}

TEST_F(UCustomizationTest, SettingsNobodyRegistersSurviveARoundTrip) {
    WriteFile(path, ForeignFile());
    EXPECT_EQ(Run([](Store&) {
                  RegisterWindowDefaults();
                  EXPECT_EQ(UCustomization_C::GetValue("Short"), -1);
              }),
              6);
    EXPECT_EQ(ReadFile(path), ForeignFile());
}

TEST_F(UCustomizationTest, ConflictingDefaultsAndLateLoadsAreRefusedAndChangeNothing) {
    WriteFile(path, example);
    Run([](Store&) {
        RegisterWindowDefaults();
        RegisterWindowDefaults();
        EXPECT_EQ(ErrorOf([] { UCustomization_C::SetDefaultValue("ComposeMode", 2); }),
                  "UCustomization_C 1 Fail to set default value because default value is "
                  "different from last value.");
        EXPECT_EQ(ErrorOf([] { UCustomization_C::LoadCustomization("Tavrin"); }),
                  "UCustomization_C 2 It`s too late to load customization file.");
        EXPECT_EQ(ErrorOf([] { UCustomization_C::GetValue("Missing"); }),
                  "UCustomizationDictionary_C 1 Fail to get data because unexpected key.");
        EXPECT_EQ(UCustomization_C::GetValue("ComposeMode"), 2);
    });
    EXPECT_EQ(ReadFile(path), example) << "the refused default was recorded";
}

TEST_F(UCustomizationTest, DamageInsideTheThirdRecordKeepsTheFirstTwo) {
    const Bytes firstTwo = Header(3) + Bytes(example.begin() + 12, example.end());
    const Bytes zoom = Key("Zoom");
    const std::pair<Bytes, const char*> cases[] = {
        {{'Z', 'o'}, "ends inside the key"},
        {zoom + Bytes{0, 0}, "ends inside the type"},
        {zoom + Int32(0) + Bytes{4}, "ends inside the size"},
        {zoom + Int32(0) + Int32(4) + Bytes{1, 2}, "ends inside the data"},
        {zoom + Int32(15) + Int32(4) + Int32(1), "type beyond the table"},
        {zoom + Int32(-1) + Int32(4) + Int32(1), "negative type"},
        {zoom + Int32(G::Unknown) + Int32(4) + Int32(1), "Unknown with data"},
        {zoom + Int32(G::String) + Int32(-1) + Int32(1), "String of negative size"},
        {zoom + Int32(G::Binary) + Int32(5) + Int32(1), "Binary longer than the file"},
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
        EXPECT_EQ(LoadOnly(), 0) << "sign byte " << at;
        EXPECT_FALSE(Exists(path)) << "sign byte " << at;
    }
}

TEST_F(UCustomizationTest, EveryTruncationLoadsTheRecordsItHoldsWhole) {
    const Bytes file = ForeignFile();
    std::vector<std::size_t> ends;  // where each record ends in the file
    for (std::size_t end = Header(0).size(); const Bytes& record : foreign) {
        ends.push_back(end += record.size());
    }
    for (std::size_t length = 0; length <= file.size(); ++length) {
        WriteFile(path, Bytes(file.begin(), file.begin() + length));
        EXPECT_EQ(LoadOnly(), std::count_if(ends.begin(), ends.end(),
                                            [&](std::size_t end) { return end <= length; }))
            << "file cut to " << length << " bytes";
    }
}

TEST_F(UCustomizationTest, RandomByteFlipsLoadWithoutHarm) {
    const Bytes file = ForeignFile() + Record("ComposeMode", G::Int, Int32(2));
    std::mt19937 random(20240611);
    for (int round = 0; round < 400; ++round) {
        Bytes damaged = file;
        for (int i = 0; i <= round % 3; ++i) {
            damaged[random() % damaged.size()] = static_cast<unsigned char>(random());
        }
        WriteFile(path, damaged);
        EXPECT_LE(Run([](Store&) { RegisterWindowDefaults(); }), 7) << "round " << round;
    }
}

TEST_F(UCustomizationTest, APathLongerThan199BytesIsNeitherLoadedNorSaved) {
    const std::size_t room = 199 - temp.root.size() - std::string("/Tavrin.uzn").size();
    for (const std::size_t length : {room, room + 1}) {
        const std::string directory = temp.root + std::string(length, 'd') + "/";
        std::filesystem::create_directory(directory);
        WriteFile(directory + "Tavrin.uzn", example);
        const int32_t loaded = Run(directory, [](Store&) {
            RegisterWindowDefaults();
            UCustomization_C::SetValue("AutoCut", 0);
        });
        const bool saved = ReadFile(directory + "Tavrin.uzn") != example;
        EXPECT_EQ(loaded, length == room ? 2 : 0) << "directory name of " << length << " bytes";
        EXPECT_EQ(saved, length == room) << "directory name of " << length << " bytes";
    }
}

TEST_F(UCustomizationTest, ASaveThatCannotBeCompletedLeavesNoFile) {
    if (!Exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full to stand for a full disk";
    }
    std::filesystem::create_symlink("/dev/full", path);
    Run([](Store&) {
        RegisterWindowDefaults();
        UCustomization_C::SetValue("ComposeMode", 0);
    });
    EXPECT_FALSE(Exists(path));
}
