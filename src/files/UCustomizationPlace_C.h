#pragma once

#include <string>

// Chooses the folder of the settings file. A program that lives in a folder of its own (an
// unpacked archive, a build folder) keeps the file beside itself, so that the folder carries its
// settings along: the portable layout. An installed program, or one whose folder the user cannot
// write, keeps it in the user's configuration folder instead.
class UCustomizationPlace_C {
public:
    // What the choice depends on. Folders end with '/'; a text that is unknown is empty.
    struct Facts_S {
        std::string programDirectory;
        // The settings file's name, e.g. "Tavrin.uzn".
        std::string fileName;
        // A path relative to programDirectory that exists only where the program was installed
        // (a file that the installation puts beside it, such as its desktop entry).
        std::string installedMarker;
        // $XDG_CONFIG_HOME and $HOME as given.
        std::string configHome;
        std::string home;
        // The folder below the configuration folder, e.g. "tavrin".
        std::string subfolder;
    };

    // The folder, ending with '/', that holds or will hold the settings file; empty when there is
    // none (no program folder and no home). Looks at the file system but changes nothing.
    static std::string ChooseDirectory(const Facts_S& facts);

    // The user's configuration folder for `subfolder`: $XDG_CONFIG_HOME when it is an absolute
    // path, else ~/.config; empty when neither is known.
    static std::string ConfigDirectory(const Facts_S& facts);

    // The facts of the running process: its executable's folder, the environment, and the home
    // folder from the user database when $HOME is unset.
    static Facts_S ReadFacts(const char* fileName, const char* installedMarker,
                             const char* subfolder);
};
