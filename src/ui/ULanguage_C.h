#pragma once

#include <QString>
#include <QStringList>

class QCoreApplication;

namespace NS_Wnd {

// The language the program speaks, chosen once at start from the user's languages, most wanted
// first: the first that has a translation built in (":/translations/tavrin_*.qm"), any Chinese
// one reading the source texts where they are Chinese, and English for every other. Both the
// window and the command line speak it.
class ULanguage_C {
public:
    // Chooses from the system's languages and installs the choice for NS_Base::ShownText too.
    static void Choose();
    // The name of the translation chosen for `languages` (as QLocale::uiLanguages gives them):
    // "en", "zh_CN" or that of another translation built in.
    static QString PickTranslation(const QStringList& languages);
    // Makes the tr() of the running application's widgets speak the chosen language.
    static void Install(QCoreApplication& application);
    // The text shown for the source `text` marked under `context`; code without Qt calls
    // NS_Base::ShownText, which leads here. lupdate finds these calls by their name
    // (-tr-function-alias translate+=Translate).
    static QString Translate(const char* context, const char* text);
};

}  // namespace NS_Wnd
