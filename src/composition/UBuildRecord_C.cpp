#include "composition/UBuildRecord_C.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <utility>

#include "files/ContentHash.h"
#include "files/PathUtilities.h"
#include "foundation/RunInParallel.h"
#include "imaging/SheetFile.h"

namespace NS_Data {
namespace {

using Json = nlohmann::json;

// Paths are bytes; ASCII escapes keep the record a valid PNG text, and a path that is not
// UTF-8 is spelled with replacement characters, the same each time it is written.
std::string Dump(const Json& value) {
    return value.dump(-1, ' ', true, Json::error_handler_t::replace);
}

bool ReadStatus(const std::string& path, int64_t& size, int64_t& time) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return false;
    }
    size = status.st_size;
    time = int64_t{status.st_mtim.tv_sec} * 1000000000 + status.st_mtim.tv_nsec;
    return true;
}

}  // namespace

UBuildRecord_C::UBuildRecord_C(std::string newVersion, std::string newOptions,
                               std::vector<std::string> paths, std::vector<std::string> named,
                               std::vector<std::string> walked)
    : version(std::move(newVersion)), options(std::move(newOptions)), folders(std::move(walked)) {
    inputs.reserve(paths.size());
    for (std::size_t i = 0; i < paths.size(); ++i) {
        inputs.push_back({std::move(paths[i]), std::move(named[i])});
    }
}

void UBuildRecord_C::ReadInputs() {
    RunInParallel(inputs.size(), [this](std::size_t i) {
        UInput_S& input = inputs[i];
        if (!ReadStatus(input.path, input.size, input.time) ||
            !HashFile(input.path.c_str(), input.hash)) {
            input.size = -1;
        }
    });
}

void UBuildRecord_C::AddData(std::string path, const std::string& bytes) {
    data.push_back({std::move(path), int64_t(bytes.size()), HashBytes(bytes)});
}

std::string UBuildRecord_C::GetId() const {
    Json made = {{"version", version}, {"options", options}, {"folders", folders}};
    for (const UInput_S& input : inputs) {
        made["inputs"].push_back({input.named, input.size, input.time, input.hash});
    }
    char id[17];
    std::snprintf(id, sizeof id, "%016llx", static_cast<unsigned long long>(HashBytes(Dump(made))));
    return id;
}

std::string UBuildRecord_C::GetFirstText() const {
    Json record = {{"id", GetId()},        {"version", version}, {"options", options},
                   {"folders", folders},   {"sheets", sheets},   {"inputs", Json::array()},
                   {"data", Json::array()}};
    for (const UInput_S& input : inputs) {
        record["inputs"].push_back({input.named, input.size, input.time, input.hash});
    }
    for (const UData_S& file : data) {
        record["data"].push_back({file.path, file.size, file.hash});
    }
    return Dump(record);
}

std::string UBuildRecord_C::GetFurtherText() const {
    return Dump(Json{{"id", GetId()}});
}

bool UBuildRecord_C::IsUpToDate(const std::string& firstSheet, std::size_t& count) const {
    const Json record = Json::parse(SheetFile::ReadRecord(firstSheet.c_str()), nullptr, false);
    try {
        if (record.is_discarded() || record.at("version") != version ||
            record.at("options") != options || Dump(record.at("folders")) != Dump(folders) ||
            record.at("inputs").size() != inputs.size()) {
            return false;
        }
        std::vector<UInput_S> earlier;
        for (std::size_t i = 0; i < inputs.size(); ++i) {
            const Json& input = record["inputs"][i];
            if (Dump(input.at(0)) != Dump(inputs[i].named)) {
                return false;
            }
            earlier.push_back({inputs[i].path, {}, input.at(1), input.at(2), input.at(3)});
        }
        std::vector<UData_S> files;
        for (const Json& file : record.at("data")) {
            files.push_back({file.at(0), file.at(1), file.at(2)});
        }
        const auto further = record.at("sheets").get<std::vector<std::string>>();
        const std::string folder = GetFolderPath(firstSheet);
        count = further.size() + 1;
        return InputsMatch(earlier) && DataMatches(folder, files) &&
               SheetsMatch(folder, further, record["id"]);
    } catch (const Json::exception&) {
        return false;
    }
}

bool UBuildRecord_C::InputsMatch(const std::vector<UInput_S>& earlier) {
    std::vector<char> same(earlier.size());
    // A stat per picture; only a picture whose time changed is read, and it decides.
    RunInParallel(earlier.size(), [&](std::size_t i) {
        int64_t size = 0;
        int64_t time = 0;
        uint64_t hash = 0;
        same[i] = earlier[i].size >= 0 && ReadStatus(earlier[i].path, size, time) &&
                  size == earlier[i].size &&
                  (time == earlier[i].time ||
                   (HashFile(earlier[i].path.c_str(), hash) && hash == earlier[i].hash));
    });
    return std::find(same.begin(), same.end(), 0) == same.end();
}

bool UBuildRecord_C::DataMatches(const std::string& folder, const std::vector<UData_S>& files) {
    for (const UData_S& file : files) {
        const std::string path = folder + file.path;
        int64_t size = 0;
        int64_t time = 0;
        uint64_t hash = 0;
        if (!ReadStatus(path, size, time) || size != file.size || !HashFile(path.c_str(), hash) ||
            hash != file.hash) {
            return false;
        }
    }
    return true;
}

bool UBuildRecord_C::SheetsMatch(const std::string& folder, const std::vector<std::string>& paths,
                                 const std::string& id) {
    for (const std::string& path : paths) {
        const Json record =
            Json::parse(SheetFile::ReadRecord((folder + path).c_str()), nullptr, false);
        if (!record.is_object() || record.value("id", std::string()) != id) {
            return false;
        }
    }
    return true;
}

}  // namespace NS_Data
