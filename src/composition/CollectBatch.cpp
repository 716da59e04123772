#include "composition/CollectBatch.h"

#include <algorithm>

#include "composition/NaturalOrder.h"
#include "files/PathRecord_S.h"
#include "files/PathUtilities.h"
#include "files/UFileAbyss_C.h"
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

void CollectArgument(const std::string& argument, std::vector<UBatchEntry_S>& batch) {
    UFileAbyss_C fileAbyss;
    fileAbyss.AddPath(argument.c_str());
    PathRecord_S record;
    while (fileAbyss.GetNextFile(record) == 0) {
        if (IsPictureFile(record.path)) {
            batch.push_back({record.path, NameWithin(argument, record.path)});
        }
    }
}

}  // namespace

std::vector<UBatchEntry_S> CollectBatch(const std::vector<std::string>& arguments, bool natural) {
    std::vector<UBatchEntry_S> batch;
    for (const std::string& argument : arguments) {
        CollectArgument(argument, batch);
    }
    // Stable, so that a file reached twice keeps its names in argument order.
    std::stable_sort(batch.begin(), batch.end(), [natural](const auto& a, const auto& b) {
        return natural ? IsNaturallyBefore(a.path, b.path) : a.path < b.path;
    });
    return batch;
}
