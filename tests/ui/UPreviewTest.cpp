#include "ui/UPreview_C.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QRegularExpression>

#include <memory>

#include "TestSupport.h"
#include "composition/LoadPictures.h"
#include "composition/PictureGroup_C.h"
#include "composition/UComposeJob_C.h"

namespace {

using NS_Wnd::UPreviewInput_S;

// Pictures the test draws, loaded as the window loads them, with the options to place them.
class UPreview : public testing::Test {
protected:
    std::shared_ptr<UPreviewInput_S> Input(const std::vector<QSize>& sizes) {
        auto group = std::make_shared<NS_Data::PictureGroup_C>();
        auto input = std::make_shared<UPreviewInput_S>();
        std::vector<std::string> paths;
        for (std::size_t i = 0; i < sizes.size(); ++i) {
            QImage picture(sizes[i], QImage::Format_ARGB32);
            picture.fill(0);
            // A visible box inside a transparent margin, so trimming has work to do.
            for (int y = 1; y < sizes[i].height() - 1; ++y) {
                for (int x = 1; x < sizes[i].width() - 1; ++x) {
                    picture.setPixel(x, y,
                                     0xFF000000u | uint32_t(sizes[i].width() * 40 + x * 7 + y * 3));
                }
            }
            paths.push_back(folder.root + "p" + std::to_string(i) + ".png");
            EXPECT_TRUE(picture.save(QString::fromStdString(paths.back())));
            input->names.push_back("p" + std::to_string(i));
        }
        EXPECT_TRUE(LoadPictures(*group, paths, {}));
        input->pictures = group->GetPictures();
        input->holder = group;
        input->options.output = folder.root + "sheet.png";
        input->options.layout = NS_Data::ULayout_E::Packed;
        input->options.trim = NS_Data::UTrim_E::Each;
        input->options.sheet.padding = 1;
        input->options.sheet.extrude = 1;
        batch.clear();
        for (std::size_t i = 0; i < paths.size(); ++i) {
            batch.push_back({paths[i], input->names[i]});
        }
        return input;
    }
    // Events until the preview has placed and drawn what it was last given.
    void Settle() {
        QElapsedTimer waited;
        waited.start();
        while ((preview.IsPlanning() || preview.GetView()->IsDrawing()) &&
               waited.elapsed() < 20000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        ASSERT_FALSE(preview.IsPlanning() || preview.GetView()->IsDrawing()) << "still busy";
    }
    QImage Written(const UPreviewInput_S& input) {
        EXPECT_TRUE(NS_Data::UComposeJob_C(input.options).Run(batch));
        return QImage(QString::fromStdString(input.options.output))
            .convertToFormat(QImage::Format_ARGB32);
    }

    UTempDirectory folder;
    std::vector<UBatchEntry_S> batch;
    NS_Wnd::UPreview_C preview;
};

// Fitted to a view of the sheet's own size, the view shows the sheet at 1:1: its pixels must be
// the written sheet's, extrusion, trimming and shared places included; and the figures under it
// describe the plan that wrote it.
TEST_F(UPreview, ShowsAtOneToOneThePixelsTheSheetIsWrittenWith) {
    const auto input = Input({{9, 7}, {5, 12}, {9, 7}, {20, 3}});
    const QImage sheet = Written(*input);
    preview.GetView()->setFixedSize(sheet.size());
    preview.show();
    preview.Show(input);
    Settle();
    EXPECT_EQ(preview.GetView()->GetDrawnPixels(), sheet);
    EXPECT_TRUE(
        preview.GetSummary().startsWith(QString("%1 x %2 ").arg(sheet.width()).arg(sheet.height())))
        << preview.GetSummary().toStdString();
    EXPECT_TRUE(preview.GetSummary().contains(QRegularExpression("4 picture.*1 sharing")))
        << preview.GetSummary().toStdString();
}

// The user changes options faster than sheets are placed and drawn: only the latest change
// reaches the screen, the earlier ones are dropped, and nothing of theirs is shown after it.
TEST_F(UPreview, ALaterChangeSupersedesTheOneBeingDrawn) {
    auto large = Input(std::vector<QSize>(40, QSize(300, 300)));
    large->options.layout = NS_Data::ULayout_E::Row;
    auto small = Input({{9, 7}, {5, 12}});
    const QImage sheet = Written(*small);
    preview.GetView()->setFixedSize(sheet.size());
    preview.show();
    int drawings = 0;
    preview.GetView()->SetDrawnObserver([&] { ++drawings; });
    preview.Show(large);
    QCoreApplication::processEvents();
    preview.Show(small);
    Settle();
    EXPECT_EQ(preview.GetView()->GetDrawnPixels(), sheet);
    EXPECT_EQ(drawings, 1) << "a superseded plan reached the screen";
}

// A batch that cannot be placed says why under the preview, not in a message box.
TEST_F(UPreview, SaysUnderThePreviewWhyTheBatchDoesNotFit) {
    auto input = Input({{40, 40}});
    input->options.sheet.maxSize = 16;
    preview.Show(input);
    Settle();
    EXPECT_TRUE(preview.GetSummary().contains("p0")) << preview.GetSummary().toStdString();
    EXPECT_TRUE(preview.GetView()->GetDrawnPixels().isNull());
}

}  // namespace
