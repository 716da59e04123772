#include "imaging/UGifAnimation_C.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

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

// Pictures of 3 x 2 drawn as letters: R, G, B and K for the colours, '.' for transparent.
UPicture_S Drawn(const char* rows) {
    UPicture_S picture{3, 2, {}};
    for (const char* c = rows; *c; ++c) {
        const std::string letters = "RGBK.";
        const uint32_t values[] = {gifValues[Red], gifValues[Green], gifValues[Blue],
                                   gifValues[Black], 0};
        picture.pixels.push_back(values[letters.find(*c)]);
    }
    return picture;
}

Bytes Concatenated(Bytes first, const Bytes& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

}  // namespace

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

TEST(UGifAnimation, ADamagedFrameIsNamed) {
    const UTempDirectory folder;
    const std::string path = folder.root + "a.gif";
    const Bytes gif = MakeGif(3, 2, ThreeFrames(1));
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

// Each frame as a browser shows it, also where files bend the rules; the still picture of the
// file (its first frame) is the first cell of the animation.
TEST(UGifAnimation, EachFrameShowsWhatABrowserShows) {
    // The global table's colours in another order: index 1 is green here, red there.
    const std::vector<uint32_t> own = {gifValues[Blue], gifValues[Green], gifValues[Red], 0};
    Bytes trailing = MakeGif(3, 2, ThreeFrames(1));
    trailing.pop_back();
    std::vector<UGifFrame_S> empty = ThreeFrames(1);
    empty.insert(empty.begin() + 1, {0, 0, 0, 2, {}});
    const std::vector<uint8_t> large = {Red, Green, Blue, Black, Green, Blue,
                                        Red, Black, 1,    1,     1,     1};
    const struct {
        const char* what;
        Bytes gif;
        std::vector<const char*> frames;
    } cases[] = {
        // The third frame over what the second one left: kept, cleared to transparent whatever
        // colour the file names as background, or the first frame again.
        {"disposal 0", MakeGif(3, 2, ThreeFrames(0)), {"RRRRRR", "RGRRRG", "RGRRRB"}},
        {"disposal 1", MakeGif(3, 2, ThreeFrames(1)), {"RRRRRR", "RGRRRG", "RGRRRB"}},
        {"disposal 2", MakeGif(3, 2, ThreeFrames(2)), {"RRRRRR", "RGRRRG", "R..R.B"}},
        {"disposal 3", MakeGif(3, 2, ThreeFrames(3)), {"RRRRRR", "RGRRRG", "RRRRRB"}},
        {"no trailer", trailing, {"RRRRRR", "RGRRRG", "RGRRRB"}},
        // Chromium 156 shows every index without a colour table, and those the table lacks, as
        // opaque black, the transparent one excepted.
        {"no colour table at all",
         MakeGif(3, 2, {{0, 0, 3, 2, {Red, Red, Red, Red, Red, Red}}}, false),
         {"KKKKKK"}},
        {"no colour table, a transparent index",
         MakeGif(3, 2, {{0, 0, 3, 2, {Red, Green, Blue, Green, 200, Green}, 1, Green}}, false),
         {"K.K.K."}},
        {"indices the colour table lacks",
         MakeGif(3, 2, {{0, 0, 3, 2, {Red, 4, 7, 200, 255, Green}}}),
         {"RKKKKG"}},
        {"a frame's own table, then none",
         MakeGif(
             3, 2,
             {{0, 0, 3, 2, std::vector<uint8_t>(6, 1), 1, -1, 0, false, own}, {0, 0, 1, 1, {1}}}),
         {"GGGGGG", "RGGGGG"}},
        {"a second file after the trailer",
         Concatenated(trailing, MakeGif(3, 2, {{0, 0, 3, 2, std::vector<uint8_t>(6, Blue)}})),
         {"RRRRRR", "RGRRRG", "RGRRRB"}},
        {"junk after the last frame",
         Concatenated(trailing, {0x00, 0x17, 0xFF}),
         {"RRRRRR", "RGRRRG", "RGRRRB"}},
        // A frame without pixels shows the screen as it stands, the first one too.
        {"a frame without pixels", MakeGif(3, 2, empty), {"RRRRRR", "RRRRRR", "RGRRRG", "RGRRRB"}},
        {"a first frame without pixels",
         MakeGif(3, 2, {{0, 0, 2, 0, {}}, {0, 0, 3, 2, std::vector<uint8_t>(6, Red)}}),
         {"......", "RRRRRR"}},
        // Cut to the screen, which every size check of the batch was made for.
        {"a first frame larger than the screen", MakeGif(3, 2, {{0, 0, 4, 3, large}}), {"RGBGBR"}},
    };
    const UTempDirectory folder;
    const std::string path = folder.root + "a.gif";
    for (const auto& [what, gif, expected] : cases) {
        WriteFile(path, gif);
        const std::string failure = FailureOf([&] {
            const UFrames_S frames = ReadAll(path);
            ASSERT_EQ(frames.pictures.size(), expected.size()) << what;
            for (std::size_t i = 0; i < expected.size(); ++i) {
                EXPECT_EQ(FirstDifference(frames.pictures[i], Drawn(expected[i])), "")
                    << what << ", frame " << i;
            }
            EXPECT_EQ(FirstDifference(LoadPicture(path), Drawn(expected[0])), "") << what;
        });
        EXPECT_EQ(failure, "") << what;
    }
    WriteFile(path, MakeGif(3, 2, ThreeFrames(1)));
    EXPECT_EQ(ReadAll(path).delays, (std::vector<int32_t>{100, 0, 250}));
}

// A frame may declare 65535 x 65535 pixels inside a small screen: what lies outside the screen
// is never held, and data that ends before the frame's pixels do is refused as damaged.
TEST(UGifAnimation, FramesBeyondTheScreenTakeNoMoreMemoryThanIt) {
    const UTempDirectory folder;
    const std::string path = folder.root + "a.gif";
    const Bytes wide = MakeGif(3, 2,
                               {{0, 0, 3, 2, std::vector<uint8_t>(6, Red)},
                                {1, 1, 65535, 2, std::vector<uint8_t>(131070, Blue)}});
    // 65535 x 4096 pixels declared, one code stored.
    const Bytes tall = {0x2C, 0, 0, 0, 0, 0xFF, 0xFF, 0, 0x10, 0, 8, 2, 0, 0, 0, 0x3B};
    struct rusage before {};
    getrusage(RUSAGE_SELF, &before);
    WriteFile(path, wide);
    const UFrames_S frames = ReadAll(path);
    ASSERT_EQ(frames.pictures.size(), 2u);
    EXPECT_EQ(FirstDifference(frames.pictures[1], Drawn("RRRRBB")), "");
    WriteFile(path, Concatenated(Bytes(wide.begin(), wide.end() - 1), tall));
    EXPECT_EQ(FailureOf([&] { ReadAll(path); }),
              "UGifAnimation_C 1 Fail to read an animation frame:|frame 2 of " + path);
    // A screen beyond the picture limit, as a file replaced after the header pass may have, is
    // left to the still picture's loader, which names the limit.
    WriteFile(path, MakeGif(20000, 20000, {{0, 0, 1, 1, {Red}}, {0, 0, 1, 1, {Blue}}}));
    EXPECT_FALSE(UGifAnimation_C::ReadFrames(path.c_str(), [](auto...) {}));
    struct rusage after {};
    getrusage(RUSAGE_SELF, &after);
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 64 * 1024) << "kB more at the peak";
}
