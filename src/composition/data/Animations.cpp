#include "composition/data/Animations.h"

#include <algorithm>
#include <map>
#include <unordered_map>

#include "composition/NaturalOrder.h"

namespace {

// The name without the extension of its last component.
std::string WithoutExtension(const std::string& name) {
    const std::size_t dot = name.rfind('.');
    const std::size_t slash = name.rfind('/');
    const bool inName = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return inName && dot > 0 ? name.substr(0, dot) : name;
}

}  // namespace

// A numbered frame's animation is its name without extension, number and the separators
// before the number.
std::string FindAnimationName(const USheetDataFrame_S& frame) {
    const std::size_t mark = frame.name.rfind('#');
    if (frame.duration >= 0 && mark != std::string::npos) {
        return WithoutExtension(frame.name.substr(0, mark));
    }
    std::string stem = WithoutExtension(frame.name);
    const std::size_t digits = stem.find_last_not_of("0123456789") + 1;
    if (digits == stem.size()) {
        return {};
    }
    stem.erase(digits);
    while (!stem.empty() && std::string_view("_-. /").find(stem.back()) != std::string::npos) {
        stem.pop_back();
    }
    return stem.empty() ? std::string("frames") : stem;
}

std::vector<UAnimation_S> FindAnimations(const std::vector<USheetDataFrame_S>& frames) {
    std::map<std::string, std::size_t> byName;
    std::vector<UAnimation_S> animations;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const std::string name = FindAnimationName(frames[i]);
        if (name.empty()) {
            continue;
        }
        const auto [at, added] = byName.try_emplace(name, animations.size());
        if (added) {
            animations.push_back({name, {}});
        }
        animations[at->second].frames.push_back(i);
    }
    for (UAnimation_S& animation : animations) {
        // A gif's frames are already in playing order, which their names also give.
        std::stable_sort(animation.frames.begin(), animation.frames.end(),
                         [&](std::size_t a, std::size_t b) {
                             return IsNaturallyBefore(frames[a].name, frames[b].name);
                         });
    }
    std::erase_if(animations, [&](const UAnimation_S& animation) {
        return animation.frames.size() < 2 && frames[animation.frames[0]].duration < 0;
    });
    return animations;
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
