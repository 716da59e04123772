#pragma once

#include <QList>
#include <QUrl>

#include <cstdint>
#include <string>

class QWidget;

namespace NS_Wnd {

class UShell_C;

// Modes of ChooseFile; any other value is taken as SaveFile.
enum UChooseMode_E : uint8_t { OpenFiles = 0, SaveFile = 1, OpenFile = 2 };

// Opens the file chooser of `shell`. `filter` is a sequence of (description, patterns) pairs,
// each text zero-terminated, ended by an empty text; patterns are separated by ';'. An empty
// `initialDirectory` lets the chooser pick its own. `defaultExtension` (no dot, may be null) is
// added by the save chooser to a name typed without one.
// On a confirmed choice returns false with `result` holding one full path then an empty text,
// or (several files) their directory, then each name, each zero-terminated, then an empty text:
// the form NextSelectedFile reads. Returns true, with `result` empty, when nothing was chosen.
bool ChooseFile(UShell_C& shell, QWidget* owner, const char* filter, const char* initialDirectory,
                std::string& result, uint8_t mode, const char* defaultExtension);

// Opens the folder chooser of `shell` in the current directory. Returns false with the chosen
// folder in `path`, true with `path` empty when none was obtained.
bool ChooseDirectory(UShell_C& shell, QWidget* owner, const char* title, std::string& path);

// Walks the dropped URLs, passing over those that name no local file. `cursor` starts at 0.
// Returns 0 with the next local path in `out`, 1 at the end.
int NextDroppedFile(int32_t& cursor, const QList<QUrl>& drop, std::string& out);

// Qt's form of a chooser filter: "description (pattern pattern);;...".
QString MakeQtFilter(const char* filter);

}  // namespace NS_Wnd
