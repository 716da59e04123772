#include "ui/UQtShell_C.h"

#include <QFileDialog>
#include <QMessageBox>

namespace NS_Wnd {
namespace {

// Our filter texts already name their patterns; Qt would append its own list to each.
void ShowFilterTextsOnly(QFileDialog& chooser) {
    chooser.setOption(QFileDialog::HideNameFilterDetails);
}

}  // namespace

QStringList UQtShell_C::ChooseFiles(QWidget* owner, const QString& filter, const QString& directory,
                                    bool several) {
    QFileDialog chooser(owner, QString(), directory, filter);
    ShowFilterTextsOnly(chooser);
    chooser.setAcceptMode(QFileDialog::AcceptOpen);
    chooser.setFileMode(several ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    if (chooser.exec() != QDialog::Accepted) {
        return {};
    }
    return chooser.selectedFiles();
}

QString UQtShell_C::ChooseSavePath(QWidget* owner, const QString& filter, const QString& directory,
                                   const QString& defaultSuffix) {
    // The dialog object, not the static helper: only it applies a default suffix. Replacing an
    // existing file is confirmed by the dialog itself.
    QFileDialog chooser(owner, QString(), directory, filter);
    ShowFilterTextsOnly(chooser);
    chooser.setAcceptMode(QFileDialog::AcceptSave);
    chooser.setFileMode(QFileDialog::AnyFile);
    chooser.setDefaultSuffix(defaultSuffix);
    // A name typed without an extension takes the one of the filter chosen last. With the
    // patterns hidden, the signal names the filter by its shown text.
    QObject::connect(
        &chooser, &QFileDialog::filterSelected, &chooser, [&chooser](const QString& shown) {
            for (const QString& entry : chooser.nameFilters()) {
                const qsizetype pattern = entry.lastIndexOf(QStringLiteral("(*."));
                if (pattern >= 0 && entry.startsWith(shown)) {
                    chooser.setDefaultSuffix(entry.mid(pattern + 3).section(u')', 0, 0));
                    return;
                }
            }
        });
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) {
        return {};
    }
    return chooser.selectedFiles().constFirst();
}

QString UQtShell_C::ChooseDirectory(QWidget* owner, const QString& title, const QString& start) {
    return QFileDialog::getExistingDirectory(owner, title, start, QFileDialog::ShowDirsOnly);
}

void UQtShell_C::ShowMessage(QWidget* owner, const QString& caption, const QString& text) {
    // Error texts separate their lines with CR LF; a label shows a lone CR as a glyph.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(QMessageBox::NoIcon, caption, shown, QMessageBox::Ok, owner);
    box.exec();
}

}  // namespace NS_Wnd
