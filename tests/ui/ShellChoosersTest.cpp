#include "ui/ShellChoosers.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QTimer>

#include <string>

#include "TestSupport.h"
#include "ui/UQtShell_C.h"

using namespace NS_Wnd;

namespace {

// The names the open chooser lists once its folder has been read (or after five seconds), and
// the texts of its filter box; then the chooser is closed.
struct UChooserView_S {
    QStringList names;
    QStringList filters;
};

void ReadChooserWhenShown(UChooserView_S& view, int waitedMs = 0) {
    QTimer::singleShot(50, [&view, waitedMs] {
        auto* chooser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        const auto* list = chooser ? chooser->findChild<QListView*>("listView") : nullptr;
        if (!list || (list->model()->rowCount(list->rootIndex()) < 2 && waitedMs < 5000)) {
            ReadChooserWhenShown(view, waitedMs + 50);
            return;
        }
        for (int row = 0; row < list->model()->rowCount(list->rootIndex()); ++row) {
            view.names << list->model()->index(row, 0, list->rootIndex()).data().toString();
        }
        const auto* box = chooser->findChild<QComboBox*>("fileTypeCombo");
        for (int i = 0; box && i < box->count(); ++i) {
            view.filters << box->itemText(i);
        }
        chooser->reject();
    });
}

}  // namespace

// The chooser shows the filter's description exactly as written, and lists only the four
// picture types, whatever the letter case of their extension.
TEST(ChooseFile, ShowsTheFilterTextAsWrittenAndListsPicturesInAnyCase) {
    UTempDirectory folder;
    for (const char* name : {"a.PNG", "b.gif", "c.jpeg", "d.txt", "e.Bmp", "f.jpg"}) {
        WriteFile(folder.root + name, {});
    }
    UQtShell_C shell;
    UChooserView_S view;
    ReadChooserWhenShown(view);
    const std::vector<std::string> chosen = ChooseFile(
        shell, nullptr, "Image File(*.bmp,*.png,*.jpg,*.gif)\0*.bmp;*.png;*.jpg;*.gif;\0",
        folder.root.c_str(), OpenFiles, nullptr);
    EXPECT_TRUE(chosen.empty()) << "a closed chooser chose something";
    EXPECT_EQ(view.filters.join('|').toStdString(), "Image File(*.bmp,*.png,*.jpg,*.gif)");
    view.names.sort();
    EXPECT_EQ(view.names.join(' ').toStdString(), "a.PNG b.gif e.Bmp f.jpg");
}

// A name typed without an extension takes the chosen filter's: the first filter's by default,
// the WebP one once it is picked.
TEST(ChooseFile, ANameWithoutExtensionTakesTheChosenFiltersOne) {
    UTempDirectory folder;
    UQtShell_C shell;
    for (const int filter : {0, 1}) {
        QTimer::singleShot(50, [filter] {
            auto* chooser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            auto* box = chooser ? chooser->findChild<QComboBox*>("fileTypeCombo") : nullptr;
            auto* name = chooser ? chooser->findChild<QLineEdit*>("fileNameEdit") : nullptr;
            if (!box || !name) {
                if (chooser) {
                    chooser->reject();
                }
                return;
            }
            // As the box does when the user picks an entry.
            box->setCurrentIndex(filter);
            emit box->activated(filter);
            emit box->textActivated(box->itemText(filter));
            name->setText("sheet");
            static_cast<QDialog*>(chooser)->accept();
        });
        const std::vector<std::string> chosen =
            ChooseFile(shell, nullptr,
                       "32-bits Image File(.png)\0*.png\0Lossless WebP Image File(.webp)\0*.webp\0",
                       folder.root.c_str(), SaveFile, "png");
        EXPECT_EQ(chosen,
                  std::vector<std::string>{folder.root + (filter ? "sheet.webp" : "sheet.png")});
    }
}
