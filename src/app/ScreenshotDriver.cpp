// Opens the main window with the given paths listed, as the program does at start-up, and
// writes a picture of it: tavrin_screenshot OUTPUT.png [PATH...]. Settings go to a temporary
// folder, so that the picture shows the defaults and no settings file is left behind.
#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <string>
#include <vector>

#include "files/UCustomization_C.h"
#include "ui/WMosaro_C.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.png [PATH...]\n", argv[0]);
        return 2;
    }
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    QTemporaryDir program;
    const std::string directory = program.path().toStdString() + "/";
    UCustomization_C::UScopedStore_C store(directory.c_str());
    UCustomization_C::LoadCustomization("Tavrin");
    bool saved = false;
    {
        NS_Wnd::WMosaro_C dialog;
        QTimer::singleShot(500, &dialog, [&] {
            saved = dialog.grab().save(QString::fromLocal8Bit(argv[1]), "PNG");
            dialog.done(0);
        });
        dialog.Run(std::vector<std::string>(argv + 2, argv + argc));
    }
    return saved ? 0 : 1;
}
