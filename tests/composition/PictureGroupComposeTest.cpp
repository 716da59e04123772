#include "PictureGroup_C.h"
#include "UImageData_C.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

using NS_Base::UError_C;
using NS_Data::PictureGroup_C;

namespace {

struct UPicture {
    int32_t width;
    int32_t height;
    std::vector<uint32_t> pixels;

    uint32_t At(int32_t x, int32_t y) const { return pixels[y * width + x]; }
};

// Column 0 is transparent, with colour left in the transparent values.
const UPicture pictureA = {3,
                           2,
                           {0x00ABCDEF, 0x80112233, 0xFF445566,  //
                            0x00000000, 0x01000000, 0x7F102030}};
// Content only at (1, 1) and (2, 2).
const UPicture pictureB = {4,
                           3,
                           {0x00123456, 0x00123456, 0x00123456, 0x00123456,  //
                            0x00123456, 0xFF0000FF, 0x00123456, 0x00123456,  //
                            0x00123456, 0x00123456, 0x40FFFF00, 0x00123456}};
const UPicture pictureC = {2, 2, {0x00FFFFFF, 0x00FFFFFF, 0x00FFFFFF, 0x00FFFFFF}};

class PictureGroupCompose : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "tavrin-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::string Path(const char* name) const { return (folder / name).string(); }

    std::string Write(const char* name, const UPicture& picture) const {
        const std::string path = Path(name);
        UImageData_C image;
        image.CreateFromPixels32(picture.pixels.data(), picture.width, picture.height);
        image.SavePng(path.c_str());
        return path;
    }

    void AddAll(const std::vector<const UPicture*>& pictures) {
        int index = 0;
        for (const UPicture* picture : pictures) {
            const std::string name = "in" + std::to_string(index++) + ".png";
            group.AddPicture(Write(name.c_str(), *picture).c_str());
        }
    }

    static UPicture Read(const std::string& path) {
        UImageData_C image;
        image.LoadFile(path.c_str());
        uint32_t* values = nullptr;
        UPicture sheet{0, 0, {}};
        image.GetPixels32(values, &sheet.width, &sheet.height);
        sheet.pixels.assign(values, values + sheet.width * sheet.height);
        return sheet;
    }

    std::filesystem::path folder;
    PictureGroup_C group;
};

template <class Action>
UError_C Raised(Action action) {
    try {
        action();
    } catch (const UError_C& error) {
        return error;
    }
    ADD_FAILURE() << "no error was raised";
    return UError_C(0, 0, "", nullptr);
}

// What each sheet pixel must be: the picture pixel that falls on it when it is visible, else 0.
uint32_t ExpectedAt(const std::vector<const UPicture*>& pictures, const URect_C& cell,
                    int64_t columns, int32_t x, int32_t y) {
    const int64_t index = (y / cell.GetHeight()) * columns + x / cell.GetWidth();
    if (index >= static_cast<int64_t>(pictures.size())) {
        return 0;
    }
    const UPicture& picture = *pictures[index];
    const int32_t px = x % cell.GetWidth() + cell.left;
    const int32_t py = y % cell.GetHeight() + cell.top;
    if (px >= picture.width || py >= picture.height) {
        return 0;
    }
    const uint32_t value = picture.At(px, py);
    return (value >> 24) == 0 ? 0 : value;
}

}  // namespace

TEST_F(PictureGroupCompose, EveryLayoutPlacesPicturesCellByCell) {
    struct Case {
        int mode;
        bool autoCut;
        URect_C cell;
        int64_t columns;
        int32_t sheetWidth, sheetHeight;
    };
    const std::vector<Case> cases = {
        {PictureGroup_C::Horizontal, false, {0, 0, 3, 2}, 3, 12, 3},
        {PictureGroup_C::Vertical, false, {0, 0, 3, 2}, 1, 4, 9},
        {PictureGroup_C::MultiRow, false, {0, 0, 3, 2}, 2, 8, 6},
        {7, false, {0, 0, 3, 2}, 2, 8, 6},  // unknown modes compose as MultiRow
        {PictureGroup_C::Horizontal, true, {1, 0, 2, 2}, 3, 6, 3},
        {PictureGroup_C::Vertical, true, {1, 0, 2, 2}, 1, 2, 9},
        {PictureGroup_C::MultiRow, true, {1, 0, 2, 2}, 2, 4, 6},
    };
    const std::vector<const UPicture*> pictures = {&pictureA, &pictureB, &pictureC};
    AddAll(pictures);
    for (const Case& c : cases) {
        SCOPED_TRACE("mode " + std::to_string(c.mode) + (c.autoCut ? ", trimmed" : ""));
        const auto layout = c.mode == PictureGroup_C::Horizontal
                                ? group.ComputeHorizontal(c.autoCut)
                            : c.mode == PictureGroup_C::Vertical ? group.ComputeVertical(c.autoCut)
                                                                 : group.ComputeMultiRow(c.autoCut);
        EXPECT_EQ(layout.cell, c.cell);
        const std::string output = Path("sheet.png");
        group.Compose(output.c_str(), 0, c.mode, c.autoCut);
        const UPicture sheet = Read(output);
        ASSERT_EQ(sheet.width, c.sheetWidth);
        ASSERT_EQ(sheet.height, c.sheetHeight);
        for (int32_t y = 0; y < sheet.height; ++y) {
            for (int32_t x = 0; x < sheet.width; ++x) {
                ASSERT_EQ(sheet.At(x, y), ExpectedAt(pictures, c.cell, c.columns, x, y))
                    << "sheet pixel (" << x << ", " << y << ")";
            }
        }
    }
    EXPECT_EQ(group.GetCount(), 3) << "composing must leave the group as it was";
}

TEST_F(PictureGroupCompose, TrimmedRowMatchesTheHandDrawnSheet) {
    AddAll({&pictureA, &pictureB, &pictureC});
    const std::string output = Path("row.png");
    group.Compose(output.c_str(), 0, PictureGroup_C::Horizontal, true);
    const std::vector<uint32_t> expected = {
        0x80112233, 0xFF445566, 0,          0,          0, 0,  //
        0x01000000, 0x7F102030, 0xFF0000FF, 0,          0, 0,  //
        0,          0,          0,          0x40FFFF00, 0, 0,
    };
    const UPicture sheet = Read(output);
    ASSERT_EQ(sheet.width * sheet.height, 18);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(sheet.pixels[i], expected[i])
            << std::hex << "pixel (" << std::dec << i % 6 << ", " << i / 6 << ")";
    }
}

TEST_F(PictureGroupCompose, LoadingStoresTransparentPixelsAsZeroAndFindsTheContent) {
    AddAll({&pictureA, &pictureC});
    auto id = group.GetFirst();
    const auto& a = group.GetData(id);
    EXPECT_EQ(a.contentRect, (URect_C{1, 0, 2, 1}));
    ASSERT_EQ(a.pixels.GetSize().GetWidth(), 3);
    for (int32_t i = 0; i < 6; ++i) {
        const uint32_t original = pictureA.pixels[i];
        EXPECT_EQ(a.pixels.GetData()[i], (original >> 24) == 0 ? 0 : original) << "value " << i;
    }
    id.Next();
    EXPECT_EQ(group.GetData(id).contentRect, (URect_C{0, 0, -1, -1}));
}

TEST_F(PictureGroupCompose, NothingVisibleToComposeIsRefused) {
    const std::string output = Path("never.png");
    auto expectEmptySheet = [&](int mode, bool autoCut) {
        const UError_C error = Raised([&] { group.Compose(output.c_str(), 0, mode, autoCut); });
        EXPECT_EQ(error.GetCode(), 2);
        EXPECT_EQ(error.GetKind(), NS_Base::UserError);
        EXPECT_STREQ(error.GetPosition(), "PictureGroup_C");
        EXPECT_STREQ(error.GetInfo(), "无法生成有效图片,有可能因为图片上全是透明色.");
        EXPECT_FALSE(std::filesystem::exists(output));
    };
    for (int mode : {0, 1, 2}) {
        expectEmptySheet(mode, false);
    }
    AddAll({&pictureC, &pictureC});
    expectEmptySheet(PictureGroup_C::Horizontal, true);
    // Untrimmed, the same pictures make a transparent sheet of full size.
    group.Compose(output.c_str(), 0, PictureGroup_C::Horizontal, false);
    const UPicture sheet = Read(output);
    EXPECT_EQ(sheet.width, 4);
    EXPECT_EQ(sheet.height, 2);
    EXPECT_EQ(sheet.pixels, std::vector<uint32_t>(8, 0));
}

TEST_F(PictureGroupCompose, SheetTooLargeIsRefusedBeforeAnythingIsWritten) {
    const UPicture wide = {70000, 1, std::vector<uint32_t>(70000, 0xFF000000)};
    const UPicture tall = {1, 70000, std::vector<uint32_t>(70000, 0xFF000000)};
    AddAll({&wide, &tall});
    const std::string output = Path("huge.png");
    struct Case {
        int mode;
        const char* size;
    };
    for (const Case& c :
         {Case{0, "140000 x 70000"}, Case{1, "70000 x 140000"}, Case{2, "140000 x 70000"}}) {
        const UError_C error = Raised([&] { group.Compose(output.c_str(), 0, c.mode, false); });
        EXPECT_EQ(error.GetCode(), 4) << "mode " << c.mode;
        EXPECT_EQ(error.GetKind(), NS_Base::UserError);
        EXPECT_STREQ(error.GetInfo(), "The sheet is too large to compose:");
        EXPECT_STREQ(error.GetInfoEx(), c.size);
    }
    EXPECT_FALSE(std::filesystem::exists(output));
}

TEST_F(PictureGroupCompose, FailuresAreRaisedAndTheGroupCanBeReused) {
    EXPECT_STREQ(Raised([&] { group.AddPicture(Path("missing.png").c_str()); }).GetInfo(),
                 "Fail to read image file:");
    EXPECT_EQ(group.GetCount(), 0) << "a picture that failed to load must not stay in the group";

    AddAll({&pictureA});
    const std::string unwritable = Path("no-such-folder/sheet.png");
    Raised([&] { group.Compose(unwritable.c_str(), 0, PictureGroup_C::Horizontal, false); });
    EXPECT_FALSE(std::filesystem::exists(unwritable));
    group.Clear();
    EXPECT_EQ(group.GetCount(), 0);

    AddAll({&pictureB});
    const std::string output = Path("after.png");
    group.Compose(output.c_str(), 0, PictureGroup_C::Vertical, true);
    const UPicture sheet = Read(output);
    EXPECT_EQ(sheet.width, 2);
    EXPECT_EQ(sheet.height, 2);
    EXPECT_EQ(sheet.pixels, (std::vector<uint32_t>{0xFF0000FF, 0, 0, 0x40FFFF00}));
}
