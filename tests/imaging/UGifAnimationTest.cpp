#include "imaging/UGifAnimation_C.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GifFiles.h"
#include "PictureFiles.h"
#include "TestSupport.h"

namespace {

struct UFrames_S {
    std::vector<UPicture_S> pictures;
    std::vector<int32_t> delays;
};

UFrames_S ReadAll(const std::string& path) {
    UFrames_S frames;
    const bool opened = UGifAnimation_C::ReadFrames(
        path.c_str(), [&](const uint32_t* values, USize_C size, int32_t delay) {
            frames.pictures.push_back(
                {size.GetWidth(), size.GetHeight(), {values, values + size.GetArea()}});
            frames.delays.push_back(delay);
        });
    EXPECT_TRUE(opened) << path;
    return frames;
}

// A 3 x 2 screen: red everywhere, then green at (1, 0) and (2, 1) through a frame whose other
// pixels are transparent, disposed as `disposal`; then blue from (2, 1) on, past the screen.
std::vector<UGifFrame_S> ThreeFrames(int disposal) {
    return {
        {0, 0, 3, 2, std::vector<uint8_t>(6, Red), 1, -1, 10},
        {1, 0, 2, 2, {Green, Black, Black, Green}, disposal, Black, 0},
        {2, 1, 2, 2, std::vector<uint8_t>(4, Blue), 1, -1, 25},
    };
}

// Pictures drawn as letters: R, G and B for the colours, '.' for transparent.
UPicture_S Drawn(const char* rows) {
    UPicture_S picture{3, 2, {}};
    for (const char* c = rows; *c; ++c) {
        const std::string letters = "RGB.";
        const uint32_t values[] = {gifValues[Red], gifValues[Green], gifValues[Blue], 0};
        picture.pixels.push_back(values[letters.find(*c)]);
    }
    return picture;
}

}  // namespace

TEST(UGifAnimation, EachDisposalShowsWhatABrowserShows) {
    // The third frame over what the second one left: kept, cleared to transparent whatever
    // colour the file names as background, or the first frame again.
    const std::pair<int, const char*> cases[] = {
        {0, "RGRRRB"}, {1, "RGRRRB"}, {2, "R..R.B"}, {3, "RRRRRB"}};
    const UTempDirectory folder;
    for (const auto& [disposal, third] : cases) {
        WriteFile(folder.root + "a.gif", MakeGif(3, 2, ThreeFrames(disposal)));
        const UFrames_S frames = ReadAll(folder.root + "a.gif");
        ASSERT_EQ(frames.pictures.size(), 3u) << "disposal " << disposal;
        EXPECT_EQ(frames.delays, (std::vector<int32_t>{100, 0, 250}));
        const char* const expected[] = {"RRRRRR", "RGRRRG", third};
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(FirstDifference(frames.pictures[i], Drawn(expected[i])), "")
                << "disposal " << disposal << ", frame " << i;
        }
    }
}

TEST(UGifAnimation, InterlacedRowsComeInDisplayOrder) {
    const std::vector<uint8_t> column = {Red, Green, Blue, Black, Red, Green, Blue, Black, Red};
    const UTempDirectory folder;
    WriteFile(folder.root + "a.gif",
              MakeGif(1, 9, {{0, 0, 1, 9, column, 1, -1, 0, true}, {0, 0, 1, 1, {Red}}}));
    const UFrames_S frames = ReadAll(folder.root + "a.gif");
    ASSERT_EQ(frames.pictures.size(), 2u);
    for (int y = 0; y < 9; ++y) {
        EXPECT_EQ(frames.pictures[0].pixels[y], gifValues[column[y]]) << "row " << y;
    }
}

TEST(UGifAnimation, ADamagedFrameIsNamedAndAMissingTrailerIsNot) {
    const UTempDirectory folder;
    const std::string path = folder.root + "a.gif";
    Bytes gif = MakeGif(3, 2, ThreeFrames(1));
    gif.pop_back();
    WriteFile(path, gif);
    EXPECT_EQ(ReadAll(path).pictures.size(), 3u) << "without its trailer";
    // Each frame takes 28 bytes: cut after the third one's control block, and inside the
    // second one's image data.
    for (const auto& [cut, frame] : {std::pair{20, "2"}, {33, "1"}}) {
        WriteFile(path, Bytes(gif.begin(), gif.end() - cut));
        EXPECT_EQ(FailureOf([&] { ReadAll(path); }),
                  std::string("UGifAnimation_C 1 Fail to read an animation frame:|frame ") + frame +
                      " of " + path);
    }
    WriteFile(path, {'G', 'I', 'F'});
    EXPECT_FALSE(UGifAnimation_C::ReadFrames(path.c_str(), [](auto...) {}));
}
