#include "ui/AppMosaro_C.h"

#include <QApplication>

#include "files/UCustomization_C.h"
#include "ui/WMosaro_C.h"

namespace NS_Wnd {

int AppMosaro_C::Run(const std::vector<std::string>& paths) {
    // Qt is shown only a program name, so that every argument stays a path, even one that looks
    // like a Qt option.
    static char programName[] = "tavrin";
    int qtArgc = 1;
    char* qtArgv[] = {programName, nullptr};
    QApplication application(qtArgc, qtArgv);
    // The file must be read before the dialog registers the defaults, so that its values win.
    UCustomization_C::LoadCustomization("Tavrin");
    WMosaro_C dialog;
    dialog.Run(paths);
    return 0;
}

}  // namespace NS_Wnd
