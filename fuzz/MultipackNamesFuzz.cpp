// Random sheet and data names, data forms and multipack on or off, with pictures of random names
// beside them in one folder, some of them sheets an earlier run wrote. Whenever the compose job's
// checks let a run go on, the files it writes (the first few sheets and their data files) must be
// different files, none of them a picture of the batch that is not an earlier run's sheet; the
// batch may lose only such sheets, and no file an earlier set left may go unless it is one.
#include <stdlib.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "composition/CollectBatch.h"
#include "composition/UComposeJob_C.h"
#include "composition/USheetTargets_C.h"
#include "foundation/UError_C.h"
#include "imaging/UPngEncoder_C.h"

namespace {

// What names are made of, so that random ones meet the numbered names a run writes.
constexpr const char* Pieces[] = {"S",      "d",    "-",    "0",     "1",     "2",
                                  "-1",     ".png", ".PNG", ".json", ".webp", ".gif",
                                  ".atlas", ".xml", ".css", "x",     "."};
// Sheets numbered 0 to 2 are enough to meet every numbered name a piece can spell.
constexpr std::size_t SheetCount = 3;
constexpr std::size_t MaxPictures = 12;

// The name spelt by the bytes up to the next zero, which is taken too.
std::string TakeName(const uint8_t*& at, const uint8_t* end) {
    std::string name;
    for (; at < end && *at != 0; ++at) {
        if (name.size() < 40) {
            name += Pieces[*at % std::size(Pieces)];
        }
    }
    at += at < end ? 1 : 0;
    return name == "." || name == ".." ? name + "x" : name;
}

// The bytes of a 1 x 1 sheet as Tavrin writes it, with its mark.
const std::vector<char>& MarkedSheet() {
    static const std::vector<char> bytes = [] {
        const uint32_t pixel = 0xFF336699u;
        std::FILE* file = std::tmpfile();
        UPngEncoder_C(1, 1, [&](uint32_t, uint32_t*) { return &pixel; }).Write(file, 1);
        std::vector<char> read(static_cast<std::size_t>(std::ftell(file)));
        std::rewind(file);
        read.resize(std::fread(read.data(), 1, read.size(), file));
        std::fclose(file);
        return read;
    }();
    return bytes;
}

void WriteBytes(const std::string& path, const std::vector<char>& bytes) {
    if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
}

std::string Normal(const std::string& path) {
    return std::filesystem::path(path).lexically_normal().string();
}

struct UFolder_S {
    std::string root;
    UFolder_S() {
        char pattern[] = "/tmp/tavrin-names-XXXXXX";
        root = ::mkdtemp(pattern) ? std::string(pattern) + "/" : std::string();
    }
    ~UFolder_S() {
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }
};

// The files sheets 0 to SheetCount - 1 write, each once.
std::vector<std::string> WrittenFiles(const NS_Data::UComposeOptions_S& options) {
    const NS_Data::USheetTargets_C targets(options);
    const std::size_t sheets = options.packing.multipack ? SheetCount : 1;
    std::vector<std::string> written;
    for (std::size_t n = 0; n < sheets; ++n) {
        written.push_back(Normal(targets.GetSheetPath(n)));
        const std::string data = Normal(targets.GetDataPath(n));
        if (!options.data.path.empty() && (n == 0 || !targets.HasOneDataFile())) {
            written.push_back(data);
        }
    }
    return written;
}

// Aborts when the run would write one file twice, or write over or remove as an earlier set's
// a picture of `found` that is not an earlier sheet.
void CheckTargets(const NS_Data::UComposeOptions_S& options,
                  const std::vector<UBatchEntry_S>& found,
                  const std::map<std::string, bool>& marked) {
    std::vector<std::string> written = WrittenFiles(options);
    std::vector<std::string> unproven;
    const std::size_t sheets = options.packing.multipack ? SheetCount : 1;
    std::vector<std::string> touched =
        NS_Data::USheetTargets_C(options).FindStale(sheets, unproven);
    for (std::string& path : touched) {
        path = Normal(path);
    }
    touched.insert(touched.end(), written.begin(), written.end());
    for (const UBatchEntry_S& entry : found) {
        const auto mark = marked.find(Normal(entry.path));
        const bool picture = mark != marked.end() && !mark->second;
        if (picture && std::ranges::count(touched, mark->first) > 0) {
            std::abort();
        }
    }
    std::ranges::sort(written);
    if (std::ranges::adjacent_find(written) != written.end()) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    const uint8_t flags = data[0];
    const uint8_t* at = data + 1;
    const uint8_t* const end = data + size;
    const UFolder_S folder;
    NS_Data::UComposeOptions_S options;
    options.output = folder.root + TakeName(at, end);
    const std::string dataName = TakeName(at, end);
    options.data.path = flags & 0x10 && !dataName.empty() ? folder.root + dataName : "";
    options.packing.multipack = flags & 1;
    options.data.form = static_cast<NS_Data::UDataOptions_S::Form_E>((flags >> 1) & 7);
    std::map<std::string, bool> marked;
    std::vector<std::string> arguments = {folder.root.substr(0, folder.root.size() - 1)};
    while (at < end && marked.size() < MaxPictures) {
        const bool sheet = *at & 0x80;
        const std::string name = TakeName(at, end);
        if (name.empty()) {
            continue;
        }
        WriteBytes(folder.root + name, sheet ? MarkedSheet() : std::vector<char>{'p', 'i', 'c'});
        marked[Normal(folder.root + name)] = sheet;
        if (flags & 0x20) {
            arguments.push_back(folder.root + name);
        }
    }
    const NS_Data::UComposeJob_C job(options);
    if (!job.FindConflict(arguments).empty()) {
        return 0;
    }
    std::vector<UBatchEntry_S> batch;
    try {
        batch = CollectBatch(arguments, false);
    } catch (const NS_Base::UError_C&) {
        return 0;
    }
    const std::vector<UBatchEntry_S> found = batch;
    if (!job.LeaveOutTargets(batch).empty()) {
        return 0;
    }
    // Only an earlier run's sheets leave the batch.
    for (const UBatchEntry_S& entry : found) {
        const bool kept = std::ranges::any_of(
            batch, [&](const UBatchEntry_S& other) { return other.path == entry.path; });
        if (!kept && !marked[Normal(entry.path)]) {
            std::abort();
        }
    }
    CheckTargets(options, found, marked);
    return 0;
}
