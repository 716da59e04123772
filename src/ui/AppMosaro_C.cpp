#include "AppMosaro_C.h"

#include <QApplication>

#include <string>
#include <vector>

#include "UCustomization_C.h"
#include "WMosaro_C.h"

namespace NS_Wnd {

int AppMosaro_C::Run(int argc, char** argv) {
    const std::vector<std::string> paths(argv + (argc > 0 ? 1 : 0), argv + argc);
    // Qt is shown only the program's name, so that every argument stays a path, even one that
    // looks like a Qt option.
    static char fallbackName[] = "tavrin";
    int qtArgc = 1;
    char* qtArgv[] = {argc > 0 && argv[0] ? argv[0] : fallbackName, nullptr};
    QApplication application(qtArgc, qtArgv);
    // The file must be read before the dialog registers the defaults, so that its values win.
    UCustomization_C::LoadCustomization("Tavrin");
    WMosaro_C dialog;
    dialog.Run(paths);
    return 0;
}

}  // namespace NS_Wnd
