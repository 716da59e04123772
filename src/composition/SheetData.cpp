#include "composition/SheetData.h"

#include <nlohmann/json.hpp>

#include <iterator>
#include <unordered_map>
#include <unordered_set>

#include "foundation/ProductVersion.h"

namespace {

// Keys stay in the order written, as in the files other sprite-sheet tools write.
using json = nlohmann::ordered_json;

json MakeRect(const URect_C& rect) {
    return {{"x", rect.left}, {"y", rect.top}, {"w", rect.GetWidth()}, {"h", rect.GetHeight()}};
}

json MakeFrame(const USheetDataFrame_S& frame) {
    const NS_Data::UFrame_S& place = frame.place;
    json entry = {
        {"frame", MakeRect(place.onSheet)},
        {"rotated", false},
        {"trimmed", place.IsTrimmed()},
        {"spriteSourceSize", MakeRect(place.inSource)},
        {"sourceSize", {{"w", place.sourceSize.GetWidth()}, {"h", place.sourceSize.GetHeight()}}},
    };
    if (frame.duration >= 0) {
        entry["duration"] = frame.duration;
    }
    return entry;
}

// Gives each name met again the first free NAME~N; every name is looked up a bounded number of
// times on average, so a batch of one name repeated stays linear.
class UUniqueNames_C {
public:
    std::string Take(const std::string& name) {
        std::string unique = name;
        int32_t& next = nextSuffix.try_emplace(name, 2).first->second;
        while (!taken.insert(unique).second) {
            unique = name + "~" + std::to_string(next++);
        }
        return unique;
    }

private:
    std::unordered_set<std::string> taken;
    std::unordered_map<std::string, int32_t> nextSuffix;
};

json MakeFrames(const std::vector<USheetDataFrame_S>& frames, bool asArray) {
    if (asArray) {
        json list = json::array();
        for (const USheetDataFrame_S& frame : frames) {
            json entry = {{"filename", frame.name}};
            entry.update(MakeFrame(frame));
            list.push_back(std::move(entry));
        }
        return list;
    }
    // The names are made unique here, so the entries go in whole: inserting them one by one
    // would search the ones before each time.
    std::vector<std::pair<const std::string, json>> entries;
    entries.reserve(frames.size());
    UUniqueNames_C names;
    for (const USheetDataFrame_S& frame : frames) {
        entries.emplace_back(names.Take(frame.name), MakeFrame(frame));
    }
    return json::object_t(std::make_move_iterator(entries.begin()),
                          std::make_move_iterator(entries.end()));
}

}  // namespace

std::string FormatSheetData(const std::vector<USheetDataFrame_S>& frames, const std::string& image,
                            int64_t width, int64_t height, bool asArray) {
    const json meta = {
        {"app", ProductName},
        {"version", ProductVersion},
        {"image", image},
        {"format", "RGBA8888"},
        {"size", {{"w", width}, {"h", height}}},
        {"scale", "1"},
    };
    // Filled key by key: an initializer list would copy the whole frame list once more.
    json document;
    document["frames"] = MakeFrames(frames, asArray);
    document["meta"] = meta;
    return document.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}
