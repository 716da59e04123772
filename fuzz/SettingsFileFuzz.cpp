// Any bytes as the settings file: loaded, saved, and loaded again. Every setting that the save
// keeps (all but those of no value, which equal the unknown default) must come back the same.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "files/UCustomization_C.h"

namespace {

// Each setting of a value as bytes: its type, its size and its data.
class UCollect_C : public UCustomization_C::UCustomizationDictionary_C::UConstProcessForEach_C {
public:
    int32_t Process(const NS_Data::UString_C& key,
                    const UCustomization_C::Record_S& record) override {
        const NS_Data::UGeneralData_C& value = record.value;
        if (value.GetType() != NS_Data::UGeneralData_C::Unknown) {
            const auto* bytes = reinterpret_cast<const char*>(value.GetData());
            settings[key.GetString()] = std::to_string(value.GetType()) + ":" +
                                        std::to_string(value.GetSize()) + ":" +
                                        std::string(bytes, bytes ? value.GetSize() : 0);
        }
        return 0;
    }
    std::map<std::string, std::string> settings;
};

// Loads the file of `folder` into a store, which saves it again when it goes.
std::map<std::string, std::string> LoadAndSave(const std::string& folder) {
    UCustomization_C::UScopedStore_C store(folder.c_str());
    UCustomization_C::LoadCustomization("Tavrin");
    UCollect_C collect;
    store.ProcessForEach(collect);
    return collect.settings;
}

// A folder of this process's own, removed at exit; in memory where there is such a folder, as
// every save waits for its file to be synced.
std::string MakeFolder() {
    static std::string pattern = std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") +
                                 "/tavrin-fuzz-settings-XXXXXX";
    const auto removeFolder = [] {
        unlink((pattern + "/Tavrin.uzn").c_str());
        rmdir(pattern.c_str());
    };
    if (!mkdtemp(pattern.data()) || std::atexit(removeFolder) != 0) {
        std::abort();
    }
    return pattern + "/";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const std::string folder = MakeFolder();
    FILE* file = std::fopen((folder + "Tavrin.uzn").c_str(), "wb");
    if (!file || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0) {
        std::abort();
    }
    const auto first = LoadAndSave(folder);
    const auto second = LoadAndSave(folder);
    if (first != second) {
        std::fprintf(stderr, "%zu settings loaded, %zu after the save\n", first.size(),
                     second.size());
        std::abort();
    }
    return 0;
}
