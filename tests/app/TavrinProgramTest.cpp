#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "TestSupport.h"
#include "app/CommandLine.h"
#include "imaging/UImageData_C.h"

namespace {

using Args = std::vector<std::string>;

struct Outcome_S {
    int status;
    std::string out, err;
};

// Three 4 x 4 pictures with one content pixel each, so that every cell and the common trim
// (1, 1)-(2, 2) show in the sheet.
struct Dot_S {
    const char* name;
    int32_t x, y;
    uint32_t value;
};
constexpr Dot_S dots[] = {
    {"a.png", 1, 1, 0xFFFF0000u}, {"b.png", 2, 2, 0xFF00FF00u}, {"c.png", 1, 2, 0x800000FFu}};
constexpr int32_t side = 4;

std::string Text(const std::string& path) {
    const Bytes bytes = ReadFile(path);
    return {bytes.begin(), bytes.end()};
}

void WritePicture(const std::string& path, const Dot_S& dot) {
    std::vector<uint32_t> pixels(side * side, 0);
    pixels[dot.y * side + dot.x] = dot.value;
    UImageData_C image;
    image.CreateFromPixels32(pixels.data(), side, side);
    image.SavePng(path.c_str());
}

class TavrinProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(In("dots"));
        for (const Dot_S& dot : dots) {
            WritePicture(In("dots/") + dot.name, dot);
        }
        WriteFile(In("dots/notes.txt"), {'n', 'o'});
    }

    std::string In(const std::string& name) const { return folder.root + name; }

    // Runs the program with "-o SHEET" and `args`; the temporary paths hold no quote.
    Outcome_S Run(const Args& args) const {
        std::string command = "'" TAVRIN_PROGRAM "' -o '" + sheet + "'";
        for (const std::string& arg : args) {
            command += " '" + arg + "'";
        }
        command += " >'" + In("out") + "' 2>'" + In("err") + "' </dev/null";
        const int result = std::system(command.c_str());
        return {WIFEXITED(result) ? WEXITSTATUS(result) : -1, Text(In("out")), Text(In("err"))};
    }

    UTempDirectory folder;
    const std::string sheet = In("sheet.png");
};

}  // namespace

// Errors exit 1 and bad usage 2, each with its whole text on standard error; neither writes a
// sheet nor changes an existing one.
TEST_F(TavrinProgramTest, FailuresAndBadUsageLeaveTheSheetAlone) {
    std::filesystem::create_directories(In("none"));
    WriteFile(In("none/readme.txt"), {'n', 'o'});
    WriteFile(In("broken.png"), {'n', 'o'});
    std::filesystem::create_directories(In("clear"));
    WritePicture(In("clear/blank.png"), {"", 0, 0, 0});
    const std::string longPath = In(std::string(200, 'x'));
    const std::string usage = GetUsageText();
    const std::tuple<Args, int, std::string> cases[] = {
        {{In("missing.png"), In("dots")},
         1,
         "UserError: Inaccurate file path or directory:\n" + In("missing.png") + "\n"},
        {{In("dots"), In("broken.png")},
         1,
         "UserError: Fail to read image file:\n" + In("broken.png") + "\n"},
        {{In("none")}, 1, "tavrin: no bmp, png, jpg or gif file found\n"},
        {{"--autocut", In("clear")},
         1,
         "UserError: 无法生成有效图片,有可能因为图片上全是透明色.\n"},
        {{longPath}, 1, "UserError: File path is too long:\n" + longPath + "\n"},
        {{}, 2, "tavrin: no PATH to compose\n" + usage},
        {{"--bogus", In("dots")}, 2, "tavrin: unknown option --bogus\n" + usage},
    };
    for (const std::string older : {"", "an older sheet"}) {
        for (const auto& [paths, status, error] : cases) {
            if (!older.empty()) {
                WriteFile(sheet, Bytes(older.begin(), older.end()));
            }
            const Outcome_S outcome = Run(paths);
            const std::string what = ::testing::PrintToString(paths);
            EXPECT_EQ(outcome.status, status) << what;
            EXPECT_EQ(outcome.err, error) << what;
            EXPECT_EQ(Text(sheet), older) << what << " wrote or changed the sheet";
        }
    }
}

// Both act where they appear, here after "-o SHEET".
TEST_F(TavrinProgramTest, HelpAndVersionPrintOnStandardOutput) {
    EXPECT_EQ(Run({"--help"}).out, GetUsageText());
    EXPECT_EQ(Run({"--version"}).out, "Tavrin v0.6.3\n");
}
