// Times the window's preview on a folder of pictures, offscreen: decoding them, the first
// preview on screen, and a new preview after each of a row of option changes; then the memory
// the process holds against the decoded pictures' own bytes.
//
//   preview_bench FOLDER...
#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "composition/CollectBatch.h"
#include "composition/LoadPictures.h"
#include "composition/PictureGroup_C.h"
#include "ui/UPreview_C.h"

namespace {

using NS_Data::ULayout_E;
using NS_Data::UTrim_E;
using NS_Wnd::UPreviewInput_S;

// Resident and peak memory in MiB, as the kernel counts them.
std::pair<double, double> MemoryMiB() {
    std::ifstream status("/proc/self/status");
    double rss = 0, peak = 0;
    for (std::string key; status >> key;) {
        if (key == "VmRSS:") {
            status >> rss;
        } else if (key == "VmHWM:") {
            status >> peak;
        }
    }
    return {rss / 1024, peak / 1024};
}

// Milliseconds until the preview has placed and drawn what it was last given.
double Settle(NS_Wnd::UPreview_C& preview, const QElapsedTimer& since) {
    while (preview.IsPlanning() || preview.GetView()->IsDrawing()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    }
    return double(since.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    std::vector<std::string> folders(argv + 1, argv + argc);
    std::vector<std::string> paths;
    std::vector<std::string> names;
    for (const UBatchEntry_S& entry : CollectBatch(folders, true, nullptr)) {
        paths.push_back(entry.path);
        names.push_back(entry.name);
    }
    auto group = std::make_shared<NS_Data::PictureGroup_C>();
    QElapsedTimer clock;
    clock.start();
    LoadPictures(*group, paths, {});
    const double decoding = double(clock.nsecsElapsed()) / 1e6;
    auto input = std::make_shared<UPreviewInput_S>();
    input->holder = group;
    input->pictures = group->GetPictures();
    input->names = names;
    double pictureMiB = 0;
    for (const auto* picture : input->pictures) {
        pictureMiB += double(picture->pixels.GetSize().GetWidth()) *
                      picture->pixels.GetSize().GetHeight() * 4 / (1 << 20);
    }
    input->options.output = "/tmp/preview-bench.png";
    input->options.layout = ULayout_E::Packed;
    input->options.trim = UTrim_E::Each;

    NS_Wnd::UPreview_C preview;
    preview.resize(900, 700);
    preview.show();
    clock.restart();
    preview.Show(input);
    const double first = Settle(preview, clock);
    std::printf("pictures %zu (%.1f MiB decoded), decoding %.0f ms, first preview %.0f ms after\n",
                input->pictures.size(), pictureMiB, decoding, first);

    const std::vector<std::pair<const char*, void (*)(NS_Data::UComposeOptions_S&)>> changes = {
        {"padding 2", [](auto& o) { o.sheet.padding = 2; }},
        {"extrude 1", [](auto& o) { o.sheet.extrude = 1; }},
        {"rotate", [](auto& o) { o.packing.rotate = true; }},
        {"power of two", [](auto& o) { o.sheet.powerOfTwo = true; }},
        {"no trim", [](auto& o) { o.trim = UTrim_E::None; }},
        {"grid", [](auto& o) { o.layout = ULayout_E::Grid; }},
        {"max 1024, multipack",
         [](auto& o) {
             o.layout = ULayout_E::Packed;
             o.sheet.maxSize = 1024;
             o.packing.multipack = true;
         }},
    };
    double slowest = 0;
    for (const auto& [name, change] : changes) {
        auto changed = std::make_shared<UPreviewInput_S>(*input);
        change(changed->options);
        input = changed;
        clock.restart();
        preview.Show(input);
        const double took = Settle(preview, clock);
        slowest = std::max(slowest, took);
        std::printf("  %-22s %6.0f ms  %s\n", name, took, preview.GetSummary().toUtf8().data());
    }
    const auto [rss, peak] = MemoryMiB();
    std::printf(
        "slowest change %.0f ms; memory %.0f MiB resident, %.0f MiB peak, %.0f MiB over "
        "the decoded pictures\n",
        slowest, rss, peak, peak - pictureMiB);
    return 0;
}
