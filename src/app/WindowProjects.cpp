#include "app/WindowProjects.h"

#include <unistd.h>

#include <charconv>
#include <fstream>
#include <nlohmann/json.hpp>
#include <utility>

#include "app/ProjectSheets.h"
#include "composition/data/UDataForm_S.h"
#include "files/PathUtilities.h"
#include "files/UAtomicFile_C.h"
#include "files/UPendingFile_C.h"

namespace {

using nlohmann::ordered_json;
using NS_Data::UComposeOptions_S;
using NS_Wnd::UProjectSheet_S;

constexpr const char* SchemaAddress = "file:///usr/share/tavrin/tavrin-project.schema.json";

std::string ReadSheets(const std::string& path, std::vector<UProjectSheet_S>& sheets) {
    std::vector<UProjectSheetLine_S> made;
    if (std::string problem = ReadProjectSheets(path, {}, made); !problem.empty()) {
        return problem;
    }
    for (UProjectSheetLine_S& sheet : made) {
        UComposeOptions_S& options = sheet.line.compose;
        sheets.push_back({options.output, options.data.path, std::move(sheet.line.paths), options,
                          sheet.line.order == CommandLine_S::NaturalOrder});
    }
    return {};
}

std::string FormatFraction(double value) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return {text, end};
}

// Every option the window sets, by its name in the project: those that do not apply are null,
// which removes them.
std::vector<std::pair<std::string, ordered_json>> DescribeOptions(const UProjectSheet_S& sheet) {
    const UComposeOptions_S& o = sheet.options;
    const bool data = !sheet.data.empty();
    const auto onlyWith = [](bool given, ordered_json value) {
        return given ? std::move(value) : ordered_json(nullptr);
    };
    return {
        {"layout", GetLayoutName(o.layout)},
        {"trim", o.trim == NS_Data::UTrim_E::Each},
        {"autocut", o.trim == NS_Data::UTrim_E::Common},
        {"rotate", o.packing.rotate},
        {"square", o.packing.square},
        {"multipack", o.packing.multipack},
        {"no-alias", !o.packing.alias},
        {"padding", o.sheet.padding},
        {"border", o.sheet.border},
        {"extrude", o.sheet.extrude},
        {"pot", o.sheet.powerOfTwo},
        {"max-size", onlyWith(o.sheet.maxSize > 0, o.sheet.maxSize)},
        {"sort", sheet.naturalOrder ? "natural" : "bytes"},
        {"gif-frames", o.allGifFrames ? "all" : "first"},
        {"compression", GetCompressionName(o.encoding.compression)},
        {"indexed", o.encoding.indexed},
        {"alpha-bleed", o.pixels.alphaBleed},
        {"premultiply", o.pixels.premultiply},
        {"data-format", onlyWith(data, GetDataForm(o.data.form).name)},
        {"fps", onlyWith(data, o.data.fps)},
        {"pivot", onlyWith(data && o.data.hasPivot,
                           FormatFraction(o.data.pivotX) + "," + FormatFraction(o.data.pivotY))},
    };
}

// Sets the sheet's options in the project's object, each replacing its opposite flag too
// ("trim" and "no-trim"), which would otherwise be refused as given together.
void SetOptions(ordered_json& options, const UProjectSheet_S& sheet) {
    for (auto& [name, value] : DescribeOptions(sheet)) {
        options.erase(name.starts_with("no-") ? name.substr(3) : "no-" + name);
        if (value.is_null()) {
            options.erase(name);
        } else {
            options[name] = std::move(value);
        }
    }
}

bool BuildsAlike(const UProjectSheet_S& a, const UProjectSheet_S& b) {
    const auto canonical = [](const UProjectSheet_S& sheet) {
        UComposeOptions_S options = sheet.options;
        options.output = sheet.output;
        options.data.path = sheet.data;
        return NS_Data::CanonicalText(options);
    };
    return a.output == b.output && a.data == b.data && a.pictures == b.pictures &&
           a.naturalOrder == b.naturalOrder && canonical(a) == canonical(b);
}

std::string WriteSheet(const std::string& path, const UProjectSheet_S& sheet) {
    ordered_json project = {{"$schema", SchemaAddress},
                            {"sheets", ordered_json::array({ordered_json::object()})}};
    std::vector<UProjectSheet_S> before;
    if (::access(path.c_str(), F_OK) == 0) {
        // A file that does not read as a project is someone's: it is not replaced.
        if (std::string problem = ReadSheets(path, before); !problem.empty()) {
            return problem;
        }
        if (!before.empty() && BuildsAlike(before.front(), sheet)) {
            return {};
        }
        std::ifstream file(path);
        project = ordered_json::parse(file);
    }
    ordered_json& entry = project["sheets"][0];
    const auto relative = [&](const std::string& target) { return GetRelativePath(target, path); };
    entry["output"] = relative(sheet.output);
    if (sheet.data.empty()) {
        entry.erase("data");
    } else {
        entry["data"] = relative(sheet.data);
    }
    // Inputs as written (folders, patterns) stay while they still name the listed pictures.
    if (before.empty() || before.front().pictures != sheet.pictures) {
        entry["inputs"] = ordered_json::array();
        for (const std::string& picture : sheet.pictures) {
            entry["inputs"].push_back(relative(picture));
        }
    }
    SetOptions(entry["options"], sheet);
    try {
        NS_Data::UAtomicFile_C file;
        UPendingFile_C::Write(file, path, project.dump(2) + "\n");
        file.Commit();
    } catch (const NS_Base::UError_C& error) {
        return error.ComposeText();
    }
    return {};
}

}  // namespace

NS_Wnd::UProjectFiles_S MakeWindowProjectFiles() {
    return {&ReadSheets, &WriteSheet};
}
