#include "app/ComposeCommand.h"

#include <unistd.h>

#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "composition/CollectFiles.h"
#include "composition/PictureGroup_C.h"
#include "files/UFileAbyss_C.h"
#include "foundation/UError_C.h"
#include "foundation/UString_C.h"

namespace {

// One line on a terminal's standard error, rewritten in place while the pictures load and
// erased afterwards, so that a message printed next starts on a clean line.
class UProgressLine_C {
public:
    UProgressLine_C() : shown(isatty(STDERR_FILENO) == 1) {}
    UProgressLine_C(const UProgressLine_C&) = delete;
    UProgressLine_C& operator=(const UProgressLine_C&) = delete;
    ~UProgressLine_C() {
        if (shown) {
            std::fputs("\r\033[K", stderr);
        }
    }

    void Show(std::size_t done, std::size_t total) {
        if (shown) {
            std::fprintf(stderr, "\rLoading pictures: %zu of %zu", done, total);
            std::fflush(stderr);
        }
    }

private:
    bool shown;
};

// The error record as its notice would show it, with plain line breaks.
void PrintError(const NS_Base::UError_C& error) {
    std::string text = error.ComposeText();
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) {
        text.erase(at, 1);
    }
    std::fprintf(stderr, "%s: %s\n", error.GetCaption(), text.c_str());
}

std::vector<NS_Data::UString_C> CollectBatch(const std::vector<std::string>& paths) {
    UFileAbyss_C fileAbyss;
    for (const std::string& path : paths) {
        fileAbyss.AddPath(path.c_str());
    }
    std::vector<NS_Data::UString_C> batch;
    CollectFiles(fileAbyss, [&batch](const char* path) { batch.emplace_back(path); });
    return batch;
}

// Without a limit of the user's own, a sheet that most GPUs cannot load is still written.
void WarnAboutTextureSize(const NS_Data::USheetLayout_S& layout, int64_t maxSize) {
    const int64_t limit = NS_Data::PictureGroup_C::CommonTextureSide;
    if (maxSize == 0 && (layout.GetWidth() > limit || layout.GetHeight() > limit)) {
        std::fprintf(stderr,
                     "tavrin: warning: the sheet is %lld x %lld pixels; most GPUs cannot load a "
                     "texture with a side above %lld (--max-size makes this an error)\n",
                     static_cast<long long>(layout.GetWidth()),
                     static_cast<long long>(layout.GetHeight()), static_cast<long long>(limit));
    }
}

void ComposeBatch(const std::vector<NS_Data::UString_C>& batch, const CommandLine_S& commandLine) {
    NS_Data::PictureGroup_C group;
    {
        UProgressLine_C progress;
        for (std::size_t i = 0; i < batch.size(); ++i) {
            progress.Show(i + 1, batch.size());
            group.AddPicture(batch[i].GetString());
        }
    }
    const NS_Data::USheetLayout_S layout =
        group.PlanSheet(commandLine.composeMode, commandLine.autoCut, commandLine.sheet);
    NS_Data::PictureGroup_C::CheckSheet(layout, commandLine.maxSize);
    WarnAboutTextureSize(layout, commandLine.maxSize);
    group.ComposeSheet(commandLine.output.c_str(), 0, layout);
}

}  // namespace

int RunCompose(const CommandLine_S& commandLine) {
    try {
        const std::vector<NS_Data::UString_C> batch = CollectBatch(commandLine.paths);
        if (batch.empty()) {
            std::fputs("tavrin: no bmp, png, jpg or gif file found\n", stderr);
            return 1;
        }
        ComposeBatch(batch, commandLine);
        if (isatty(STDOUT_FILENO) == 1) {
            std::printf("Wrote %s from %zu pictures.\n", commandLine.output.c_str(), batch.size());
        }
    } catch (const NS_Base::UError_C& error) {
        PrintError(error);
        return 1;
    } catch (const std::bad_alloc&) {
        std::fputs("SystemError: Not enough memory.\n", stderr);
        return 1;
    }
    return 0;
}
