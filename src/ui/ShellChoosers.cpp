#include "ui/ShellChoosers.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include <cstring>

#include "ui/UShell_C.h"

namespace NS_Wnd {
namespace {

QStringList AskForFiles(UShell_C& shell, QWidget* owner, const QString& filter,
                        const QString& directory, uint8_t mode, const char* defaultExtension) {
    if (mode == SaveFile) {
        const QString suffix = QString::fromUtf8(defaultExtension ? defaultExtension : "");
        const QString path = shell.ChooseSavePath(owner, filter, directory, suffix);
        return path.isEmpty() ? QStringList() : QStringList{path};
    }
    return shell.ChooseFiles(owner, filter, directory, mode == OpenFiles);
}

}  // namespace

std::string ToPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString MakeQtFilter(const char* filter) {
    QStringList entries;
    while (filter && filter[0] != '\0') {
        const char* patterns = filter + std::strlen(filter) + 1;
        QStringList list = QString::fromUtf8(patterns).split(u';', Qt::SkipEmptyParts);
        entries << QString::fromUtf8(filter) + QStringLiteral(" (") + list.join(u' ') + u')';
        filter = patterns + std::strlen(patterns) + 1;
    }
    return entries.join(QStringLiteral(";;"));
}

std::vector<std::string> ChooseFile(UShell_C& shell, QWidget* owner, const char* filter,
                                    const char* initialDirectory, uint8_t mode,
                                    const char* defaultExtension) {
    if (mode > OpenFile) {
        mode = SaveFile;
    }
    const QString directory = QString::fromUtf8(initialDirectory ? initialDirectory : "");
    std::vector<std::string> paths;
    for (const QString& file :
         AskForFiles(shell, owner, MakeQtFilter(filter), directory, mode, defaultExtension)) {
        paths.push_back(ToPath(file));
    }
    return paths;
}

std::string ChooseDirectory(UShell_C& shell, QWidget* owner, const char* title) {
    return ToPath(shell.ChooseDirectory(owner, QString::fromUtf8(title), QDir::currentPath()));
}

int NextDroppedFile(int32_t& cursor, const QList<QUrl>& drop, std::string& out) {
    while (cursor >= 0 && cursor < drop.size()) {
        const QUrl& url = drop[cursor++];
        if (url.isLocalFile() && !url.toLocalFile().isEmpty()) {
            out = ToPath(url.toLocalFile());
            return 0;
        }
    }
    return 1;
}

}  // namespace NS_Wnd
