#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace NS_Wnd {

// The platform services that the window reaches through: file and folder choosers and message
// boxes. The dialog takes one at construction, so that a test can answer them by script.
class UShell_C {
public:
    virtual ~UShell_C() = default;

    // Full paths of the chosen existing files, matching `filter` (Qt's form); `several` allows
    // more than one. Empty when the user cancelled.
    virtual QStringList ChooseFiles(QWidget* owner, const QString& filter, const QString& directory,
                                    bool several) = 0;
    // The confirmed path to write, `defaultSuffix` added to a name typed without one, after the
    // user agreed to replace an existing file. Empty when the user cancelled.
    virtual QString ChooseSavePath(QWidget* owner, const QString& filter, const QString& directory,
                                   const QString& defaultSuffix) = 0;
    // The chosen folder, starting in `start`. Empty when the user cancelled.
    virtual QString ChooseDirectory(QWidget* owner, const QString& title, const QString& start) = 0;
    // A modal box with `text`, `caption`, an OK button and no icon.
    virtual void ShowMessage(QWidget* owner, const QString& caption, const QString& text) = 0;
};

}  // namespace NS_Wnd
