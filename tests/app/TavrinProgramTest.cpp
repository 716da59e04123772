#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
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

    // Runs the program with "-o OUTPUT" and `args`; the temporary paths hold no quote.
    Outcome_S Run(const Args& args, const std::string& output = "") const {
        std::string command = "'" TAVRIN_PROGRAM "' -o '" + (output.empty() ? sheet : output) + "'";
        for (const std::string& arg : args) {
            command += " '" + arg + "'";
        }
        command += " >'" + In("out") + "' 2>'" + In("err") + "' </dev/null";
        const int result = std::system(command.c_str());
        return {WIFEXITED(result) ? WEXITSTATUS(result) : -1, Text(In("out")), Text(In("err"))};
    }

    // Starts the program on the dots with TAVRIN_TEST_STOP_WRITING=`stop`, which makes it stop
    // once the new sheet file is open, and with the ending signals at their defaults.
    pid_t StartStopping(const char* stop) const {
        const std::string pictures = In("dots");
        const pid_t child = fork();
        if (child == 0) {
            setenv("TAVRIN_TEST_STOP_WRITING", stop, 1);
            sigset_t none;
            sigemptyset(&none);
            sigprocmask(SIG_SETMASK, &none, nullptr);
            for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
                std::signal(signal, SIG_DFL);
            }
            execl(TAVRIN_PROGRAM, TAVRIN_PROGRAM, "-o", sheet.c_str(), pictures.c_str(), nullptr);
            _exit(127);
        }
        return child;
    }

    UTempDirectory folder;
    const std::string sheet = In("sheet.png");
};

// Checks the written sheet: its size, and each dot in its cell (`columns` cells per row). The
// background itself is the composition's concern.
void ExpectSheet(const std::string& path, int32_t columns, int32_t rows, bool trimmed,
                 const std::string& what) {
    const int32_t cell = trimmed ? 2 : side, trim = trimmed ? 1 : 0;
    UImageData_C image;
    image.LoadFile(path.c_str());
    uint32_t* pixels = nullptr;
    int32_t width = 0, height = 0;
    image.GetPixels32(pixels, &width, &height);
    ASSERT_EQ(width, columns * cell) << what;
    ASSERT_EQ(height, rows * cell) << what;
    for (int32_t i = 0; i < 3; ++i) {
        const int32_t x = i % columns * cell + dots[i].x - trim;
        const int32_t y = i / columns * cell + dots[i].y - trim;
        EXPECT_EQ(pixels[y * width + x], dots[i].value)
            << what << ": " << dots[i].name << " at (" << x << ", " << y << ")";
    }
}

}  // namespace

TEST_F(TavrinProgramTest, EveryLayoutPlacesThePicturesInPathOrder) {
    const std::tuple<Args, int32_t, int32_t, bool> cases[] = {
        // options, columns, rows, trimmed
        {{}, 1, 3, false},  // the column is the default
        {{"--layout", "7"}, 2, 2, false},
        {{"--layout", "horizontal", "--autocut"}, 3, 1, true},
        {{"--autocut", "--layout", "multirow"}, 2, 2, true},
    };
    for (auto [options, columns, rows, trimmed] : cases) {
        const std::string what = ::testing::PrintToString(options);
        options.push_back(In("dots"));
        const Outcome_S outcome = Run(options);
        ASSERT_EQ(outcome.status, 0) << what << ": " << outcome.err;
        EXPECT_EQ(outcome.out + outcome.err, "") << what << " printed when not on a terminal";
        ExpectSheet(sheet, columns, rows, trimmed, what);
    }
}

// Errors exit 1 and bad usage 2, each with its whole text on standard error; neither writes a
// sheet nor changes an existing one. Which errors the parts raise, their own tests tell.
TEST_F(TavrinProgramTest, FailuresAndBadUsageLeaveTheSheetAlone) {
    std::filesystem::create_directories(In("none"));
    WriteFile(In("none/readme.txt"), {'n', 'o'});
    const std::string usage = GetUsageText();
    // The headers of a batch are read first: the sheet these make is refused as too large
    // before the picture whose data ends early is decoded.
    for (const auto& [name, width, height] :
         {std::tuple{"wide.png", 30000, 1}, {"tall.png", 1, 30000}}) {
        const std::vector<uint32_t> pixels(30000, 0xFF000000u);
        UImageData_C image;
        image.CreateFromPixels32(pixels.data(), width, height);
        image.SavePng(In(name).c_str());
    }
    const Bytes dot = ReadFile(In("dots/a.png"));
    WriteFile(In("cut.png"), Bytes(dot.begin(), dot.end() - 20));
    const std::tuple<Args, int, std::string> cases[] = {
        {{In("missing.png"), In("dots")},
         1,
         "UserError: Inaccurate file path or directory:\n" + In("missing.png") + "\n"},
        {{In("none")}, 1, "tavrin: no bmp, png, jpg or gif file found\n"},
        {{In("wide.png"), In("tall.png"), In("cut.png")},
         1,
         "UserError: The sheet is too large to compose:\n30000 x 90000\n"},
        {{}, 2, "tavrin: no PATH to compose\n" + usage},
        {{In("dots"), In("dots/../sheet.png")},
         2,
         "tavrin: " + In("dots/../sheet.png") + " is the sheet to write, not a picture to read\n"},
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

// "-" is standard output; a sheet inside a folder of pictures is not one of them on the next run.
TEST_F(TavrinProgramTest, TheSheetIsNeverOneOfThePictures) {
    const Outcome_S outcome = Run({In("dots")}, "-");
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    ExpectSheet(In("out"), 1, 3, false, "on standard output");
    EXPECT_FALSE(Exists("-")) << "a file named - was written";
    for (int run = 1; run <= 2; ++run) {
        ASSERT_EQ(Run({In("dots")}, In("dots/sheet.png")).status, 0);
        ExpectSheet(In("dots/sheet.png"), 1, 3, false, "run " + std::to_string(run));
    }
}

// A stopped writer is ended by each signal, or let go on; either way no temporary file stays, and
// an ended one leaves the old sheet.
TEST_F(TavrinProgramTest, AnInterruptedWriteLeavesTheOldSheetAndNoTemporaryFile) {
    for (const std::string stop : {"unnamed", "named"}) {
        for (const int signal : {SIGINT, SIGTERM, SIGHUP, 0}) {
            const std::string what = stop + " file, signal " + std::to_string(signal);
            WriteFile(sheet, {'o', 'l', 'd'});
            const pid_t child = StartStopping(stop.c_str());
            int status = 0;
            ASSERT_EQ(waitpid(child, &status, WUNTRACED), child) << what;
            ASSERT_TRUE(WIFSTOPPED(status)) << what << ": the program did not stop while writing";
            EXPECT_EQ(NamesWith(folder.root, ".tmp").size(), stop == "named" ? 1u : 0u) << what;
            if (signal != 0) {
                kill(child, signal);
            }
            kill(child, SIGCONT);
            ASSERT_EQ(waitpid(child, &status, 0), child) << what;
            if (signal != 0) {
                EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << what;
                EXPECT_EQ(Text(sheet), "old") << what;
            } else {
                EXPECT_EQ(status, 0) << what;
                ExpectSheet(sheet, 1, 3, false, what);
            }
            EXPECT_EQ(NamesWith(folder.root, ".tmp"), std::vector<std::string>{}) << what;
        }
    }
}
