#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "UImageData_C.h"

namespace fs = std::filesystem;

namespace {

using Args = std::vector<std::string>;

struct Outcome_S {
    int status;
    std::string out;
    std::string err;
};

std::string ReadAll(const std::string& path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

// Three 4 x 4 pictures with one content pixel each, so that every cell and the common trim
// (1, 1)-(2, 2) show in the sheet.
struct Dot_S {
    const char* name;
    int32_t x;
    int32_t y;
    uint32_t value;
};
constexpr Dot_S dots[] = {
    {"a.png", 1, 1, 0xFFFF0000u}, {"b.png", 2, 2, 0xFF00FF00u}, {"c.png", 1, 2, 0x800000FFu}};
constexpr int32_t side = 4;

class TavrinProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/tavrinXXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
        sheet = In("sheet.png");
        fs::create_directories(In("dots"));
        for (const Dot_S& dot : dots) {
            WritePicture(In("dots/") + dot.name, &dot);
        }
        std::ofstream(In("dots/notes.txt")) << "not a picture";
    }
    void TearDown() override { fs::remove_all(root); }

    std::string In(const std::string& name) const { return root + "/" + name; }

    static void WritePicture(const std::string& path, const Dot_S* dot) {
        std::vector<uint32_t> pixels(side * side, 0);
        if (dot) {
            pixels[dot->y * side + dot->x] = dot->value;
        }
        UImageData_C image;
        image.CreateFromPixels32(pixels.data(), side, side);
        image.SavePng(path.c_str());
    }

    // Runs the program with `args` after "-o SHEET"; the temporary paths hold no quote.
    Outcome_S Run(const Args& args) const {
        std::string command = "'" TAVRIN_PROGRAM "'";
        for (const std::string& arg : args) {
            command += " '" + arg + "'";
        }
        command += " >'" + In("out") + "' 2>'" + In("err") + "' </dev/null";
        const int result = std::system(command.c_str());
        return {WIFEXITED(result) ? WEXITSTATUS(result) : -1, ReadAll(In("out")),
                ReadAll(In("err"))};
    }

    std::string root;
    std::string sheet;
};

// Compares the written sheet with the dots placed in `columns` cells per row.
void ExpectSheet(const std::string& path, int32_t columns, int32_t rows, bool trimmed,
                 const std::string& what) {
    const int32_t cell = trimmed ? 2 : side;
    const int32_t trim = trimmed ? 1 : 0;
    std::vector<uint32_t> expected(columns * cell * rows * cell, 0);
    for (int32_t i = 0; i < 3; ++i) {
        const int32_t x = i % columns * cell + dots[i].x - trim;
        const int32_t y = i / columns * cell + dots[i].y - trim;
        expected[y * columns * cell + x] = dots[i].value;
    }
    UImageData_C image;
    image.LoadFile(path.c_str());
    uint32_t* pixels = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    image.GetPixels32(pixels, &width, &height);
    ASSERT_EQ(width, columns * cell) << what;
    ASSERT_EQ(height, rows * cell) << what;
    for (int32_t i = 0; i < width * height; ++i) {
        ASSERT_EQ(pixels[i], expected[i])
            << what << ": pixel (" << i % width << ", " << i / width << ")";
    }
}

}  // namespace

TEST_F(TavrinProgramTest, EveryLayoutPlacesThePicturesInPathOrder) {
    struct Case {
        Args options;
        int32_t columns;
        int32_t rows;
        bool trimmed;
    };
    const Case cases[] = {
        {{}, 1, 3, false},  // the column is the default
        {{"--layout", "horizontal"}, 3, 1, false},
        {{"--layout", "vertical"}, 1, 3, false},
        {{"--layout", "multirow"}, 2, 2, false},
        {{"--layout", "0"}, 3, 1, false},
        {{"--layout", "7"}, 2, 2, false},
        {{"--layout", "horizontal", "--autocut"}, 3, 1, true},
        {{"--autocut", "--layout", "multirow"}, 2, 2, true},
    };
    for (const Case& c : cases) {
        Args args = {"-o", sheet, In("dots")};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const std::string what = ::testing::PrintToString(c.options);
        const Outcome_S outcome = Run(args);
        ASSERT_EQ(outcome.status, 0) << what << ": " << outcome.err;
        EXPECT_EQ(outcome.out + outcome.err, "") << what << " printed when not on a terminal";
        ExpectSheet(sheet, c.columns, c.rows, c.trimmed, what);
    }
}

TEST_F(TavrinProgramTest, FailuresExitOneAndLeaveTheSheetAlone) {
    fs::create_directories(In("none"));
    std::ofstream(In("none/readme.txt")) << "no pictures here";
    std::ofstream(In("broken.png")) << "not a png";
    fs::create_directories(In("clear"));
    WritePicture(In("clear/blank.png"), nullptr);
    const std::string longPath = In(std::string(200, 'x'));
    const std::pair<Args, std::string> cases[] = {
        {{In("missing.png"), In("dots")},
         "UserError: Inaccurate file path or directory:\n" + In("missing.png") + "\n"},
        {{In("dots"), In("broken.png")},
         "UserError: Fail to read image file:\n" + In("broken.png") + "\n"},
        {{In("none")}, "tavrin: no bmp, png, jpg or gif file found\n"},
        {{"--autocut", In("clear")}, "UserError: 无法生成有效图片,有可能因为图片上全是透明色.\n"},
        {{longPath}, "UserError: File path is too long:\n" + longPath + "\n"},
    };
    for (const bool sheetExists : {false, true}) {
        for (const auto& [paths, error] : cases) {
            if (sheetExists) {
                std::ofstream(sheet) << "an older sheet";
            }
            Args args = {"-o", sheet};
            args.insert(args.end(), paths.begin(), paths.end());
            const Outcome_S outcome = Run(args);
            const std::string what = ::testing::PrintToString(paths);
            EXPECT_EQ(outcome.status, 1) << what;
            EXPECT_EQ(outcome.err, error) << what;
            EXPECT_EQ(fs::exists(sheet) ? ReadAll(sheet) : "", sheetExists ? "an older sheet" : "")
                << what << " wrote or changed the sheet";
        }
    }
}

TEST_F(TavrinProgramTest, BadUsageExitsTwoWithTheUsageAndHelpDoesNot) {
    const Args cases[] = {
        {"-o", sheet},
        {"-o", sheet, "--layout", "diagonal", In("dots")},
        {"-o", sheet, "--bogus", In("dots")},
        {"--autocut", In("dots")},
    };
    for (const Args& args : cases) {
        const Outcome_S outcome = Run(args);
        const std::string what = ::testing::PrintToString(args);
        EXPECT_EQ(outcome.status, 2) << what;
        EXPECT_NE(outcome.err.find("\nUsage: tavrin"), std::string::npos) << what << outcome.err;
        EXPECT_FALSE(fs::exists(sheet)) << what << " wrote a sheet";
    }
    const Outcome_S help = Run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: tavrin", 0), 0u) << help.out;
    const Outcome_S version = Run({"--version"});
    EXPECT_EQ(version.out + version.err, "Tavrin v0.6.3\n");
}
