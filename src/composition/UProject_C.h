#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/UError_C.h"

namespace NS_Data {

// One value of a project file and where it was read: its key's path ("sheets[0].options.padding")
// and the line of that key, or of the value itself inside a list.
struct UProjectValue_S {
    enum Type_E { Boolean, Number, Text, List };

    std::string key;
    int64_t line = 0;
    Type_E type = Text;
    bool on = false;
    // A number as it was written, or a text.
    std::string text;
    // A list's numbers and texts.
    std::vector<std::string> items;

    // The last part of the key: an option's name.
    std::string GetName() const;
    // "sheets[0].options.padding (line 7)", the way every problem names a value.
    std::string Where() const;
};

// One sheet of a project: its files as written in the project, and its own options.
struct UProjectSheet_S {
    // "sheets[0] (line 3)": where the sheet's object starts.
    std::string where;
    UProjectValue_S output;
    // key empty when the sheet has no data file.
    UProjectValue_S data;
    std::vector<UProjectValue_S> inputs;
    std::vector<UProjectValue_S> options;
};

// A project file: the options every sheet starts from, and the sheets, each with its files
// (relative to the project file's folder) and options of its own. The file is JSON; an unknown
// key, a key given twice or a value of the wrong type is a user error whose text names the
// key's path and line. Which options exist is the command line's business, not this reader's.
class UProject_C {
public:
    // Reads the file at `path`: code 1 when it cannot be read, code 2 when it is not JSON, 3 to 8
    // for its keys and values. The error's extra text is the whole located problem.
    static UProject_C Read(const std::string& path);
    // The same for the text of a file in `folder`.
    static UProject_C Parse(const std::string& text, const std::string& folder);

    const std::vector<UProjectValue_S>& GetDefaults() const { return defaults; }
    const std::vector<UProjectSheet_S>& GetSheets() const { return sheets; }
    // `path` as the project means it: relative to the project file's folder.
    std::string Resolve(const std::string& path) const;

    static const char* ClassName() { return "UProject_C"; }
    // The error of `code`: its table's pattern in the user's language, with `values` in place
    // of %1, %2, ... (the located key first).
    static NS_Base::UError_C MakeError(int32_t code, const std::vector<std::string>& values);

private:
    std::string folder;
    std::vector<UProjectValue_S> defaults;
    std::vector<UProjectSheet_S> sheets;
};

}  // namespace NS_Data
