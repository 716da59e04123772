#include "ui/WMosaro_C.h"

#include <string>
#include <vector>

#include "composition/CollectFiles.h"
#include "files/PathUtilities.h"
#include "files/UCustomization_C.h"
#include "foundation/ProductVersion.h"
#include "ui/ShellChoosers.h"
#include "ui/UFileListBox_C.h"
#include "ui/UQtShell_C.h"

namespace NS_Wnd {
namespace {

constexpr char pictureFilter[] = "Image File(*.bmp,*.png,*.jpg,*.gif)\0*.bmp;*.png;*.jpg;*.gif;\0";
constexpr char sheetFilter[] = "32-bits Image File(.png)\0*.png\0";

// Runs one step of a command; an error record it raises is shown, owned by the dialog, and the
// command goes on with its closing steps.
template <class Step>
void ShowingErrors(WMosaro_C* dialog, Step step) {
    try {
        step();
    } catch (const NS_Base::UError_C& error) {
        error.Show(dialog);
    }
}

// A stored value of a type that does not read as an integer can only come from a damaged
// file; its default stands in, and the exit-time save replaces it.
int32_t ReadSetting(const char* key, int32_t fallback) {
    try {
        return UCustomization_C::GetValue(key);
    } catch (const NS_Base::UError_C&) {
        return fallback;
    }
}

}  // namespace

WMosaro_C::WMosaro_C(UShell_C* newShell)
    : ownShell(newShell ? nullptr : new UQtShell_C), shell(newShell ? newShell : ownShell.get()) {
    NS_Base::UError_C::SetNotice(&WMosaro_C::ShowNotice);
    CreateControls();
    ConnectControls();
    UCustomization_C::SetDefaultValue("ComposeMode", 1);
    UCustomization_C::SetDefaultValue("AutoCut", 0);
    ReadSettings();
}

WMosaro_C::~WMosaro_C() {
    UCustomization_C::SetValue("ComposeMode", composeMode);
    UCustomization_C::SetValue("AutoCut", autoCut);
    NS_Base::UError_C::SetNotice(nullptr);
}

void WMosaro_C::ReadSettings() {
    composeMode = ReadSetting("ComposeMode", 1);
    autoCut = ReadSetting("AutoCut", 0);
}

int WMosaro_C::Run(const std::vector<std::string>& paths) {
    QueueCommandLine(paths);
    return exec();
}

void WMosaro_C::QueueCommandLine(const std::vector<std::string>& paths) {
    // A path that no record can hold is reported at once; the others are tested when the
    // window opens.
    for (const std::string& path : paths) {
        ShowingErrors(this, [&] { fileAbyss.AddPath(path.c_str()); });
    }
}

void WMosaro_C::OnInitDialog() {
    InitControls();
    SetCaption();
    EnableControls();
}

void WMosaro_C::InitControls() {
    ShowingErrors(this, [this] { CollectFiles(); });
    // A stored layout outside the three buttons selects none of them (and must not overflow
    // the id sum).
    const bool known = composeMode >= 0 && composeMode <= IDC_MULTI_ROW - IDC_HORIZONTAL;
    CheckRadioButton(IDC_HORIZONTAL, IDC_MULTI_ROW, known ? IDC_HORIZONTAL + composeMode : 0);
    CheckDlgButton(IDC_AUTO_CUT, autoCut != 0 ? 1 : 0);
}

// Each call appends its own batch, sorted by full path, below the entries already listed.
void WMosaro_C::CollectFiles() {
    ::CollectFiles(fileAbyss, [this](const char* path) { fileList->AddFilePath(path); });
}

void WMosaro_C::SetCaption() {
    setWindowTitle(QString::fromUtf8(ProductTitle));
}

void WMosaro_C::DisableControls() {
    for (const int32_t id : {IDC_FILE_LIST, IDC_ADD_FILES, IDC_ADD_DIRECTORY, IDC_CLEAR,
                             IDC_COMPOSE, IDC_VERSION, IDC_TERMINATE, IDC_AUTO_CUT}) {
        EnableControl(id, false);
    }
}

void WMosaro_C::EnableControls() {
    EnableControl(IDC_FILE_LIST, true);
    EnableControl(IDC_ADD_FILES, true);
    EnableControl(IDC_ADD_DIRECTORY, true);
    const bool listed = fileList->GetCount() > 0;
    EnableControl(IDC_CLEAR, listed);
    EnableControl(IDC_COMPOSE, listed);
    EnableControl(IDC_VERSION, true);
    EnableControl(IDC_TERMINATE, true);
    EnableControl(IDC_AUTO_CUT, true);
}

void WMosaro_C::OnAddFiles() {
    DisableControls();
    ShowingErrors(this, [this] { AddSelectedFiles(); });
    EnableControls();
}

void WMosaro_C::AddSelectedFiles() {
    std::string selection;
    if (ChooseFile(*shell, this, pictureFilter, "", selection, OpenFiles, nullptr)) {
        return;
    }
    int32_t position = 0;
    std::string path;
    while (NextSelectedFile(position, selection.c_str(), path) == 0) {
        fileAbyss.AddPath(path.c_str());
    }
    CollectFiles();
}

void WMosaro_C::OnAddDirectory() {
    DisableControls();
    ShowingErrors(this, [this] { AddChosenDirectory(); });
    EnableControls();
}

void WMosaro_C::AddChosenDirectory() {
    std::string folder;
    if (ChooseDirectory(*shell, this, "Please select directory:", folder)) {
        return;
    }
    fileAbyss.AddPath(folder.c_str());
    CollectFiles();
}

void WMosaro_C::OnDropFiles(const QList<QUrl>& drop) {
    DisableControls();
    ShowingErrors(this, [&] { AddDroppedFiles(drop); });
    EnableControls();
}

void WMosaro_C::AddDroppedFiles(const QList<QUrl>& drop) {
    // Only a drop discards what an earlier failed collection left pending.
    fileAbyss.Clear();
    int32_t position = 0;
    std::string path;
    while (NextDroppedFile(position, drop, path) == 0) {
        fileAbyss.AddPath(path.c_str());
    }
    CollectFiles();
}

void WMosaro_C::OnClear() {
    fileList->RemoveAll();
    EnableControls();
}

void WMosaro_C::OnCompose() {
    DisableControls();
    ShowingErrors(this, [this] { ComposeListedPictures(); });
    // Each attempt starts from an empty group, whatever became of the last one.
    pictureGroup.Clear();
    EnableControls();
}

void WMosaro_C::ComposeListedPictures() {
    std::string output;
    if (ChooseFile(*shell, this, sheetFilter, "", output, SaveFile, "png")) {
        return;
    }
    std::vector<std::string> paths;
    char path[UFileListBox_C::PathCapacity];
    for (int32_t i = 0; i < fileList->GetCount(); ++i) {
        fileList->GetFilePath(i, path);
        paths.emplace_back(path);
    }
    // Every header first, so that a batch too large to compose is refused at once.
    pictureGroup.CheckBatchFiles(paths, composeMode);
    for (const std::string& picture : paths) {
        pictureGroup.AddPicture(picture.c_str());
    }
    pictureGroup.Compose(output.c_str(), 0, composeMode, autoCut != 0);
    pictureGroup.Clear();
    fileList->RemoveAll();
}

void WMosaro_C::OnVersion() {
    DisableControls();
    ShowMessage(ProductTitle, "Version");
    EnableControls();
}

void WMosaro_C::OnTerminate() {
    done(2);
}

void WMosaro_C::OnAutoCut() {
    autoCut = IsDlgButtonChecked(IDC_AUTO_CUT) == 1 ? 1 : 0;
}

void WMosaro_C::OnComposeMode() {
    if (IsDlgButtonChecked(IDC_HORIZONTAL) == 1) {
        composeMode = 0;
    } else if (IsDlgButtonChecked(IDC_VERTICAL) == 1) {
        composeMode = 1;
    } else {
        composeMode = 2;
    }
}

}  // namespace NS_Wnd
