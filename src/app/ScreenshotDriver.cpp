// Opens the main window with the given paths listed, as the program does at start-up, packed and
// trimmed with a data file, and writes a picture of it once the preview is drawn:
// tavrin_screenshot OUTPUT.png [PATH...]. Settings go to a temporary folder, so that the picture
// shows the defaults otherwise and no settings file is left behind.
#include <QAbstractButton>
#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <string>
#include <vector>

#include "app/WindowProjects.h"
#include "files/UCustomization_C.h"
#include "ui/ULanguage_C.h"
#include "ui/UPreview_C.h"
#include "ui/WMosaro_C.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.png [PATH...]\n", argv[0]);
        return 2;
    }
    int qtArgc = 1;
    NS_Wnd::ULanguage_C::Choose();
    QApplication application(qtArgc, argv);
    NS_Wnd::ULanguage_C::Install(application);
    QTemporaryDir program;
    const std::string directory = program.path().toStdString() + "/";
    UCustomization_C::UScopedStore_C store(directory.c_str());
    UCustomization_C::LoadCustomization("Tavrin");
    bool saved = false;
    {
        NS_Wnd::WMosaro_C dialog;
        dialog.SetProjectFiles(MakeWindowProjectFiles());
        for (const char* option : {"PackedLayout", "TrimEach", "DataFile"}) {
            dialog.findChild<QAbstractButton*>(option)->click();
        }
        QTimer poll;
        int waited = 0;
        QObject::connect(&poll, &QTimer::timeout, &dialog, [&] {
            const NS_Wnd::UPreview_C* preview = dialog.GetPreview();
            const bool drawn =
                preview->IsShowing() && !preview->IsPlanning() && !preview->GetView()->IsDrawing();
            if (drawn || ++waited > 100) {
                saved = drawn && dialog.grab().save(QString::fromLocal8Bit(argv[1]), "PNG");
                dialog.done(0);
            }
        });
        poll.start(100);
        dialog.Run(std::vector<std::string>(argv + 2, argv + argc));
    }
    return saved ? 0 : 1;
}
