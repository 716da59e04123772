#pragma once

#include <sys/types.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "composition/PictureGroup_C.h"

namespace NS_Data {

// Pictures that several composes of one run read, decoded once. Each file is known by its
// device and inode, however its path is spelt; its pictures are kept from the first load until
// the last expected one, which takes them, and every load between gets a copy. A file nobody
// said to expect twice is decoded and handed over as without the cache.
class UPictureCache_C {
public:
    // One more load of `path` is to come. The file is looked up at the first load through the
    // cache: a run whose sheets are all up to date loads nothing, and would look up each of its
    // 2,000 pictures only for this.
    void Expect(const std::string& path, bool allFrames);
    // One more load of `path` is to come, and `pictures` are its decoded pictures already.
    void Keep(const std::string& path, bool allFrames, const PictureGroup_C::ULoaded_S& pictures);
    // PictureGroup_C::Load through the cache; safe on several threads at once. A failure is
    // raised to every load of the file.
    PictureGroup_C::ULoaded_S Load(const std::string& path, bool allFrames);

private:
    using UKey_T = std::tuple<dev_t, ino_t, bool>;
    struct UEntry_S {
        std::mutex guard;
        std::size_t readers = 0;
        bool loaded = false;
        PictureGroup_C::ULoaded_S pictures;
        std::exception_ptr failure;
    };

    // The file's entry, or null when it has none or cannot be known.
    UEntry_S* Find(const std::string& path, bool allFrames, bool add);
    // The entry of the file at `key`, made when it has none; with `guard` held.
    UEntry_S* Add(const UKey_T& key);
    // Counts the loads expected since the last look-up; with `guard` held.
    void CountExpected();

    std::mutex guard;
    std::map<UKey_T, std::unique_ptr<UEntry_S>> entries;
    std::vector<std::pair<std::string, bool>> expected;
};

}  // namespace NS_Data
