#include "ui/ULanguage_C.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocale>
#include <QTranslator>

#include <string>

#include "foundation/ShownText.h"

namespace NS_Wnd {
namespace {

QTranslator& Chosen() {
    static QTranslator translator;
    return translator;
}

QString PathOf(const QString& name) {
    return QStringLiteral(":/translations/tavrin_%1.qm").arg(name);
}

std::string TranslateUtf8(const char* context, const char* text) {
    return ULanguage_C::Translate(context, text).toStdString();
}

}  // namespace

void ULanguage_C::Choose() {
    if (Chosen().load(PathOf(PickTranslation(QLocale::system().uiLanguages())))) {
        NS_Base::SetTranslation(&TranslateUtf8);
    }
}

QString ULanguage_C::PickTranslation(const QStringList& languages) {
    for (QString language : languages) {
        language.replace(QLatin1Char('-'), QLatin1Char('_'));
        // Simplified and Traditional alike read the Chinese source texts.
        if (language == QLatin1String("zh") || language.startsWith(QLatin1String("zh_"))) {
            return QStringLiteral("zh_CN");
        }
        // "sr_Latn_RS", then "sr_Latn", then "sr".
        for (qsizetype end = language.size(); end > 0; end = language.lastIndexOf('_', end - 1)) {
            if (QFile::exists(PathOf(language.left(end)))) {
                return language.left(end);
            }
        }
    }
    return QStringLiteral("en");
}

void ULanguage_C::Install(QCoreApplication& application) {
    application.installTranslator(&Chosen());
}

QString ULanguage_C::Translate(const char* context, const char* text) {
    const QString shown = Chosen().translate(context, text);
    return shown.isEmpty() ? QString::fromUtf8(text) : shown;
}

}  // namespace NS_Wnd
