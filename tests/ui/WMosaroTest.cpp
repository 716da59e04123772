#include "ui/WMosaro_C.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPainter>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QTabBar>
#include <QTimer>
#include <QTranslator>

#include <atomic>
#include <chrono>
#include <fstream>
#include <memory>
#include <new>
#include <thread>

#include "ScriptedShell.h"
#include "TestSupport.h"
#include "app/WindowProjects.h"
#include "files/UCustomization_C.h"
#include "foundation/ProductVersion.h"
#include "ui/UDialogTemplate_C.h"
#include "ui/UFileListBox_C.h"
#include "ui/UPreview_C.h"
#include "ui/WOptionsPanel_C.h"

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
    // A picture of `w` x `h` of `argb`, or, given `inner`, of a box of it in transparent margins.
    std::string Picture(const std::string& name, int w, int h, uint32_t argb = 0xFF000000,
                        QRect inner = {}) const {
        QDir().mkpath(QFileInfo(QPath(name)).path());
        QImage picture(w, h, QImage::Format_ARGB32);
        picture.fill(inner.isNull() ? QColor::fromRgba(argb) : QColor(Qt::transparent));
        QPainter(&picture).fillRect(inner, QColor::fromRgba(argb));
        EXPECT_TRUE(picture.save(QPath(name), "PNG"));
        return Path(name);
    }
    void Click(Id id) { static_cast<QAbstractButton*>(dialog->GetDlgItem(id))->click(); }
    NS_Wnd::WOptionsPanel_C* Panel() const { return dialog->findChild<NS_Wnd::WOptionsPanel_C*>(); }
    // The dialog's control of that name: a template control by its caption's meaning, a
    // panel control by its settings key.
    QWidget* Control(const std::string& name) const {
        const std::pair<const char*, Id> fixed[] = {{"Row", Id::IDC_HORIZONTAL},
                                                    {"Column", Id::IDC_VERTICAL},
                                                    {"Grid", Id::IDC_MULTI_ROW},
                                                    {"AutoCut", Id::IDC_AUTO_CUT}};
        for (const auto& [caption, id] : fixed) {
            if (name == caption) {
                return dialog->GetDlgItem(id);
            }
        }
        return dialog->findChild<QWidget*>(QString::fromStdString(name));
    }
    // Sets a control as a user would: a button by a click, which a disabled one ignores.
    void Set(const std::string& name, int32_t value) {
        QWidget* control = Control(name);
        ASSERT_NE(control, nullptr) << name;
        auto* button = qobject_cast<QAbstractButton*>(control);
        if (!button) {
            NS_Wnd::WOptionsPanel_C::SetValueOf(control, value);
        } else if (button->isChecked() != (value != 0)) {
            button->click();
        }
    }
    int32_t Get(const std::string& name) const {
        return NS_Wnd::WOptionsPanel_C::ValueOf(Control(name));
    }
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

    // The panel grows with its font, up to a large font's 14 points; no text of it is cut.
    void ExpectPanelCaptionsFit() {
        NS_Wnd::WOptionsPanel_C* panel = Panel();
        for (const int points : {8, 14}) {
            QFont font = panel->font();
            font.setPointSize(points);
            panel->setFont(font);
            for (int page = 0; page < panel->count(); ++page) {
                panel->setCurrentIndex(page);
                QCoreApplication::processEvents();
                EXPECT_LE(panel->tabBar()->sizeHint().width(), panel->tabBar()->width());
                for (const QWidget* control : panel->widget(page)->findChildren<QWidget*>()) {
                    if (qobject_cast<const QAbstractButton*>(control) ||
                        qobject_cast<const QLabel*>(control) ||
                        qobject_cast<const QComboBox*>(control)) {
                        EXPECT_LE(control->sizeHint().width(), control->width())
                            << control->property("text").toString().toStdString() << " clipped at "
                            << points << " points";
                    }
                }
            }
        }
        EXPECT_TRUE(dialog->rect().contains(panel->geometry())) << "the panel outside the window";
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

// Every text fits its control, in the source texts and in English, on every page of the panel;
// the template's controls keep their places, and with the source texts their very sizes. The test
// runs again at twice the scale with the screen's fonts half again as large.
TEST_F(WMosaro, CaptionsFitTheirControls) {
    QTranslator english;
    ASSERT_TRUE(english.load(QStringLiteral(":/translations/tavrin_en.qm")));
    for (const bool inEnglish : {false, true}) {
        if (inEnglish) {
            QCoreApplication::installTranslator(&english);
        }
        Open();
        const QSize base = NS_Wnd::UDialogTemplate_C::GetBaseUnits(dialog->font());
        EXPECT_EQ(dialog->size(), NS_Wnd::UDialogTemplate_C::ToPixels(dialog->WindowUnits, base))
            << "the size scripts click by";
        for (const NS_Wnd::UDialogTemplate_C::UControl_S& control :
             NS_Wnd::UDialogTemplate_C::GetControls()) {
            const QWidget* widget =
                control.id != Id::IDC_STATIC
                    ? dialog->GetDlgItem(control.id)
                    : dialog->GetDlgItem(Id::IDC_FILE_LIST)
                          ->parentWidget()
                          ->findChild<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
            const QRect cell = NS_Wnd::UDialogTemplate_C::ToPixels(control.units, base);
            EXPECT_TRUE(widget->parentWidget()->rect().contains(widget->geometry())) << control.id;
            EXPECT_EQ(widget->pos(), cell.topLeft()) << control.id;
            if (*control.text) {
                EXPECT_LE(widget->sizeHint().width(), widget->width()) << control.id << " clipped";
            }
            if (!inEnglish) {
                EXPECT_EQ(widget->size(), cell.size()) << control.id;
            }
        }
        ExpectPanelCaptionsFit();
    }
    QCoreApplication::removeTranslator(&english);
    EXPECT_EQ(Disabled(), "1007 1011") << "compose and clear, with an empty list";
    Click(Id::IDC_VERSION);
    EXPECT_EQ(shell.messages, std::vector<QString>{"Version: " + QString::fromUtf8(ProductTitle)});
}

// Each option is stored under its key and read back; a version that knows only ComposeMode and
// AutoCut reads its own two from the same file and keeps the others for the next run.
TEST_F(WMosaro, EveryOptionRoundTripsThroughTheSettingsFile) {
    const std::pair<std::string, int32_t> changed[] = {
        {"PackedLayout", 1}, {"TrimEach", 1},    {"Rotate", 1},      {"Square", 1},
        {"Multipack", 1},    {"SharePlaces", 0}, {"Padding", 3},     {"Border", 4},
        {"Extrude", 2},      {"PowerOfTwo", 1},  {"MaxSize", 4096},  {"NaturalOrder", 1},
        {"AllGifFrames", 1}, {"Compression", 2}, {"Indexed", 1},     {"DataFile", 1},
        {"DataForm", 5},     {"Fps", 24},        {"Pivot", 1},       {"PivotX", 250},
        {"PivotY", -1500},   {"AlphaBleed", 1},  {"Premultiply", 1},
    };
    Open();
    for (const NS_Wnd::WOptionsPanel_C::USetting_S& setting : Panel()->GetSettings()) {
        EXPECT_TRUE(
            std::ranges::any_of(changed, [&](const auto& c) { return c.first == setting.key; }))
            << setting.key << " is not in the table";
    }
    Click(Id::IDC_MULTI_ROW);
    for (const auto& [name, value] : changed) {
        Set(name, value);
    }
    Close();
    Open();
    for (const auto& [name, value] : changed) {
        EXPECT_EQ(Get(name), value) << name;
    }
    EXPECT_EQ(Checked(), "") << "packed, which ComposeMode cannot hold, and no common trim";
    Close();
    {
        UCustomization_C::UScopedStore_C older(folder.root.c_str());
        UCustomization_C::LoadCustomization("Tavrin");
        UCustomization_C::SetDefaultValue("ComposeMode", 1);
        UCustomization_C::SetDefaultValue("AutoCut", 0);
        EXPECT_EQ(UCustomization_C::GetValue("ComposeMode"), 2) << "the grid chosen last";
        EXPECT_EQ(UCustomization_C::GetValue("AutoCut"), 0);
    }
    Open();
    EXPECT_EQ(Get("Padding"), 3) << "kept by the older version's save";
}

// A file of the two settings the dialog has always had (radio buttons 1004-1006, check box 1008)
// opens as before, and closing the window without a change leaves it byte for byte as it was;
// only settings that differ from their defaults are stored.
TEST_F(WMosaro, TodaysSettingsFileOpensUnchanged) {
    {
        UCustomization_C::UScopedStore_C today(folder.root.c_str());
        UCustomization_C::LoadCustomization("Tavrin");
        UCustomization_C::SetDefaultValue("ComposeMode", 1);
        UCustomization_C::SetDefaultValue("AutoCut", 0);
        UCustomization_C::SetValue("ComposeMode", 0);
        UCustomization_C::SetValue("AutoCut", 1);
    }
    const Bytes before = ReadFile(Path("Tavrin.uzn"));
    Open();
    EXPECT_EQ(Checked(), "1004 1008");
    for (const NS_Wnd::WOptionsPanel_C::USetting_S& setting : Panel()->GetSettings()) {
        EXPECT_EQ(NS_Wnd::WOptionsPanel_C::ValueOf(setting.control), setting.defaultValue)
            << setting.key;
    }
    EXPECT_EQ(Get("PackedLayout") + Get("TrimEach"), 0);
    Close();
    EXPECT_EQ(ReadFile(Path("Tavrin.uzn")), before);
    Open();
    Click(Id::IDC_VERTICAL);
    Click(Id::IDC_AUTO_CUT);
    EXPECT_EQ(Checked(), "1005");
    Close();
    EXPECT_FALSE(Exists(Path("Tavrin.uzn"))) << "all back at their defaults";
}

// A control that the layout or the data form cannot use is disabled and says why.
TEST_F(WMosaro, ControlsTheLayoutOrFormCannotUseSayWhy) {
    struct Case {
        std::vector<std::pair<std::string, int32_t>> steps;
        const char* control;
        const char* tooltip;  // empty: enabled
    };
    const Case cases[] = {
        {{}, "Rotate", "Only the packed layout can use this."},
        {{}, "SharePlaces", "Only the packed layout can use this."},
        {{{"PackedLayout", 1}}, "Multipack", ""},
        {{}, "DataForm", "Only a data file uses this."},
        {{{"DataFile", 1}}, "Fps", ""},
        {{{"DataFile", 1}}, "PivotX", "Only a data file's pivot uses this."},
        {{{"DataFile", 1}, {"Pivot", 1}}, "PivotY", ""},
        {{{"PackedLayout", 1}, {"DataFile", 1}, {"DataForm", 7}},
         "Rotate",
         "The data form css cannot show a rotated frame."},
        {{{"PackedLayout", 1}, {"DataForm", 7}}, "Rotate", ""},
    };
    for (const Case& c : cases) {
        Open();
        for (const auto& [name, value] : c.steps) {
            Set(name, value);
        }
        const QWidget* control = Control(c.control);
        EXPECT_EQ(control->isEnabled(), *c.tooltip == 0) << c.control;
        EXPECT_EQ(control->toolTip().toStdString(), c.tooltip) << c.control;
        Close();
        std::filesystem::remove(Path("Tavrin.uzn"));
    }
}

// The window and the command line write the same bytes for the same options: the sheets, and
// the data file named after the sheet with its form's extension.
TEST_F(WMosaro, WindowWritesWhatTheCommandLineWritesForTheSameOptions) {
    using Steps = std::vector<std::pair<std::string, int32_t>>;
    const std::pair<Steps, QStringList> cases[] = {
        {{}, {}},
        {{{"Grid", 1},
          {"AutoCut", 1},
          {"Padding", 2},
          {"Border", 1},
          {"Extrude", 1},
          {"PowerOfTwo", 1},
          {"Compression", 2},
          {"Indexed", 1}},
         {"--layout", "multirow", "--autocut", "--padding", "2", "--border", "1", "--extrude", "1",
          "--pot", "--compression", "best", "--indexed"}},
        {{{"PackedLayout", 1}, {"TrimEach", 1}, {"Rotate", 1}, {"DataFile", 1}},
         {"--layout", "packed", "--trim", "--rotate", "--data", "sheet.json"}},
        // Rotate checked, then left unusable by the form: the window leaves it out.
        {{{"PackedLayout", 1},
          {"Rotate", 1},
          {"Square", 1},
          {"SharePlaces", 0},
          {"DataFile", 1},
          {"DataForm", 5},
          {"Fps", 25},
          {"Pivot", 1},
          {"PivotX", 250},
          {"PivotY", 1000},
          {"NaturalOrder", 1},
          {"DataForm", 6}},
         {"--layout", "packed", "--square", "--no-alias", "--data", "sheet.atlas", "--data-format",
          "libgdx", "--fps", "25", "--pivot", "0.25,1", "--sort", "natural"}},
        {{{"PackedLayout", 1}, {"Multipack", 1}, {"MaxSize", 20}, {"DataFile", 1}},
         {"--layout", "packed", "--multipack", "--max-size", "20", "--data", "sheet.json"}},
    };
    const QStringList pictures = {
        QString::fromStdString(Picture("f10.png", 12, 9, 0xFF2040A0, {2, 1, 8, 6})),
        QString::fromStdString(Picture("f2.png", 7, 14, 0x80C03010, {0, 3, 7, 9})),
        QString::fromStdString(Picture("f1.png", 12, 9, 0xFF2040A0, {2, 1, 8, 6})),
        QString::fromStdString(Picture("g.png", 3, 18, 0xFF00FF00))};
    for (const auto& [steps, arguments] : cases) {
        const std::string label = arguments.join(' ').toStdString();
        UTempDirectory window, commandLine;
        Open();
        for (const auto& [name, value] : steps) {
            Set(name, value);
        }
        shell.answers = {pictures, {QString::fromStdString(window.root + "sheet.png")}};
        Click(Id::IDC_ADD_FILES);
        Click(Id::IDC_COMPOSE);
        EXPECT_EQ(shell.messages, std::vector<QString>{}) << label;
        Close();
        std::filesystem::remove(Path("Tavrin.uzn"));
        QProcess program;
        program.setWorkingDirectory(QString::fromStdString(commandLine.root));
        program.start(TAVRIN_PROGRAM, QStringList{"-o", "sheet.png"} + arguments + pictures);
        ASSERT_TRUE(program.waitForFinished(60000)) << label;
        EXPECT_EQ(program.exitCode(), 0) << label << program.readAllStandardError().toStdString();
        const std::vector<std::string> written = NamesWith(commandLine.root, "sheet");
        EXPECT_EQ(NamesWith(window.root, "sheet").size(), written.size()) << label;
        for (const std::string& name : written) {
            EXPECT_TRUE(ReadFile(window.root + name) == ReadFile(commandLine.root + name))
                << name << " differs for " << label;
        }
    }
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

// The pictures the preview decoded are those Compose writes: a picture changed afterwards in a
// way no file check sees (same size, same time) still shows its pixels as previewed, so Compose
// did not decode it again; one whose time changed is decoded anew.
TEST_F(WMosaro, ComposeTakesThePicturesThePreviewDecoded) {
    const auto save = [this](const char* name, uint32_t argb) {
        QImage picture(2, 2, QImage::Format_RGB32);
        picture.fill(argb);
        EXPECT_TRUE(picture.save(QPath(name), "BMP"));
    };
    save("a.bmp", 0xFF000000);
    save("b.bmp", 0xFF000000);
    Open({Path("a.bmp"), Path("b.bmp")});
    QElapsedTimer waited;
    waited.start();
    const NS_Wnd::UPreview_C* preview = dialog->GetPreview();
    while (!(preview->IsShowing() && !preview->IsPlanning()) && waited.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    ASSERT_TRUE(preview->IsShowing());
    struct stat before {};
    ::stat(Path("a.bmp").c_str(), &before);
    save("a.bmp", 0xFFFFFFFF);
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ::utimensat(AT_FDCWD, Path("a.bmp").c_str(), times, 0);
    save("b.bmp", 0xFFFFFFFF);
    shell.answers = {{QPath("sheet.png")}};
    Click(Id::IDC_COMPOSE);
    const QImage sheet(QPath("sheet.png"));
    ASSERT_EQ(sheet.size(), QSize(2, 4));
    EXPECT_EQ(sheet.pixel(0, 0), 0xFF000000) << "a.bmp decoded again";
    EXPECT_EQ(sheet.pixel(0, 2), 0xFFFFFFFF) << "b.bmp changed, but its earlier pixels used";
}

// A project opens into the list and the options and, saved unchanged, stays byte for byte;
// changed in the window, it keeps its inputs as written and builds from the command line to the
// very files the window composes, variants the panel does not show included. A project the
// command line refuses is refused alike.
TEST_F(WMosaro, ProjectOpensSavesAndBuildsAsTheCommandLineDoes) {
    Picture("art/a.png", 12, 9, 0xFF2040A0, {2, 1, 8, 6});
    Picture("art/b.png", 7, 14, 0x80C03010, {0, 3, 7, 9});
    Picture("icons/c.png", 3, 18, 0xFF00FF00);
    Picture("icons/d.bmp", 3, 3);
    QDir().mkpath(QPath("atlas"));
    const std::string text = R"({
  "$schema": "file:///usr/share/tavrin/tavrin-project.schema.json",
  "defaults": {
    "layout": "packed",
    "trim": true,
    "data-format": "hash"
  },
  "sheets": [
    {
      "output": "atlas/ui.png",
      "data": "atlas/ui.json",
      "inputs": [
        "art",
        "icons/*.png"
      ],
      "options": {
        "padding": 2,
        "variant": [
          ":1",
          "@2x:2"
        ]
      }
    }
  ]
}
)";
    std::ofstream(Path("ui.json")) << text;
    std::ofstream(Path("bad.json")) << R"({"sheets": [{"output": "x.png", "inputs": ["art"],
        "options": {"paddin": 2}}]})";
    Open();
    dialog->SetProjectFiles(MakeWindowProjectFiles());
    const auto click = [&](const char* name, const std::string& file) {
        shell.answers = {{QPath(file)}};
        dialog->findChild<QAbstractButton*>(name)->click();
    };
    click("OpenProject", "bad.json");
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_TRUE(shell.messages[0].contains("sheets[0].options.paddin (line 2)"))
        << shell.messages[0].toStdString();
    click("OpenProject", "ui.json");
    EXPECT_EQ(Listed(), "a.png b.png c.png");
    EXPECT_EQ(Get("PackedLayout") + Get("TrimEach") + Get("DataFile") + Get("Padding"), 5);
    click("SaveProject", "ui.json");
    EXPECT_EQ(Text(Path("ui.json")), text) << "saved unchanged";
    Set("Padding", 3);
    Set("Rotate", 1);
    click("SaveProject", "ui.json");
    const std::string saved = Text(Path("ui.json"));
    EXPECT_NE(saved.find(R"("icons/*.png")"), std::string::npos) << saved;
    EXPECT_NE(saved.find(R"("padding": 3)"), std::string::npos) << saved;
    click("OpenProject", "ui.json");
    shell.answers = {{QPath("atlas/ui.png")}};
    Click(Id::IDC_COMPOSE);
    EXPECT_EQ(shell.messages.size(), 1u);
    const Bytes sheet = ReadFile(Path("atlas/ui.png"));
    const Bytes larger = ReadFile(Path("atlas/ui@2x.png"));
    const std::string data = Text(Path("atlas/ui.json"));
    const auto inode = [&] {
        struct stat status {};
        return ::stat(Path("atlas/ui.png").c_str(), &status) == 0 ? status.st_ino : 0;
    };
    const ino_t composed = inode();
    for (const QString force : {"", "--force"}) {
        QStringList arguments{"--project", QPath("ui.json")};
        if (!force.isEmpty()) {
            arguments << force;
        }
        QProcess program;
        program.start(TAVRIN_PROGRAM, arguments);
        ASSERT_TRUE(program.waitForFinished(60000));
        EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
        EXPECT_EQ(inode() == composed, force.isEmpty()) << "left alone only when up to date";
    }
    EXPECT_TRUE(ReadFile(Path("atlas/ui.png")) == sheet) << "the sheets differ";
    EXPECT_TRUE(!larger.empty() && ReadFile(Path("atlas/ui@2x.png")) == larger);
    EXPECT_EQ(Text(Path("atlas/ui.json")), data);
    EXPECT_NE(data.find(R"("rotated")"), std::string::npos);
}
