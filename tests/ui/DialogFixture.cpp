#include "DialogFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

void DialogFixture::SetUp() {
    ASSERT_TRUE(folder.isValid());
    ASSERT_TRUE(QDir(folder.path()).mkpath("program"));
    ASSERT_TRUE(QDir(folder.path()).mkpath("pics"));
}

void DialogFixture::TearDown() {
    if (dialog) {
        Close();
    }
}

void DialogFixture::Open(const std::vector<std::string>& paths) {
    const std::string program = folder.path().toStdString() + "/program/";
    store = std::make_unique<UCustomization_C::UScopedStore_C>(program.c_str());
    UCustomization_C::LoadCustomization("Tavrin");
    dialog = std::make_unique<NS_Wnd::WMosaro_C>(&shell);
    dialog->QueueCommandLine(paths);
    dialog->show();
}

void DialogFixture::Close() {
    dialog.reset();
    store.reset();
}

std::string DialogFixture::PathOf(const char* name) const {
    return folder.path().toStdString() + "/pics/" + name;
}

std::string DialogFixture::MakePicture(const char* name, int w, int h, uint32_t argb) const {
    const std::string path = PathOf(name);
    QDir().mkpath(QFileInfo(QString::fromStdString(path)).path());
    QImage picture(w, h, QImage::Format_ARGB32);
    picture.fill(argb);
    EXPECT_TRUE(picture.save(QString::fromStdString(path), "PNG")) << path;
    return path;
}

std::string DialogFixture::MakeFile(const char* name, const char* content) const {
    const std::string path = PathOf(name);
    QDir().mkpath(QFileInfo(QString::fromStdString(path)).path());
    QFile file(QString::fromStdString(path));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << path;
    file.write(content);
    return path;
}

std::string DialogFixture::SettingsPath() const {
    return folder.path().toStdString() + "/program/Tavrin.uzn";
}

void DialogFixture::Click(Id id) {
    auto* button = dynamic_cast<QAbstractButton*>(dialog->GetDlgItem(id));
    ASSERT_NE(button, nullptr) << "control " << id << " is no button";
    button->click();
}

bool DialogFixture::IsEnabled(Id id) const {
    return dialog->GetDlgItem(id)->isEnabled();
}

bool DialogFixture::IsChecked(Id id) const {
    return static_cast<QAbstractButton*>(dialog->GetDlgItem(id))->isChecked();
}

NS_Wnd::UFileListBox_C& DialogFixture::List() const {
    return *static_cast<NS_Wnd::UFileListBox_C*>(dialog->GetDlgItem(Id::IDC_FILE_LIST));
}

std::string DialogFixture::ListedNames() const {
    std::string names;
    for (int i = 0; i < List().count(); ++i) {
        names += (i ? " " : "") + List().item(i)->text().toStdString();
    }
    return names;
}
