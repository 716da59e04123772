#pragma once

#include <QCoreApplication>
#include <QString>

#include <sys/stat.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "composition/PictureGroup_C.h"
#include "composition/UPictureCache_C.h"
#include "ui/ULatestTask_C.h"
#include "ui/UPreviewInput_S.h"

namespace NS_Wnd {

// The listed pictures, decoded on a worker thread when the list changes and kept while their
// files do not, so that each preview after an option change and the compose after it decode
// nothing again. A picture added to the list decodes alone.
class UListedPictures_C {
    Q_DECLARE_TR_FUNCTIONS(UListedPictures_C)

public:
    using ULoaded_S = NS_Data::PictureGroup_C::ULoaded_S;
    // Each listed path's pictures, in list order.
    struct UDecoded_S {
        std::vector<std::string> paths;
        bool allFrames = false;
        std::vector<std::shared_ptr<const ULoaded_S>> loaded;
        // Each file as it was when decoded.
        std::vector<struct stat> status;
    };
    using UReady_F = std::function<void(std::shared_ptr<const UDecoded_S>, QString failure)>;

    UListedPictures_C();

    // Decodes what `paths` need and tells `ready` on the window's thread, through `context`,
    // unless a later request came first. `ready` is told at once when nothing needs decoding.
    void Request(QObject* context, std::vector<std::string> paths, bool allFrames,
                 const UReady_F& ready);
    bool IsDecoding() const { return decoding; }

    // Hands `cache` the pictures of `decoded` that `paths` list and whose files are as they were
    // when decoded, so that a compose decodes none of them again.
    static void Lend(const UDecoded_S& decoded, const std::vector<std::string>& paths,
                     NS_Data::UPictureCache_C& cache);
    // A preview's pictures and names (a gif's frames NAME#N, as the data file names them).
    static std::shared_ptr<UPreviewInput_S> MakeInput(std::shared_ptr<const UDecoded_S> decoded,
                                                      const std::vector<std::string>& names);

private:
    struct UHeld_S {
        std::shared_ptr<const ULoaded_S> loaded;
        struct stat status {};
    };
    using UHeldMap_T = std::map<std::pair<std::string, bool>, UHeld_S>;

    // The held pictures of `path` while its file is as it was when they were decoded.
    static const UHeld_S* FindFresh(const UHeldMap_T& held, const std::string& path,
                                    bool allFrames);

    std::shared_ptr<UHeldMap_T> held;
    bool decoding = false;
    ULatestTask_C decoder;
};

}  // namespace NS_Wnd
