// The JSON forms: hash, array, Aseprite's, Phaser 3's multi-atlas and melonJS's atlas.
#include <nlohmann/json.hpp>

#include <algorithm>
#include <charconv>
#include <iterator>

#include "composition/data/Animations.h"
#include "composition/data/DataNames.h"
#include "composition/data/DataWriters.h"
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

// The scale as the files of other tools spell it, a string ("1", "0.5"): PixiJS parses either a
// string or a number, some readers only the string.
std::string SpellScale(double scale) {
    char text[32];
    const auto written = std::to_chars(text, text + sizeof text, scale);
    return {text, written.ptr};
}

json MakeRect(const URect_C& rect) {
    json entry(json::value_t::object);
    entry["x"] = rect.left;
    entry["y"] = rect.top;
    entry["w"] = rect.GetWidth();
    entry["h"] = rect.GetHeight();
    return entry;
}

using Options = NS_Data::UDataOptions_S;

// Adds the frame's members to `entry`, after any it holds already.
void AddFrame(const USheetDataFrame_S& frame, const Options& options, json& entry) {
    const NS_Data::UFrame_S& place = frame.place;
    entry["frame"] = MakeRect(place.onSheet);
    entry["rotated"] = frame.rotated;
    entry["trimmed"] = place.IsTrimmed();
    entry["spriteSourceSize"] = MakeRect(place.inSource);
    entry["sourceSize"] = MakeSize(place.sourceSize.GetWidth(), place.sourceSize.GetHeight());
    if (frame.duration >= 0) {
        entry["duration"] = frame.duration;
    }
    // Phaser reads a frame's pivot as "pivot", PixiJS as "anchor".
    if (options.hasPivot) {
        json pivot(json::value_t::object);
        pivot["x"] = options.pivotX;
        pivot["y"] = options.pivotY;
        entry["pivot"] = pivot;
        entry["anchor"] = pivot;
    }
}

// Each frame's entry, with `name` first where given; made on every core, in pieces of this
// many frames.
constexpr std::size_t FramesPerTask = 256;

std::vector<json> MakeEntries(const std::vector<USheetDataFrame_S>& frames,
                              const std::vector<std::string>* names, const Options& options) {
    std::vector<json> entries(frames.size());
    RunInParallel((frames.size() + FramesPerTask - 1) / FramesPerTask, [&](std::size_t task) {
        const std::size_t end = std::min(frames.size(), (task + 1) * FramesPerTask);
        for (std::size_t i = task * FramesPerTask; i < end; ++i) {
            entries[i] = json(json::value_t::object);
            if (names) {
                entries[i]["filename"] = (*names)[i];
            }
            AddFrame(frames[i], options, entries[i]);
        }
    });
    return entries;
}

json MakeArray(std::vector<json> entries) {
    return json::array_t(std::make_move_iterator(entries.begin()),
                         std::make_move_iterator(entries.end()));
}

// The entries keyed by `keys`, which are unique; they go in whole, since inserting them one by
// one would search the ones before each time.
json MakeObject(std::vector<json> entries, const std::vector<std::string>& keys) {
    std::vector<std::pair<const std::string, json>> named;
    named.reserve(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        named.emplace_back(keys[i], std::move(entries[i]));
    }
    return json::object_t(std::make_move_iterator(named.begin()),
                          std::make_move_iterator(named.end()));
}

json MakeMeta(const USheetDataMeta_S& sheet) {
    json meta = {
        {"app", ProductName},
        {"version", ProductVersion},
        {"image", sheet.image},
        {"format", "RGBA8888"},
        {"size", MakeSize(sheet.width, sheet.height)},
        {"scale", SpellScale(sheet.scale)},
    };
    // PixiJS loads the sheets listed here together with this one.
    if (!sheet.related.empty()) {
        meta["related_multi_packs"] = sheet.related;
    }
    return meta;
}

// Frames of animations get a duration: a gif's own, or one frame at the given rate.
std::vector<USheetDataFrame_S> Timed(std::vector<USheetDataFrame_S> frames,
                                     const std::vector<UAnimation_S>& animations,
                                     const Options& options) {
    for (const UAnimation_S& animation : animations) {
        for (const std::size_t i : animation.frames) {
            if (frames[i].duration < 0) {
                frames[i].duration = 1000 / std::max(options.fps, 1);
            }
        }
    }
    return frames;
}

// PixiJS's "animations": each animation's frames in playing order, by their keys in "frames"
// (PixiJS keys the frames of an array by their indexes).
json MakeAnimations(const std::vector<UAnimation_S>& animations,
                    const std::vector<std::string>& keys) {
    json map(json::value_t::object);
    for (const UAnimation_S& animation : animations) {
        json list(json::value_t::array);
        for (const std::size_t i : animation.frames) {
            list.push_back(keys[i]);
        }
        map[AsWritten(animation.name)] = list;
    }
    return map;
}

// Aseprite's "frameTags", which name a run of frames by the indexes of its first and last; an
// animation whose frames do not lie in one run in that order has no tag.
json MakeFrameTags(const std::vector<UAnimation_S>& animations) {
    json tags(json::value_t::array);
    for (const UAnimation_S& animation : animations) {
        const auto& frames = animation.frames;
        bool run = true;
        for (std::size_t i = 1; i < frames.size(); ++i) {
            run = run && frames[i] == frames[i - 1] + 1;
        }
        if (run) {
            tags.push_back({{"name", AsWritten(animation.name)},
                            {"from", frames.front()},
                            {"to", frames.back()},
                            {"direction", "forward"}});
        }
    }
    return tags;
}

// The frames reordered so that each animation's frames lie in one run, in playing order, the
// frames of no animation after them; the animations then index the new order.
void GroupAnimations(USheetDataPage_S& page, std::vector<std::string>& names,
                     std::vector<UAnimation_S>& animations) {
    std::vector<std::size_t> order;
    std::vector<char> placed(page.frames.size());
    for (UAnimation_S& animation : animations) {
        for (std::size_t& i : animation.frames) {
            placed[i] = 1;
            order.push_back(i);
            i = order.size() - 1;
        }
    }
    for (std::size_t i = 0; i < page.frames.size(); ++i) {
        if (!placed[i]) {
            order.push_back(i);
        }
    }
    USheetDataPage_S grouped{page.meta, {}};
    std::vector<std::string> groupedNames;
    for (const std::size_t i : order) {
        grouped.frames.push_back(std::move(page.frames[i]));
        groupedNames.push_back(std::move(names[i]));
    }
    page = std::move(grouped);
    names = std::move(groupedNames);
}

std::string Dump(const json& document) {
    return document.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

// How a page's frames are listed: keyed by name, in an array, or keyed by index.
enum class UFrameList_E { ByName, InOrder, ByIndex };

std::vector<std::string> IndexKeys(std::size_t count) {
    std::vector<std::string> keys;
    for (std::size_t i = 0; i < count; ++i) {
        keys.push_back(std::to_string(i));
    }
    return keys;
}

// One page of the hash, the array or Aseprite's form.
std::string FormatJsonPage(USheetDataPage_S page, std::vector<std::string> names, UFrameList_E list,
                           const Options& options) {
    std::vector<UAnimation_S> animations = FindAnimations(page.frames);
    if (list == UFrameList_E::ByIndex) {
        // Phaser's createFromAseprite finds a tag's frames by their indexes as keys.
        GroupAnimations(page, names, animations);
    }
    const std::vector<USheetDataFrame_S> frames = Timed(page.frames, animations, options);
    std::erase_if(animations, [&page](const UAnimation_S& animation) {
        return std::ranges::find(page.meta.split, animation.name) != page.meta.split.end();
    });
    const bool byName = list == UFrameList_E::ByName;
    const std::vector<std::string> keys = byName ? names : IndexKeys(frames.size());
    std::vector<json> entries = MakeEntries(frames, byName ? nullptr : &names, options);
    json document;
    document["frames"] = list == UFrameList_E::InOrder ? MakeArray(std::move(entries))
                                                       : MakeObject(std::move(entries), keys);
    if (!animations.empty()) {
        document["animations"] = MakeAnimations(animations, keys);
    }
    json meta = MakeMeta(page.meta);
    if (json tags = MakeFrameTags(animations); !tags.empty()) {
        meta["frameTags"] = std::move(tags);
    }
    document["meta"] = meta;
    return Dump(document);
}

}  // namespace

std::string FormatJsonHash(const std::vector<USheetDataPage_S>& pages, const Options& options,
                           std::vector<std::string>&) {
    return FormatJsonPage(pages.front(), MakeUniqueNames(pages).front(), UFrameList_E::ByName,
                          options);
}

std::string FormatJsonArray(const std::vector<USheetDataPage_S>& pages, const Options& options,
                            std::vector<std::string>&) {
    // The array keeps every name as it is, so no name is made unique.
    std::vector<std::string> plain;
    for (const USheetDataFrame_S& frame : pages.front().frames) {
        plain.push_back(frame.name);
    }
    return FormatJsonPage(pages.front(), plain, UFrameList_E::InOrder, options);
}

std::string FormatAseprite(const std::vector<USheetDataPage_S>& pages, const Options& options,
                           std::vector<std::string>&) {
    return FormatJsonPage(pages.front(), MakeUniqueNames(pages).front(), UFrameList_E::ByIndex,
                          options);
}

// Phaser 3's multi-atlas: one file, a texture for each sheet.
std::string FormatPhaser3(const std::vector<USheetDataPage_S>& pages, const Options& options,
                          std::vector<std::string>&) {
    const std::vector<std::vector<std::string>> names = MakeUniqueNames(pages);
    json textures(json::value_t::array);
    for (std::size_t p = 0; p < pages.size(); ++p) {
        const std::vector<UAnimation_S> animations = FindAnimations(pages[p].frames);
        json texture(json::value_t::object);
        texture["image"] = pages[p].meta.image;
        texture["format"] = "RGBA8888";
        texture["size"] = MakeSize(pages[p].meta.width, pages[p].meta.height);
        texture["scale"] = pages[p].meta.scale;
        texture["frames"] =
            MakeArray(MakeEntries(Timed(pages[p].frames, animations, options), &names[p], options));
        textures.push_back(std::move(texture));
    }
    json document;
    document["textures"] = std::move(textures);
    document["meta"] = {{"app", ProductName}, {"version", ProductVersion}};
    return Dump(document);
}

// melonJS reads an atlas whose meta.app names a tool it knows, its own name among them, as an
// array of frames with their names as "filename". It then takes the sheet from its caller, keyed
// "default", and finds it by meta.image, so the file names no image.
std::string FormatMelonjs(const std::vector<USheetDataPage_S>& pages, const Options& options,
                          std::vector<std::string>&) {
    const USheetDataPage_S& page = pages.front();
    const std::vector<std::string> names = MakeUniqueNames(pages).front();
    json meta(json::value_t::object);
    meta["app"] = std::string(ProductName) + " (melonJS atlas)";
    meta["version"] = ProductVersion;
    meta["format"] = "RGBA8888";
    meta["size"] = MakeSize(page.meta.width, page.meta.height);
    json document;
    document["frames"] = MakeArray(MakeEntries(page.frames, &names, options));
    document["meta"] = std::move(meta);
    return Dump(document);
}
