#include "ui/UListedPictures_C.h"

#include <exception>

#include "foundation/RunInParallel.h"
#include "foundation/UError_C.h"

namespace NS_Wnd {
namespace {

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

QString DescribeFailure(const std::exception_ptr& failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const NS_Base::UError_C& error) {
        return QString::fromStdString(error.ComposeText());
    } catch (const std::bad_alloc&) {
        return QCoreApplication::translate("UListedPictures_C",
                                           "Not enough memory to decode the pictures.");
    } catch (...) {
        return QCoreApplication::translate("UListedPictures_C", "A picture cannot be decoded.");
    }
}

}  // namespace

UListedPictures_C::UListedPictures_C() : held(std::make_shared<UHeldMap_T>()) {}

const UListedPictures_C::UHeld_S* UListedPictures_C::FindFresh(const UHeldMap_T& held,
                                                               const std::string& path,
                                                               bool allFrames) {
    const auto found = held.find({path, allFrames});
    struct stat now {};
    if (found == held.end() || ::stat(path.c_str(), &now) != 0 ||
        !SameFile(found->second.status, now)) {
        return nullptr;
    }
    return &found->second;
}

void UListedPictures_C::Request(QObject* context, std::vector<std::string> paths, bool allFrames,
                                const UReady_F& ready) {
    decoding = true;
    // The held map is only touched on the worker thread, one request after another.
    decoder.Start([this, context, paths = std::move(paths), allFrames, ready,
                   map = held](uint64_t generation) {
        if (!decoder.IsLatest(generation)) {
            return;
        }
        auto decoded = std::make_shared<UDecoded_S>();
        decoded->paths = paths;
        decoded->allFrames = allFrames;
        decoded->loaded.resize(paths.size());
        decoded->status.resize(paths.size());
        std::vector<UHeld_S> fresh(paths.size());
        std::vector<std::exception_ptr> failures(paths.size());
        RunInParallel(paths.size(), [&](std::size_t i) {
            if (const UHeld_S* kept = FindFresh(*map, paths[i], allFrames)) {
                fresh[i] = *kept;
                return;
            }
            if (!decoder.IsLatest(generation)) {
                return;
            }
            try {
                // Known before decoding, so that a file changed meanwhile decodes again.
                ::stat(paths[i].c_str(), &fresh[i].status);
                fresh[i].loaded = std::make_shared<const ULoaded_S>(
                    NS_Data::PictureGroup_C::Load(paths[i].c_str(), allFrames));
            } catch (...) {
                failures[i] = std::current_exception();
            }
        });
        QString failure;
        UHeldMap_T kept;
        for (std::size_t i = 0; i < paths.size(); ++i) {
            if (failures[i] && failure.isEmpty()) {
                failure = DescribeFailure(failures[i]);
            }
            decoded->loaded[i] = fresh[i].loaded;
            decoded->status[i] = fresh[i].status;
            if (fresh[i].loaded) {
                kept[{paths[i], allFrames}] = fresh[i];
            }
        }
        // What the list no longer names is let go.
        *map = std::move(kept);
        std::shared_ptr<const UDecoded_S> result = failure.isEmpty() ? std::move(decoded) : nullptr;
        QMetaObject::invokeMethod(
            context,
            [this, generation, result, failure, ready] {
                if (decoder.IsLatest(generation)) {
                    decoding = false;
                    ready(result, failure);
                }
            },
            Qt::QueuedConnection);
    });
}

void UListedPictures_C::Lend(const UDecoded_S& decoded, const std::vector<std::string>& paths,
                             NS_Data::UPictureCache_C& cache) {
    std::map<std::string, std::size_t> index;
    for (std::size_t i = 0; i < decoded.paths.size(); ++i) {
        index.emplace(decoded.paths[i], i);
    }
    for (const std::string& path : paths) {
        const auto found = index.find(path);
        struct stat now {};
        if (found != index.end() && decoded.loaded[found->second] &&
            ::stat(path.c_str(), &now) == 0 && SameFile(decoded.status[found->second], now)) {
            cache.Keep(path, decoded.allFrames, *decoded.loaded[found->second]);
        }
    }
}

std::shared_ptr<UPreviewInput_S> UListedPictures_C::MakeInput(
    std::shared_ptr<const UDecoded_S> decoded, const std::vector<std::string>& names) {
    auto input = std::make_shared<UPreviewInput_S>();
    for (std::size_t i = 0; i < decoded->loaded.size(); ++i) {
        const ULoaded_S& loaded = *decoded->loaded[i];
        for (std::size_t frame = 0; frame < loaded.pictures.size(); ++frame) {
            input->pictures.push_back(&loaded.pictures[frame]);
            const bool animated = decoded->allFrames && loaded.delays[frame] >= 0;
            input->names.push_back(animated ? names[i] + "#" + std::to_string(frame) : names[i]);
        }
    }
    input->holder = std::move(decoded);
    return input;
}

}  // namespace NS_Wnd
