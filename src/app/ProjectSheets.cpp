#include "app/ProjectSheets.h"

#include <glob.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>

#include "foundation/ShownText.h"

namespace {

using NS_Base::FillIn;
using NS_Base::ShownText;
using NS_Data::UProjectValue_S;

// The options as given to each sheet, by name: the defaults, then the sheet's own over them.
using UOptions_T = std::map<std::string, const UProjectValue_S*>;

std::optional<UOptionKind_S::Kind_E> FindKind(const std::string& name) {
    static const std::vector<UOptionKind_S> options = GetSheetOptions();
    for (const UOptionKind_S& option : options) {
        // The sheet's files have keys of their own.
        if (option.name == name && name != "output" && name != "data") {
            return option.kind;
        }
    }
    return std::nullopt;
}

// The value's arguments, or the problem with its type.
std::string ToArguments(const UProjectValue_S& value, std::vector<std::string>& arguments) {
    const std::string name = value.GetName();
    const std::optional<UOptionKind_S::Kind_E> kind = FindKind(name);
    if (!kind) {
        return FillIn(ShownText("ProjectSheets", "%1: unknown option"), {value.Where()});
    }
    using Type = UProjectValue_S::Type_E;
    const Type type = value.type;
    switch (*kind) {
        case UOptionKind_S::Flag:
            if (type != Type::Boolean) {
                return FillIn(ShownText("ProjectSheets", "%1: takes true or false"),
                              {value.Where()});
            }
            if (value.on || FindKind("no-" + name)) {
                arguments.push_back((value.on ? "--" : "--no-") + name);
            }
            return {};
        case UOptionKind_S::Count:
            if (type != Type::Number) {
                return FillIn(ShownText("ProjectSheets", "%1: takes a whole number"),
                              {value.Where()});
            }
            break;
        case UOptionKind_S::Text:
            if (type != Type::Text) {
                return FillIn(ShownText("ProjectSheets", "%1: takes a text"), {value.Where()});
            }
            break;
        case UOptionKind_S::List:
            if (type == Type::Boolean) {
                return FillIn(ShownText("ProjectSheets", "%1: takes a text or a list of texts"),
                              {value.Where()});
            }
            for (const std::string& item : value.items) {
                arguments.push_back("--" + name + "=" + item);
            }
            if (type == Type::List) {
                return {};
            }
            break;
    }
    arguments.push_back("--" + name + "=" + value.text);
    return {};
}

// The long option names among the run's arguments, without dashes or values.
std::vector<std::string> NamesGiven(const std::vector<std::string>& arguments) {
    std::vector<std::string> names;
    for (const std::string& argument : arguments) {
        if (argument.starts_with("--") && argument.size() > 2) {
            names.push_back(argument.substr(2, argument.find('=') - 2));
        }
    }
    return names;
}

// Takes `name` and its opposite flag (--trim and --no-trim) out of `options`, for a later
// source to replace: the two would otherwise be refused as given together.
void Forget(UOptions_T& options, const std::string& name) {
    options.erase(name);
    options.erase(name.starts_with("no-") ? name.substr(3) : "no-" + name);
}

// The project's options for one sheet: the defaults, those of the sheet over them, and none
// that the run's arguments give.
UOptions_T MergeOptions(const NS_Data::UProject_C& project, const NS_Data::UProjectSheet_S& sheet,
                        const std::vector<std::string>& arguments) {
    UOptions_T options;
    for (const UProjectValue_S& value : project.GetDefaults()) {
        options[value.GetName()] = &value;
    }
    for (const UProjectValue_S& value : sheet.options) {
        Forget(options, value.GetName());
    }
    for (const UProjectValue_S& value : sheet.options) {
        options[value.GetName()] = &value;
    }
    for (const std::string& name : NamesGiven(arguments)) {
        Forget(options, name);
    }
    return options;
}

// The input's paths: itself, or the files and folders a pattern matches, sorted. Only the
// input is a pattern: the project's folder is matched as it is spelt, brackets and all.
std::string ExpandInput(const NS_Data::UProject_C& project, const UProjectValue_S& input,
                        std::vector<std::string>& paths) {
    if (input.text.find_first_of("*?[") == std::string::npos) {
        paths.push_back(project.Resolve(input.text));
        return {};
    }
    std::string pattern;
    for (const char c : input.text.starts_with('/') ? std::string() : project.Resolve("")) {
        pattern += std::string(c == '*' || c == '?' || c == '[' || c == '\\' ? "\\" : "") + c;
    }
    pattern += input.text;
    glob_t found{};
    const int status = ::glob(pattern.c_str(), 0, nullptr, &found);
    for (std::size_t i = 0; status == 0 && i < found.gl_pathc; ++i) {
        paths.emplace_back(found.gl_pathv[i]);
    }
    ::globfree(&found);
    return status == 0 ? std::string()
                       : FillIn(ShownText("ProjectSheets", "%1: %2 matches no file"),
                                {input.Where(), input.text});
}

// Where `problem` names the option `--name` itself, not one that starts the same; npos if not.
std::size_t Names(const std::string& problem, const std::string& name) {
    const std::string option = "--" + name;
    for (std::size_t at = problem.find(option); at != std::string::npos;
         at = problem.find(option, at + 1)) {
        const std::size_t end = at + option.size();
        if (end == problem.size() || (problem[end] != '-' && !std::isalnum(problem[end]))) {
            return at;
        }
    }
    return std::string::npos;
}

// The parser's problem, put at the project key it names first, else at the sheet.
std::string Locate(const std::string& problem, const UOptions_T& options,
                   const NS_Data::UProjectSheet_S& sheet, const std::string& sheetKey) {
    const UProjectValue_S* first = nullptr;
    std::size_t firstAt = problem.size();
    for (const auto& [name, value] : options) {
        const std::size_t at = Names(problem, name);
        if (at < firstAt) {
            first = value;
            firstAt = at;
        }
    }
    if (first) {
        return first->Where() + ": " + problem;
    }
    if (Names(problem, "data") != std::string::npos && !sheet.data.key.empty()) {
        return sheet.data.Where() + ": " + problem;
    }
    const bool output = problem.starts_with("-o ") || Names(problem, "output") != std::string::npos;
    return (output ? sheet.output.Where() : sheetKey) + ": " + problem;
}

std::string MakeSheet(const NS_Data::UProject_C& project, const NS_Data::UProjectSheet_S& sheet,
                      const std::vector<std::string>& arguments, UProjectSheetLine_S& made) {
    const UOptions_T options = MergeOptions(project, sheet, arguments);
    std::vector<std::string> line = {"--output=" + project.Resolve(sheet.output.text)};
    if (!sheet.data.key.empty()) {
        line.push_back("--data=" + project.Resolve(sheet.data.text));
    }
    for (const auto& [name, value] : options) {
        if (std::string problem = ToArguments(*value, line); !problem.empty()) {
            return problem;
        }
    }
    line.insert(line.end(), arguments.begin(), arguments.end());
    line.push_back("--");
    for (const UProjectValue_S& input : sheet.inputs) {
        if (std::string problem = ExpandInput(project, input, line); !problem.empty()) {
            return problem;
        }
    }
    made = {sheet.output.text, ParseCommandLine(line)};
    if (made.line.action != CommandLine_S::ComposeSheet) {
        return Locate(made.line.problem, options, sheet, sheet.where);
    }
    return {};
}

}  // namespace

std::string MakeProjectSheets(const NS_Data::UProject_C& project,
                              const std::vector<std::string>& arguments,
                              std::vector<UProjectSheetLine_S>& sheets) {
    for (const NS_Data::UProjectSheet_S& sheet : project.GetSheets()) {
        UProjectSheetLine_S made;
        if (std::string problem = MakeSheet(project, sheet, arguments, made); !problem.empty()) {
            return problem;
        }
        sheets.push_back(std::move(made));
    }
    return {};
}

std::string ReadProjectSheets(const std::string& file, const std::vector<std::string>& arguments,
                              std::vector<UProjectSheetLine_S>& sheets) {
    try {
        const NS_Data::UProject_C project = NS_Data::UProject_C::Read(file);
        if (std::string problem = MakeProjectSheets(project, arguments, sheets); !problem.empty()) {
            return file + ": " + problem;
        }
    } catch (const NS_Base::UError_C& error) {
        return file + ": " + error.GetInfoEx();
    }
    return {};
}
