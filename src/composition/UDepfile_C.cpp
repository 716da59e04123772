#include "composition/UDepfile_C.h"

#include "files/UAtomicFile_C.h"
#include "files/UPendingFile_C.h"

namespace NS_Data {

std::string UDepfile_C::MakeRule(const std::vector<std::string>& targets,
                                 const std::vector<std::string>& prerequisites) {
    std::string text;
    for (const std::string& target : targets) {
        AddPath(text, target);
        text += ' ';
    }
    text.back() = ':';
    for (const std::string& prerequisite : prerequisites) {
        text += " \\\n ";
        AddPath(text, prerequisite);
    }
    text += '\n';
    for (const std::string& prerequisite : prerequisites) {
        text += '\n';
        AddPath(text, prerequisite);
        text += ":\n";
    }
    return text;
}

// As gcc spells it: a space after backslashes doubles them and takes one more, '#' takes a
// backslash and '$' another '$'; any other backslash stands for itself.
void UDepfile_C::AddPath(std::string& text, const std::string& path) {
    std::size_t backslashes = 0;
    for (const char c : path) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            throw MakeError(1, path.c_str());
        }
        if (c == ' ') {
            text.append(backslashes + 1, '\\');
        } else if (c == '#') {
            text += '\\';
        } else if (c == '$') {
            text += '$';
        }
        text += c;
        backslashes = c == '\\' ? backslashes + 1 : 0;
    }
}

void UDepfile_C::CheckPaths(const std::vector<std::string>& paths) {
    std::string text;
    for (const std::string& path : paths) {
        AddPath(text, path);
    }
}

void UDepfile_C::Write(const std::string& path, const std::string& text) {
    UAtomicFile_C file;
    UPendingFile_C::Write(file, path, text);
    file.Commit();
}

NS_Base::UError_C UDepfile_C::MakeError(int32_t code, const char* text) {
    static constexpr NS_Base::UMessage_S table[] = {
        {1, "Depfile: a path with a control character cannot be named:"},
        {0, nullptr},
    };
    return NS_Base::UError_C(code, NS_Base::UserError, ClassName(), table, text);
}

}  // namespace NS_Data
