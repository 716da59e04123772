#include "ui/ShellChoosers.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <cstring>

#include "ui/UShell_C.h"

namespace NS_Wnd {
namespace {

// Appends `text` and its terminating zero.
void AppendText(std::string& buffer, const QString& text) {
    buffer += text.toStdString();
    buffer += '\0';
}

// The selection in the form NextSelectedFile reads. Files from different folders, which a
// chooser does not normally return, are named relative to the root.
std::string MakeSelection(const QStringList& files) {
    std::string selection;
    if (files.size() == 1) {
        AppendText(selection, files.constFirst());
        selection += '\0';
        return selection;
    }
    QString directory = QFileInfo(files.constFirst()).path();
    for (const QString& file : files) {
        if (QFileInfo(file).path() != directory) {
            directory = QStringLiteral("/");
        }
    }
    AppendText(selection, directory);
    const QDir base(directory);
    for (const QString& file : files) {
        AppendText(selection, base.relativeFilePath(file));
    }
    selection += '\0';
    return selection;
}

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

bool ChooseFile(UShell_C& shell, QWidget* owner, const char* filter, const char* initialDirectory,
                std::string& result, uint8_t mode, const char* defaultExtension) {
    if (mode > OpenFile) {
        mode = SaveFile;
    }
    result.clear();
    const QString directory = QString::fromUtf8(initialDirectory ? initialDirectory : "");
    const QStringList files =
        AskForFiles(shell, owner, MakeQtFilter(filter), directory, mode, defaultExtension);
    if (files.isEmpty()) {
        return true;
    }
    result = MakeSelection(files);
    return false;
}

bool ChooseDirectory(UShell_C& shell, QWidget* owner, const char* title, std::string& path) {
    const QString folder =
        shell.ChooseDirectory(owner, QString::fromUtf8(title), QDir::currentPath());
    path = folder.toStdString();
    return path.empty();
}

int NextDroppedFile(int32_t& cursor, const QList<QUrl>& drop, std::string& out) {
    while (cursor >= 0 && cursor < drop.size()) {
        const QUrl& url = drop[cursor++];
        if (url.isLocalFile() && !url.toLocalFile().isEmpty()) {
            out = url.toLocalFile().toStdString();
            return 0;
        }
    }
    return 1;
}

}  // namespace NS_Wnd
