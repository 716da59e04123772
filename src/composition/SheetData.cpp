#include "composition/SheetData.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <iterator>
#include <unordered_map>
#include <unordered_set>

#include "composition/Animations.h"
#include "composition/SheetNames.h"
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

using Options = NS_Data::UComposeOptions_S;
using Form = NS_Data::UDataOptions_S;

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
    if (options.data.hasPivot) {
        json pivot(json::value_t::object);
        pivot["x"] = options.data.pivotX;
        pivot["y"] = options.data.pivotY;
        entry["pivot"] = pivot;
        entry["anchor"] = pivot;
    }
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
        {"scale", "1"},
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
                frames[i].duration = 1000 / std::max(options.data.fps, 1);
            }
        }
    }
    return frames;
}

// PixiJS's "animations": each animation's frame names in playing order.
json MakeAnimations(const std::vector<UAnimation_S>& animations,
                    const std::vector<std::string>& names) {
    json map(json::value_t::object);
    for (const UAnimation_S& animation : animations) {
        json list(json::value_t::array);
        for (const std::size_t i : animation.frames) {
            list.push_back(names[i]);
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

// JSON hash, array, or Aseprite's form for one page.
std::string FormatJsonPage(USheetDataPage_S page, std::vector<std::string> names,
                           const Options& options) {
    std::vector<UAnimation_S> animations = FindAnimations(page.frames);
    const bool aseprite = options.data.form == Form::Aseprite;
    if (aseprite) {
        // Phaser's createFromAseprite finds a tag's frames by their indexes as keys.
        GroupAnimations(page, names, animations);
    }
    const std::vector<USheetDataFrame_S> frames = Timed(page.frames, animations, options);
    std::erase_if(animations, [&page](const UAnimation_S& animation) {
        return std::ranges::find(page.meta.split, animation.name) != page.meta.split.end();
    });
    json document;
    if (options.data.form == Form::JsonArray) {
        document["frames"] = MakeArray(MakeEntries(frames, &names, options));
    } else if (aseprite) {
        std::vector<std::string> keys;
        for (std::size_t i = 0; i < frames.size(); ++i) {
            keys.push_back(std::to_string(i));
        }
        document["frames"] = MakeObject(MakeEntries(frames, &names, options), keys);
    } else {
        document["frames"] = MakeObject(MakeEntries(frames, nullptr, options), names);
    }
    if (!animations.empty()) {
        document["animations"] = MakeAnimations(animations, names);
    }
    json meta = MakeMeta(page.meta);
    if (json tags = MakeFrameTags(animations); !tags.empty()) {
        meta["frameTags"] = std::move(tags);
    }
    document["meta"] = meta;
    return Dump(document);
}

// Phaser 3's multi-atlas: one file, a texture for each sheet.
std::string FormatPhaser3(const std::vector<USheetDataPage_S>& pages,
                          const std::vector<std::vector<std::string>>& names,
                          const Options& options) {
    json textures(json::value_t::array);
    for (std::size_t p = 0; p < pages.size(); ++p) {
        const std::vector<UAnimation_S> animations = FindAnimations(pages[p].frames);
        json texture(json::value_t::object);
        texture["image"] = pages[p].meta.image;
        texture["format"] = "RGBA8888";
        texture["size"] = MakeSize(pages[p].meta.width, pages[p].meta.height);
        texture["scale"] = 1;
        texture["frames"] =
            MakeArray(MakeEntries(Timed(pages[p].frames, animations, options), &names[p], options));
        textures.push_back(std::move(texture));
    }
    json document;
    document["textures"] = std::move(textures);
    document["meta"] = {{"app", ProductName}, {"version", ProductVersion}};
    return Dump(document);
}

}  // namespace

std::string AsWritten(const std::string& name) {
    if (std::ranges::none_of(name, [](char c) { return static_cast<unsigned char>(c) >= 0x80; })) {
        return name;
    }
    const std::string quoted = json(name).dump(-1, ' ', false, json::error_handler_t::replace);
    return json::parse(quoted).get<std::string>();
}

std::vector<std::vector<std::string>> MakeUniqueNames(const std::vector<USheetDataPage_S>& pages) {
    UUniqueNames_C unique;
    std::vector<std::vector<std::string>> names(pages.size());
    for (std::size_t p = 0; p < pages.size(); ++p) {
        for (const USheetDataFrame_S& frame : pages[p].frames) {
            names[p].push_back(unique.Take(AsWritten(frame.name)));
        }
    }
    return names;
}

void MarkSplitAnimations(std::vector<USheetDataPage_S>& pages) {
    std::vector<USheetDataFrame_S> all;
    for (const USheetDataPage_S& page : pages) {
        all.insert(all.end(), page.frames.begin(), page.frames.end());
    }
    std::unordered_map<std::string, std::size_t> whole;
    for (const UAnimation_S& animation : FindAnimations(all)) {
        whole[animation.name] = animation.frames.size();
    }
    for (USheetDataPage_S& page : pages) {
        for (const UAnimation_S& animation : FindAnimations(page.frames)) {
            if (animation.frames.size() != whole[animation.name]) {
                page.meta.split.push_back(animation.name);
            }
        }
    }
}

bool HoldsEveryPage(NS_Data::UDataOptions_S::Form_E format) {
    return format == Form::Phaser3 || format == Form::Libgdx || format == Form::Css;
}

std::string FindDataFormatProblem(const Options& options) {
    if (options.data.form == Form::Css && options.packing.rotate) {
        return "--data-format css cannot show a rotated frame; leave out --rotate";
    }
    if (options.data.form == Form::Libgdx && options.packing.rotate) {
        return "--data-format libgdx turns frames the other way; leave out --rotate";
    }
    return {};
}

std::string FormatSheetData(const std::vector<USheetDataPage_S>& pages, const Options& options) {
    if (options.data.form == Form::JsonArray) {
        // The array keeps every name as it is, so no name is made unique.
        std::vector<std::string> plain;
        for (const USheetDataFrame_S& frame : pages.front().frames) {
            plain.push_back(frame.name);
        }
        return FormatJsonPage(pages.front(), plain, options);
    }
    std::vector<std::vector<std::string>> names = MakeUniqueNames(pages);
    switch (options.data.form) {
        case Form::Phaser3:
            return FormatPhaser3(pages, names, options);
        case Form::Libgdx:
            return FormatLibgdxAtlas(pages, names);
        case Form::Css:
            return FormatCssSprites(pages, names);
        case Form::Xml:
            return FormatTextureAtlasXml(pages.front(), names.front(), options);
        default:
            return FormatJsonPage(pages.front(), names.front(), options);
    }
}
