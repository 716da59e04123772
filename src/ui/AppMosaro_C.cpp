#include "ui/AppMosaro_C.h"

#include <QAbstractButton>
#include <QApplication>
#include <QIcon>
#include <QTimer>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "files/UCustomizationPlace_C.h"
#include "files/UCustomization_C.h"
#include "imaging/UImageData_C.h"
#include "ui/ULanguage_C.h"
#include "ui/WMosaro_C.h"

namespace NS_Wnd {
namespace {

// The installation puts the desktop entry here, relative to bin/; a program beside which it lies
// is an installed one and keeps its settings in the user's configuration folder.
constexpr char installedMarker[] = "../share/applications/" TAVRIN_APP_ID ".desktop";

void LoadSettings() {
    const std::string directory = UCustomizationPlace_C::ChooseDirectory(
        UCustomizationPlace_C::ReadFacts("Tavrin.uzn", installedMarker, "tavrin"));
    UCustomization_C::LoadCustomization("Tavrin", directory.empty() ? nullptr : directory.c_str());
}

#ifdef TAVRIN_TEST_HOOKS
// TAVRIN_CLICK="1004,1012" clicks those controls in turn once the window is shown and idle, for
// scripted runs of a test build. Idle means every one of them is enabled, which no control is
// while a command (the start-up paths' too) runs.
void ClickScripted(WMosaro_C& dialog) {
    const char* ids = std::getenv("TAVRIN_CLICK");
    if (!ids) {
        return;
    }
    auto* poll = new QTimer(&dialog);
    QObject::connect(poll, &QTimer::timeout, [&dialog, poll, list = QString::fromLatin1(ids)] {
        std::vector<QAbstractButton*> buttons;
        for (const QString& id : list.split(',')) {
            auto* button = qobject_cast<QAbstractButton*>(dialog.GetDlgItem(id.toInt()));
            if (button && !button->isEnabled()) {
                return;
            }
            buttons.push_back(button);
        }
        if (!dialog.isVisible()) {
            return;
        }
        poll->stop();
        for (QAbstractButton* button : buttons) {
            if (button) {
                button->click();
            }
        }
    });
    poll->start(20);
}
#else
void ClickScripted(WMosaro_C&) {}
#endif

}  // namespace

int AppMosaro_C::Run(const std::vector<std::string>& paths, UProjectFiles_S projects) {
    // Qt is shown only a program name, so that every argument stays a path, even one that looks
    // like a Qt option.
    static char programName[] = "tavrin";
    int qtArgc = 1;
    char* qtArgv[] = {programName, nullptr};
    QApplication application(qtArgc, qtArgv);
    ULanguage_C::Install(application);
    QApplication::setWindowIcon(QIcon::fromTheme(TAVRIN_APP_ID, QIcon(":/tavrin/icon.png")));
    // Pictures decode on worker threads; Qt's JPEG plugin must belong to this one.
    UImageData_C::PrepareDecoders();
    // The file must be read before the dialog registers the defaults, so that its values win.
    LoadSettings();
    WMosaro_C dialog;
    dialog.SetProjectFiles(std::move(projects));
    ClickScripted(dialog);
    dialog.Run(paths);
    return 0;
}

}  // namespace NS_Wnd
