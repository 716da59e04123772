#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "PictureFiles.h"
#include "TestSupport.h"
#include "app/CommandLine.h"
#include "app/ProjectSheets.h"
#include "composition/UProject_C.h"
#include "composition/data/UDataForm_S.h"

namespace {

using Args = std::vector<std::string>;

UPicture_S Filled(int32_t width, int32_t height, uint32_t value) {
    return {width, height, std::vector<uint32_t>(std::size_t(width) * height, value)};
}

// The project's first problem, as the run prints it after the file's name; the sheets'
// command lines go to `sheets`.
std::string ProblemOf(const std::string& text, const std::string& folder,
                      std::vector<UProjectSheetLine_S>& sheets, const Args& arguments = {}) {
    try {
        return MakeProjectSheets(NS_Data::UProject_C::Parse(text, folder), arguments, sheets);
    } catch (const NS_Base::UError_C& error) {
        return error.GetInfoEx();
    }
}

// A project of one sheet with these option members, each on its own line from line 3.
std::string OneSheet(const std::string& options, const std::string& inputs = "\"a.png\"") {
    return "{\"sheets\": [{\"output\": \"s.png\",\n\"inputs\": [" + inputs + "], \"options\": {\n" +
           options + "}}]}";
}

class ProjectTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(In("pro[j]/art"));
        const uint32_t colours[] = {0xFF0000FFu, 0x8000FF00u, 0xFFFF0000u};
        for (int i = 0; i < 3; ++i) {
            SavePicture(Filled(3 + i, 5 - i, colours[i]),
                        In("pro[j]/art/" + std::string(1, char('a' + i)) + ".png"));
        }
        std::filesystem::create_directories(In("elsewhere"));
    }

    std::string In(const std::string& name) const { return folder.root + name; }

    // Runs the program in `where` below the temporary folder, speaking English; returns the exit
    // status, its standard error in `err`.
    int Run(const std::string& where, const Args& args) {
        std::string command =
            "cd '" + In(where) +
            "' && unset LANGUAGE LC_ALL LC_MESSAGES; export LANG=en_US.UTF-8; '" TAVRIN_PROGRAM "'";
        for (const std::string& arg : args) {
            command += " '" + arg + "'";
        }
        command += " >/dev/null 2>'" + In("err") + "' </dev/null";
        const int result = std::system(command.c_str());
        err = Text(In("err"));
        return WIFEXITED(result) ? WEXITSTATUS(result) : -1;
    }

    void WriteProject(const std::string& text) const {
        std::ofstream(In("pro[j]/p.json"), std::ios::binary) << text;
    }

    UTempDirectory folder;
    std::string err;
};

}  // namespace

// Every problem names the key's path and the line it is on: the reader counts lines itself, a
// number is only seen to end on the line after it, and the parser's own refusals are put back
// at the key they came from.
TEST_F(ProjectTest, ProblemsNameTheKeyAndItsLine) {
    const std::pair<std::string, std::string> cases[] = {
        {OneSheet("\"paddin\": 2"), "sheets[0].options.paddin (line 3): unknown option"},
        {OneSheet("\"project\": \"p.json\""), "sheets[0].options.project (line 3): unknown"},
        {OneSheet("\"output\": \"t.png\""), "sheets[0].options.output (line 3): unknown"},
        {OneSheet("\"trim\": \"yes\""), "sheets[0].options.trim (line 3): takes true or false"},
        {OneSheet("\"padding\": \"2\""), "sheets[0].options.padding (line 3): takes a whole"},
        {OneSheet("\"layout\": 2"), "sheets[0].options.layout (line 3): takes a text"},
        {OneSheet("\"pot\": null"), "sheets[0].options.pot (line 3): takes true, false, a"},
        {OneSheet("\"padding\":\n-1"),
         "sheets[0].options.padding (line 3): --padding: takes a whole number from 0"},
        {OneSheet("\"layout\": \"vertical\",\n\"rotate\": true"),
         "sheets[0].options.rotate (line 4): --rotate needs --layout packed"},
        {OneSheet("\"trim\": true,\n\"autocut\": true"),
         "sheets[0].options.trim (line 3): --trim and --autocut cannot be given together"},
        {OneSheet("\"trim\": false,\n\"autocut\": true"),
         "sheets[0].options.autocut (line 4): --no-trim and --autocut cannot be given"},
        {OneSheet("", "\"a.png\",\n7\n"), "sheets[0].inputs[1] (line 3): takes a text, not a"},
        {OneSheet("", "\"art/*.jpg\""), "sheets[0].inputs[0] (line 2): art/*.jpg matches no"},
        {"{\"sheets\": [{\"output\": \"s.gif\",\n\"inputs\": [\"a.png\"]}]}",
         "sheets[0].output (line 1): -o "},
        {"{\"sheets\": [{\"output\": \"s.png\",\n\"inputs\": []}]}",
         "sheets[0].inputs (line 2): takes a list of at least one"},
        {"{\"sheets\": [\n{\"inputs\": [\"a.png\"]}]}", "sheets[0] (line 2): lacks output"},
        {"{\"defaults\": {},\n\"sheets\": []}", "sheets (line 2): takes a list of at least one"},
        {"{\"defaults\": {\"pot\": true,\n\"pot\": true}}", "defaults.pot (line 2): given twice"},
        {"{\n\"sheet\": []}", "sheet (line 2): unknown key"},
        {"{\"defaults\": []}", "defaults (line 1): takes an object, not a list"},
        {"{}", "the project (line 1): lacks sheets"},
        {"{\n\"sheets\": [,]}", "(line 2): not JSON: syntax error"},
    };
    for (const auto& [text, expected] : cases) {
        std::vector<UProjectSheetLine_S> sheets;
        const std::string problem = ProblemOf(text, In("pro[j]/art/"), sheets);
        EXPECT_EQ(problem.substr(0, expected.size()), expected) << text;
    }
}

// Options are taken from the defaults, then the sheet, then the run's arguments, a flag's
// opposite included, so no pair is refused as given together when one overrides the other.
TEST_F(ProjectTest, TheRunOverridesTheSheetWhichOverridesTheDefaults) {
    const std::string project =
        "{\"defaults\": {\"trim\": true, \"padding\": 1, \"layout\": \"packed\"},\n"
        "\"sheets\": [{\"output\": \"s.png\", \"inputs\": [\"a.png\"],\n"
        "\"options\": {\"padding\": 2, \"no-trim\": true}}]}";
    const std::tuple<Args, int32_t, NS_Data::UTrim_E> cases[] = {
        {{}, 2, NS_Data::UTrim_E::None},
        {{"--padding", "3", "--trim"}, 3, NS_Data::UTrim_E::Each},
    };
    for (const auto& [arguments, padding, trim] : cases) {
        std::vector<UProjectSheetLine_S> sheets;
        ASSERT_EQ(ProblemOf(project, In("pro[j]/art/"), sheets, arguments), "");
        ASSERT_EQ(sheets.size(), 1u);
        EXPECT_EQ(sheets[0].line.compose.sheet.padding, padding) << arguments.size();
        EXPECT_EQ(sheets[0].line.compose.trim, trim) << arguments.size();
    }
}

// A project run from another folder finds its files beside the project (in a folder whose name
// would be a pattern), and makes, byte for byte, what each sheet's own command line makes; the
// picture both sheets use is decoded once and handed to each.
TEST_F(ProjectTest, TwoSheetsSharingAPictureEqualTheirCommandLines) {
    WriteProject(
        "{\"defaults\": {\"padding\": 1},\n\"sheets\": [\n"
        "{\"output\": \"out/ui.png\", \"data\": \"out/ui.json\", \"inputs\": [\"art/[ab].png\"],"
        " \"options\": {\"rotate\": true, \"layout\": \"packed\"}},\n"
        "{\"output\": \"out/hud.webp\", \"inputs\": [\"art/a.png\", \"art/c.png\"]}]}");
    std::filesystem::create_directories(In("pro[j]/out"));
    ASSERT_EQ(Run("elsewhere", {"--project", "../pro[j]/p.json", "--compression", "fast"}), 0)
        << err;
    std::map<std::string, Bytes> project;
    for (const std::string name : {"ui.png", "ui.json", "hud.webp"}) {
        project[name] = ReadFile(In("pro[j]/out/" + name));
        std::filesystem::remove(In("pro[j]/out/" + name));
    }
    ASSERT_EQ(
        Run("pro[j]", {"-o", "out/ui.png", "--data", "out/ui.json", "--padding", "1", "--rotate",
                       "--layout", "packed", "--compression", "fast", "art/a.png", "art/b.png"}),
        0)
        << err;
    ASSERT_EQ(Run("pro[j]", {"-o", "out/hud.webp", "--padding", "1", "--compression", "fast",
                             "art/a.png", "art/c.png"}),
              0)
        << err;
    for (const auto& [name, bytes] : project) {
        EXPECT_EQ(bytes, ReadFile(In("pro[j]/out/" + name))) << name;
    }
}

// Whatever could not be built is refused before anything is written; a sheet that fails while
// it is built is named, and the sheets after it are still written.
TEST_F(ProjectTest, AFailingSheetIsNamedAndStopsNoOther) {
    WriteFile(In("pro[j]/art/broken.png"), {0x89, 'P', 'N', 'G'});
    const std::string good = "{\"output\": \"good.png\", \"inputs\": [\"art/a.png\"]}";
    const struct {
        std::string sheets;
        int status;
        std::string said;
        bool written;
    } cases[] = {
        {"{\"output\": \"bad.png\", \"inputs\": [\"art/broken.png\"]},\n" + good, 1,
         "tavrin: bad.png: Error", true},
        {"{\"output\": \"bad.png\", \"inputs\": [\"art/missing.png\"]},\n" + good, 1,
         "tavrin: bad.png: Error", true},
        {good + ",\n" + good, 2, "good.png and good.png would write the same file", false},
        {good + ",\n{\"output\": \"art/a.png\", \"inputs\": [\"art/c.png\"]}", 2,
         "is the sheet to write, not a picture to read", false},
        {good + ",\n{\"output\": \"art/c.png\", \"inputs\": [\"art\"]}", 2,
         "art/c.png is a picture, and this run would write a sheet over it", false},
    };
    for (const auto& [sheets, status, said, written] : cases) {
        std::filesystem::remove(In("pro[j]/good.png"));
        WriteProject("{\"sheets\": [" + sheets + "]}");
        EXPECT_EQ(Run("pro[j]", {"--project", "p.json"}), status) << sheets << "\n" << err;
        EXPECT_NE(err.find(said), std::string::npos) << err;
        EXPECT_EQ(Exists(In("pro[j]/good.png")), written) << sheets;
    }
}

// A sheet written into a folder that another sheet reads is output, not a picture, under its
// own name and under a link's: the next build leaves it out of the other sheet, which is then
// up to date.
TEST_F(ProjectTest, ASheetInAnotherSheetsFolderIsNoPicture) {
    WriteProject(
        "{\"sheets\": [{\"output\": \"art/atlas.png\", \"inputs\": [\"art/a.png\"]},\n"
        "{\"output\": \"all.png\", \"data\": \"all.json\", \"inputs\": [\"art\", \"more\"]}]}");
    std::filesystem::create_directories(In("pro[j]/more"));
    ASSERT_EQ(Run("pro[j]", {"--project", "p.json"}), 0) << err;
    std::filesystem::create_symlink("../art/atlas.png", In("pro[j]/more/link.png"));
    const auto built = std::filesystem::last_write_time(In("pro[j]/all.png"));
    ASSERT_EQ(Run("pro[j]", {"--project", "p.json"}), 0) << err;
    const nlohmann::json data = nlohmann::json::parse(std::ifstream(In("pro[j]/all.json")));
    EXPECT_EQ(data["frames"].size(), 3u) << "the other sheet was taken for a picture: " << data;
    EXPECT_EQ(std::filesystem::last_write_time(In("pro[j]/all.png")), built)
        << "the sheet was built again although its pictures are the same";
}

// The schema that editors check project files with allows exactly the options a sheet takes,
// each with the JSON type the program reads it as.
TEST(ProjectSchema, NamesEveryOptionWithItsType) {
    std::ifstream in(TAVRIN_TEST_DATA "/../../install/tavrin-project.schema.json");
    const nlohmann::json schema = nlohmann::json::parse(in);
    const nlohmann::json& properties = schema["$defs"]["options"]["properties"];
    std::map<std::string, std::string> inSchema, inParser;
    for (const auto& [name, value] : properties.items()) {
        inSchema[name] = value["type"];
    }
    const char* const types[] = {"boolean", "integer", "string", "array"};
    for (const UOptionKind_S& option : GetSheetOptions()) {
        if (option.name != "output" && option.name != "data") {
            inParser[option.name] = types[option.kind];
        }
    }
    EXPECT_EQ(inSchema, inParser);
    std::vector<std::string> forms;
    for (const UDataForm_S& form : GetDataForms()) {
        forms.emplace_back(form.name);
    }
    EXPECT_EQ(properties["data-format"]["enum"].get<std::vector<std::string>>(), forms);
}
