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

using Store = UCustomization_C::UScopedStore_C;
// A setting as bytes: its type, its size and its data.
using Settings = std::map<std::string, std::string>;

const std::string& Folder() {
    static const std::string folder = [] {
        // In memory where there is such a folder: every save waits for its file to be synced.
        std::string pattern = std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") +
                              "/tavrin-fuzz-settings-XXXXXX";
        if (!mkdtemp(pattern.data())) {
            std::abort();
        }
        return pattern + "/";
    }();
    static const int removal = std::atexit([] {
        unlink((Folder() + "Tavrin.uzn").c_str());
        rmdir(Folder().c_str());
    });
    (void)removal;
    return folder;
}

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
    Settings settings;
};

// Loads the file into a store, which saves it again when it goes.
Settings LoadAndSave() {
    Store store(Folder().c_str());
    UCustomization_C::LoadCustomization("Tavrin");
    UCollect_C collect;
    store.ProcessForEach(collect);
    return collect.settings;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string path = Folder() + "Tavrin.uzn";
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0) {
        std::abort();
    }
    const Settings first = LoadAndSave();
    const Settings second = LoadAndSave();
    if (first != second) {
        std::fprintf(stderr, "%zu settings loaded, %zu after the save\n", first.size(),
                     second.size());
        std::abort();
    }
    return 0;
}
