#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QImage>
#include <QString>
#include <QTemporaryDir>

#include <memory>
#include <string>
#include <vector>

#include "ScriptedShell.h"
#include "UCustomization_C.h"
#include "UFileListBox_C.h"
#include "WMosaro_C.h"

// A dialog over a settings store in a temporary program folder, with scripted choosers and
// message boxes, and a folder of pictures the test makes itself.
class DialogFixture : public testing::Test {
protected:
    using Id = NS_Wnd::WMosaro_C::UControlId_E;

    void SetUp() override;
    void TearDown() override;

    // Starts a run: loads the settings, builds the dialog, queues `paths`, shows the window.
    void Open(const std::vector<std::string>& paths = {});
    // Ends the run: the dialog stores the settings and the store writes its file.
    void Close();

    std::string PathOf(const char* name) const;
    // Writes a w x h picture filled with `argb` at `name` below the picture folder.
    std::string MakePicture(const char* name, int w, int h, uint32_t argb) const;
    std::string MakeFile(const char* name, const char* content) const;
    std::string SettingsPath() const;

    void Click(Id id);
    bool IsEnabled(Id id) const;
    bool IsChecked(Id id) const;
    NS_Wnd::UFileListBox_C& List() const;
    // The names the list shows, top to bottom, joined by blanks.
    std::string ListedNames() const;

    QTemporaryDir folder;
    ScriptedShell shell;
    std::unique_ptr<UCustomization_C::UScopedStore_C> store;
    std::unique_ptr<NS_Wnd::WMosaro_C> dialog;
};
