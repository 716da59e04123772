#include "composition/CollectBatch.h"

#include <algorithm>
#include <unordered_map>

#include "composition/NaturalOrder.h"
#include "files/PathRecord_S.h"
#include "files/PathUtilities.h"
#include "files/UFileAbyss_C.h"
#include "foundation/ShownText.h"
#include "imaging/PictureFiles.h"

namespace {

// The name of `path`, found by expanding `argument`.
std::string NameWithin(const std::string& argument, const char* path) {
    if (argument == path) {
        return GetFileName(path);
    }
    // Folder entries are the folder, one '/' unless it ends with one, and the rest.
    const std::size_t prefix = argument.size() + (argument.ends_with('/') ? 0 : 1);
    return std::string(path + prefix);
}

void CollectArgument(const std::string& argument, std::vector<UBatchEntry_S>& batch,
                     std::vector<std::string>* folders) {
    UFileAbyss_C fileAbyss;
    fileAbyss.TellFolders(folders);
    fileAbyss.AddPath(argument.c_str());
    PathRecord_S record;
    while (fileAbyss.GetNextFile(record) == 0) {
        if (IsPictureFile(record.path)) {
            batch.push_back({record.path, NameWithin(argument, record.path)});
        }
    }
}

// The argument each name came from, as a prefix of the name: a folder's path with one '/', or
// for a file argument, its own path in place of its file name.
std::string Prefixed(const std::string& argument, const UBatchEntry_S& entry) {
    if (argument == entry.path) {
        return argument;
    }
    return argument.substr(0, argument.find_last_not_of('/') + 1) + "/" + entry.name;
}

// Puts the argument in front of every name of each argument whose names meet another
// argument's, where the files differ; returns the first two such paths.
std::string SeparateArguments(std::vector<UBatchEntry_S>& batch,
                              const std::vector<std::size_t>& argumentOf,
                              const std::vector<std::string>& arguments) {
    std::unordered_map<std::string, std::size_t> first;
    std::vector<char> separated(arguments.size());
    std::string paths;
    for (std::size_t i = 0; i < batch.size(); ++i) {
        const auto [met, added] = first.emplace(batch[i].name, i);
        const std::size_t other = met->second;
        if (added || argumentOf[other] == argumentOf[i] || batch[other].path == batch[i].path) {
            continue;
        }
        separated[argumentOf[other]] = separated[argumentOf[i]] = 1;
        if (paths.empty()) {
            paths = batch[other].path + " and " + batch[i].path;
        }
    }
    for (std::size_t i = 0; i < batch.size(); ++i) {
        if (separated[argumentOf[i]]) {
            batch[i].name = Prefixed(arguments[argumentOf[i]], batch[i]);
        }
    }
    return paths;
}

}  // namespace

std::vector<UBatchEntry_S> CollectBatch(const std::vector<std::string>& arguments, bool natural,
                                        std::string* warning, std::vector<std::string>* folders) {
    std::vector<UBatchEntry_S> batch;
    std::vector<std::size_t> argumentOf;
    for (std::size_t argument = 0; argument < arguments.size(); ++argument) {
        CollectArgument(arguments[argument], batch, folders);
        argumentOf.resize(batch.size(), argument);
    }
    const std::string paths = SeparateArguments(batch, argumentOf, arguments);
    if (warning && !paths.empty()) {
        *warning = NS_Base::FillIn(
            NS_Base::ShownText("CollectBatch",
                               "%1 would share one frame name; the frames of their arguments "
                               "are named with the argument in front"),
            {paths});
    }
    // Stable, so that a file reached twice keeps its names in argument order.
    std::stable_sort(batch.begin(), batch.end(), [natural](const auto& a, const auto& b) {
        return natural ? IsNaturallyBefore(a.path, b.path) : a.path < b.path;
    });
    return batch;
}
