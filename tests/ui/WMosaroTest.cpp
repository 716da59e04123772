#include "WMosaro_C.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QImage>
#include <QMimeData>
#include <QTemporaryDir>

#include <fstream>
#include <iterator>
#include <memory>

#include "ScriptedShell.h"
#include "UCustomization_C.h"
#include "UDialogTemplate_C.h"
#include "UFileListBox_C.h"

using Id = NS_Wnd::WMosaro_C::UControlId_E;

// A dialog over a settings store in a temporary program folder, with scripted choosers and
// message boxes, and pictures that the test makes itself.
class WMosaro : public testing::Test {
protected:
    // Starts a run: loads the settings, builds the dialog, queues `paths`, shows the window.
    void Open(const std::vector<std::string>& paths = {}) {
        store = std::make_unique<UCustomization_C::UScopedStore_C>(Program().c_str());
        UCustomization_C::LoadCustomization("Tavrin");
        dialog = std::make_unique<NS_Wnd::WMosaro_C>(&shell);
        dialog->QueueCommandLine(paths);
        dialog->show();
    }
    // Ends the run: the dialog stores the settings and the store writes its file.
    void Close() {
        dialog.reset();
        store.reset();
    }
    void TearDown() override { Close(); }

    // The program's folder, where the settings file lies.
    std::string Program() const { return folder.path().toStdString() + "/"; }
    std::string Path(const char* name) const { return folder.filePath(name).toStdString(); }
    std::string Picture(const char* name, int w, int h, uint32_t argb = 0xFF000000) const {
        QDir(folder.path()).mkpath(QFileInfo(folder.filePath(name)).path());
        QImage picture(w, h, QImage::Format_ARGB32);
        picture.fill(argb);
        EXPECT_TRUE(picture.save(folder.filePath(name), "PNG"));
        return Path(name);
    }
    std::string Settings() const {
        std::ifstream file(Path("Tavrin.uzn"), std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }
    QSize SheetSize() const { return QImage(folder.filePath("sheet.png")).size(); }

    QAbstractButton* Button(Id id) const {
        return static_cast<QAbstractButton*>(dialog->GetDlgItem(id));
    }
    void Click(Id id) { Button(id)->click(); }
    bool IsEnabled(Id id) const { return dialog->GetDlgItem(id)->isEnabled(); }
    bool IsChecked(Id id) const { return Button(id)->isChecked(); }
    NS_Wnd::UFileListBox_C& List() const {
        return *static_cast<NS_Wnd::UFileListBox_C*>(dialog->GetDlgItem(Id::IDC_FILE_LIST));
    }
    // The names the list shows, top to bottom.
    std::string Listed() const {
        std::string names;
        for (int i = 0; i < List().count(); ++i) {
            names += (i ? " " : "") + List().item(i)->text().toStdString();
        }
        return names;
    }

    QTemporaryDir folder;
    ScriptedShell shell;
    std::unique_ptr<UCustomization_C::UScopedStore_C> store;
    std::unique_ptr<NS_Wnd::WMosaro_C> dialog;
};

TEST_F(WMosaro, CaptionVersionEnableRulesAndTerminate) {
    Open();
    EXPECT_EQ(dialog->windowTitle(), "Tavrin v0.6.3");
    EXPECT_FALSE(IsEnabled(Id::IDC_CLEAR));
    EXPECT_FALSE(IsEnabled(Id::IDC_COMPOSE));
    for (Id id : {Id::IDC_FILE_LIST, Id::IDC_ADD_FILES, Id::IDC_ADD_DIRECTORY, Id::IDC_VERSION,
                  Id::IDC_TERMINATE, Id::IDC_AUTO_CUT}) {
        EXPECT_TRUE(IsEnabled(id)) << "control " << id << " with an empty list";
    }
    shell.files = {{QString::fromStdString(Picture("a.png", 2, 2))}};
    Click(Id::IDC_ADD_FILES);
    EXPECT_TRUE(IsEnabled(Id::IDC_CLEAR));
    EXPECT_TRUE(IsEnabled(Id::IDC_COMPOSE));
    Click(Id::IDC_CLEAR);
    EXPECT_EQ(List().GetCount(), 0);
    EXPECT_FALSE(IsEnabled(Id::IDC_CLEAR));
    EXPECT_FALSE(IsEnabled(Id::IDC_COMPOSE));
    Click(Id::IDC_VERSION);
    EXPECT_EQ(shell.messages, std::vector<QString>{"Version: Tavrin v0.6.3"});
    EXPECT_TRUE(IsEnabled(Id::IDC_VERSION));
    Click(Id::IDC_TERMINATE);
    EXPECT_EQ(dialog->result(), 2);
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(WMosaro, EachAddAppendsItsOwnSortedBatchOfPictures) {
    const std::string b = Picture("b.png", 1, 1), c = Picture("c.png", 1, 1);
    Open({c, b});
    EXPECT_EQ(Listed(), "b.png c.png") << "start-up paths";

    Picture("dir/a.png", 1, 1), Picture("dir/sub/B.PNG", 1, 1), Picture("dir/sub/d.gif", 1, 1);
    Picture("dir/e.jpeg", 1, 1);
    shell.directories = {folder.filePath("dir")};
    Click(Id::IDC_ADD_DIRECTORY);
    EXPECT_EQ(Listed(), "b.png c.png a.png B.PNG d.gif") << "a folder walked and sorted";
    EXPECT_EQ(shell.lastTitle, "Please select directory:");
    EXPECT_EQ(shell.lastStart, QDir::currentPath());

    shell.files = {{QString::fromStdString(c), QString::fromStdString(b)}};
    Click(Id::IDC_ADD_FILES);
    EXPECT_EQ(Listed(), "b.png c.png a.png B.PNG d.gif b.png c.png") << "chosen again";
    char path[NS_Wnd::UFileListBox_C::PathCapacity];
    List().GetFilePath(3, path);
    EXPECT_EQ(std::string(path), Path("dir/sub/B.PNG"));

    QMimeData data;
    data.setUrls({QUrl("https://x.org/x.png"), QUrl::fromLocalFile(folder.filePath("dir/sub"))});
    // Shift proposes a move.
    const Qt::DropActions actions = Qt::MoveAction | Qt::CopyAction;
    QDragEnterEvent enter(QPoint(9, 9), actions, &data, Qt::LeftButton, Qt::ShiftModifier);
    QCoreApplication::sendEvent(dialog.get(), &enter);
    EXPECT_TRUE(enter.isAccepted()) << "a drag holding a local path";
    QDropEvent drop(QPointF(9, 9), actions, &data, Qt::LeftButton, Qt::ShiftModifier);
    QCoreApplication::sendEvent(dialog.get(), &drop);
    EXPECT_EQ(drop.dropAction(), Qt::CopyAction) << "a move would let the source delete them";
    QCoreApplication::processEvents();
    EXPECT_EQ(Listed(), "b.png c.png a.png B.PNG d.gif b.png c.png B.PNG d.gif") << "dropped";
    EXPECT_TRUE(shell.messages.empty());
}

TEST_F(WMosaro, MissingStartUpPathIsShownAndWhatFollowsWaitsForTheNextAdd) {
    Open({Path("gone.png"), Picture("b.png", 1, 1)});
    EXPECT_EQ(shell.messages,
              std::vector<QString>{QString::fromStdString(
                  "UserError: Inaccurate file path or directory:\r\n" + Path("gone.png"))});
    EXPECT_EQ(List().GetCount(), 0);
    // Adding files collects the pending path together with the chosen one, in one batch.
    shell.files = {{QString::fromStdString(Picture("a.png", 1, 1))}};
    Click(Id::IDC_ADD_FILES);
    EXPECT_EQ(Listed(), "a.png b.png");
}

TEST_F(WMosaro, ComposeWritesTheSheetEmptiesTheListAndShowsNothing) {
    Open({Picture("a.png", 4, 3, 0xFF112233), Picture("b.png", 4, 3, 0x80445566)});
    shell.savePaths = {"", folder.filePath("sheet.png")};
    Click(Id::IDC_COMPOSE);
    EXPECT_EQ(List().GetCount(), 2) << "a cancelled save changes nothing";
    Click(Id::IDC_COMPOSE);
    EXPECT_EQ(shell.lastSuffix, "png");
    EXPECT_EQ(shell.lastFilter, "32-bits Image File(.png) (*.png)");
    EXPECT_TRUE(shell.messages.empty());
    EXPECT_EQ(List().GetCount(), 0);
    EXPECT_FALSE(IsEnabled(Id::IDC_COMPOSE));
    const QImage sheet(folder.filePath("sheet.png"));
    ASSERT_EQ(sheet.size(), QSize(4, 6)) << "one column by default";
    EXPECT_EQ(sheet.pixel(0, 0), 0xFF112233u);
    EXPECT_EQ(sheet.pixel(3, 5), 0x80445566u);
}

TEST_F(WMosaro, FailedComposeShowsTheErrorKeepsTheListAndLeavesNoPictureBehind) {
    std::ofstream(Path("b.png")) << "not a picture";
    Open({Picture("a.png", 4, 3), Path("b.png")});
    shell.savePaths = {folder.filePath("sheet.png"), folder.filePath("sheet.png")};
    Click(Id::IDC_COMPOSE);
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_TRUE(shell.messages[0].startsWith("UserError: ")) << shell.messages[0].toStdString();
    EXPECT_TRUE(shell.messages[0].endsWith(folder.filePath("b.png")));
    EXPECT_EQ(Listed(), "a.png b.png");
    EXPECT_TRUE(IsEnabled(Id::IDC_COMPOSE));
    EXPECT_FALSE(QFile::exists(folder.filePath("sheet.png")));

    Picture("b.png", 4, 3);
    Click(Id::IDC_COMPOSE);
    EXPECT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(SheetSize(), QSize(4, 6)) << "each listed picture placed once";
}

TEST_F(WMosaro, LayoutAndTrimMirrorTheSettingsAndOnlyChangesAreStored) {
    Open();
    EXPECT_TRUE(IsChecked(Id::IDC_VERTICAL)) << "the defaults without a settings file";
    EXPECT_FALSE(IsChecked(Id::IDC_AUTO_CUT));
    Click(Id::IDC_HORIZONTAL);
    EXPECT_FALSE(IsChecked(Id::IDC_VERTICAL));
    Close();
    EXPECT_EQ(Settings(),
              std::string("CUST\1\0\0\0\1\0\0\0ComposeMode\0\0\0\0\0\4\0\0\0\0\0\0\0", 36));

    Open();
    EXPECT_TRUE(IsChecked(Id::IDC_HORIZONTAL));
    Click(Id::IDC_AUTO_CUT);
    Click(Id::IDC_MULTI_ROW);
    Close();
    Open();
    EXPECT_TRUE(IsChecked(Id::IDC_MULTI_ROW));
    EXPECT_TRUE(IsChecked(Id::IDC_AUTO_CUT));
    Click(Id::IDC_AUTO_CUT);
    Click(Id::IDC_VERTICAL);
    Close();
    EXPECT_FALSE(QFile::exists(folder.filePath("Tavrin.uzn"))) << "all back at their defaults";
}

TEST_F(WMosaro, StoredLayoutOutsideTheButtonsSelectsNoneAndComposesAGrid) {
    for (const int32_t stored : {5, INT32_MAX}) {
        {
            UCustomization_C::UScopedStore_C settings(Program().c_str());
            UCustomization_C::LoadCustomization("Tavrin");
            UCustomization_C::SetDefaultValue("ComposeMode", 1);
            UCustomization_C::SetValue("ComposeMode", stored);
        }
        Open({Picture("a.png", 2, 2), Picture("b.png", 2, 2), Picture("c.png", 2, 2)});
        for (Id id : {Id::IDC_HORIZONTAL, Id::IDC_VERTICAL, Id::IDC_MULTI_ROW}) {
            EXPECT_FALSE(IsChecked(id)) << "radio button " << id << " for " << stored;
        }
        shell.savePaths = {folder.filePath("sheet.png")};
        Click(Id::IDC_COMPOSE);
        EXPECT_EQ(SheetSize(), QSize(4, 4)) << "three cells in a 2 x 2 grid for " << stored;
        Close();
    }
}

TEST_F(WMosaro, WindowFollowsItsTemplateInDialogUnits) {
    Open();
    const QSize base = NS_Wnd::UDialogTemplate_C::GetBaseUnits(dialog->font());
    auto pixels = [base](int x, int y, int w, int h) {
        return QRect(x * base.width() / 4, y * base.height() / 8, w * base.width() / 4,
                     h * base.height() / 8);
    };
    EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize()) << "fixed size";
    EXPECT_EQ(dialog->size(), pixels(0, 0, 205, 183).size());
    EXPECT_EQ(dialog->GetDlgItem(Id::IDC_COMPOSE)->geometry(), pixels(7, 106, 78, 30));
    EXPECT_EQ(Button(Id::IDC_MULTI_ROW)->text(), QString::fromUtf8("多行"));
    EXPECT_TRUE(dialog->windowFlags().testFlag(Qt::WindowStaysOnTopHint));

    std::vector<int> tabOrder;
    QWidget* widget = dialog->GetDlgItem(Id::IDC_ADD_FILES);
    do {
        for (int id = 1001; id <= 1012; ++id) {
            if (dialog->GetDlgItem(id) == widget && (widget->focusPolicy() & Qt::TabFocus)) {
                tabOrder.push_back(id);
            }
        }
        widget = widget->nextInFocusChain();
    } while (widget != dialog->GetDlgItem(Id::IDC_ADD_FILES) && tabOrder.size() < 20);
    EXPECT_EQ(tabOrder, (std::vector<int>{1009, 1010, 1011, 1007, 1002, 1012, 1001, 1008}));
}
