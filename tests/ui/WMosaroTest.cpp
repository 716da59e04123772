#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDropEvent>
#include <QFile>
#include <QImage>
#include <QMimeData>

#include <fstream>
#include <iterator>

#include "DialogFixture.h"
#include "UDialogTemplate_C.h"

using Id = NS_Wnd::WMosaro_C::UControlId_E;

namespace {

std::string ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// A settings file holding Int records, in the store's own format.
void WriteSettings(const std::string& path, const std::vector<std::pair<std::string, int>>& ints) {
    std::string bytes = "CUST";
    auto put = [&bytes](int32_t value) {
        for (int i = 0; i < 4; ++i) {
            bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
        }
    };
    put(1);
    put(static_cast<int32_t>(ints.size()));
    for (const auto& [key, value] : ints) {
        bytes += key;
        bytes += '\0';
        put(0);
        put(4);
        put(value);
    }
    std::ofstream(path, std::ios::binary) << bytes;
}

QSize SizeOfImage(const std::string& path) {
    return QImage(QString::fromStdString(path)).size();
}

}  // namespace

class WMosaro : public DialogFixture {};

TEST_F(WMosaro, CaptionAndEnableRulesFollowTheList) {
    Open();
    EXPECT_EQ(dialog->windowTitle(), "Tavrin v0.6.3");
    EXPECT_FALSE(IsEnabled(Id::IDC_CLEAR));
    EXPECT_FALSE(IsEnabled(Id::IDC_COMPOSE));
    for (Id id : {Id::IDC_FILE_LIST, Id::IDC_ADD_FILES, Id::IDC_ADD_DIRECTORY, Id::IDC_VERSION,
                  Id::IDC_TERMINATE, Id::IDC_AUTO_CUT}) {
        EXPECT_TRUE(IsEnabled(id)) << "control " << id << " with an empty list";
    }
    shell.files = {{QString::fromStdString(MakePicture("a.png", 2, 2, 0xFF0000FF))}};
    Click(Id::IDC_ADD_FILES);
    EXPECT_TRUE(IsEnabled(Id::IDC_CLEAR));
    EXPECT_TRUE(IsEnabled(Id::IDC_COMPOSE));
    Click(Id::IDC_CLEAR);
    EXPECT_EQ(List().GetCount(), 0);
    EXPECT_FALSE(IsEnabled(Id::IDC_CLEAR));
    EXPECT_FALSE(IsEnabled(Id::IDC_COMPOSE));
    EXPECT_TRUE(shell.messages.empty());
}

TEST_F(WMosaro, EachAddAppendsItsOwnSortedBatchOfPictures) {
    const std::string b = MakePicture("b.png", 1, 1, 0xFF000000);
    const std::string c = MakePicture("c.png", 1, 1, 0xFF000000);
    Open({c, b});
    EXPECT_EQ(ListedNames(), "b.png c.png") << "start-up paths";

    MakePicture("dir/a.png", 1, 1, 0xFF000000);
    MakePicture("dir/sub/B.PNG", 1, 1, 0xFF000000);
    MakePicture("dir/sub/d.gif", 1, 1, 0xFF000000);
    MakeFile("dir/notes.txt", "text");
    MakeFile("dir/e.jpeg", "not listed");
    shell.directories = {QString::fromStdString(PathOf("dir"))};
    Click(Id::IDC_ADD_DIRECTORY);
    EXPECT_EQ(ListedNames(), "b.png c.png a.png B.PNG d.gif") << "folder walked and sorted";
    EXPECT_EQ(shell.lastTitle, "Please select directory:");

    shell.files = {{QString::fromStdString(c), QString::fromStdString(b)}};
    Click(Id::IDC_ADD_FILES);
    EXPECT_EQ(ListedNames(), "b.png c.png a.png B.PNG d.gif b.png c.png") << "chosen twice";
    char path[NS_Wnd::UFileListBox_C::PathCapacity];
    List().GetFilePath(3, path);
    EXPECT_EQ(std::string(path), PathOf("dir/sub/B.PNG"));

    const QString dropped = QString::fromStdString(MakePicture("a.gif", 1, 1, 0xFF000000));
    QMimeData data;
    data.setUrls({QUrl("https://example.org/x.png"), QUrl::fromLocalFile(dropped)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(dialog.get(), &enter);
    EXPECT_TRUE(enter.isAccepted()) << "a drag holding a local file";
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(dialog.get(), &drop);
    QCoreApplication::processEvents();
    EXPECT_EQ(List().GetCount(), 8);
    EXPECT_EQ(List().item(7)->text(), "a.gif") << "dropped file";
    EXPECT_TRUE(shell.messages.empty());
}

TEST_F(WMosaro, MissingStartUpPathIsReportedAndWhatFollowsWaitsForTheNextAdd) {
    const std::string missing = PathOf("gone.png");
    const std::string b = MakePicture("b.png", 1, 1, 0xFF000000);
    Open({missing, b});
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].caption, "UserError");
    EXPECT_EQ(shell.messages[0].text.toStdString(),
              "Inaccurate file path or directory:\r\n" + missing);
    EXPECT_EQ(List().GetCount(), 0);
    EXPECT_FALSE(IsEnabled(Id::IDC_COMPOSE));

    // Adding files collects the path left pending behind the chosen ones, in one batch.
    shell.files = {{QString::fromStdString(MakePicture("a.png", 1, 1, 0xFF000000))}};
    Click(Id::IDC_ADD_FILES);
    EXPECT_EQ(ListedNames(), "a.png b.png");
}

TEST_F(WMosaro, ComposeWritesTheSheetEmptiesTheListAndShowsNothing) {
    Open({MakePicture("a.png", 4, 3, 0xFF112233), MakePicture("b.png", 4, 3, 0x80445566)});
    const std::string sheet = PathOf("sheet.png");
    shell.savePaths = {QString(), QString::fromStdString(sheet)};
    Click(Id::IDC_COMPOSE);
    EXPECT_EQ(List().GetCount(), 2) << "a cancelled save keeps the list";
    Click(Id::IDC_COMPOSE);
    EXPECT_EQ(shell.lastSuffix, "png");
    EXPECT_EQ(shell.lastFilter, "32-bits Image File(.png) (*.png)");
    EXPECT_TRUE(shell.messages.empty());
    EXPECT_EQ(List().GetCount(), 0);
    EXPECT_FALSE(IsEnabled(Id::IDC_COMPOSE));
    const QImage image(QString::fromStdString(sheet));
    ASSERT_EQ(image.size(), QSize(4, 6)) << "vertical layout by default";
    EXPECT_EQ(image.pixel(0, 0), 0xFF112233u);
    EXPECT_EQ(image.pixel(3, 5), 0x80445566u);
}

TEST_F(WMosaro, FailedComposeShowsTheErrorKeepsTheListAndLeavesNoPictureBehind) {
    const std::string good = MakePicture("a.png", 4, 3, 0xFF112233);
    const std::string bad = MakeFile("b.png", "not a picture");
    Open({good, bad});
    const std::string sheet = PathOf("sheet.png");
    shell.savePaths = {QString::fromStdString(sheet), QString::fromStdString(sheet)};
    Click(Id::IDC_COMPOSE);
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].caption, "UserError");
    EXPECT_TRUE(shell.messages[0].text.endsWith(QString::fromStdString(bad)))
        << shell.messages[0].text.toStdString();
    EXPECT_EQ(ListedNames(), "a.png b.png");
    EXPECT_TRUE(IsEnabled(Id::IDC_COMPOSE));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(sheet)));

    MakePicture("b.png", 4, 3, 0xFF445566);
    Click(Id::IDC_COMPOSE);
    EXPECT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(SizeOfImage(sheet), QSize(4, 6)) << "each listed picture placed once";
}

TEST_F(WMosaro, LayoutAndTrimMirrorTheSettingsAndOnlyChangesAreStored) {
    Open();
    EXPECT_TRUE(IsChecked(Id::IDC_VERTICAL)) << "defaults without a settings file";
    EXPECT_FALSE(IsChecked(Id::IDC_AUTO_CUT));
    Click(Id::IDC_HORIZONTAL);
    EXPECT_FALSE(IsChecked(Id::IDC_VERTICAL));
    Close();
    const std::string expected("CUST\1\0\0\0\1\0\0\0ComposeMode\0\0\0\0\0\4\0\0\0\0\0\0\0", 36);
    EXPECT_EQ(ReadBytes(SettingsPath()), expected);

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
    EXPECT_FALSE(QFile::exists(QString::fromStdString(SettingsPath())))
        << "all settings back at their defaults";
}

TEST_F(WMosaro, StoredLayoutOutsideTheButtonsSelectsNoneAndComposesAGrid) {
    WriteSettings(SettingsPath(), {{"ComposeMode", 5}});
    Open({MakePicture("a.png", 2, 2, 0xFF000001), MakePicture("b.png", 2, 2, 0xFF000002),
          MakePicture("c.png", 2, 2, 0xFF000003)});
    EXPECT_FALSE(IsChecked(Id::IDC_HORIZONTAL));
    EXPECT_FALSE(IsChecked(Id::IDC_VERTICAL));
    EXPECT_FALSE(IsChecked(Id::IDC_MULTI_ROW));
    const std::string sheet = PathOf("sheet.png");
    shell.savePaths = {QString::fromStdString(sheet)};
    Click(Id::IDC_COMPOSE);
    EXPECT_EQ(SizeOfImage(sheet), QSize(4, 4)) << "three cells in a 2 x 2 grid";
    Close();
    EXPECT_EQ(ReadBytes(SettingsPath()).substr(12, 12), std::string("ComposeMode\0", 12));
    EXPECT_EQ(ReadBytes(SettingsPath()).substr(32, 4), std::string("\5\0\0\0", 4))
        << "the stored value survives a run that did not change it";
}

TEST_F(WMosaro, VersionShowsItsBoxAndTerminateEndsTheDialog) {
    Open();
    Click(Id::IDC_VERSION);
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].caption, "Version");
    EXPECT_EQ(shell.messages[0].text, "Tavrin v0.6.3");
    EXPECT_TRUE(IsEnabled(Id::IDC_VERSION));
    Click(Id::IDC_TERMINATE);
    EXPECT_EQ(dialog->result(), 2);
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(WMosaro, WindowFollowsItsTemplateInDialogUnits) {
    Open();
    const QSize base = NS_Wnd::UDialogTemplate_C::GetBaseUnits(dialog->font());
    EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize()) << "fixed size";
    EXPECT_EQ(dialog->size(), QSize(205 * base.width() / 4, 183 * base.height() / 8));
    const QRect compose = dialog->GetDlgItem(Id::IDC_COMPOSE)->geometry();
    EXPECT_EQ(compose, QRect(7 * base.width() / 4, 106 * base.height() / 8, 78 * base.width() / 4,
                             30 * base.height() / 8));
    EXPECT_EQ(static_cast<QAbstractButton*>(dialog->GetDlgItem(Id::IDC_MULTI_ROW))->text(),
              QString::fromUtf8("多行"));
    EXPECT_TRUE(dialog->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(dialog->acceptDrops());

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
