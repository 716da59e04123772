#pragma once

#include <QCoreApplication>
#include <QDialog>
#include <QList>
#include <QSize>
#include <QUrl>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "composition/UComposeOptions_S.h"
#include "composition/UProgress_F.h"
#include "files/UFileAbyss_C.h"
#include "ui/UBackgroundWork_C.h"
#include "ui/UDialogTemplate_C.h"
#include "ui/UListedPictures_C.h"
#include "ui/UProjectFiles_S.h"

class QAbstractButton;
class QBoxLayout;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace NS_Wnd {

class UFileListBox_C;
class UPreview_C;
class UShell_C;
class WOptionsPanel_C;

// The program's one window: the dialog in which the user collects picture files, picks the
// layout and the trim option, and composes the sheet, with the panel of further sheet options
// beside it. It is the one place where failures are caught and shown.
class WMosaro_C : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(WMosaro_C)

public:
    using UControlId_E = UDialogTemplate_C::UControlId_E;

    // The size the window opens at, in the template's units: the template, the options panel
    // and its margins. Only captions that need more room make it larger; scripts that click the
    // template's controls (scripts/click-window.sh) count on it.
    static constexpr QSize WindowUnits{640, 260};

    // Registers the defaults of the settings and reads them: the settings file must have been
    // loaded before. `shell` answers the choosers and message boxes and must outlive the
    // dialog; null means Qt's own.
    explicit WMosaro_C(UShell_C* shell = nullptr);
    // Stores the settings.
    ~WMosaro_C() override;

    // Queues `paths` (one per command-line argument), runs the dialog modally and returns its
    // end result.
    int Run(const std::vector<std::string>& paths);
    // Queues paths without testing them; they are collected when the window is first shown.
    void QueueCommandLine(const std::vector<std::string>& paths);

    // Lets the window open and save project files through `files`; without them it offers none.
    void SetProjectFiles(UProjectFiles_S files);

    // The control with template id `id`, or null.
    QWidget* GetDlgItem(int32_t id) const;
    UPreview_C* GetPreview() const { return ui.preview; }
    // Also told of every step of a long command, on its worker thread; returning false cancels
    // the command as its Cancel button does.
    void SetProgressObserver(UProgress_F observer) { work.SetObserver(std::move(observer)); }

    // While a command runs, closing the window cancels the command instead.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The template's controls, created in CreateControls.
    struct UControls_S {
        UFileListBox_C* fileList = nullptr;
        QPushButton* addFiles = nullptr;
        QPushButton* addDirectory = nullptr;
        QPushButton* clear = nullptr;
        QPushButton* compose = nullptr;
        QPushButton* version = nullptr;
        QPushButton* terminate = nullptr;
        QRadioButton* horizontal = nullptr;
        QRadioButton* vertical = nullptr;
        QRadioButton* multiRow = nullptr;
        QCheckBox* autoCut = nullptr;
        QLabel* dropHint = nullptr;
        QButtonGroup* layouts = nullptr;  // the radio buttons, by layout value, and packed
        QWidget* templateArea = nullptr;  // the fixed-size parent of the controls above
        WOptionsPanel_C* options = nullptr;
        UPreview_C* preview = nullptr;  // on the right, growing with the window
        QPushButton* openProject = nullptr;
        QPushButton* saveProject = nullptr;
    };

    // The project file last opened or saved, and the sheet of it that the window shows.
    struct UProject_S {
        std::string path;
        UProjectSheet_S sheet;
        // The list's pictures as the sheet's inputs listed them: while the list holds these,
        // the inputs are saved as written (folders, patterns).
        std::vector<std::string> listed;
    };

    void OnInitDialog();
    void OnDropFiles(const QList<QUrl>& drop);
    void OnAddFiles();
    void OnAddDirectory();
    void OnClear();
    void OnCompose();
    void OnVersion();
    void OnTerminate();
    void OnAutoCut();
    void OnComposeMode();
    void OnTrimEach();
    void OnOptionsChanged();
    void OnOpenProject();
    void OnSaveProject();
    // Shows the listed pictures as the options would compose them, decoding what is new.
    void RefreshPreview();

    void InitControls();
    void CollectFiles();
    void AddSelectedFiles();
    void AddChosenDirectory();
    void AddDroppedFiles(const QList<QUrl>& drop);
    void ComposeListedPictures();
    void OpenChosenProject();
    void SaveChosenProject();
    // Sets the layout, trim, options and list to those of `sheet`.
    void ShowSheet(const UProjectSheet_S& sheet);
    // The sheet the window would compose now, with its files.
    UProjectSheet_S MakeSheet(const std::string& projectPath) const;
    std::vector<std::string> GetListedPaths() const;
    void ShowLayoutAndTrim();
    void ShowProblem(const std::string& problem);
    void SetCaption();
    void DisableControls();
    void EnableControls();
    void ReadSettings();
    // What the controls ask for, conflicts included; the sheet's path is left empty.
    NS_Data::UComposeOptions_S MakeWantedOptions() const;

    // One command: controls disabled while `command` runs, any failure shown, then the controls
    // enabled again.
    void RunCommand(const std::function<void()>& command);
    // Runs `step` and shows whatever it throws as an error record's box owned by the dialog;
    // running out of memory is reported like any other failure.
    void ReportFailures(const std::function<void()>& step);

    void CreateControls();
    void CreateTemplateControls();
    QWidget* CreateControl(const UDialogTemplate_C::UControl_S& control);
    void ConnectControls();
    void ShowMessage(const char* text, const char* caption);
    // Shows an error record's notice in a box owned by the dialog `owner`.
    static void ShowNotice(void* owner, const char* caption, const char* text);
    NS_Base::UError_C MakeError(int32_t code, const char* extra = nullptr) const;

    std::unique_ptr<UShell_C> ownShell;
    UShell_C* shell;
    UFileAbyss_C fileAbyss;
    UControls_S ui;
    UBackgroundWork_C work{this};
    UListedPictures_C listed;
    // The pictures the preview last showed, which a compose takes rather than decoding them.
    std::shared_ptr<const UListedPictures_C::UDecoded_S> previewed;
    int32_t composeMode = 1;
    int32_t autoCut = 0;
    // The packed layout, which ComposeMode cannot hold, and the trim of each picture, which
    // AutoCut cannot; each overrides the older setting while set.
    int32_t packedLayout = 0;
    int32_t trimEach = 0;
    bool initialised = false;
    UProjectFiles_S projectFiles;
    std::optional<UProject_S> project;
    // The last compose's sheet, which a save after it names: the compose empties the list.
    std::optional<UProjectSheet_S> composed;
};

}  // namespace NS_Wnd
