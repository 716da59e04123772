#include "ui/ShellChoosers.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "ScriptedShell.h"
#include "files/PathUtilities.h"

using namespace NS_Wnd;

// The dialog's own adds and saves go through the common forms; these are the rest. Each row:
// mode, the chooser's answer, what the dialog reads back (joined by ' '), how the chooser was
// asked after the filter.
TEST(ChooseFile, ChosenFilesReadBackThroughNextSelectedFile) {
    const std::tuple<uint8_t, QStringList, std::string, QString> cases[] = {
        {OpenFiles, {"/a.png", "/b.png"}, "/a.png /b.png", "|several"},
        {OpenFiles, {"/p/a.png", "/q/r/b.png"}, "/p/a.png /q/r/b.png", "|several"},
        {OpenFiles, {}, "", "|several"},
        {OpenFile, {"/p/a.png"}, "/p/a.png", "|one"},
        {7, {"/out/sheet.png"}, "/out/sheet.png", "|png"},
    };
    for (const auto& [mode, answer, expected, asked] : cases) {
        ScriptedShell shell;
        shell.answers = {answer};
        std::string result = "stale";
        const bool cancelled = ChooseFile(shell, nullptr, "Image(*.png)\0*.bmp;*.png;\0Any\0*\0",
                                          "", result, mode, "png");
        const std::string what =
            answer.join(' ').toStdString() + " in mode " + std::to_string(mode);
        EXPECT_EQ(cancelled, expected.empty()) << what;
        EXPECT_EQ(shell.asked, "Image(*.png) (*.bmp *.png);;Any (*)|" + asked) << what;
        std::string paths, path;
        // A cancel must leave the buffer empty, which is not in the read-back form.
        for (int32_t cursor = 0;
             !result.empty() && NextSelectedFile(cursor, result.c_str(), path) == 0;) {
            paths += (paths.empty() ? "" : " ") + path;
        }
        EXPECT_EQ(paths, expected) << what;
    }
}
