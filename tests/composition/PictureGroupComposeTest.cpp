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
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;
};

// Column 0 is transparent, with colour left in the transparent values.
const UPicture pictureA = {3, 2, {0x00ABCDEF, 0x80112233, 0xFF445566, 0, 0x01000000, 0x7F102030}};
// Visible only at (1, 1) and (2, 2).
const UPicture pictureB = {4, 3, {0, 0, 0, 0, 0x00123456, 0xFF0000FF, 0, 0, 0, 0, 0x40FFFF00, 0}};
const UPicture pictureC = {2, 2, std::vector<uint32_t>(4, 0x00FFFFFF)};

class PictureGroupCompose : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "tavrin-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::string Path(const std::string& name) const { return (folder / name).string(); }

    void Add(const std::vector<const UPicture*>& pictures) {
        for (const UPicture* picture : pictures) {
            const std::string path = Path("in" + std::to_string(added++) + ".png");
            UImageData_C image;
            image.CreateFromPixels32(picture->pixels.data(), picture->width, picture->height);
            image.SavePng(path.c_str());
            group.AddPicture(path.c_str());
        }
    }

    // Composes into a file and reads the sheet back.
    UPicture Compose(int mode, bool autoCut) {
        const std::string path = Path("sheet.png");
        group.Compose(path.c_str(), 0, mode, autoCut);
        UImageData_C image;
        image.LoadFile(path.c_str());
        uint32_t* values = nullptr;
        UPicture sheet;
        image.GetPixels32(values, &sheet.width, &sheet.height);
        sheet.pixels.assign(values, values + sheet.width * sheet.height);
        return sheet;
    }

    std::filesystem::path folder;
    PictureGroup_C group;
    int added = 0;
};

UError_C Raised(auto action) {
    try {
        action();
    } catch (const UError_C& error) {
        return error;
    }
    ADD_FAILURE() << "no error was raised";
    return UError_C(0, 0, "", nullptr);
}

// The visible picture pixel that falls on sheet pixel (x, y), or 0.
uint32_t ExpectedAt(const std::vector<const UPicture*>& pictures, const URect_C& cell,
                    int64_t columns, int32_t x, int32_t y) {
    const std::size_t index = (y / cell.GetHeight()) * columns + x / cell.GetWidth();
    const int32_t px = x % cell.GetWidth() + cell.left;
    const int32_t py = y % cell.GetHeight() + cell.top;
    if (index >= pictures.size() || px >= pictures[index]->width || py >= pictures[index]->height) {
        return 0;
    }
    const uint32_t value = pictures[index]->pixels[py * pictures[index]->width + px];
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
    Add(pictures);
    for (const Case& c : cases) {
        SCOPED_TRACE("mode " + std::to_string(c.mode) + (c.autoCut ? ", trimmed" : ""));
        EXPECT_EQ(group.ComputeMultiRow(c.autoCut).cell, c.cell);
        const UPicture sheet = Compose(c.mode, c.autoCut);
        ASSERT_EQ(sheet.width, c.sheetWidth);
        ASSERT_EQ(sheet.height, c.sheetHeight);
        for (int32_t i = 0; i < sheet.width * sheet.height; ++i) {
            const int32_t x = i % sheet.width, y = i / sheet.width;
            const uint32_t expected = ExpectedAt(pictures, c.cell, c.columns, x, y);
            ASSERT_EQ(sheet.pixels[i], expected)
                << "sheet pixel (" << x << ", " << y << ") is 0x" << std::hex << sheet.pixels[i]
                << ", not 0x" << expected;
        }
    }
    // Loading stored A's transparent values as 0 and found the content of each picture.
    auto id = group.GetFirst();
    EXPECT_EQ(group.GetData(id).pixels.GetData()[0], 0u);
    for (const URect_C& content : {URect_C{1, 0, 2, 1}, URect_C{1, 1, 2, 2}, URect_C{}}) {
        EXPECT_EQ(group.GetData(id).contentRect, content);
        id.Next();
    }
}

TEST_F(PictureGroupCompose, NothingVisibleToComposeIsRefused) {
    const auto expectRefused = [&](int mode, bool autoCut) {
        const UError_C error = Raised([&] { Compose(mode, autoCut); });
        EXPECT_EQ(error.GetCode(), 2);
        EXPECT_EQ(error.GetKind(), NS_Base::UserError);
        EXPECT_STREQ(error.GetPosition(), "PictureGroup_C");
        EXPECT_FALSE(std::filesystem::exists(Path("sheet.png")));
    };
    for (int mode : {0, 1, 2}) {
        expectRefused(mode, false);
    }
    Add({&pictureC, &pictureC});
    expectRefused(PictureGroup_C::Horizontal, true);
    const UPicture sheet = Compose(PictureGroup_C::Horizontal, false);
    EXPECT_EQ(sheet.width * sheet.height, 8);
    EXPECT_EQ(sheet.pixels, std::vector<uint32_t>(8, 0));
}

TEST_F(PictureGroupCompose, SheetTooLargeIsRefusedBeforeAnythingIsWritten) {
    const UPicture wide = {70000, 1, std::vector<uint32_t>(70000, 0xFF000000)};
    const UPicture tall = {1, 70000, wide.pixels};
    Add({&wide, &tall});
    for (const auto& [mode, size] : {std::pair{0, "140000 x 70000"}, {1, "70000 x 140000"}}) {
        const UError_C error = Raised([&] { Compose(mode, false); });
        EXPECT_EQ(error.GetCode(), 4);
        EXPECT_EQ(error.GetKind(), NS_Base::UserError);
        EXPECT_STREQ(error.GetInfoEx(), size);
    }
    EXPECT_FALSE(std::filesystem::exists(Path("sheet.png")));
}

TEST_F(PictureGroupCompose, FailuresAreRaisedAndTheGroupCanBeReused) {
    Raised([&] { group.AddPicture(Path("missing.png").c_str()); });
    EXPECT_EQ(group.GetCount(), 0) << "a picture that failed to load must not stay in the group";
    Add({&pictureA});
    const std::string unwritable = Path("no-such-folder/sheet.png");
    Raised([&] { group.Compose(unwritable.c_str(), 0, PictureGroup_C::Horizontal, false); });
    group.Clear();
    EXPECT_EQ(group.GetCount(), 0);
    Add({&pictureB});
    const UPicture sheet = Compose(PictureGroup_C::Vertical, true);
    EXPECT_EQ(sheet.width, 2);
    EXPECT_EQ(sheet.pixels, (std::vector<uint32_t>{0xFF0000FF, 0, 0, 0x40FFFF00}));
}
