#include "files/UCustomization_C.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "files/PathUtilities.h"

using NS_Data::UBinaryFile_C;
using NS_Data::UGeneralData_C;
using NS_Data::UString_C;

namespace {

constexpr int32_t SignLength = 4;
constexpr int32_t FormatVersion = 1;
// The hidden attribute of another platform; files here ignore it.
constexpr int32_t HiddenAttribute = 2;
constexpr const char* Extension = ".uzn";

using Visitor = UCustomization_C::UCustomizationDictionary_C::UConstProcessForEach_C;

// Only a setting that differs from its default is stored.
bool IsWorthSaving(const UCustomization_C::Record_S& record) {
    return !record.value.IsEqual(record.defaultValue);
}

class CheckData_C : public Visitor {
public:
    int32_t Process(const UString_C&, const UCustomization_C::Record_S& record) override {
        count += IsWorthSaving(record) ? 1 : 0;
        return 0;
    }
    int32_t count = 0;
};

// Writes each setting worth saving: the key and its zero byte, then the value.
class DataStorage_C : public Visitor {
public:
    explicit DataStorage_C(UBinaryFile_C& target) : file(target) {}
    int32_t Process(const UString_C& key, const UCustomization_C::Record_S& record) override {
        if (IsWorthSaving(record)) {
            file.WriteText(key);
            record.value.Write(file);
        }
        return 0;
    }

private:
    UBinaryFile_C& file;
};

// Why the file at `filePath` cannot be read; empty when it can, or when there is none yet.
std::string WhyUnreadable(const char* filePath) {
    struct stat status {};
    if (::stat(filePath, &status) != 0) {
        return errno == ENOENT ? "" : std::strerror(errno);
    }
    if (!S_ISREG(status.st_mode)) {
        return "no regular file";
    }
    const int descriptor = ::open(filePath, O_RDONLY | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0) {
        return std::strerror(errno);
    }
    ::close(descriptor);
    return "";
}

int32_t CountWorthSaving(const UCustomization_C::UCustomizationDictionary_C& store) {
    CheckData_C check;
    store.ProcessForEach(check);
    return check.count;
}

}  // namespace

UCustomization_C::UCustomizationDictionary_C* UCustomization_C::scopedStore = nullptr;

// ---- the store ----

UCustomization_C::UCustomizationDictionary_C::UCustomizationDictionary_C(const char* folder)
    : directory(folder) {}

UCustomization_C::UCustomizationDictionary_C::~UCustomizationDictionary_C() {
    if (path.IsEmpty()) {
        if (!unplacedName.IsEmpty() && CountWorthSaving(*this) != 0) {
            ReportUnsaved("its path is too long or has no folder");
        }
        return;
    }
    // A file that could not be read may hold settings of its own, or be no settings file at all:
    // saving would delete or replace what was never seen.
    if (!unreadable.empty()) {
        if (CountWorthSaving(*this) != 0) {
            ReportUnsaved(("it could not be read: " + unreadable).c_str());
        }
        return;
    }
    // At exit nobody but standard error can hear of a failed save; the file classes leave no
    // partial file.
    errno = 0;
    try {
        SaveCustomizationDictionary(path);
    } catch (const NS_Base::UError_C& error) {
        ReportUnsaved(errno != 0 ? std::strerror(errno) : error.GetInfo());
    } catch (...) {
        ReportUnsaved("out of memory");
    }
}

void UCustomization_C::UCustomizationDictionary_C::ReportUnsaved(const char* reason) const {
    const char* file = path.IsEmpty() ? unplacedName.GetString() : path.GetString();
    std::fprintf(stderr, "Settings file %s: not saved, %s\n", file, reason);
}

void UCustomization_C::UCustomizationDictionary_C::LoadCustomizationFile(const UString_C& name,
                                                                         const char* folder) {
    if (folder) {
        directory = folder;
    }
    path = MakeCustomizationPath(name, directory.IsEmpty() ? nullptr : directory.GetString());
    if (path.IsEmpty()) {
        unplacedName = (name.GetString() + std::string(Extension)).c_str();
        return;
    }
    unreadable = WhyUnreadable(path.GetString());
    if (!unreadable.empty()) {
        return;
    }
    try {
        LoadCustomizationDictionary(path);
    } catch (...) {
        // A missing or damaged file leaves what was read before the damage; defaults do the rest.
    }
}

void UCustomization_C::UCustomizationDictionary_C::LoadCustomizationDictionary(
    const UString_C& filePath) {
    UBinaryFile_C file;
    file.Open(filePath.GetString());
    char sign[SignLength];
    file.ReadBytes(sign, SignLength);
    if (std::memcmp(sign, GetFileSign(), SignLength) != 0) {
        throw MakeError(1, filePath.GetString());
    }
    ReadVersion(file);
    int32_t count = 0;
    file.ReadInt32(count);
    // Each record takes at least nine bytes, so a damaged count ends with the file. A record is
    // taken only once its value is read whole: part of a value is no setting.
    for (int32_t i = 0; i < count; ++i) {
        UString_C key;
        UGeneralData_C value;
        file.ReadText(key);
        value.Read(file);
        Insert(key).value = value;
    }
    file.Close();
}

void UCustomization_C::UCustomizationDictionary_C::SaveCustomizationDictionary(
    const UString_C& filePath) const {
    CheckData_C check;
    ProcessForEach(check);
    // A link, which the user made on purpose, stays: its target is rewritten with no setting.
    struct stat status {};
    const bool isLink = ::lstat(filePath.GetString(), &status) == 0 && S_ISLNK(status.st_mode);
    if (check.count == 0 && !isLink) {
        ::unlink(filePath.GetString());
        return;
    }
    // A folder of the user's configuration is made when the first setting is saved.
    // Its failure is the one to report: creating the file would fail next, and name ENOENT.
    if (!directory.IsEmpty() && !MakeDirectories(directory.GetString())) {
        const int cause = errno;
        NS_Base::UError_C failure = MakeError(3, directory.GetString());
        errno = cause;
        throw failure;
    }
    UBinaryFile_C file;
    file.Create(filePath.GetString(), HiddenAttribute);
    file.WriteBytes(GetFileSign(), SignLength);
    WriteVersion(file, FormatVersion);
    file.WriteInt32(check.count);
    DataStorage_C storage(file);
    ProcessForEach(storage);
    file.Close();
}

UCustomization_C::UScopedStore_C::UScopedStore_C(const char* folder)
    : UCustomizationDictionary_C(folder), previous(scopedStore) {
    scopedStore = this;
}

UCustomization_C::UScopedStore_C::~UScopedStore_C() {
    scopedStore = previous;
}

// ---- entry points ----

UCustomization_C::UCustomizationDictionary_C& UCustomization_C::GetStore() {
    if (scopedStore) {
        return *scopedStore;
    }
    // Built on first use and destroyed, which saves it, when the process ends.
    static UCustomizationDictionary_C processStore;
    return processStore;
}

void UCustomization_C::LoadCustomization(const UString_C& name, const char* directory) {
    UCustomizationDictionary_C& store = GetStore();
    if (store.Count() != 0) {
        throw MakeError(2);
    }
    store.LoadCustomizationFile(name, directory);
}

void UCustomization_C::SetDefaultValue(const UString_C& key, int32_t value) {
    UCustomizationDictionary_C& store = GetStore();
    Record_S* record = store.Find(key);
    if (!record) {
        Record_S& added = store.Insert(key);
        added.value.SetInt(value);
        added.defaultValue.SetInt(value);
    } else if (record->defaultValue.GetType() == UGeneralData_C::Unknown) {
        record->defaultValue.SetInt(value);
    } else if (!record->defaultValue.IsEqualInt(value)) {
        throw MakeError(1, key.GetString());
    }
}

void UCustomization_C::SetDefaultValue(const char* key, int32_t value) {
    SetDefaultValue(UString_C(key), value);
}

int32_t UCustomization_C::GetValue(const UString_C& key) {
    return GetStore().Get(key).value.GetInt();
}

int32_t UCustomization_C::GetValue(const char* key) {
    return GetValue(UString_C(key));
}

void UCustomization_C::SetValue(const UString_C& key, int32_t value) {
    GetStore().GetForSet(key).value.SetInt(value);
}

void UCustomization_C::SetValue(const char* key, int32_t value) {
    SetValue(UString_C(key), value);
}

UString_C UCustomization_C::MakeCustomizationPath(const UString_C& name, const char* directory) {
    char programDirectory[NS_Data::UFile_C::PathCapacity];
    if (!directory && !GetModuleDirectory(programDirectory, sizeof programDirectory)) {
        return UString_C();
    }
    const std::string path =
        std::string(directory ? directory : programDirectory) + name.GetString() + Extension;
    return path.size() < NS_Data::UFile_C::PathCapacity ? UString_C(path.c_str()) : UString_C();
}

NS_Base::UError_C UCustomization_C::MakeError(int32_t code, const char* extra) {
    static constexpr NS_Base::UMessage_S table[] = {
        {1,
         TR_NOOP("UError_C",
                 "Fail to set default value because default value is different from last value.")},
        {2, TR_NOOP("UError_C", "It`s too late to load customization file.")},
        {3, TR_NOOP("UError_C", "Fail to create the settings folder.")},
        {0, nullptr},
    };
    return NS_Base::UError_C(code, NS_Base::SystemError, ClassName(), table, extra);
}
