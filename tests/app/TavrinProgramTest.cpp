#include <gtest/gtest.h>
#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <nlohmann/json.hpp>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "GifFiles.h"
#include "PictureFiles.h"
#include "TestSupport.h"
#include "app/CommandLine.h"
#include "foundation/ProductVersion.h"
#include "foundation/URect_C.h"

namespace {

using Args = std::vector<std::string>;
using nlohmann::json;

struct Source_S {
    std::string name;
    UPicture_S picture;
};

UPicture_S Make(int32_t width, int32_t height, auto value) {
    UPicture_S picture{width, height, {}};
    for (int32_t i = 0; i < width * height; ++i) {
        picture.pixels.push_back(value(i % width, i / width));
    }
    return picture;
}

// Four pictures of different sizes whose content starts at different places, so that trimming
// cuts each differently and leaves the 1 x 1 one with nothing; the last row of the tall one,
// whose alpha of 1 is content, alone sets the trim's bottom edge. Names JSON must escape.
const std::vector<Source_S>& Sources() {
    static const std::vector<Source_S> sources = {
        {"clear.png", Make(1, 1, [](int32_t, int32_t) { return 0x00ABCDEFu; })},
        {"plain.png", Make(5, 3,
                           [](int32_t x, int32_t y) {
                               return x < 2 ? 0x00FFFFFFu : 0xFF000040u | x << 16 | y << 8;
                           })},
        {"sub/tall \"q\\b\".png", Make(2, 6,
                                       [](int32_t x, int32_t y) {
                                           return x == 1 && y > 0
                                                      ? (y < 5 ? 0x80102030u : 0x01102030u) + y
                                                      : 0u;
                                       })},
        {"\xC3\xBC\x01.png", Make(6, 6,
                                  [](int32_t x, int32_t y) {
                                      return (x == 4 && y == 1) || (x == 1 && y == 4) ? 0xFF00FF00u
                                                                                      : 0u;
                                  })},
    };
    return sources;
}

uint32_t Visible(uint32_t value) {
    return value >> 24 == 0 ? 0 : value;
}

// Draws the frame's sheet pixels at spriteSourceSize on a transparent canvas of sourceSize; a
// rotated frame is read turned back (stored clockwise: its first pixel at the region's top-right).
UPicture_S Rebuild(const UPicture_S& sheet, const json& entry) {
    const json& frame = entry["frame"];
    const json& at = entry["spriteSourceSize"];
    const bool turned = entry["rotated"];
    const int32_t fx = frame["x"], fy = frame["y"], w = frame["w"], h = frame["h"];
    const int32_t sx = at["x"], sy = at["y"];
    const int32_t across = turned ? h : w, down = turned ? w : h;
    UPicture_S canvas{entry["sourceSize"]["w"], entry["sourceSize"]["h"], {}};
    canvas.pixels.assign(std::size_t(canvas.width) * canvas.height, 0);
    const bool fits = w == at["w"] && h == at["h"] && w > 0 && h > 0 && fx >= 0 && fy >= 0 &&
                      fx + across <= sheet.width && fy + down <= sheet.height && sx >= 0 &&
                      sy >= 0 && sx + w <= canvas.width && sy + h <= canvas.height;
    if (!fits) {
        return {-1, -1, {}};
    }
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            const int32_t u = turned ? h - 1 - y : x, v = turned ? x : y;
            canvas.pixels[(sy + y) * canvas.width + sx + x] =
                sheet.pixels[(fy + v) * sheet.width + fx + u];
        }
    }
    return canvas;
}

// The sheet pixels a frame covers, turned with it, grown by `margin` on every side.
URect_C Covered(const json& entry, int32_t margin) {
    const json& frame = entry["frame"];
    const bool turned = entry.value("rotated", false);
    const int32_t w = frame[turned ? "h" : "w"], h = frame[turned ? "w" : "h"];
    return URect_C::FromPointSize({int32_t(frame["x"]) - margin, int32_t(frame["y"]) - margin},
                                  {w + 2 * margin, h + 2 * margin});
}

// True when the frames, each grown by its extrusion, come closer than `padding`.
bool Overlap(const json& a, const json& b, int32_t extrude = 0, int32_t padding = 0) {
    const URect_C p = Covered(a, extrude), q = Covered(b, extrude);
    const auto apart = [padding](int32_t start1, int32_t end1, int32_t start2, int32_t end2) {
        return end1 + padding < start2 || end2 + padding < start1;
    };
    return !apart(p.left, p.right, q.left, q.right) && !apart(p.top, p.bottom, q.top, q.bottom);
}

// The number after `name` in `options`; 0 without it.
int32_t OptionValue(const Args& options, const std::string& name) {
    const auto at = std::ranges::find(options, name);
    return at == options.end() ? 0 : std::stoi(at[1]);
}

// With extrusion, each pixel within `amount` of a frame repeats the frame's nearest pixel.
std::string CheckExtrusion(const UPicture_S& sheet, const URect_C& frame, int32_t amount) {
    const auto at = [&](int32_t x, int32_t y) { return sheet.pixels[y * sheet.width + x]; };
    for (int32_t y = frame.top - amount; y <= frame.bottom + amount; ++y) {
        for (int32_t x = frame.left - amount; x <= frame.right + amount; ++x) {
            if (at(x, y) != at(std::clamp(x, frame.left, frame.right),
                               std::clamp(y, frame.top, frame.bottom))) {
                return " pixel (" + std::to_string(x) + ", " + std::to_string(y) + ")";
            }
        }
    }
    return "";
}

class TavrinProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(folder.root + "set/sub");
        for (const Source_S& source : Sources()) {
            SavePicture(source.picture, folder.root + "set/" + source.name);
        }
    }

    // Runs the program in the temporary folder, speaking English, with `environment` set before
    // it; returns the exit status.
    int Run(const Args& args, const std::string& environment = "") const {
        std::string command = "cd '" + folder.root +
                              "' && unset LANGUAGE LC_ALL LC_MESSAGES; export LANG=en_US.UTF-8; " +
                              environment + " '" TAVRIN_PROGRAM "'";
        for (const std::string& arg : args) {
            command += " '" + arg + "'";
        }
        command += " >out 2>err </dev/null";
        const int result = std::system(command.c_str());
        return WIFEXITED(result) ? WEXITSTATUS(result) : -1;
    }

    std::string In(const std::string& name) const { return folder.root + name; }

    // Starts the program with `args` in the temporary folder (by default on "set", writing s.png
    // and d.json), with TAVRIN_TEST_STOP_WRITING=`stop`, which makes a test build stop once every
    // file is written and before any is put in place, and with the ending signals at their
    // defaults.
    pid_t StartStopping(const char* stop,
                        const Args& args = {"-o", "s.png", "--data", "d.json", "set"}) const {
        std::vector<char*> argv = {const_cast<char*>(TAVRIN_PROGRAM)};
        for (const std::string& arg : args) {
            argv.push_back(const_cast<char*>(arg.c_str()));
        }
        argv.push_back(nullptr);
        const pid_t child = fork();
        if (child == 0) {
            setenv("TAVRIN_TEST_STOP_WRITING", stop, 1);
            sigset_t none;
            sigemptyset(&none);
            sigprocmask(SIG_SETMASK, &none, nullptr);
            for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
                std::signal(signal, SIG_DFL);
            }
            if (chdir(folder.root.c_str()) == 0) {
                execv(TAVRIN_PROGRAM, argv.data());
            }
            _exit(127);
        }
        return child;
    }

    // Waits until `child` stops before putting its files in place; false when it ended instead.
    static bool WaitStopped(pid_t child) {
        int status = 0;
        return waitpid(child, &status, WUNTRACED) == child && WIFSTOPPED(status);
    }

    static int WaitEnded(pid_t child) {
        int status = 0;
        return waitpid(child, &status, 0) == child ? status : -1;
    }

    // The arguments of a multipack of `pictures` into `out`/S-N.png and S-N.json.
    static Args Multipack(const std::string& out, const std::string& pictures) {
        return {"-o",          out + "/S.png", "--data", out + "/S.json", "--layout", "packed",
                "--multipack", "--max-size",   "32",     pictures};
    }

    // old/ and new/, 20 pictures each that a multipack of --max-size 32 puts one to a sheet (40
    // files to write), of other colours and sizes so that every sheet and data file differs, and
    // their sets written whole into set-old/ and set-new/.
    void MakeTwoSets() const {
        for (const std::string tone : {"old", "new"}) {
            std::filesystem::create_directories(In(tone));
            std::filesystem::create_directories(In("set-" + tone));
            for (uint32_t i = 0; i < 20; ++i) {
                const uint32_t value = 0xFF000000u | (tone == "old" ? 0u : 0x800000u) | i;
                const int32_t side = tone == "old" ? 30 : 29;
                SavePicture(Make(side, side, [value](int32_t, int32_t) { return value; }),
                            In(tone + "/" + std::to_string(i) + ".png"));
            }
            ASSERT_EQ(Run(Multipack("set-" + tone, tone)), 0) << Text(In("err"));
        }
    }

    // "old" or "new" when `out` holds exactly that whole set and nothing else; otherwise what
    // differs.
    std::string WhichSet(const std::string& out) const {
        std::string which;
        std::size_t files = 0;
        for (const auto& entry : std::filesystem::directory_iterator(In("set-old"))) {
            const std::string name = entry.path().filename().string();
            const Bytes now = ReadFile(In(out + "/" + name));
            const std::string is = now == ReadFile(In("set-old/" + name))   ? "old"
                                   : now == ReadFile(In("set-new/" + name)) ? "new"
                                                                            : "neither";
            if (!which.empty() && is != which) {
                return "mixed: " + name + " is " + is + ", an earlier file " + which;
            }
            which = is;
            ++files;
        }
        const auto there = std::distance(std::filesystem::directory_iterator(In(out)), {});
        return std::size_t(there) == files
                   ? which
                   : which + " and " + std::to_string(there - files) + " more files";
    }

    // Composes `pictures` with `options` into packed/, the data files in packed/data/, and checks
    // every sheet against `sources`: each picture comes back from its frame once (rotation undone,
    // trim offset applied, shared places followed), frames keep padding and extrusion apart, the
    // extrusion repeats their edges, all stays inside the border and nothing is printed off a
    // terminal. A sheet `size` given is checked, with the frames in the order of their names.
    // Returns what went wrong, empty when nothing did.
    std::string CheckSheets(const Args& options, const std::string& pictures,
                            const std::map<std::string, UPicture_S>& sources,
                            std::pair<int32_t, int32_t> size = {}) const {
        const int32_t extrude = OptionValue(options, "--extrude");
        const int32_t padding = OptionValue(options, "--padding");
        const int32_t border = OptionValue(options, "--border");
        Args args = {"-o", "packed/s.png", "--data", "packed/data/d.json"};
        args.insert(args.end(), options.begin(), options.end());
        args.push_back(pictures);
        std::filesystem::remove_all(In("packed"));
        std::filesystem::create_directories(In("packed/data"));
        if (Run(args) != 0) {
            return "failed: " + Text(In("err"));
        }
        std::string problems = Text(In("out")) + Text(In("err"));
        const std::string at = In("packed/data/");
        const bool multipack = std::ranges::find(options, "--multipack") != options.end();
        std::vector<std::string> files = {multipack ? "d-0.json" : "d.json"};
        for (const json& related : json::parse(ReadFile(at + files[0]))["meta"].value(
                 "related_multi_packs", json::array())) {
            files.push_back(related);
        }
        if (multipack != (files.size() > 1)) {
            return "one sheet, or several without --multipack";
        }
        std::map<std::string, int> seen;
        for (const std::string& file : files) {
            const json data = json::parse(ReadFile(at + file));
            const UPicture_S sheet = LoadPicture(at + std::string(data["meta"]["image"]));
            const std::pair<int32_t, int32_t> made(sheet.width, sheet.height);
            if (data["meta"]["size"] != json{{"w", made.first}, {"h", made.second}} ||
                (size.first > 0 && made != size)) {
                problems += file + ": a sheet of " + ::testing::PrintToString(made) + "\n";
            }
            std::vector<std::string> names;
            std::vector<json> frames;
            for (const auto& [key, value] : data["frames"].items()) {
                names.push_back(value.contains("filename") ? std::string(value["filename"]) : key);
                frames.push_back(value);
            }
            if (size.first > 0 && !std::ranges::is_sorted(names)) {
                problems += file + ": frames out of order\n";
            }
            for (std::size_t i = 0; i < frames.size(); ++i) {
                const std::string& name = names[i];
                ++seen[name];
                UPicture_S source = sources.at(name);
                std::transform(source.pixels.begin(), source.pixels.end(), source.pixels.begin(),
                               Visible);
                const std::string difference = FirstDifference(Rebuild(sheet, frames[i]), source);
                problems += difference.empty() ? "" : name + ": " + difference + "\n";
                const URect_C covered = Covered(frames[i], extrude);
                if (covered.left < border || covered.top < border ||
                    covered.right >= sheet.width - border ||
                    covered.bottom >= sheet.height - border) {
                    problems += name + " reaches the border\n";
                } else if (const std::string bad =
                               CheckExtrusion(sheet, Covered(frames[i], 0), extrude);
                           !bad.empty()) {
                    problems += name + ": extrusion differs at" + bad + "\n";
                }
                for (std::size_t j = 0; j < i; ++j) {
                    const bool shared = frames[i]["frame"] == frames[j]["frame"];
                    if (!shared && Overlap(frames[i], frames[j], extrude, padding)) {
                        problems += name + " comes too near " + names[j] + "\n";
                    }
                }
            }
        }
        if (seen.size() != sources.size() ||
            !std::ranges::all_of(seen, [](const auto& n) { return n.second == 1; })) {
            problems += "not every picture placed once\n";
        }
        return problems;
    }

    UTempDirectory folder;
};

}  // namespace

// Every layout and spacing, in either form of the data file, gives every picture back from its
// sheet and frame; with a data file and no layout the pictures are packed and trimmed.
TEST_F(TavrinProgramTest, EverySheetGivesEveryPictureBackFromItsFrame) {
    const std::tuple<Args, int32_t, int32_t> grids[] = {
        // Sheet sizes without new options are the layouts' own.
        {{"--layout", "horizontal"}, 24, 6},
        {{"--layout", "horizontal", "--autocut", "--data-format", "array"}, 16, 6},
        {{"--layout", "multirow", "--autocut"}, 12, 12},
        {{"--layout", "horizontal", "--padding", "3", "--border", "2", "--extrude", "2"}, 53, 14},
        {{"--layout", "vertical", "--autocut", "--padding", "1", "--extrude", "1"}, 6, 35},
        {{"--layout", "multirow", "--autocut", "--border", "1", "--extrude", "3", "--data-format",
          "array"},
         32,
         26},
        {{"--columns", "3", "--pot", "--padding", "1", "--data-format", "array"}, 32, 16},
        {{"--autocut", "--columns", "1", "--extrude", "1", "--pot"}, 8, 32},
    };
    std::map<std::string, UPicture_S> sources;
    for (const Source_S& source : Sources()) {
        sources[source.name] = source.picture;
    }
    for (const auto& [options, width, height] : grids) {
        EXPECT_EQ(CheckSheets(options, "set", sources, {width, height}), "")
            << ::testing::PrintToString(options);
    }
    std::filesystem::create_directories(In("set/dup"));
    std::filesystem::copy_file(In("set/plain.png"), In("set/dup/plain.png"));
    sources["dup/plain.png"] = sources["plain.png"];
    const Args packed[] = {
        {"--layout", "packed", "--data-format", "array"},
        {"--layout", "packed", "--trim", "--rotate"},
        {"--layout", "packed", "--trim", "--no-alias", "--padding", "2", "--extrude", "1",
         "--border", "3", "--pot", "--data-format", "array"},
        {"--layout", "packed", "--trim", "--rotate", "--square", "--extrude", "2"},
        {"--layout", "packed", "--multipack", "--max-size", "5", "--trim", "--data-format",
         "array"},
        {},
        {"--no-trim", "--rotate", "--data-format", "array"},
        {"--multipack", "--max-size", "8", "--extrude", "1"},
        {"--layout", "multirow", "--trim", "--padding", "1", "--extrude", "1"},
        {"--layout", "horizontal", "--trim", "--border", "2", "--data-format", "array"},
    };
    for (const Args& options : packed) {
        EXPECT_EQ(CheckSheets(options, "set", sources), "") << ::testing::PrintToString(options);
    }
    // A tall and a wide picture fit a sheet of 8 x 8 only with one of them turned.
    std::filesystem::create_directories(In("turn"));
    const UPicture_S tall =
        Make(2, 8, [](int32_t x, int32_t y) { return 0xFF000000u | x << 8 | y; });
    const UPicture_S wide =
        Make(8, 2, [](int32_t x, int32_t y) { return 0xFF100000u | x << 8 | y; });
    SavePicture(tall, In("turn/tall.png"));
    SavePicture(wide, In("turn/wide.png"));
    const std::map<std::string, UPicture_S> turn = {{"tall.png", tall}, {"wide.png", wide}};
    EXPECT_NE(CheckSheets({"--layout", "packed", "--max-size", "8"}, "turn", turn), "");
    EXPECT_EQ(CheckSheets({"--layout", "packed", "--max-size", "8", "--rotate"}, "turn", turn), "");
}

TEST_F(TavrinProgramTest, RepeatedNamesStayApartAndNaturalOrderFollowsNumbers) {
    ASSERT_EQ(Run({"-o", "s.png", "--data", "d.json", "set/plain.png", "set", "set/plain.png"}), 0);
    const json hash = json::parse(ReadFile(In("d.json")))["frames"];
    for (const char* name : {"plain.png", "plain.png~2", "plain.png~3"}) {
        EXPECT_TRUE(hash.contains(name)) << name << " missing";
    }
    EXPECT_EQ(hash.size(), Sources().size() + 2);

    // Different files of two folders never share a name or an animation: each folder's names
    // get the folder in front, and one warning names both files.
    for (const char* path : {"walk/a/walk-1.png", "walk/a/walk-2.png", "walk/b/walk-1.png"}) {
        std::filesystem::create_directories(std::filesystem::path(In(path)).parent_path());
        SavePicture(Sources()[1].picture, In(path));
    }
    ASSERT_EQ(Run({"-o", "s.png", "--data", "d.json", "walk/a", "walk/b/"}), 0) << Text(In("err"));
    const json walk = json::parse(ReadFile(In("d.json")));
    EXPECT_EQ(walk["animations"],
              json::parse(R"({"walk/a/walk": ["walk/a/walk-1.png", "walk/a/walk-2.png"]})"));
    EXPECT_TRUE(walk["frames"].contains("walk/b/walk-1.png"));
    EXPECT_EQ(Text(In("err")),
              "tavrin: warning: walk/a/walk-1.png and walk/b/walk-1.png would "
              "share one frame name; the frames of their arguments are named "
              "with the argument in front\n");

    const char* const natural[] = {"a9/x.png", "a10/x.png", "f01.png", "f1.png",
                                   "f2.png",   "f10.png",   "f10a.png"};
    std::filesystem::create_directories(In("mixed/a9"));
    std::filesystem::create_directories(In("mixed/a10"));
    for (const char* name : natural) {
        SavePicture(Sources()[0].picture, In("mixed/") + name);
    }
    ASSERT_EQ(Run({"-o", "s.png", "--data", "d.json", "--data-format", "array", "--sort", "natural",
                   "mixed"}),
              0);
    std::vector<std::string> order;
    const json array = json::parse(ReadFile(In("d.json")));
    for (const json& frame : array["frames"]) {
        order.push_back(frame["filename"]);
    }
    EXPECT_EQ(order, std::vector<std::string>(std::begin(natural), std::end(natural)));
}

// Errors exit 1 and bad usage 2, each with its whole text on standard error; neither writes the
// sheet or the data file nor changes them. A data file that cannot be written keeps the sheet
// from being written, and a sheet that cannot be written keeps the data file from changing.
TEST_F(TavrinProgramTest, FailuresAndBadUsageLeaveBothFilesAlone) {
    std::filesystem::create_directories(In("none"));
    WriteFile(In("none/readme.txt"), {'n', 'o'});
    WriteFile(In("broken.png"), {'n', 'o'});
    std::filesystem::create_directories(In("clear"));
    SavePicture(Sources()[0].picture, In("clear/blank.png"));
    const std::string longPath = std::string(PATH_MAX, 'x');
    const std::string usage = HelpPointer;
    const std::string packedHint = "--layout packed packs pictures of different sizes tightly\n";
    // The headers of a batch are read first: the sheet these make is refused as too large
    // before the picture whose data ends early is decoded.
    SavePicture({30000, 1, std::vector<uint32_t>(30000, 0xFF000000u)}, In("wide.png"));
    SavePicture({1, 30000, std::vector<uint32_t>(30000, 0xFF000000u)}, In("tall.png"));
    const Bytes whole = ReadFile(In("wide.png"));
    WriteFile(In("cut.png"), Bytes(whole.begin(), whole.end() - 20));
    const std::tuple<Args, int, std::string> cases[] = {
        {{"missing.png", "set"}, 1, "Error: No such file or folder:\nmissing.png\n"},
        {{"set", "broken.png"}, 1, "Error: Cannot read the picture file:\nbroken.png\n"},
        {{"none"}, 1, "tavrin: no bmp, png, jpg or gif file found\n"},
        {{"--autocut", "clear"},
         1,
         "Error: Cannot make a sheet: the pictures may be fully transparent.\n"},
        {{"--layout", "vertical", "wide.png", "tall.png", "cut.png"},
         1,
         "Error: The sheet is too large to compose:\n30000 x 90000; " + packedHint},
        // A shown message holds 399 bytes, the message line included.
        {{longPath}, 1, "Error: File path is too long:\n" + longPath.substr(0, 375) + "\n"},
        {{"--layout", "vertical", "--max-size", "5", "set"},
         1,
         "Error: The sheet is larger than the size limit:\n6 x 24, limit 5; " + packedHint},
        // One picture larger than any sheet is named, with or without multipack.
        {{"--multipack", "wide.png"},
         1,
         "Error: A picture is larger than the largest sheet:\nwide.png is 30000 x 1 once "
         "trimmed; limit 16384 x 16384\n"},
        {{"--data", "missing/d.json", "set"},
         1,
         "Error: Cannot write the file:\nmissing/d.json : No such file or directory\n"},
        {{"--data", "./s.png", "set"}, 2, "tavrin: --data ./s.png names the sheet to write\n"},
        {{"--data", "set/plain.png", "set"},
         2,
         "tavrin: set/plain.png is the data file to write, not a picture to read\n"},
        {{"--data", "set/../set/plain.png", "set/plain.png"},
         2,
         "tavrin: set/plain.png is the data file to write, not a picture to read\n"},
        {{"-o", "missing/s.png", "set"},
         1,
         "Error: Cannot create the picture file.\nmissing/s.png : No such file or directory\n"},
        {{}, 2, "tavrin: no PATH to compose\n" + usage},
        {{"set", "./s.png"}, 2, "tavrin: ./s.png is the sheet to write, not a picture to read\n"},
        {{"--bogus", "set"}, 2, "tavrin: unknown option --bogus\n" + usage},
        {{"-o", "s.webp", "--layout", "vertical", "wide.png"},
         1,
         "Error: The sheet is larger than the size limit:\n30000 x 1, limit 16383\n"},
        {{"-o", "s.webp", "--indexed", "set"},
         2,
         "tavrin: --indexed writes a palette PNG; a lossless WebP sheet takes a palette by "
         "itself\n"},
    };
    for (const std::string older : {"", "older"}) {
        for (const auto& [options, status, error] : cases) {
            for (const char* file : {"s.png", "d.json"}) {
                std::filesystem::remove(In(file));
                if (!older.empty()) {
                    WriteFile(In(file), Bytes(older.begin(), older.end()));
                }
            }
            Args args = {"-o", "s.png", "--data", "d.json"};
            args.insert(args.end(), options.begin(), options.end());
            const std::string what = ::testing::PrintToString(options);
            EXPECT_EQ(Run(args), status) << what;
            EXPECT_EQ(Text(In("err")), error) << what;
            EXPECT_EQ(Text(In("s.png")), older) << what << " wrote or changed the sheet";
            EXPECT_FALSE(std::filesystem::exists(In("s.webp"))) << what << " wrote a sheet";
            EXPECT_EQ(Text(In("d.json")), older) << what << " wrote or changed the data file";
        }
    }
    EXPECT_EQ(NamesWith(folder.root, ".tmp"), std::vector<std::string>{})
        << "a temporary file was left behind";
}

// A Chinese reader gets the Chinese source texts and the program's own texts in Chinese, whatever
// the variant or the place among the wanted languages; every other reader gets English.
TEST_F(TavrinProgramTest, MessagesSpeakTheReadersLanguage) {
    std::filesystem::create_directories(In("clear"));
    SavePicture(Sources()[0].picture, In("clear/blank.png"));
    std::filesystem::create_directories(In("none"));
    const Args blank = {"-o", "s.png", "--autocut", "clear"};
    const std::string chinese = "UserError: 无法生成有效图片,有可能因为图片上全是透明色.\n";
    const std::string english =
        "Error: Cannot make a sheet: the pictures may be fully transparent.\n";
    const std::tuple<std::string, Args, std::string> cases[] = {
        {"LANG=zh_CN.UTF-8", blank, chinese},
        {"LANG=zh_TW.UTF-8", blank, chinese},
        {"LANG=fr_FR.UTF-8 LANGUAGE=fr:zh_CN", blank, chinese},
        {"LANG=de_DE.UTF-8", blank, english},
        {"LANG=C", blank, english},
        {"LANG=zh_CN.UTF-8",
         {"-o", "missing/s.png", "set"},
         "tavrin: 警告: 图片大小不一, 每张都占一个与最大图片同样大的格子; --data FILE.json "
         "会紧密排列并裁剪图片, 并记下每一帧的位置\n"
         "UserError: 创建图片文件失败.\nmissing/s.png : No such file or directory\n"},
        {"LANG=zh_CN.UTF-8",
         {"-o", "s.png", "none"},
         "tavrin: 没有找到 bmp、png、jpg 或 gif 文件\n"},
    };
    for (const auto& [environment, args, error] : cases) {
        EXPECT_EQ(Run(args, environment), 1) << environment;
        EXPECT_EQ(Text(In("err")), error) << environment;
    }
}

// Without a display the window is refused in one line that says how to compose; nothing is
// written. (Other usage mistakes: FailuresAndBadUsageLeaveBothFilesAlone.)
TEST_F(TavrinProgramTest, WithoutADisplayTheWindowSaysHowToComposeInOneLine) {
    const std::string noDisplay = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM";
    const std::string windowLine =
        "tavrin: no display to open the window on; -o SHEET.png composes without a window\n";
    const std::tuple<Args, std::string, std::string> cases[] = {
        {{}, noDisplay, windowLine},
        {{"set"}, noDisplay + " QT_QPA_PLATFORM=xcb", windowLine},
    };
    for (const auto& [args, environment, error] : cases) {
        const std::string what = ::testing::PrintToString(args);
        EXPECT_EQ(Run(args, environment), 2) << what;
        EXPECT_EQ(Text(In("err")), error) << what;
        std::vector<std::string> names = NamesWith(folder.root, "");
        std::ranges::sort(names);
        EXPECT_EQ(names, (std::vector<std::string>{"err", "out", "set"}))
            << what << " wrote a file";
    }
}

// On a terminal the progress line goes on after the last picture is loaded, and the closing line
// names every file written: each numbered sheet and data file of this set, and none of an
// earlier, larger set's that this run left.
TEST_F(TavrinProgramTest, OnATerminalTheClosingLineNamesEveryFileWritten) {
    for (int number = 0; number < 6; ++number) {
        WriteFile(In("s-" + std::to_string(number) + ".png"), {'o', 'l', 'd'});
    }
    const std::string command = "cd '" + folder.root +
                                "' && script -qec \"'" TAVRIN_PROGRAM
                                "' -o s.png --data d.json --multipack --max-size 5 set\" "
                                "/dev/null >tty </dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << Text(In("tty"));
    const std::string tty = Text(In("tty"));
    const json related = json::parse(ReadFile(In("d-0.json")))["meta"]["related_multi_packs"];
    ASSERT_GE(related.size(), 1u);
    std::string sheets, data;
    for (std::size_t number = 0; number <= related.size(); ++number) {
        sheets += "s-" + std::to_string(number) + ".png, ";
        data += (number == related.size() ? " and d-" : "d-") + std::to_string(number) + ".json" +
                (number + 1 < related.size() ? ", " : "");
    }
    for (const std::string& line :
         {std::string("Loading pictures: 4 of 4"), std::string("\rPacking 4 pictures"),
          std::string("\rWriting sheet 2 of 2"),
          "Wrote " + sheets + data + " from 4 pictures.\r\n"}) {
        EXPECT_NE(tty.find(line), std::string::npos) << line << " missing in:\n" << tty;
    }
}

// Paths as long as the system takes: a picture more than 300 bytes deep composes by its absolute
// and its relative path, into a sheet and data file of 300-byte paths, and names as long as a
// folder allows are written; bytes that are not UTF-8 keep names apart in the hash; and the
// sheet is found from the data file's real folder, also through a link.
TEST_F(TavrinProgramTest, LongPathsOddNamesAndLinkedFoldersStillGiveAWorkingDataFile) {
    const std::string deep = MakeDeepFolder(In("deep/"), 320) + "p.png";
    SavePicture(Sources()[1].picture, deep);
    const std::string out = MakeDeepFolder(In("long/"), folder.root.size() + 295);
    const std::string sheet = out.substr(folder.root.size()) + "s.png";
    for (const std::string& picture : {deep, deep.substr(folder.root.size())}) {
        std::filesystem::remove(In(sheet));
        ASSERT_EQ(Run({"-o", sheet, "--data", sheet + ".json", "--no-trim", picture}), 0)
            << Text(In("err"));
        EXPECT_EQ(json::parse(ReadFile(In(sheet + ".json")))["frames"].size(), 1u) << picture;
        EXPECT_EQ(LoadPicture(In(sheet)).width, 5) << picture;
    }
    EXPECT_EQ(sheet.size(), 300u);
    const std::string longName = std::string(236, 's') + ".png";
    const std::string data = std::string(250, 'd') + ".json";
    ASSERT_EQ(Run({"-o", longName, "--data", data, "set"}), 0) << Text(In("err"));
    EXPECT_TRUE(Exists(In(longName)) && Exists(In(data)));

    std::filesystem::create_directories(In("odd"));
    for (const char* name : {"a\xFE.png", "a\xFF.png"}) {
        SavePicture(Sources()[1].picture, In("odd/") + name);
    }
    std::filesystem::create_directories(In("deep/inner"));
    std::filesystem::create_directory_symlink("deep/inner", In("link"));
    ASSERT_EQ(Run({"-o", "s.png", "--data", "link/d.json", "odd"}), 0) << Text(In("err"));
    const json document = json::parse(ReadFile(In("deep/inner/d.json")));
    EXPECT_EQ(document["frames"].size(), 2u);
    EXPECT_TRUE(document["frames"].contains("a\uFFFD.png~2"));
    const std::string image = document["meta"]["image"];
    EXPECT_EQ(ReadFile(In("deep/inner/") + image), ReadFile(In("s.png"))) << image;
}

// Memory that runs out while a picture decodes is told as such, naming the picture, not taken for
// a damaged file: the sanitizers' allocator fails every allocation above 64 MiB here.
TEST_F(TavrinProgramTest, MemoryRunningOutWhileDecodingNamesThePicture) {
#ifndef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "needs the sanitizers' allocator";
#endif
    SavePicture({4200, 4200, std::vector<uint32_t>(4200 * 4200, 0xFF102030u)}, In("large.png"));
    EXPECT_EQ(Run({"-o", "s.png", "large.png"},
                  "ASAN_OPTIONS=allocator_may_return_null=1:max_allocation_size_mb=64"),
              1);
    const std::string error = Text(In("err"));
    EXPECT_NE(
        error.find("System error: Code: 1\nMessage: Not enough memory.\nDetails: large.png\n"),
        std::string::npos)
        << error;
}

// Under an address space limit, a sheet that cannot fit is refused from the headers at once, not
// after minutes of decoding and encoding: an 8192 x 8192 WebP sheet needs about 2.7 GiB.
TEST_F(TavrinProgramTest, AnAddressSpaceLimitRefusesALargeSheetAtOnce) {
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the sanitizers reserve more address space than any limit leaves";
#endif
    WriteFile(In("large.gif"), MakeGif(8192, 8192, {{0, 0, 1, 1, {Red}}}));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Run({"-o", "s.webp", "--layout", "vertical", "large.gif"}, "ulimit -v 2000000;"), 1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_NE(Text(In("err")).find("Not enough memory to compose the sheet"), std::string::npos)
        << Text(In("err"));
}

// The columns a terminal gives `line`: two for each character of the CJK blocks, one for others.
std::size_t Columns(const std::string& line) {
    std::size_t columns = 0;
    for (const char c : line) {
        const auto byte = static_cast<unsigned char>(c);
        columns += (byte & 0xC0) == 0x80 ? 0 : (byte >= 0xE3 && byte <= 0xEF ? 2 : 1);
    }
    return columns;
}

// Help and version act where they appear, here after the options of a compose. The usage text
// and bad usage speak the reader's language: Chinese from the translation (its lines still fit
// 94 columns), and English unchanged from the source texts, which the manual page keeps (the
// English of bad usage: FailuresAndBadUsageLeaveBothFilesAlone).
TEST_F(TavrinProgramTest, HelpAndBadUsageSpeakTheReadersLanguage) {
    const std::string chinese = "LANGUAGE=zh_CN";
    const std::string pointer = "运行 'tavrin --help' 查看更多说明.\n";
    const Args cli11 = {"-o", "s.png", "--padding", "x", "set"};
    const Args conflict = {"-o",       "s.png",         "--layout", "packed",
                           "--rotate", "--data-format", "godot",    "set"};
    const std::tuple<std::string, Args, int, std::string, std::string> cases[] = {
        {"", {"-o", "s.png", "--help"}, 0, GetUsageText(), ""},
        {"", {"-o", "s.png", "--version"}, 0, std::string(ProductTitle) + "\n", ""},
        {chinese, cli11, 2, "",
         "tavrin: --padding: 取 0 到 16384 的整数, 不能是 \"x\"\n" + pointer},
        {chinese, conflict, 2, "",
         "tavrin: --data-format godot 无法旋转帧: Godot 的 AtlasTexture 总是正着画出其区域; "
         "请去掉 --rotate\n" +
             pointer},
    };
    for (const auto& [environment, args, status, out, err] : cases) {
        const std::string what = environment + " " + ::testing::PrintToString(args);
        EXPECT_EQ(Run(args, environment), status) << what;
        EXPECT_EQ(Text(In("out")), out) << what;
        EXPECT_EQ(Text(In("err")), err) << what;
    }
    EXPECT_EQ(Run({"--help"}, chinese), 0);
    const std::string help = Text(In("out"));
    EXPECT_TRUE(help.starts_with("用法: tavrin [PATH...]\n")) << help;
    // Wide characters take two columns each, and a line may break between two of them.
    EXPECT_NE(
        help.find("\n  --alpha-bleed              给帧四周和内部每个全透明的像素填上最近的可见像素"
                  "的颜色, 使过滤后\n                             的边缘没有暗边或亮边 "
                  "(默认: 关)\n"),
        std::string::npos)
        << help;
    std::istringstream lines(help);
    for (std::string line; std::getline(lines, line);) {
        EXPECT_LE(Columns(line), 94u) << line;
    }
}

TEST_F(TavrinProgramTest, EveryGifFrameGetsACellANameAndItsDuration) {
    const std::vector<UGifFrame_S> frames = {
        {0, 0, 2, 1, {Red, Green}, 1, -1, 10},
        {1, 0, 1, 1, {Blue}, 1, -1, 0},
    };
    std::filesystem::create_directories(In("anim"));
    WriteFile(In("anim/walk.gif"), MakeGif(2, 1, frames));
    SavePicture(Sources()[1].picture, In("anim/still.png"));
    ASSERT_EQ(Run({"-o", "s.png", "--gif-frames", "all", "--data", "d.json", "--data-format",
                   "array", "anim"}),
              0)
        << Text(In("err"));
    const json data = json::parse(ReadFile(In("d.json")));
    const UPicture_S sheet = LoadPicture(In("s.png"));
    const std::tuple<std::string, json, UPicture_S> expected[] = {
        {"still.png", json(), Sources()[1].picture},
        {"walk.gif#0", 100, {2, 1, {gifValues[Red], gifValues[Green]}}},
        {"walk.gif#1", 0, {2, 1, {gifValues[Red], gifValues[Blue]}}},
    };
    ASSERT_EQ(data["frames"].size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const auto& [name, duration, picture] = expected[i];
        const json& frame = data["frames"][i];
        EXPECT_EQ(frame["filename"], name);
        EXPECT_EQ(frame.contains("duration") ? frame["duration"] : json(), duration) << name;
        UPicture_S visible = picture;
        for (uint32_t& value : visible.pixels) {
            value = Visible(value);
        }
        EXPECT_EQ(FirstDifference(Rebuild(sheet, frame), visible), "") << name;
    }
}

// "-" is standard output; a sheet inside a folder of pictures is not one of them on the next run.
TEST_F(TavrinProgramTest, TheSheetIsNeverOneOfThePictures) {
    ASSERT_EQ(Run({"-o", "s.png", "set"}), 0) << Text(In("err"));
    EXPECT_EQ(Text(In("err")),
              "tavrin: warning: the pictures differ in size, so each takes a cell as large as the "
              "largest; --data FILE.json packs and trims them and records where each frame went\n")
        << "the default column of pictures of several sizes says how to pack them";
    ASSERT_EQ(Run({"-o", "-", "set"}), 0) << Text(In("err"));
    EXPECT_EQ(FirstDifference(LoadPicture(In("out")), LoadPicture(In("s.png"))), "")
        << "another sheet on standard output";
    EXPECT_FALSE(Exists(In("-"))) << "a file named - was written";
    for (int run = 1; run <= 2; ++run) {
        ASSERT_EQ(Run({"-o", "set/s.png", "set"}), 0) << Text(In("err"));
        EXPECT_EQ(FirstDifference(LoadPicture(In("set/s.png")), LoadPicture(In("s.png"))), "")
            << "run " << run;
    }
}

// A stopped writer is ended by each signal, or let go on; an ended one leaves the old sheet and
// data file, and no temporary file stays (SIGKILL's temporaries: the test of file sets).
TEST_F(TavrinProgramTest, AnInterruptedWriteLeavesTheOldFilesAndNoTemporaryFile) {
    ASSERT_EQ(Run({"-o", "whole.png", "--data", "whole.json", "set"}), 0) << Text(In("err"));
    for (const std::string stop : {"unnamed", "named"}) {
        for (const int signal : {SIGINT, SIGTERM, SIGHUP, 0}) {
            const std::string what = stop + " file, signal " + std::to_string(signal);
            WriteFile(In("s.png"), {'o', 'l', 'd'});
            WriteFile(In("d.json"), {'o', 'l', 'd'});
            const pid_t child = StartStopping(stop.c_str());
            ASSERT_TRUE(WaitStopped(child)) << what << ": the program did not stop while writing";
            EXPECT_EQ(NamesWith(folder.root, ".tmp").size(), 2u) << what;
            if (signal != 0) {
                kill(child, signal);
            }
            kill(child, SIGCONT);
            const int status = WaitEnded(child);
            if (signal != 0) {
                EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << what;
                EXPECT_EQ(Text(In("s.png")) + Text(In("d.json")), "oldold") << what;
            } else {
                EXPECT_EQ(status, 0) << what;
                EXPECT_EQ(FirstDifference(LoadPicture(In("s.png")), LoadPicture(In("whole.png"))),
                          "")
                    << what;
                EXPECT_EQ(json::parse(ReadFile(In("d.json")))["frames"],
                          json::parse(ReadFile(In("whole.json")))["frames"])
                    << what;
            }
            EXPECT_EQ(NamesWith(folder.root, ".tmp"), std::vector<std::string>{}) << what;
        }
    }
}

// A run ended by SIGINT, SIGTERM or SIGHUP at any moment while it puts a multipack of 40 files
// in place leaves the whole old set or the whole new one, and no temporary. The signal comes
// after a fraction 1/2^k of the time from the commit's start to the run's end (measured first,
// 30 ms here, mostly the sanitizers' exit), k up to 11, so that most rounds land on the renames.
TEST_F(TavrinProgramTest, ASignalWhileAMultipackGoesInPlaceLeavesOneWholeSet) {
    MakeTwoSets();
    const auto commit = [this](int signal, std::chrono::microseconds delay) {
        std::filesystem::remove_all(In("sheets"));
        std::filesystem::copy(In("set-old"), In("sheets"));
        const pid_t child = StartStopping("unnamed", Multipack("sheets", "new"));
        EXPECT_TRUE(WaitStopped(child));
        const auto start = std::chrono::steady_clock::now();
        kill(child, SIGCONT);
        std::this_thread::sleep_for(delay);
        if (signal != 0) {
            kill(child, signal);
        }
        WaitEnded(child);
        return std::chrono::steady_clock::now() - start;
    };
    const auto whole = std::chrono::duration_cast<std::chrono::microseconds>(commit(0, {}));
    ASSERT_EQ(WhichSet("sheets"), "new");
    std::mt19937 random(26);
    std::map<std::string, int> outcomes;
    for (int round = 0; round < 12; ++round) {
        const int signal = std::array{SIGINT, SIGTERM, SIGHUP}[round % 3];
        commit(signal, whole / (1 << (random() % 12)));
        const std::string which = WhichSet("sheets");
        ++outcomes[which];
        EXPECT_TRUE(which == "old" || which == "new")
            << "round " << round << ", signal " << signal << ": " << which;
    }
    std::cout << "commit " << whole.count() << " us, rounds ending old " << outcomes["old"]
              << ", new " << outcomes["new"] << "\n";
}

// Two runs writing the same multipack, one of old/ and one of new/, leave one run's whole set,
// even when the first is held up in the middle of its renames (stopped once its first file is
// in place) for 100 ms while the second goes on.
TEST_F(TavrinProgramTest, TwoRunsWritingOneMultipackLeaveOneRunsSet) {
    MakeTwoSets();
    for (int round = 0; round < 4; ++round) {
        std::filesystem::remove_all(In("sheets"));
        std::filesystem::create_directories(In("sheets"));
        const pid_t first =
            StartStopping("unnamed", Multipack("sheets", round % 2 ? "new" : "old"));
        const pid_t second =
            StartStopping("unnamed", Multipack("sheets", round % 2 ? "old" : "new"));
        ASSERT_TRUE(WaitStopped(first) && WaitStopped(second));
        kill(first, SIGCONT);
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!Exists(In("sheets/S-0.png")) && std::chrono::steady_clock::now() < end) {
        }
        kill(first, SIGSTOP);
        kill(second, SIGCONT);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        kill(first, SIGCONT);
        EXPECT_EQ(WaitEnded(first), 0);
        EXPECT_EQ(WaitEnded(second), 0);
        const std::string which = WhichSet("sheets");
        EXPECT_TRUE(which == "old" || which == "new") << "round " << round << ": " << which;
    }
}

// --indexed with more than 256 colours writes RGBA and says why.
TEST_F(TavrinProgramTest, IndexedSheetsOfTooManyColoursSayWhyNot) {
    std::filesystem::create_directories(In("many"));
    SavePicture(
        Make(20, 20, [](int32_t x, int32_t y) { return 0xFF000000u | uint32_t(y * 20 + x); }),
        In("many/m.png"));
    ASSERT_EQ(Run({"-o", "many.png", "--indexed", "many"}), 0);
    EXPECT_NE(Text(In("err")).find("more than 256 colours"), std::string::npos) << Text(In("err"));
    EXPECT_EQ(Text(In("many.png"))[25], 6) << "colour type";
}

// No run writes over a picture of its batch or over another of its own files: `-o` naming a
// picture found in a searched folder, a picture named like a numbered sheet, a one-file data
// form named like a numbered sheet are refused with one line naming the file, and nothing is
// written. An earlier run's sheet in a searched folder is left out instead: marked as Tavrin's,
// or named by the data file beside it.
TEST_F(TavrinProgramTest, NoRunWritesOverAPictureOrAnotherOfItsFiles) {
    const UPicture_S art =
        Make(4, 4, [](int32_t x, int32_t y) { return 0xFF000000u | x << 8 | y; });
    SavePicture(art, In("set/S-1.png"));
    const Args multipack = {"--layout", "packed", "--multipack", "--max-size", "8"};
    const auto refused = [&](Args args, const std::string& kept, const std::string& problem) {
        args.insert(args.begin(), {"-o", "set/S.png"});
        args.push_back("set");
        const Bytes before = ReadFile(In(kept));
        EXPECT_EQ(Run(args), 2) << problem;
        const std::string err = Text(In("err"));
        EXPECT_NE(err.find(kept), std::string::npos) << problem << ": " << err;
        EXPECT_LE(std::ranges::count(err, '\n'), 2) << problem << ": " << err;
        EXPECT_EQ(ReadFile(In(kept)), before) << problem;
        EXPECT_FALSE(Exists(In("set/S-0.png"))) << problem;
    };
    refused({"--layout", "packed", "--trim", "-o", "set/plain.png"}, "set/plain.png",
            "-o names a picture of the folder");
    refused(multipack, "set/S-1.png", "a picture named like sheet 1");
    std::filesystem::remove(In("set/S-1.png"));
    Args oneFile = multipack;
    oneFile.insert(oneFile.end(), {"--data-format", "phaser3", "--data", "set/S-0.png"});
    EXPECT_EQ(Run(oneFile), 2) << "a one-file data form over sheet 0";
    EXPECT_FALSE(Exists(In("set/S-0.png")));

    SavePicture(art, In("set/old.png"));
    WriteFile(In("set/d.json"),
              Bytes{'{', '"', 'i', '"', ':', '"', 'o', 'l', 'd', '.', 'p', 'n', 'g', '"', '}'});
    ASSERT_EQ(Run({"-o", "set/old.png", "--data", "set/d.json", "set"}), 0) << Text(In("err"));
    EXPECT_EQ(json::parse(ReadFile(In("set/d.json")))["frames"].size(), Sources().size())
        << "the sheet the earlier data file names was taken for a picture";
}

// A multipack replaces the whole earlier set: numbered sheets and data files beyond the new set
// that an earlier run wrote go, a file there that no run is known to have written stays and is
// named.
TEST_F(TavrinProgramTest, ASmallerMultipackRemovesTheEarlierSetsRest) {
    std::filesystem::create_directories(In("many"));
    for (uint32_t i = 0; i < 9; ++i) {
        SavePicture(Make(4, 4, [i](int32_t x, int32_t) { return 0xFF000000u | i << 16 | x; }),
                    In("many/" + std::to_string(i) + ".png"));
    }
    const Args args = {"-o",          "multi/S.png", "--data", "multi/d.json", "--layout", "packed",
                       "--multipack", "--max-size",  "8"};
    std::filesystem::create_directories(In("multi"));
    Args first = args;
    first.push_back("many");
    ASSERT_EQ(Run(first), 0) << Text(In("err"));
    ASSERT_TRUE(Exists(In("multi/S-2.png")) && Exists(In("multi/d-2.json")));
    SavePicture(Make(2, 2, [](int32_t, int32_t) { return 0xFF00FF00u; }), In("multi/S-2.png"));
    std::filesystem::remove(In("multi/d-2.json"));
    Args second = args;
    second.push_back("set/plain.png");
    ASSERT_EQ(Run(second), 0) << Text(In("err"));
    EXPECT_TRUE(Exists(In("multi/S-0.png")) && Exists(In("multi/d-0.json")));
    EXPECT_FALSE(Exists(In("multi/S-1.png")) || Exists(In("multi/d-1.json"))) << "stale set left";
    EXPECT_TRUE(Exists(In("multi/S-2.png"))) << "a file no run is known to have written went";
    EXPECT_NE(Text(In("err")).find("multi/S-2.png"), std::string::npos) << Text(In("err"));
}

// Whatever a sheet is made from, changed, or a file of its set damaged, makes the next run
// write the set again, and the run after that leaves it alone; a picture touched with its bytes
// unchanged, or nothing changed, leaves it alone too (the same file and time).
TEST_F(TavrinProgramTest, ARunWritesTheSetAgainOnlyWhenSomethingItWasMadeFromChanged) {
    const auto stamp = [this](const std::string& name) {
        struct stat status {};
        return ::stat(In(name).c_str(), &status) != 0
                   ? std::pair<ino_t, int64_t>()
                   : std::pair<ino_t, int64_t>(status.st_ino, status.st_mtim.tv_sec * 1000000000 +
                                                                  status.st_mtim.tv_nsec);
    };
    const auto cut = [this](const std::string& name) {
        std::filesystem::resize_file(In(name), std::filesystem::file_size(In(name)) - 20);
    };
    const auto touch = [this] {
        const auto path = In("set/plain.png");
        std::filesystem::last_write_time(
            path, std::filesystem::last_write_time(path) + std::chrono::seconds(5));
    };
    const auto paint = [this](const std::string& name, int32_t side) {
        SavePicture(Make(side, 3, [](int32_t, int32_t) { return ~0u; }), In(name));
    };
    const auto gone = [this](const std::string& name) {
        return [this, name] { std::filesystem::remove(In(name)); };
    };
    const Args multipack = {"--multipack", "--max-size", "6", "--no-trim", "--layout", "packed"};
    struct Case_S {
        const char* what;
        std::string sheet;
        std::function<void()> change;
        Args again;
        std::string environment;
        bool writes;
    };
    const Case_S cases[] = {
        {"nothing changed", "s.png", [] {}, {}, "", false},
        {"a picture touched, its bytes the same", "s.png", touch, {}, "", false},
        {"a picture's pixels changed", "s.png", [&] { paint("set/plain.png", 5); }, {}, "", true},
        {"an option changed", "s.png", [] {}, {"--padding", "1"}, "", true},
        {"another version", "s.png", [] {}, {}, "TAVRIN_TEST_VERSION=0", true},
        {"--force", "s.png", [] {}, {"--force"}, "", true},
        {"the sheet deleted", "s.png", gone("s.png"), {}, "", true},
        {"the sheet cut short", "s.png", [&] { cut("s.png"); }, {}, "", true},
        {"the data file edited", "s.png", [&] { WriteFile(In("d.json"), {'{'}); }, {}, "", true},
        {"a picture deleted", "s.png", gone("set/clear.png"), {}, "", true},
        {"a picture added to a folder", "s.png", [&] { paint("set/sub/n.png", 2); }, {}, "", true},
        {"a webp sheet, nothing changed", "s.webp", [] {}, {}, "", false},
        {"a webp sheet cut short", "s.webp", [&] { cut("s.webp"); }, {}, "", true},
        {"a multipack, nothing changed", "m.png", [] {}, {}, "", false},
        {"a multipack's second sheet deleted", "m.png", gone("m-1.png"), {}, "", true},
    };
    for (const Case_S& test : cases) {
        std::filesystem::remove_all(In("set"));
        SetUp();
        Args args = {"-o", test.sheet, "--data", "d.json", "set"};
        if (test.sheet == "m.png") {
            args.insert(args.begin(), multipack.begin(), multipack.end());
        }
        const std::string first = test.sheet == "m.png" ? "m-0.png" : test.sheet;
        Args forced = args;
        forced.insert(forced.begin(), "--force");
        ASSERT_EQ(Run(forced), 0) << test.what << Text(In("err"));
        const auto before = stamp(first);
        test.change();
        Args again = args;
        again.insert(again.begin(), test.again.begin(), test.again.end());
        ASSERT_EQ(Run(again, test.environment), 0) << test.what << Text(In("err"));
        EXPECT_EQ(stamp(first) != before, test.writes) << test.what;
        const auto written = stamp(first);
        std::erase(again, "--force");
        ASSERT_EQ(Run(again, test.environment), 0) << test.what << Text(In("err"));
        EXPECT_EQ(stamp(first), written) << test.what << ": the set just written is not up to date";
    }
}

// A Ninja build that reads the depfile (deps = gcc) knows every picture, names with spaces,
// backslashes, '#' and '$' included, and the folders: a picture added to a folder builds the
// set again, and nothing else does. A name with a control character, where ninja would end it,
// is refused before anything is written. (Ninja 1.11 ends a name at '"' too; make does not.)
TEST_F(TavrinProgramTest, NinjaRebuildsTheSetWhenAPictureIsAddedToAFolder) {
    if (std::system("ninja --version >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "needs ninja";
    }
    ASSERT_EQ(Run({"-o", "s.png", "--depfile", "s.d", "set"}), 1);
    EXPECT_NE(Text(In("err")).find("Depfile: a path with a control"), std::string::npos)
        << Text(In("err"));
    EXPECT_FALSE(Exists(In("s.png")) || Exists(In("s.d"))) << "a file was written";
    std::filesystem::remove(In("set/\xC3\xBC\x01.png"));
    std::filesystem::rename(In("set/sub/tall \"q\\b\".png"), In("set/sub/tall \\ q.png"));
    SavePicture(Make(2, 2, [](int32_t, int32_t) { return ~0u; }), In("set/a #1 $x.png"));
    const std::string rule = "rule sheet\n  command = '" TAVRIN_PROGRAM
                             "' -o s.png --data d.json --depfile s.d set\n"
                             "  depfile = s.d\n  deps = gcc\nbuild s.png d.json: sheet\n";
    WriteFile(In("build.ninja"), Bytes(rule.begin(), rule.end()));
    const auto ninja = [this](const std::string& arguments) {
        const std::string command = "cd '" + folder.root + "' && ninja " + arguments + " >out 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << Text(In("out"));
        return Text(In("out"));
    };
    EXPECT_NE(ninja("").find("[1/1]"), std::string::npos) << "the first build";
    EXPECT_EQ(ninja(""), "ninja: no work to do.\n");
    const std::string deps = ninja("-t deps");
    for (const char* read :
         {"set/plain.png", "set/sub/tall \\ q.png", "set/a #1 $x.png", "set/sub", "set\n"}) {
        EXPECT_NE(deps.find(std::string("    ") + read), std::string::npos)
            << read << " is missing from\n"
            << deps;
    }
    SavePicture(Make(2, 2, [](int32_t, int32_t) { return ~0u; }), In("set/sub/new.png"));
    EXPECT_NE(ninja("").find("[1/1]"), std::string::npos) << "a picture added to set/sub";
    EXPECT_EQ(ninja(""), "ninja: no work to do.\n");
}

// Each variant is a sheet and data file of its own, named with its suffix before the extension,
// listing every picture at its scale (sides rounded, at least 1) under the same names, with its
// resolution, its scale over the smallest variant's, where PixiJS reads it, so that every
// variant draws a frame the same size on screen.
TEST_F(TavrinProgramTest, EveryVariantListsEveryPictureAtItsScale) {
    using Files = std::vector<std::tuple<std::string, std::string, double, double>>;
    const std::pair<Args, Files> cases[] = {
        {{"--variant", "@2x:1", "--variant", ":0.5"},
         {{"d@2x.json", "s@2x.png", 1, 2}, {"d.json", "s.png", 0.5, 1}}},
        {{"--scale", "2.5"}, {{"d.json", "s.png", 2.5, 1}}},
        {{"--multipack", "--variant", "-hd:3"}, {{"d-hd-0.json", "s-hd-0.png", 3, 1}}},
    };
    for (const auto& [options, files] : cases) {
        std::filesystem::remove_all(In("v"));
        std::filesystem::create_directories(In("v"));
        Args args = {"-o", "v/s.png", "--data", "v/d.json", "--layout", "packed"};
        args.insert(args.end(), options.begin(), options.end());
        args.push_back("set");
        ASSERT_EQ(Run(args), 0) << Text(In("err"));
        const auto written = std::distance(std::filesystem::directory_iterator(In("v")), {});
        EXPECT_EQ(std::size_t(written), files.size() * 2) << ::testing::PrintToString(options);
        for (const auto& [data, sheet, scale, resolution] : files) {
            const json file = json::parse(ReadFile(In("v/" + data)));
            EXPECT_EQ(file["meta"]["image"], sheet);
            EXPECT_EQ(std::stod(std::string(file["meta"]["scale"])), resolution) << data;
            EXPECT_EQ(file["frames"].size(), Sources().size()) << data;
            for (const Source_S& source : Sources()) {
                if (!file["frames"].contains(source.name)) {
                    ADD_FAILURE() << data << " lacks " << source.name;
                    continue;
                }
                const json& entry = file["frames"][source.name];
                const auto side = [scale](int32_t length) {
                    return std::max<int64_t>(1, std::lround(length * scale));
                };
                EXPECT_EQ(entry["sourceSize"], json({{"w", side(source.picture.width)},
                                                     {"h", side(source.picture.height)}}))
                    << data << ": " << source.name;
            }
        }
    }
    // Numbered sheets of one variant would be the other's plain sheet, "s-1.png".
    EXPECT_EQ(Run({"-o", "v/s.png", "--layout", "packed", "--multipack", "--variant", ":1",
                   "--variant", "-1:2", "set"}),
              2);
    EXPECT_NE(Text(In("err")).find("would both write v/s-1.png"), std::string::npos)
        << Text(In("err"));
}

// --watch writes the set, then writes it again once a picture is added to a folder it walked,
// within a few seconds, and goes on until it is ended.
TEST_F(TavrinProgramTest, WatchWritesTheSetAgainWhenAPictureIsAdded) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (::chdir(folder.root.c_str()) == 0) {
            ::execl(TAVRIN_PROGRAM, "tavrin", "-o", "w.png", "--data", "w.json", "--watch", "set",
                    static_cast<char*>(nullptr));
        }
        ::_exit(127);
    }
    const auto waitFor = [this](const std::string& text) {
        for (int waited = 0; waited < 200; ++waited) {
            if (std::filesystem::exists(In("w.json")) &&
                Text(In("w.json")).find(text) != std::string::npos) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    };
    EXPECT_TRUE(waitFor("plain.png")) << "the first build";
    SavePicture(Make(2, 2, [](int32_t, int32_t) { return ~0u; }), In("set/added.png"));
    EXPECT_TRUE(waitFor("added.png")) << "no build after a picture was added";
    int status = 0;
    EXPECT_EQ(::waitpid(child, &status, WNOHANG), 0) << "the watch ended by itself";
    ::kill(child, SIGTERM);
    ::waitpid(child, &status, 0);
}
