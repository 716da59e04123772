#include "composition/USheetTargets_C.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>

#include "composition/data/SheetData.h"
#include "files/PathUtilities.h"
#include "foundation/ShownText.h"
#include "imaging/FileBytes.h"
#include "imaging/SheetFile.h"

namespace NS_Data {
namespace {

// An earlier data file is read only this far when looking for the sheet it names: the largest
// written so far (10,000 frames of the hash form) is about 3 MiB.
constexpr std::size_t DataFileLimit = std::size_t{64} << 20;
// A stale set is searched no further than this many numbers past the new one.
constexpr std::size_t MaxStaleCount = 100000;

// `path` with `text` before the extension of its file name.
std::string InsertBeforeExtension(const std::string& path, const std::string& text) {
    const std::size_t nameStart = path.size() - std::strlen(GetFileName(path.c_str()));
    const std::size_t dot = path.rfind('.');
    const std::size_t at = dot == std::string::npos || dot <= nameStart ? path.size() : dot;
    return path.substr(0, at) + text + path.substr(at);
}

// `path` with "-N" before the extension of its file name.
std::string NumberedPath(const std::string& path, std::size_t number) {
    return InsertBeforeExtension(path, "-" + std::to_string(number));
}

// The digits N when `name` is `pattern`'s file name with "-N" before its extension; empty
// otherwise.
std::string NumberIn(const std::string& name, const std::string& pattern) {
    const std::string marked = NumberedPath(GetFileName(pattern.c_str()), 0);
    const std::size_t number = marked.rfind("-0") + 1;
    const std::string before = marked.substr(0, number);
    const std::string after = marked.substr(number + 1);
    if (name.size() <= before.size() + after.size() || !name.starts_with(before) ||
        !name.ends_with(after)) {
        return {};
    }
    std::string digits = name.substr(before.size(), name.size() - before.size() - after.size());
    const bool numeric = std::ranges::all_of(digits, [](char c) { return c >= '0' && c <= '9'; });
    return numeric ? digits : std::string();
}

bool Exists(const std::string& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0;
}

// Whether the text of the file at `dataPath` names `image` as a whole value: quoted (JSON, XML,
// CSS) or alone on its line (the libGDX atlas).
bool NamesImage(const std::string& dataPath, const std::string& image) {
    std::vector<unsigned char> bytes;
    if (image.empty() || !FileBytes::Read(dataPath.c_str(), DataFileLimit, bytes)) {
        return false;
    }
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    const auto bounds = [](char c) { return c == '"' || c == '\'' || c == '\n' || c == '\r'; };
    for (std::size_t at = text.find(image); at != std::string_view::npos;
         at = text.find(image, at + 1)) {
        const std::size_t end = at + image.size();
        if ((at == 0 || bounds(text[at - 1])) && (end == text.size() || bounds(text[end]))) {
            return true;
        }
    }
    return false;
}

}  // namespace

USheetTargets_C::USheetTargets_C(const UComposeOptions_S& options)
    : sheetPath(options.output),
      dataPath(options.data.path),
      multipack(options.packing.multipack),
      oneDataFile(HoldsEveryPage(options.data.form)),
      sheet(options.output),
      data(options.data.path),
      sheetFolder(GetFolderPath(options.output)),
      dataFolder(GetFolderPath(options.data.path)) {}

std::string USheetTargets_C::AddSuffix(const std::string& path, const std::string& suffix) {
    return path.empty() || path == "-" ? path : InsertBeforeExtension(path, suffix);
}

std::string USheetTargets_C::GetImagePath(const std::string& sheetFile,
                                          const std::string& dataFile) {
    if (sheetFile != "-") {
        return GetRelativePath(sheetFile, dataFile);
    }
    const std::string name = GetFileName(dataFile.c_str());
    return name.substr(0, name.rfind('.')) + ".png";
}

std::string USheetTargets_C::GetSheetPath(std::size_t number) const {
    return multipack ? NumberedPath(sheetPath, number) : sheetPath;
}

std::string USheetTargets_C::GetDataPath(std::size_t number) const {
    return multipack && !oneDataFile ? NumberedPath(dataPath, number) : dataPath;
}

bool USheetTargets_C::IsNumbered(const std::string& path, const std::string& pattern,
                                 const UFileIdentity_C& folder) const {
    return !NumberIn(GetFileName(path.c_str()), pattern).empty() &&
           folder.Is(GetFolderPath(path).c_str());
}

bool USheetTargets_C::IsDataFile(const std::string& path) const {
    struct stat status {};
    return IsDataFile(path, UFileIdentity_C::Find(path.c_str(), status));
}

bool USheetTargets_C::IsDataFile(const std::string& path, const struct stat* found) const {
    if (dataPath.empty()) {
        return false;
    }
    return multipack && !oneDataFile ? IsNumbered(path, dataPath, dataFolder)
                                     : data.Is(path.c_str(), found);
}

bool USheetTargets_C::IsTarget(const std::string& path) const {
    struct stat status {};
    return IsTarget(path, UFileIdentity_C::Find(path.c_str(), status));
}

bool USheetTargets_C::IsTarget(const std::string& path, const struct stat* found) const {
    // A multipack's own names are numbered, but the plain ones stay reserved: an earlier run
    // without --multipack wrote there.
    const bool plain =
        sheet.Is(path.c_str(), found) || (!dataPath.empty() && data.Is(path.c_str(), found));
    return plain ||
           (multipack && (IsNumbered(path, sheetPath, sheetFolder) || IsDataFile(path, found)));
}

std::string USheetTargets_C::FindOverlap() const {
    if (dataPath.empty()) {
        return {};
    }
    if ((dataPath == "-") != (sheetPath == "-")) {
        return {};
    }
    if (dataPath == "-" || sheet.Is(dataPath.c_str()) || data.Is(sheetPath.c_str())) {
        return NS_Base::FillIn(
            NS_Base::ShownText("USheetTargets_C", "--data %1 names the sheet to write"),
            {dataPath});
    }
    if (!multipack) {
        return {};
    }
    // Two numbered names are one file only when their patterns are one: the extension and the
    // dash before the digits fix where the number lies.
    const std::string firstData = GetDataPath(0);
    if (IsNumbered(firstData, sheetPath, sheetFolder)) {
        return NS_Base::FillIn(
            oneDataFile
                ? NS_Base::ShownText("USheetTargets_C",
                                     "--data %1 names a numbered sheet of the multipack (%2)")
                : NS_Base::ShownText("USheetTargets_C",
                                     "--data %1 names every numbered sheet of the multipack "
                                     "(%2)"),
            {dataPath, GetFileName(firstData.c_str())});
    }
    if (IsNumbered(sheetPath, dataPath, dataFolder) && !oneDataFile) {
        return NS_Base::FillIn(
            NS_Base::ShownText("USheetTargets_C",
                               "-o %1 names a numbered data file of the multipack"),
            {sheetPath});
    }
    return {};
}

std::string USheetTargets_C::GetDataFileOf(const std::string& sheetFile) const {
    if (!multipack || oneDataFile) {
        return dataPath;
    }
    const std::string number = NumberIn(GetFileName(sheetFile.c_str()), sheetPath);
    // No set reaches a number of ten digits.
    return number.empty() || number.size() > 9 ? std::string()
                                               : NumberedPath(dataPath, std::stoul(number));
}

bool USheetTargets_C::IsEarlierSheet(const std::string& path) const {
    if (SheetFile::IsOwnSheet(path.c_str())) {
        return true;
    }
    const std::string dataFile = dataPath.empty() ? std::string() : GetDataFileOf(path);
    return !dataFile.empty() && dataFile != "-" &&
           NamesImage(dataFile, GetImagePath(path, dataFile));
}

std::vector<std::string> USheetTargets_C::FindStale(std::size_t count,
                                                    std::vector<std::string>& unproven) const {
    std::vector<std::string> stale;
    if (!multipack) {
        return stale;
    }
    const bool numberedData = !dataPath.empty() && !oneDataFile;
    for (std::size_t number = count; number < count + MaxStaleCount; ++number) {
        const std::string sheetFile = GetSheetPath(number);
        const std::string dataFile = numberedData ? GetDataPath(number) : std::string();
        const bool sheetThere = Exists(sheetFile);
        const bool dataThere = !dataFile.empty() && Exists(dataFile);
        if (!sheetThere && !dataThere) {
            break;
        }
        if (sheetThere) {
            (IsEarlierSheet(sheetFile) ? stale : unproven).push_back(sheetFile);
        }
        if (dataThere) {
            const bool names = NamesImage(dataFile, GetImagePath(sheetFile, dataFile));
            (names ? stale : unproven).push_back(dataFile);
        }
    }
    return stale;
}

}  // namespace NS_Data
