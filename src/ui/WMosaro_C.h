#pragma once

#include <QDialog>
#include <QList>
#include <QUrl>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "composition/PictureGroup_C.h"
#include "files/UFileAbyss_C.h"

class QButtonGroup;

namespace NS_Wnd {

class UFileListBox_C;
class UShell_C;

// The program's one window: a fixed-size dialog in which the user collects picture files,
// picks the layout and the trim option, and composes the sheet. It is the one place where
// error records are caught and shown.
class WMosaro_C : public QDialog {
public:
    // The template's control ids; the dialog's logic addresses its controls by these.
    enum UControlId_E : int32_t {
        IDC_FILE_LIST = 1001,
        IDC_VERSION = 1002,
        IDC_HORIZONTAL = 1004,
        IDC_VERTICAL = 1005,
        IDC_MULTI_ROW = 1006,
        IDC_COMPOSE = 1007,
        IDC_AUTO_CUT = 1008,
        IDC_ADD_FILES = 1009,
        IDC_ADD_DIRECTORY = 1010,
        IDC_CLEAR = 1011,
        IDC_TERMINATE = 1012,
    };

    // Registers the defaults of both settings and reads them: the settings file must have been
    // loaded before. `shell` answers the choosers and message boxes and must outlive the
    // dialog; null means Qt's own.
    explicit WMosaro_C(UShell_C* shell = nullptr);
    // Stores both settings.
    ~WMosaro_C() override;

    // Queues `paths` (one per command-line argument), runs the dialog modally and returns its
    // end result.
    int Run(const std::vector<std::string>& paths);
    // Queues paths without testing them; they are collected when the window is first shown.
    void QueueCommandLine(const std::vector<std::string>& paths);

    // The control with template id `id`, or null.
    QWidget* GetDlgItem(int32_t id) const;

protected:
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
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

    void InitControls();
    void CollectFiles();
    void AddSelectedFiles();
    void AddChosenDirectory();
    void AddDroppedFiles(const QList<QUrl>& drop);
    void ComposeListedPictures();
    void SetCaption();
    void DisableControls();
    void EnableControls();
    void ReadSettings();

    // The window operations that the logic is written against.
    void EnableControl(int32_t id, bool enable);
    int32_t IsDlgButtonChecked(int32_t id) const;
    void CheckRadioButton(int32_t firstId, int32_t lastId, int32_t checkedId);
    void CheckDlgButton(int32_t id, int32_t state);
    void ShowMessage(const char* text, const char* caption);

    void CreateControls();
    void ConnectControls();
    QWidget* CreateControl(int32_t id, int32_t kind, const char* text);
    // Shows an error record's notice in a box owned by the dialog `owner`.
    static void ShowNotice(void* owner, const char* caption, const char* text);

    std::unique_ptr<UShell_C> ownShell;
    UShell_C* shell;
    NS_Data::PictureGroup_C pictureGroup;
    UFileAbyss_C fileAbyss;
    UFileListBox_C* fileList = nullptr;
    int32_t composeMode = 1;
    int32_t autoCut = 0;
    std::map<int32_t, QWidget*> controls;
    QButtonGroup* layoutButtons = nullptr;
    bool initialised = false;
};

}  // namespace NS_Wnd
