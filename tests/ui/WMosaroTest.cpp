#include "ui/WMosaro_C.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QImage>
#include <QListWidget>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <memory>
#include <new>
#include <thread>

#include "ScriptedShell.h"
#include "TestSupport.h"
#include "files/UCustomization_C.h"
#include "foundation/ProductVersion.h"
#include "ui/UDialogTemplate_C.h"
#include "ui/UFileListBox_C.h"

using Id = NS_Wnd::UDialogTemplate_C::UControlId_E;

// A dialog over a settings store in a temporary program folder, with scripted choosers and
// message boxes, and pictures that the test makes itself.
class WMosaro : public testing::Test {
protected:
    // Starts a run as the program does: loads the settings, builds the dialog, queues `paths`.
    void Open(const std::vector<std::string>& paths = {}) {
        store = std::make_unique<UCustomization_C::UScopedStore_C>(folder.root.c_str());
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

    std::string Path(const std::string& name) const { return folder.root + name; }
    QString QPath(const std::string& name) const { return QString::fromStdString(Path(name)); }
    std::string Picture(const std::string& name, int w, int h, uint32_t argb = 0xFF000000) const {
        QDir().mkpath(QFileInfo(QPath(name)).path());
        QImage picture(w, h, QImage::Format_ARGB32);
        picture.fill(argb);
        EXPECT_TRUE(picture.save(QPath(name), "PNG"));
        return Path(name);
    }
    void Click(Id id) { static_cast<QAbstractButton*>(dialog->GetDlgItem(id))->click(); }
    // The names the list shows, top to bottom.
    std::string Listed() const {
        const auto* list = static_cast<QListWidget*>(dialog->GetDlgItem(Id::IDC_FILE_LIST));
        std::string names;
        for (int i = 0; i < list->count(); ++i) {
            names += (i ? " " : "") + list->item(i)->text().toStdString();
        }
        return names;
    }
    // The ids of the controls for which `holds` is true, in id order.
    std::string Ids(bool (*holds)(QWidget*)) const {
        std::string ids;
        for (int id = Id::IDC_FILE_LIST; id <= Id::IDC_TERMINATE; ++id) {
            if (QWidget* control = dialog->GetDlgItem(id); control && holds(control)) {
                ids += (ids.empty() ? "" : " ") + std::to_string(id);
            }
        }
        return ids;
    }
    std::string Disabled() const {
        return Ids([](QWidget* c) { return !c->isEnabled(); });
    }
    std::string Checked() const {
        return Ids([](QWidget* c) { return c->property("checked").toBool(); });
    }
    // Runs `check` on the progress dialog once it is shown, while the command goes on.
    void WhenProgressShows(std::function<void(QProgressDialog*)> check, int waitedMs = 0) {
        QTimer::singleShot(20, dialog.get(), [this, check, waitedMs] {
            auto* progress = dialog->findChild<QProgressDialog*>();
            if (progress && progress->isVisible()) {
                check(progress);
            } else if (waitedMs < 10000) {
                WhenProgressShows(check, waitedMs + 20);
            }
        });
    }

    UTempDirectory folder;
    ScriptedShell shell;
    std::unique_ptr<UCustomization_C::UScopedStore_C> store;
    std::unique_ptr<NS_Wnd::WMosaro_C> dialog;  // goes before the store, as in Close()
};

// A missing start-up path is shown at once; the paths behind it wait for the next add, which
// collects them with its own as one sorted batch. Each later batch is appended below.
TEST_F(WMosaro, EachAddAppendsItsOwnSortedBatchOfPictures) {
    const std::string b = Picture("b.png", 1, 1), c = Picture("c.png", 1, 1);
    Open({Path("gone.png"), c, b});
    EXPECT_EQ(shell.messages, std::vector<QString>{"UserError: Inaccurate file path or "
                                                   "directory:\r\n" +
                                                   QPath("gone.png")});
    EXPECT_EQ(Listed(), "");

    Picture("dir/a.png", 1, 1), Picture("dir/sub/B.PNG", 1, 1), Picture("dir/sub/d.gif", 1, 1);
    Picture("dir/e.jpeg", 1, 1);
    shell.answers = {{QPath("dir")}};
    Click(Id::IDC_ADD_DIRECTORY);
    EXPECT_EQ(Listed(), "b.png c.png a.png B.PNG d.gif") << "a folder walked and sorted";
    EXPECT_EQ(shell.asked, "Please select directory:|" + QDir::currentPath());

    shell.answers = {{QString::fromStdString(c), QString::fromStdString(b)}};
    Click(Id::IDC_ADD_FILES);
    EXPECT_EQ(Listed(), "b.png c.png a.png B.PNG d.gif b.png c.png") << "chosen again";

    QMimeData data;
    data.setUrls({QUrl("https://x.org/x.png"), QUrl::fromLocalFile(QPath("dir/sub"))});
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
    EXPECT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(Disabled(), "") << "with a filled list";
    Click(Id::IDC_CLEAR);
    EXPECT_EQ(Listed(), "");
    EXPECT_EQ(Disabled(), "1007 1011") << "compose and clear, after clear";
}

// A folder that cannot be listed is shown as an error, not listed short in silence.
TEST_F(WMosaro, AFolderThatCannotBeListedIsReported) {
    Picture("dir/a.png", 1, 1), Picture("dir/locked/b.png", 1, 1);
    OpenTo(folder.root, false);
    OpenTo(Path("dir"), false);
    std::filesystem::permissions(Path("dir/locked"), std::filesystem::perms::none);
    Open();
    shell.answers = {{QPath("dir")}};
    {
        const UUnprivileged nobody;
        Click(Id::IDC_ADD_DIRECTORY);
    }
    std::filesystem::permissions(Path("dir/locked"), std::filesystem::perms::owner_all);
    EXPECT_EQ(shell.messages, std::vector<QString>{"UserError: Fail to list directory:\r\n" +
                                                   QPath("dir/locked") + " : Permission denied"});
}

// A cancelled save changes nothing; a failed compose, a bad picture or memory running out,
// shows its error box and keeps the list; the next one places each listed picture once, shows
// nothing and empties the list.
TEST_F(WMosaro, ComposeWritesTheSheetOnlyWhenEveryPictureLoads) {
    WriteFile(Path("b.png"), {'n', 'o'});
    Open({Path("b.png"), Picture("a.png", 4, 3, 0xFF112233)});
    EXPECT_EQ(Listed(), "a.png b.png") << "start-up paths";
    shell.answers = {{}, {QPath("sheet.png")}, {QPath("sheet.png")}, {QPath("sheet.png")}};
    Click(Id::IDC_COMPOSE);
    Click(Id::IDC_COMPOSE);
    Picture("b.png", 4, 3, 0x80445566);
    dialog->SetProgressObserver([](std::size_t, std::size_t) -> bool { throw std::bad_alloc(); });
    Click(Id::IDC_COMPOSE);
    dialog->SetProgressObserver({});
    EXPECT_EQ(shell.asked,
              "32-bits Image File(.png) (*.png);;Lossless WebP Image File(.webp) (*.webp)||png");
    EXPECT_EQ(shell.messages,
              (std::vector<QString>{"UserError: Fail to read image file:\r\n" + QPath("b.png"),
                                    "SystemError: Code: 1\r\nInfo: Not enough memory.\r\n"
                                    "Position: WMosaro_C"}));
    EXPECT_EQ(Listed(), "a.png b.png");
    EXPECT_EQ(Disabled(), "");
    EXPECT_FALSE(Exists(Path("sheet.png")));

    Click(Id::IDC_COMPOSE);
    EXPECT_EQ(shell.messages.size(), 2u);
    EXPECT_EQ(Disabled(), "1007 1011") << "compose and clear, with the list emptied";
    const QImage sheet(QPath("sheet.png"));
    ASSERT_EQ(sheet.size(), QSize(4, 6)) << "one column by default, each picture once";
    EXPECT_EQ(sheet.pixel(0, 0), 0xFF112233u);
    EXPECT_EQ(sheet.pixel(3, 5), 0x80445566u);
}

// Radio buttons 1004-1006 (horizontal, vertical, grid) and check box 1008 (trim).
TEST_F(WMosaro, LayoutAndTrimMirrorTheSettingsAndOnlyChangesAreStored) {
    Open();
    EXPECT_EQ(Checked(), "1005") << "the defaults without a settings file";
    Click(Id::IDC_AUTO_CUT);
    Click(Id::IDC_MULTI_ROW);
    Close();
    Open();
    EXPECT_EQ(Checked(), "1006 1008");
    Click(Id::IDC_AUTO_CUT);
    Click(Id::IDC_VERTICAL);
    Close();
    EXPECT_FALSE(Exists(Path("Tavrin.uzn"))) << "all back at their defaults";
}

// A stored layout that no button shows selects none; a listed picture that the sheet replaces is
// not one of its pictures.
TEST_F(WMosaro, StoredLayoutOutsideTheButtonsComposesAGridWithoutTheSheetItReplaces) {
    {
        UCustomization_C::UScopedStore_C settings(folder.root.c_str());
        UCustomization_C::LoadCustomization("Tavrin");
        UCustomization_C::SetDefaultValue("ComposeMode", 1);
        UCustomization_C::SetValue("ComposeMode", 5);
    }
    Open({Picture("a.png", 2, 2), Picture("sheet.png", 6, 6), Picture("b.png", 2, 2),
          Picture("c.png", 2, 2)});
    EXPECT_EQ(Checked(), "");
    shell.answers = {{QPath("sheet.png")}};
    Click(Id::IDC_COMPOSE);
    EXPECT_EQ(QImage(QPath("sheet.png")).width(), 4) << "a 2 x 2 grid of 2 x 2 cells, not 6 x 6";
}

// Every text fits its control and every control lies inside the fixed-size window.
TEST_F(WMosaro, WindowFollowsItsTemplateWithoutClippedTexts) {
    Open();
    EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8(ProductTitle));
    EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize()) << "fixed size";
    for (int id = Id::IDC_FILE_LIST; id <= Id::IDC_TERMINATE; ++id) {
        if (const QWidget* control = dialog->GetDlgItem(id)) {
            EXPECT_TRUE(dialog->rect().contains(control->geometry())) << id << " outside";
            if (qobject_cast<const QAbstractButton*>(control)) {
                EXPECT_LE(control->sizeHint().width(), control->width()) << id << " clipped";
            }
        }
    }
    EXPECT_EQ(Disabled(), "1007 1011") << "compose and clear, with an empty list";
    Click(Id::IDC_VERSION);
    EXPECT_EQ(shell.messages, std::vector<QString>{"Version: " + QString::fromUtf8(ProductTitle)});
}

// A command that runs long shows its progress while the window goes on; Cancel stops it with
// the list as it was and no sheet written over the existing file.
TEST_F(WMosaro, ALongComposeShowsProgressAndCancelLeavesListAndFileAlone) {
    Open({Picture("a.png", 2, 2), Picture("b.png", 2, 2)});
    WriteFile(Path("sheet.png"), {'o', 'l', 'd'});
    std::atomic<bool> released = false;
    dialog->SetProgressObserver([&](std::size_t, std::size_t) {
        for (int i = 0; i < 1000 && !released; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return true;
    });
    QString label, disabled;
    WhenProgressShows([&](QProgressDialog* progress) {
        label = progress->labelText();
        disabled = QString::fromStdString(Disabled());
        progress->findChild<QPushButton*>()->click();
        released = true;
    });
    shell.answers = {{QPath("sheet.png")}};
    Click(Id::IDC_COMPOSE);
    EXPECT_EQ(label, "Loading pictures: 1 of 2");
    EXPECT_EQ(disabled, "1001 1002 1007 1008 1009 1010 1011 1012") << "all but the layouts";
    EXPECT_EQ(ReadFile(Path("sheet.png")), (Bytes{'o', 'l', 'd'}));
    EXPECT_EQ(Listed(), "a.png b.png");
    EXPECT_EQ(shell.messages, std::vector<QString>{}) << "a cancel is not a failure";
    EXPECT_EQ(Disabled(), "");

    // A folder walk cancelled at its first file lists nothing and leaves nothing pending.
    Picture("dir/c.png", 1, 1);
    dialog->SetProgressObserver([](std::size_t, std::size_t) { return false; });
    shell.answers = {{QPath("dir")}};
    Click(Id::IDC_ADD_DIRECTORY);
    dialog->SetProgressObserver({});
    shell.answers = {{QPath("a.png")}};
    Click(Id::IDC_ADD_FILES);
    EXPECT_EQ(Listed(), "a.png b.png a.png");
    EXPECT_TRUE(shell.asked.startsWith("Image File(*.bmp,*.png,*.jpg,*.gif) "))
        << shell.asked.toStdString();
}

// A program run from its build folder finds no theme icon; the one built into the window's
// library stands in, so it must reach every program that links the library.
TEST(WindowIcon, TheFallbackIconIsBuiltIntoTheWindowLibrary) {
    EXPECT_EQ(QImage(":/tavrin/icon.png").size(), QSize(256, 256)) << "missing or not 256 px";
}

TEST(UFileListBox, RefusesAPathLongerThanItsRecordAndKeepsTheOthers) {
    NS_Wnd::UFileListBox_C list;
    const std::string fits = "/" + std::string(4090, 'f') + ".png";  // 4095 bytes
    list.AddFilePath(fits.c_str());
    EXPECT_EQ(CodeOf([&] { list.AddFilePath((fits + "x").c_str()); }), 1) << "a 4096-byte path";
    ASSERT_EQ(list.GetCount(), 1);
    EXPECT_EQ(list.GetFilePath(0), fits);
}
