#include "composition/SheetData.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <iterator>
#include <unordered_map>
#include <unordered_set>

#include "foundation/ProductVersion.h"
#include "foundation/RunInParallel.h"

namespace {

// Keys stay in the order written, as in the files other sprite-sheet tools write.
using json = nlohmann::ordered_json;

// Objects are filled member by member: an initializer list copies every value once more, which
// on thousands of frames took half the time of the whole file.
json MakeSize(int64_t width, int64_t height) {
    json size(json::value_t::object);
    size["w"] = width;
    size["h"] = height;
    return size;
}

json MakeRect(const URect_C& rect) {
    json entry(json::value_t::object);
    entry["x"] = rect.left;
    entry["y"] = rect.top;
    entry["w"] = rect.GetWidth();
    entry["h"] = rect.GetHeight();
    return entry;
}

// Adds the frame's members to `entry`, after any it holds already.
void AddFrame(const USheetDataFrame_S& frame, json& entry) {
    const NS_Data::UFrame_S& place = frame.place;
    entry["frame"] = MakeRect(place.onSheet);
    entry["rotated"] = frame.rotated;
    entry["trimmed"] = place.IsTrimmed();
    entry["spriteSourceSize"] = MakeRect(place.inSource);
    entry["sourceSize"] = MakeSize(place.sourceSize.GetWidth(), place.sourceSize.GetHeight());
    if (frame.duration >= 0) {
        entry["duration"] = frame.duration;
    }
}

// The name as the file will spell it: bytes that are not UTF-8 become U+FFFD, exactly as the
// writer replaces them, so that two names differing only there are told apart before they meet
// as one key. Plain ASCII, the usual case, needs no work.
std::string AsWritten(const std::string& name) {
    if (std::ranges::none_of(name, [](char c) { return static_cast<unsigned char>(c) >= 0x80; })) {
        return name;
    }
    const std::string quoted = json(name).dump(-1, ' ', false, json::error_handler_t::replace);
    return json::parse(quoted).get<std::string>();
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

// Each frame's entry, the array's with its file name first; made on every core, in pieces of
// this many frames.
constexpr std::size_t FramesPerTask = 256;

std::vector<json> MakeEntries(const std::vector<USheetDataFrame_S>& frames, bool withName) {
    std::vector<json> entries(frames.size());
    RunInParallel((frames.size() + FramesPerTask - 1) / FramesPerTask, [&](std::size_t task) {
        const std::size_t end = std::min(frames.size(), (task + 1) * FramesPerTask);
        for (std::size_t i = task * FramesPerTask; i < end; ++i) {
            entries[i] = json(json::value_t::object);
            if (withName) {
                entries[i]["filename"] = frames[i].name;
            }
            AddFrame(frames[i], entries[i]);
        }
    });
    return entries;
}

json MakeFrames(const std::vector<USheetDataFrame_S>& frames, bool asArray) {
    std::vector<json> entries = MakeEntries(frames, asArray);
    if (asArray) {
        return json::array_t(std::make_move_iterator(entries.begin()),
                             std::make_move_iterator(entries.end()));
    }
    // The names are made unique here, so the entries go in whole: inserting them one by one
    // would search the ones before each time.
    std::vector<std::pair<const std::string, json>> named;
    named.reserve(frames.size());
    UUniqueNames_C names;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        named.emplace_back(names.Take(AsWritten(frames[i].name)), std::move(entries[i]));
    }
    return json::object_t(std::make_move_iterator(named.begin()),
                          std::make_move_iterator(named.end()));
}

}  // namespace

std::string FormatSheetData(const std::vector<USheetDataFrame_S>& frames,
                            const USheetDataMeta_S& sheet, bool asArray) {
    json meta = {
        {"app", ProductName},
        {"version", ProductVersion},
        {"image", sheet.image},
        {"format", "RGBA8888"},
        {"size", MakeSize(sheet.width, sheet.height)},
        {"scale", "1"},
    };
    // PixiJS loads the sheets listed here together with this one.
    if (!sheet.related.empty()) {
        meta["related_multi_packs"] = sheet.related;
    }
    // Filled key by key: an initializer list would copy the whole frame list once more.
    json document;
    document["frames"] = MakeFrames(frames, asArray);
    document["meta"] = meta;
    return document.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}
