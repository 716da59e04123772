#pragma once

#include <QList>
#include <QString>
#include <QUrl>

#include <cstdint>
#include <string>
#include <vector>

class QWidget;

namespace NS_Wnd {

class UShell_C;

// Modes of ChooseFile; any other value is taken as SaveFile.
enum UChooseMode_E : uint8_t { OpenFiles = 0, SaveFile = 1, OpenFile = 2 };

// Opens the file chooser of `shell` and returns the full paths chosen, empty when the user
// cancelled. `filter` is a sequence of (description, patterns) pairs, each text zero-terminated,
// ended by an empty text; patterns are separated by ';'. An empty `initialDirectory` lets the
// chooser pick its own. `defaultExtension` (no dot, may be null) is added by the save chooser to
// a name typed without one.
std::vector<std::string> ChooseFile(UShell_C& shell, QWidget* owner, const char* filter,
                                    const char* initialDirectory, uint8_t mode,
                                    const char* defaultExtension);

// Opens the folder chooser of `shell` in the current directory; the chosen folder, or an empty
// text when none was obtained.
std::string ChooseDirectory(UShell_C& shell, QWidget* owner, const char* title);

// Walks the dropped URLs, passing over those that name no local file. `cursor` starts at 0.
// Returns 0 with the next local path in `out`, 1 at the end.
int NextDroppedFile(int32_t& cursor, const QList<QUrl>& drop, std::string& out);

// Qt's form of a chooser filter: "description (pattern pattern);;...". The chooser shows only
// the descriptions.
QString MakeQtFilter(const char* filter);

// The bytes of a path that Qt hands over, as the file system names it.
std::string ToPath(const QString& path);

}  // namespace NS_Wnd
