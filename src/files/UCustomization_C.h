#pragma once

#include <cstdint>
#include <string>

#include "files/UBinaryFile_C.h"
#include "foundation/UDictionary_T.h"
#include "foundation/UError_C.h"
#include "foundation/UGeneralData_C.h"
#include "foundation/UString_C.h"

// The settings store: named values kept between runs in a file "<name>.uzn" beside the program
// or in a folder that the program names (see UCustomizationPlace_C).
// The file holds only the settings whose value differs from the default registered in this run
// (settings nobody registers are kept as read); when none differs the file is deleted, or a link
// to it keeps a file of no settings. Only a regular file is read; one that exists but cannot be
// read (no permission, no regular file) is left as it is, and a changed setting is reported as
// not saved. A save replaces the file (the target of a link) only once the new one is complete,
// so a failed save keeps the old. Nothing that goes wrong while the file is loaded at start or
// saved at exit reaches the caller; a save that fails is reported on standard error, once, as the
// store ends.
//
// The static entry points act on one process-wide store, saved when the process ends.
//
// Tests: a UScopedStore_C redirects the entry points to a store for a directory of the test's
// choosing and saves into that directory when it is destroyed:
//     {
//         UCustomization_C::UScopedStore_C store("/tmp/case/");
//         UCustomization_C::LoadCustomization("Tavrin");      // reads /tmp/case/Tavrin.uzn
//         UCustomization_C::SetDefaultValue("ComposeMode", 1);
//         UCustomization_C::SetValue("ComposeMode", 0);
//     }                                                       // writes /tmp/case/Tavrin.uzn
class UCustomization_C {
public:
    // One setting.
    struct Record_S {
        NS_Data::UGeneralData_C value;
        // Unknown until a default is registered in this run.
        NS_Data::UGeneralData_C defaultValue;
    };

    class UCustomizationDictionary_C
        : public NS_Data::UDictionary_T<NS_Data::UString_C, Record_S, NS_Data::UBinaryFile_C> {
    public:
        // A store whose file lies in the program's own directory.
        UCustomizationDictionary_C() = default;
        // A store whose file lies in `directory`, which ends with '/'.
        explicit UCustomizationDictionary_C(const char* directory);
        UCustomizationDictionary_C(const UCustomizationDictionary_C&) = delete;
        UCustomizationDictionary_C& operator=(const UCustomizationDictionary_C&) = delete;
        // Saves to the path that LoadCustomizationFile set, if any, creating its folder when
        // there is something to save.
        ~UCustomizationDictionary_C() override;

        const char* ClassName() const override { return "UCustomizationDictionary_C"; }
        // The four bytes that open a settings file (no terminating zero is written).
        static const char* GetFileSign() { return "CUST"; }

        // Remembers the path for `name` and loads what it can of the file there; a `folder`
        // given here replaces the store's own. A path that does not fit a path field is neither
        // loaded nor saved.
        void LoadCustomizationFile(const NS_Data::UString_C& name, const char* folder = nullptr);

    private:
        void LoadCustomizationDictionary(const NS_Data::UString_C& filePath);
        void SaveCustomizationDictionary(const NS_Data::UString_C& filePath) const;

        // What the store could not save, on standard error.
        void ReportUnsaved(const char* reason) const;

        NS_Data::UString_C directory;
        NS_Data::UString_C path;
        // The name of a file that has no path, for the report.
        NS_Data::UString_C unplacedName;
        // Why a file that exists could not be read; such a file is never saved over or deleted.
        std::string unreadable;
    };

    // While it lives, the static entry points act on this store instead of the one they used
    // before; for tests. Like any store it saves on destruction once a load has set its path.
    class UScopedStore_C : public UCustomizationDictionary_C {
    public:
        explicit UScopedStore_C(const char* directory);
        ~UScopedStore_C() override;

    private:
        UCustomizationDictionary_C* previous;
    };

    // Loads "<name>.uzn" from `directory` (ending with '/'), or from the store's own folder when
    // null; only before the store holds any setting (else code 2).
    static void LoadCustomization(const NS_Data::UString_C& name, const char* directory = nullptr);

    // Registers the default of a setting; one that differs from the registered default raises
    // code 1 and changes nothing. A setting read from the file keeps its value.
    static void SetDefaultValue(const NS_Data::UString_C& key, int32_t value);
    static void SetDefaultValue(const char* key, int32_t value);
    static int32_t GetValue(const NS_Data::UString_C& key);
    static int32_t GetValue(const char* key);
    static void SetValue(const NS_Data::UString_C& key, int32_t value);
    static void SetValue(const char* key, int32_t value);

    // `directory` (the program's own when null) followed by `name` and ".uzn"; empty when the
    // directory cannot be read or the whole is longer than a path record (4095 bytes).
    static NS_Data::UString_C MakeCustomizationPath(const NS_Data::UString_C& name,
                                                    const char* directory = nullptr);

    static const char* ClassName() { return "UCustomization_C"; }

private:
    static UCustomizationDictionary_C& GetStore();
    static NS_Base::UError_C MakeError(int32_t code, const char* extra = nullptr);

    static UCustomizationDictionary_C* scopedStore;
};
