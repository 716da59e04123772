#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

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
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

// Three 4 x 4 pictures, each with one content pixel, so that every cell and the common trim
// (1, 1)-(2, 2) can be told apart in the sheet.
struct Dot_S {
    const char* name;
    int32_t x;
    int32_t y;
    uint32_t value;
};
constexpr Dot_S dots[] = {
    {"a.png", 1, 1, 0xFFFF0000u},
    {"b.png", 2, 2, 0xFF00FF00u},
    {"c.png", 1, 2, 0x800000FFu},
};
constexpr int32_t side = 4;

class TavrinProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/tavrinXXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
        sheet = In("sheet.png");
    }
    void TearDown() override { fs::remove_all(root); }

    std::string In(const std::string& name) const { return root + "/" + name; }

    void WritePicture(const std::string& path, const Dot_S* dot) const {
        std::vector<uint32_t> pixels(side * side, 0);
        if (dot) {
            pixels[dot->y * side + dot->x] = dot->value;
        }
        UImageData_C image;
        image.CreateFromPixels32(pixels.data(), side, side);
        image.SavePng(path.c_str());
    }
    // The three dot pictures in a folder of their own, plus a file that is no picture.
    std::string MakeDots() const {
        fs::create_directories(In("dots"));
        for (const Dot_S& dot : dots) {
            WritePicture(In("dots/") + dot.name, &dot);
        }
        std::ofstream(In("dots/notes.txt")) << "not a picture";
        return In("dots");
    }

    Outcome_S Run(const Args& args) const {
        std::string command = Quote(TAVRIN_PROGRAM);
        for (const std::string& arg : args) {
            command += " " + Quote(arg);
        }
        command += " >" + Quote(In("out.txt")) + " 2>" + Quote(In("err.txt")) + " </dev/null";
        const int result = std::system(command.c_str());
        return {WIFEXITED(result) ? WEXITSTATUS(result) : -1, ReadAll(In("out.txt")),
                ReadAll(In("err.txt"))};
    }

    std::string root;
    std::string sheet;
};

struct Sheet_S {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;
};

Sheet_S LoadSheet(const std::string& path) {
    UImageData_C image;
    image.LoadFile(path.c_str());
    uint32_t* values = nullptr;
    Sheet_S loaded;
    image.GetPixels32(values, &loaded.width, &loaded.height);
    loaded.pixels.assign(values, values + loaded.width * loaded.height);
    return loaded;
}

// Where the top-left corner of cell `index` lies for `columns` cells per row.
Sheet_S ExpectedSheet(int32_t columns, int32_t rows, int32_t cell, int32_t trim) {
    Sheet_S expected{columns * cell, rows * cell, {}};
    expected.pixels.assign(expected.width * expected.height, 0);
    for (int32_t i = 0; i < 3; ++i) {
        const int32_t x = i % columns * cell + dots[i].x - trim;
        const int32_t y = i / columns * cell + dots[i].y - trim;
        expected.pixels[y * expected.width + x] = dots[i].value;
    }
    return expected;
}

void ExpectSameSheet(const Sheet_S& actual, const Sheet_S& expected, const std::string& what) {
    ASSERT_EQ(actual.width, expected.width) << what;
    ASSERT_EQ(actual.height, expected.height) << what;
    for (std::size_t i = 0; i < expected.pixels.size(); ++i) {
        ASSERT_EQ(actual.pixels[i], expected.pixels[i])
            << what << ": pixel (" << i % expected.width << ", " << i / expected.width << ")";
    }
}

}  // namespace

TEST_F(TavrinProgramTest, EveryLayoutPlacesThePicturesInPathOrder) {
    const std::string folder = MakeDots();
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
        Args args = c.options;
        args.insert(args.end(), {"-o", sheet, folder});
        const std::string what = ::testing::PrintToString(c.options);
        const Outcome_S outcome = Run(args);
        ASSERT_EQ(outcome.status, 0) << what << ": " << outcome.err;
        EXPECT_EQ(outcome.out + outcome.err, "") << what << " printed when not on a terminal";
        ExpectSameSheet(LoadSheet(sheet),
                        ExpectedSheet(c.columns, c.rows, c.trimmed ? 2 : side, c.trimmed ? 1 : 0),
                        what);
    }
}

TEST_F(TavrinProgramTest, FailuresExitOneAndLeaveTheSheetAlone) {
    const std::string folder = MakeDots();
    fs::create_directories(In("empty"));
    std::ofstream(In("empty/readme.txt")) << "no pictures here";
    std::ofstream(In("broken.png")) << "not a png";
    fs::create_directories(In("clear"));
    WritePicture(In("clear/blank.png"), nullptr);
    const std::string longPath = In(std::string(200, 'x'));
    struct Case {
        Args args;
        std::string error;
    };
    const Case cases[] = {
        {{In("missing.png"), folder},
         "UserError: Inaccurate file path or directory:\n" + In("missing.png") + "\n"},
        {{folder, In("broken.png")},
         "UserError: Fail to read image file:\n" + In("broken.png") + "\n"},
        {{In("empty")}, "tavrin: no bmp, png, jpg or gif file found\n"},
        {{"--autocut", In("clear")}, "UserError: 无法生成有效图片,有可能因为图片上全是透明色.\n"},
        {{longPath}, "UserError: File path is too long:\n" + longPath + "\n"},
    };
    for (const bool sheetExists : {false, true}) {
        for (const Case& c : cases) {
            if (sheetExists) {
                std::ofstream(sheet) << "an older sheet";
            }
            Args args = {"-o", sheet};
            args.insert(args.end(), c.args.begin(), c.args.end());
            const Outcome_S outcome = Run(args);
            const std::string what = ::testing::PrintToString(c.args);
            EXPECT_EQ(outcome.status, 1) << what;
            EXPECT_EQ(outcome.err, c.error) << what;
            if (sheetExists) {
                EXPECT_EQ(ReadAll(sheet), "an older sheet") << what << " changed the sheet";
            } else {
                EXPECT_FALSE(fs::exists(sheet)) << what << " wrote a sheet";
            }
        }
    }
}

TEST_F(TavrinProgramTest, BadUsageExitsTwoWithTheUsage) {
    const std::string folder = MakeDots();
    const Args cases[] = {
        {"-o", sheet},
        {"-o", sheet, "--layout", "diagonal", folder},
        {"-o", sheet, "--bogus", folder},
        {"--autocut", folder},
        {"-o"},
    };
    for (const Args& args : cases) {
        const Outcome_S outcome = Run(args);
        const std::string what = ::testing::PrintToString(args);
        EXPECT_EQ(outcome.status, 2) << what;
        EXPECT_EQ(outcome.out, "") << what;
        EXPECT_NE(outcome.err.find("Usage: tavrin"), std::string::npos)
            << what << ": " << outcome.err;
        EXPECT_FALSE(fs::exists(sheet)) << what << " wrote a sheet";
    }
}

TEST_F(TavrinProgramTest, VersionAndHelpGoToStandardOutput) {
    const Outcome_S version = Run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "Tavrin v0.6.3\n");
    const Outcome_S help = Run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: tavrin", 0), 0u) << help.out;
    EXPECT_EQ(help.err, "");
}
