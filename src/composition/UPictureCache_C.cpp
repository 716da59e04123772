#include "composition/UPictureCache_C.h"

#include <sys/stat.h>

#include <cstring>

namespace NS_Data {
namespace {

using NS_GroupElementDeclare::Picture_S;

// Copying a decoded picture costs a small part of decoding it again: memcpy runs at several
// GB/s, PNG and JPEG decoders at tens to hundreds of MB/s of pixels.
PictureGroup_C::ULoaded_S Copy(const PictureGroup_C::ULoaded_S& loaded) {
    PictureGroup_C::ULoaded_S copy;
    copy.delays = loaded.delays;
    for (const Picture_S& picture : loaded.pictures) {
        Picture_S& made = copy.pictures.emplace_back();
        made.pixels.SetSize(picture.pixels.GetSize());
        std::memcpy(made.pixels.GetData(), picture.pixels.GetData(),
                    std::size_t(picture.pixels.GetSize().GetArea()) * sizeof(uint32_t));
        made.contentRect = picture.contentRect;
    }
    return copy;
}

}  // namespace

UPictureCache_C::UEntry_S* UPictureCache_C::Find(const std::string& path, bool allFrames,
                                                 bool add) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return nullptr;
    }
    const UKey_T key{status.st_dev, status.st_ino, allFrames};
    const std::lock_guard lock(guard);
    CountExpected();
    if (add) {
        return Add(key);
    }
    const auto found = entries.find(key);
    return found == entries.end() ? nullptr : found->second.get();
}

UPictureCache_C::UEntry_S* UPictureCache_C::Add(const UKey_T& key) {
    auto found = entries.find(key);
    if (found == entries.end()) {
        found = entries.emplace(key, std::make_unique<UEntry_S>()).first;
    }
    return found->second.get();
}

void UPictureCache_C::CountExpected() {
    for (const auto& [path, allFrames] : expected) {
        struct stat status {};
        if (::stat(path.c_str(), &status) == 0) {
            UEntry_S* entry = Add({status.st_dev, status.st_ino, allFrames});
            const std::lock_guard lock(entry->guard);
            ++entry->readers;
        }
    }
    expected.clear();
}

void UPictureCache_C::Expect(const std::string& path, bool allFrames) {
    const std::lock_guard lock(guard);
    expected.emplace_back(path, allFrames);
}

void UPictureCache_C::Keep(const std::string& path, bool allFrames,
                           const PictureGroup_C::ULoaded_S& pictures) {
    if (UEntry_S* entry = Find(path, allFrames, true)) {
        const std::lock_guard lock(entry->guard);
        ++entry->readers;
        if (!entry->loaded) {
            entry->loaded = true;
            entry->pictures = Copy(pictures);
        }
    }
}

PictureGroup_C::ULoaded_S UPictureCache_C::Load(const std::string& path, bool allFrames) {
    UEntry_S* entry = Find(path, allFrames, false);
    if (!entry) {
        return PictureGroup_C::Load(path.c_str(), allFrames);
    }
    const std::lock_guard lock(entry->guard);
    if (entry->readers == 0) {
        return PictureGroup_C::Load(path.c_str(), allFrames);
    }
    --entry->readers;
    if (!entry->loaded) {
        entry->loaded = true;
        try {
            entry->pictures = PictureGroup_C::Load(path.c_str(), allFrames);
        } catch (...) {
            entry->failure = std::current_exception();
        }
    }
    if (entry->failure) {
        std::rethrow_exception(entry->failure);
    }
    return entry->readers == 0 ? std::move(entry->pictures) : Copy(entry->pictures);
}

}  // namespace NS_Data
