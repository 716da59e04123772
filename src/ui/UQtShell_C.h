#pragma once

#include "ui/UShell_C.h"

namespace NS_Wnd {

// The services of UShell_C through Qt's own file dialog and message box.
class UQtShell_C : public UShell_C {
public:
    QStringList ChooseFiles(QWidget* owner, const QString& filter, const QString& directory,
                            bool several) override;
    QString ChooseSavePath(QWidget* owner, const QString& filter, const QString& directory,
                           const QString& defaultSuffix) override;
    QString ChooseDirectory(QWidget* owner, const QString& title, const QString& start) override;
    void ShowMessage(QWidget* owner, const QString& caption, const QString& text) override;
};

}  // namespace NS_Wnd
