// The window's side of project files: a project's first sheet opened into the list and the
// options, and the window's sheet saved into a project that the command line builds alike.
#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>

#include "composition/data/SheetData.h"
#include "files/PathUtilities.h"
#include "ui/ShellChoosers.h"
#include "ui/UFileListBox_C.h"
#include "ui/UShell_C.h"
#include "ui/WMosaro_C.h"
#include "ui/WOptionsPanel_C.h"

namespace NS_Wnd {
namespace {

constexpr char projectFilter[] = "Tavrin project(.json)\0*.json\0";

// The sheet beside the project, named as the project is: "ui.json" composes "ui.png".
std::string SheetBeside(const std::string& projectPath) {
    const std::string name = GetFileName(projectPath.c_str());
    const std::size_t dot = name.rfind('.');
    return GetFolderPath(projectPath) + name.substr(0, dot == 0 ? name.size() : dot) + ".png";
}

}  // namespace

void WMosaro_C::SetProjectFiles(UProjectFiles_S files) {
    projectFiles = std::move(files);
    ui.openProject->setVisible(static_cast<bool>(projectFiles.read));
    ui.saveProject->setVisible(static_cast<bool>(projectFiles.write));
}

void WMosaro_C::OnOpenProject() {
    RunCommand([this] { OpenChosenProject(); });
}

void WMosaro_C::OnSaveProject() {
    RunCommand([this] { SaveChosenProject(); });
}

void WMosaro_C::OpenChosenProject() {
    const std::vector<std::string> chosen =
        ChooseFile(*shell, this, projectFilter, "", OpenFile, nullptr);
    if (chosen.empty()) {
        return;
    }
    std::vector<UProjectSheet_S> sheets;
    if (std::string problem = projectFiles.read(chosen.front(), sheets); !problem.empty()) {
        return ShowProblem(problem);
    }
    if (sheets.empty()) {
        return ShowProblem(tr("The project has no sheet.").toStdString());
    }
    if (sheets.size() > 1) {
        ShowProblem(tr("The project has %n sheets: the window shows and saves the first, and "
                       "keeps the others as they are.",
                       "", static_cast<int>(sheets.size()))
                        .toStdString());
    }
    ShowSheet(sheets.front());
    project = UProject_S{chosen.front(), sheets.front(), GetListedPaths()};
    composed.reset();
}

void WMosaro_C::ShowSheet(const UProjectSheet_S& sheet) {
    const NS_Data::UComposeOptions_S& options = sheet.options;
    packedLayout = options.layout == NS_Data::ULayout_E::Packed ? 1 : 0;
    if (packedLayout == 0) {
        composeMode = NS_Data::ComposeModeFromLayout(options.layout);
    }
    autoCut = options.trim == NS_Data::UTrim_E::Common ? 1 : 0;
    trimEach = options.trim == NS_Data::UTrim_E::Each ? 1 : 0;
    ShowLayoutAndTrim();
    ui.options->Show(options, sheet.naturalOrder, !sheet.data.empty());
    ui.fileList->RemoveAll();
    fileAbyss.Clear();
    for (const std::string& path : sheet.pictures) {
        fileAbyss.AddPath(path.c_str());
    }
    CollectFiles();
}

void WMosaro_C::SaveChosenProject() {
    const std::string start = project ? project->path : std::string();
    const std::vector<std::string> chosen =
        ChooseFile(*shell, this, projectFilter, start.c_str(), SaveFile, "json");
    if (chosen.empty()) {
        return;
    }
    const UProjectSheet_S sheet = MakeSheet(chosen.front());
    if (sheet.pictures.empty()) {
        return ShowProblem(tr("Add the sheet's pictures before saving its project.").toStdString());
    }
    if (std::string problem = projectFiles.write(chosen.front(), sheet); !problem.empty()) {
        return ShowProblem(problem);
    }
    project = UProject_S{chosen.front(), sheet, GetListedPaths()};
}

// The list's pictures, or the opened project's inputs while the list holds what they listed, or
// the last compose's when the list is empty; the sheet's files are the last compose's, the
// project's, or named after the project.
UProjectSheet_S WMosaro_C::MakeSheet(const std::string& projectPath) const {
    UProjectSheet_S sheet;
    sheet.options = NS_Data::WithoutConflicts(MakeWantedOptions());
    sheet.naturalOrder = ui.options->IsNaturalOrder();
    const std::vector<std::string> inList = GetListedPaths();
    const UProjectSheet_S* base = composed ? &*composed : project ? &project->sheet : nullptr;
    sheet.pictures = project && inList == project->listed ? project->sheet.pictures : inList;
    if (inList.empty() && composed) {
        sheet.pictures = composed->pictures;
    }
    sheet.output = base ? base->output : SheetBeside(projectPath);
    if (ui.options->WritesDataFile()) {
        sheet.data = base && !base->data.empty()
                         ? base->data
                         : MakeDataPath(sheet.output, sheet.options.data.form);
    }
    sheet.options.output = sheet.output;
    sheet.options.data.path = sheet.data;
    return sheet;
}

std::vector<std::string> WMosaro_C::GetListedPaths() const {
    std::vector<std::string> paths;
    paths.reserve(static_cast<std::size_t>(ui.fileList->GetCount()));
    for (int32_t i = 0; i < ui.fileList->GetCount(); ++i) {
        paths.push_back(ui.fileList->GetFilePath(i));
    }
    return paths;
}

void WMosaro_C::ShowProblem(const std::string& problem) {
    shell->ShowMessage(this, tr("Project"), QString::fromStdString(problem));
}

}  // namespace NS_Wnd
