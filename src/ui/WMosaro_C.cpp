#include "ui/WMosaro_C.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <exception>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "composition/CollectFiles.h"
#include "composition/NaturalOrder.h"
#include "composition/UComposeJob_C.h"
#include "composition/UOptionConflict_S.h"
#include "files/PathUtilities.h"
#include "files/UCustomization_C.h"
#include "foundation/ProductVersion.h"
#include "imaging/PictureFiles.h"
#include "ui/ShellChoosers.h"
#include "ui/UFileListBox_C.h"
#include "ui/UPreview_C.h"
#include "ui/UQtShell_C.h"
#include "ui/WOptionsPanel_C.h"

namespace NS_Wnd {
namespace {

// "Image File(*.bmp,*.png,*.jpg,*.gif)", then its patterns "*.bmp;*.png;*.jpg;*.gif;", each
// ended by a zero: the chooser's entry of the picture files the folder walk takes too.
std::string MakePictureFilter() {
    std::string caption;
    std::string patterns;
    for (const char* extension : PictureExtensions) {
        caption += std::string(caption.empty() ? "" : ",") + "*." + extension;
        patterns += std::string("*.") + extension + ";";
    }
    return "Image File(" + caption + ")" + std::string(1, '\0') + patterns + std::string(1, '\0');
}
constexpr char sheetFilter[] =
    "32-bits Image File(.png)\0*.png\0Lossless WebP Image File(.webp)\0*.webp\0";

// A stored value of a type that does not read as an integer can only come from a damaged
// file; its default stands in, and the exit-time save replaces it.
int32_t ReadSetting(const char* key, int32_t fallback) {
    try {
        return UCustomization_C::GetValue(key);
    } catch (const NS_Base::UError_C&) {
        return fallback;
    }
}

QString DescribeListing(std::size_t found, std::size_t) {
    return QStringLiteral("Listing files: %1 found").arg(found);
}

QString DescribeComposing(std::size_t loaded, std::size_t total) {
    if (total > 0 && loaded == total) {
        return QStringLiteral("Writing the sheet...");
    }
    return QStringLiteral("Loading pictures: %1 of %2").arg(loaded).arg(total);
}

}  // namespace

WMosaro_C::WMosaro_C(UShell_C* newShell)
    : ownShell(newShell ? nullptr : new UQtShell_C), shell(newShell ? newShell : ownShell.get()) {
    NS_Base::UError_C::SetNotice(&WMosaro_C::ShowNotice);
    CreateControls();
    ConnectControls();
    UCustomization_C::SetDefaultValue("ComposeMode", 1);
    UCustomization_C::SetDefaultValue("AutoCut", 0);
    UCustomization_C::SetDefaultValue("PackedLayout", 0);
    UCustomization_C::SetDefaultValue("TrimEach", 0);
    ReadSettings();
    OnOptionsChanged();
}

WMosaro_C::~WMosaro_C() {
    UCustomization_C::SetValue("ComposeMode", composeMode);
    UCustomization_C::SetValue("AutoCut", autoCut);
    UCustomization_C::SetValue("PackedLayout", packedLayout);
    UCustomization_C::SetValue("TrimEach", trimEach);
    ui.options->WriteSettings();
    NS_Base::UError_C::SetNotice(nullptr);
}

void WMosaro_C::ReadSettings() {
    composeMode = ReadSetting("ComposeMode", 1);
    autoCut = ReadSetting("AutoCut", 0);
    packedLayout = ReadSetting("PackedLayout", 0) != 0 ? 1 : 0;
    trimEach = ReadSetting("TrimEach", 0) != 0 ? 1 : 0;
    ui.options->ReadSettings();
}

NS_Data::UComposeOptions_S WMosaro_C::MakeWantedOptions() const {
    NS_Data::UComposeOptions_S options;
    options.layout = packedLayout != 0 ? NS_Data::ULayout_E::Packed
                                       : NS_Data::LayoutFromComposeMode(composeMode);
    options.trim = trimEach != 0  ? NS_Data::UTrim_E::Each
                   : autoCut != 0 ? NS_Data::UTrim_E::Common
                                  : NS_Data::UTrim_E::None;
    ui.options->Apply(options);
    // What an opened project's sheet asks for beyond the panel (a fixed number of columns,
    // scaled variants) stays as the project has it, so that Compose writes what it builds.
    if (project) {
        options.sheet.columns = project->sheet.options.sheet.columns;
        options.variants = project->sheet.options.variants;
    }
    return options;
}

int WMosaro_C::Run(const std::vector<std::string>& paths) {
    QueueCommandLine(paths);
    return exec();
}

void WMosaro_C::QueueCommandLine(const std::vector<std::string>& paths) {
    // A path that no record can hold is reported at once; the others are tested when the
    // window opens.
    for (const std::string& path : paths) {
        ReportFailures([&] { fileAbyss.AddPath(path.c_str()); });
    }
}

void WMosaro_C::RunCommand(const std::function<void()>& command) {
    DisableControls();
    ReportFailures(command);
    EnableControls();
}

void WMosaro_C::ReportFailures(const std::function<void()>& step) {
    try {
        step();
    } catch (const NS_Base::UError_C& error) {
        error.Show(this);
    } catch (const std::bad_alloc&) {
        MakeError(1).Show(this);
    } catch (const std::exception& failure) {
        MakeError(2, failure.what()).Show(this);
    } catch (...) {
        MakeError(2).Show(this);
    }
}

void WMosaro_C::OnInitDialog() {
    InitControls();
    SetCaption();
    EnableControls();
}

void WMosaro_C::InitControls() {
    ReportFailures([this] { CollectFiles(); });
    ShowLayoutAndTrim();
}

void WMosaro_C::ShowLayoutAndTrim() {
    // A stored layout outside the three buttons selects none of them, unless packed is set.
    QAbstractButton* const packed = ui.options->GetPackedButton();
    ui.layouts->setExclusive(false);
    for (QAbstractButton* button : ui.layouts->buttons()) {
        button->setChecked(button == packed
                               ? packedLayout != 0
                               : packedLayout == 0 && ui.layouts->id(button) == composeMode);
    }
    ui.layouts->setExclusive(true);
    ui.autoCut->setChecked(autoCut != 0 && trimEach == 0);
    ui.options->GetTrimEachBox()->setChecked(trimEach != 0);
}

// Each call appends its own batch, sorted by full path, below the entries already listed. The
// folders are walked off the window's thread; a cancelled walk lists nothing and drops what
// it had not reached yet.
void WMosaro_C::CollectFiles() {
    std::vector<std::string> batch;
    bool complete = false;
    work.Run(DescribeListing, [&](const UProgress_F& progress) {
        const auto keep = [&batch](const char* path) { batch.emplace_back(path); };
        complete = ::CollectFiles(fileAbyss, keep, progress);
    });
    if (!complete) {
        fileAbyss.Clear();
        return;
    }
    if (ui.options->IsNaturalOrder()) {
        std::stable_sort(batch.begin(), batch.end(), IsNaturallyBefore);
    }
    for (const std::string& path : batch) {
        ui.fileList->AddFilePath(path.c_str());
    }
}

void WMosaro_C::SetCaption() {
    setWindowTitle(QString::fromUtf8(ProductTitle));
}

void WMosaro_C::DisableControls() {
    for (QWidget* control : std::initializer_list<QWidget*>{
             ui.fileList, ui.addFiles, ui.addDirectory, ui.clear, ui.compose, ui.version,
             ui.terminate, ui.autoCut, ui.openProject, ui.saveProject}) {
        control->setEnabled(false);
    }
}

void WMosaro_C::EnableControls() {
    const bool any = ui.fileList->GetCount() > 0;
    for (QWidget* control : std::initializer_list<QWidget*>{
             ui.fileList, ui.addFiles, ui.addDirectory, ui.version, ui.terminate, ui.autoCut,
             ui.openProject, ui.saveProject}) {
        control->setEnabled(true);
    }
    ui.clear->setEnabled(any);
    ui.compose->setEnabled(any);
    RefreshPreview();
}

void WMosaro_C::OnAddFiles() {
    RunCommand([this] { AddSelectedFiles(); });
}

void WMosaro_C::AddSelectedFiles() {
    static const std::string pictureFilter = MakePictureFilter();
    const std::vector<std::string> files =
        ChooseFile(*shell, this, pictureFilter.c_str(), "", OpenFiles, nullptr);
    if (files.empty()) {
        return;
    }
    for (const std::string& path : files) {
        fileAbyss.AddPath(path.c_str());
    }
    CollectFiles();
}

void WMosaro_C::OnAddDirectory() {
    RunCommand([this] { AddChosenDirectory(); });
}

void WMosaro_C::AddChosenDirectory() {
    const std::string folder = ChooseDirectory(*shell, this, "Please select directory:");
    if (folder.empty()) {
        return;
    }
    fileAbyss.AddPath(folder.c_str());
    CollectFiles();
}

void WMosaro_C::OnDropFiles(const QList<QUrl>& drop) {
    RunCommand([&] { AddDroppedFiles(drop); });
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
    ui.fileList->RemoveAll();
    EnableControls();
}

void WMosaro_C::OnCompose() {
    RunCommand([this] { ComposeListedPictures(); });
}

// The pictures load and the sheet is written off the window's thread. A cancelled compose
// writes nothing and keeps the list.
void WMosaro_C::ComposeListedPictures() {
    // An opened project's sheet is offered where the project writes it, with its data file.
    const UProjectSheet_S* const opened = project ? &project->sheet : nullptr;
    const std::vector<std::string> output = ChooseFile(
        *shell, this, sheetFilter, opened ? opened->output.c_str() : "", SaveFile, "png");
    if (output.empty()) {
        return;
    }
    NS_Data::UComposeOptions_S options = NS_Data::WithoutConflicts(MakeWantedOptions());
    options.output = output.front();
    if (ui.options->WritesDataFile()) {
        const bool projectData =
            opened && !opened->data.empty() && opened->output == options.output;
        options.data.path =
            projectData ? opened->data : MakeDataPath(options.output, options.data.form);
    }
    NS_Data::UComposeJob_C job(options);
    // The list is composed in its own order; a listed picture that the sheet is about to
    // replace, which the chooser asked the user about, is left out.
    const std::vector<std::string> inList = GetListedPaths();
    std::vector<UBatchEntry_S> batch;
    batch.reserve(inList.size());
    for (const std::string& path : inList) {
        batch.push_back({path, GetFileName(path.c_str())});
    }
    job.LeaveOutTargets(batch, NS_Data::UComposeJob_C::AnyFile);
    // The sheet's record names the folders the project's inputs walk, as the command line's
    // build of the project does, so that either build finds the other's files up to date.
    if (project && inList == project->listed) {
        std::vector<std::string> folders;
        CollectBatch(project->sheet.pictures, project->sheet.naturalOrder, nullptr, &folders);
        job.SetFolders(std::move(folders));
    }
    NS_Data::UPictureCache_C decoded;
    job.SetPictureCache(&decoded);
    bool wrote = false;
    work.Run(DescribeComposing, [&](const UProgress_F& progress) {
        if (previewed) {
            std::vector<std::string> paths;
            paths.reserve(batch.size());
            for (const UBatchEntry_S& entry : batch) {
                paths.push_back(entry.path);
            }
            UListedPictures_C::Lend(*previewed, paths, decoded);
        }
        wrote = job.Run(batch, progress);
    });
    if (wrote) {
        composed = UProjectSheet_S{options.output, options.data.path, inList, options,
                                   ui.options->IsNaturalOrder()};
        ui.fileList->RemoveAll();
    }
}

void WMosaro_C::OnVersion() {
    RunCommand([this] { ShowMessage(ProductTitle, "Version"); });
}

void WMosaro_C::OnTerminate() {
    done(2);
}

// The common trim and the trim of each picture exclude each other.
void WMosaro_C::OnAutoCut() {
    autoCut = ui.autoCut->isChecked() ? 1 : 0;
    if (autoCut != 0) {
        trimEach = 0;
        ui.options->GetTrimEachBox()->setChecked(false);
    }
    OnOptionsChanged();
}

void WMosaro_C::OnTrimEach() {
    trimEach = ui.options->GetTrimEachBox()->isChecked() ? 1 : 0;
    if (trimEach != 0) {
        autoCut = 0;
        ui.autoCut->setChecked(false);
    }
    OnOptionsChanged();
}

// Packed keeps ComposeMode as it was, so that a version without it opens with the last of the
// three layouts it knows.
void WMosaro_C::OnComposeMode() {
    packedLayout = ui.layouts->checkedButton() == ui.options->GetPackedButton() ? 1 : 0;
    if (packedLayout == 0) {
        composeMode =
            NS_Data::ComposeModeFromLayout(NS_Data::LayoutFromComposeMode(ui.layouts->checkedId()));
    }
    OnOptionsChanged();
}

void WMosaro_C::OnOptionsChanged() {
    ui.options->ShowConflicts(MakeWantedOptions());
    RefreshPreview();
}

void WMosaro_C::RefreshPreview() {
    const std::vector<std::string> paths = GetListedPaths();
    std::vector<std::string> names;
    names.reserve(paths.size());
    for (const std::string& path : paths) {
        names.emplace_back(GetFileName(path.c_str()));
    }
    if (paths.empty()) {
        ui.preview->Show(nullptr);
        return;
    }
    NS_Data::UComposeOptions_S options = NS_Data::WithoutConflicts(MakeWantedOptions());
    options.output = "sheet.png";
    if (listed.IsDecoding() || !ui.preview->IsShowing()) {
        ui.preview->Show(nullptr, tr("Decoding %n picture(s)…", "", int(paths.size())));
    }
    listed.Request(this, paths, options.allGifFrames,
                   [this, names, options](auto decoded, const QString& failure) {
                       previewed = decoded;
                       if (!decoded) {
                           ui.preview->Show(nullptr, failure);
                           return;
                       }
                       auto input = UListedPictures_C::MakeInput(decoded, names);
                       input->options = options;
                       ui.preview->Show(input);
                   });
}

void WMosaro_C::done(int result) {
    if (work.IsRunning()) {
        work.Cancel();
        return;
    }
    QDialog::done(result);
}

NS_Base::UError_C WMosaro_C::MakeError(int32_t code, const char* extra) const {
    static constexpr NS_Base::UMessage_S table[] = {
        {1, "Not enough memory."},
        {2, "Command failed unexpectedly."},
        {0, nullptr},
    };
    return NS_Base::UError_C(code, NS_Base::SystemError, "WMosaro_C", table, extra);
}

}  // namespace NS_Wnd
